#include "velantro.h"

#include "twips.h"

#include "exercise/exercisefile.h"

#include <QImageReader>

namespace letro {

Velantro::Velantro(QWidget *parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    m_movie.setCacheMode(QMovie::CacheAll);
}

Velantro::Velantro(const QString &name, const QColor &background, const QRect &twips,
                   QWidget *parent)
    : Velantro(parent)
{
    setObjectName(name);
    QPalette p = palette();
    p.setColor(QPalette::Window, background);
    setPalette(p);
    setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    setLeft(twips.x());
}

void Velantro::setGifPath(const QString &path)
{
    // Stop first: handing a running QMovie the same file name again freezes it
    // for a whole loop instead of restarting it.
    m_movie.stop();
    m_gifPath = path;
    // Only ordinary files are read: opening a FIFO put in a picture's place
    // would wait for a writer and freeze the window.
    const bool readable = !path.isEmpty() && isOrdinaryFile(path);
    m_movie.setFileName(readable ? path : QString());
    m_loaded = readable && m_movie.isValid();
    if (m_loaded) {
        // Shrink pictures larger than the control, keeping their proportions.
        // (The movie knows its frame size only once a frame is read.)
        const QSize frame = QImageReader(path).size();
        if (!frame.isEmpty() && (frame.width() > width() || frame.height() > height()))
            m_movie.setScaledSize(frame.scaled(size(), Qt::KeepAspectRatio));
        else
            m_movie.setScaledSize(QSize());
    }
    showPicture();
}

void Velantro::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    m_movie.stop();
    showPicture();
}

void Velantro::showPicture()
{
    if (m_loaded && m_active) {
        setMovie(&m_movie);
        m_movie.start();
    } else {
        setMovie(nullptr);
        clear();
    }
}

void Velantro::setLeft(double twips)
{
    m_left = twips;
    move(twipsToPixels(twips), y());
}

bool Velantro::isPlaying() const
{
    return m_loaded && m_active && m_movie.state() == QMovie::Running;
}

int Velantro::currentFrame() const
{
    return (m_loaded && m_active) ? m_movie.currentFrameNumber() : -1;
}

} // namespace letro

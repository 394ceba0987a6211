#include "velantro.h"

#include "controls.h"
#include "twips.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMovie>

#include <algorithm>

namespace letro {

namespace {

// Decoded pictures kept per control: the two the yes/no control takes turns
// with. (Every frame is kept, so a few hundred kilobytes each.)
constexpr size_t KeptPictures = 2;

} // namespace

Velantro::Velantro(QWidget *parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
}

Velantro::Velantro(const QString &name, const QColor &background, const QRect &twips,
                   QWidget *parent)
    : Velantro(parent)
{
    setObjectName(name);
    setColour(this, QPalette::Window, background);
    placeInTwips(this, twips);
    setLeft(twips.x());
}

Velantro::~Velantro()
{
    // The label lets go of the movie before the movies go.
    setMovie(nullptr);
}

QMovie *Velantro::decoded(const QString &path)
{
    auto kept = std::find_if(m_pictures.begin(), m_pictures.end(),
                             [&path](const Picture &p) { return p.path == path; });
    // Only ordinary files are read: opening a FIFO put in a picture's place
    // would wait for a writer and freeze the window.
    const QFileInfo file(path);
    if (!file.isFile()) {
        forget(kept);
        return nullptr;
    }
    if (kept != m_pictures.end()) {
        // Replaying from memory is exact only for a picture that loops for
        // ever: one that plays a number of times starts its count afresh.
        if (kept->bytes == file.size() && kept->modified == file.lastModified() &&
            kept->movie->loopCount() == -1) {
            std::rotate(m_pictures.begin(), kept, kept + 1);
            return m_pictures.front().movie.get();
        }
        forget(kept);
    }

    auto movie = std::make_unique<QMovie>(path);
    movie->setCacheMode(QMovie::CacheAll);
    if (!movie->isValid())
        return nullptr;
    // Shrink pictures larger than the control, keeping their proportions.
    // (The movie knows its frame size only once a frame is read.)
    const QSize frame = QImageReader(path).size();
    if (!frame.isEmpty() && (frame.width() > width() || frame.height() > height()))
        movie->setScaledSize(frame.scaled(size(), Qt::KeepAspectRatio));
    m_pictures.insert(m_pictures.begin(),
                      Picture{path, file.size(), file.lastModified(), std::move(movie)});
    if (m_pictures.size() > KeptPictures) {
        // The oldest goes, unless it is still on show.
        auto oldest = m_pictures.end() - 1;
        if (oldest->movie.get() == m_movie)
            --oldest;
        forget(oldest);
    }
    return m_pictures.front().movie.get();
}

void Velantro::forget(std::vector<Picture>::iterator picture)
{
    if (picture == m_pictures.end())
        return;
    if (movie() == picture->movie.get())
        setMovie(nullptr);
    if (m_movie == picture->movie.get())
        m_movie = nullptr;
    m_pictures.erase(picture);
}

void Velantro::setGifPath(const QString &path)
{
    if (m_movie)
        m_movie->stop();
    m_gifPath = path;
    m_movie = path.isEmpty() ? nullptr : decoded(path);
    showPicture();
}

void Velantro::preload(const QString &path)
{
    QMovie *movie = decoded(path);
    if (!movie || movie == m_movie)
        return;
    // Running through the frames once puts them all in the movie's memory;
    // stopped, it starts again from the first.
    movie->start();
    for (int frame = 1; frame < movie->frameCount(); ++frame)
        movie->jumpToFrame(frame);
    movie->stop();
}

void Velantro::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (m_movie)
        m_movie->stop();
    showPicture();
}

void Velantro::showPicture()
{
    if (m_movie && m_active) {
        if (movie() != m_movie)
            setMovie(m_movie);
        // A stopped movie starts again from its first frame.
        m_movie->start();
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
    return m_movie && m_active && m_movie->state() == QMovie::Running;
}

int Velantro::currentFrame() const
{
    return (m_movie && m_active) ? m_movie->currentFrameNumber() : -1;
}

} // namespace letro

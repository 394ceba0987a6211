// Velantro: the animated-picture control. It shows a looping GIF read from a
// file. Setting GifPath, even to the path already shown, reloads the file and
// plays it from its first frame; "" or a file that cannot be read shows no
// picture and raises nothing. Active = false switches the picture off (the
// control keeps its background but shows nothing and the animation stops);
// true switches it on again, playing from the first frame. Left is the
// horizontal place in twips.
#pragma once

#include <QLabel>
#include <QMovie>

namespace letro {

class Velantro : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QString GifPath READ gifPath WRITE setGifPath)
    Q_PROPERTY(bool Active READ isActive WRITE setActive)
    Q_PROPERTY(double Left READ left WRITE setLeft)
    Q_PROPERTY(bool Playing READ isPlaying)

public:
    explicit Velantro(QWidget *parent = nullptr);
    // A control named `name` on `parent` with its background colour, placed
    // at the given rectangle in twips.
    Velantro(const QString &name, const QColor &background, const QRect &twips, QWidget *parent);

    QString gifPath() const { return m_gifPath; }
    void setGifPath(const QString &path);

    bool isActive() const { return m_active; }
    void setActive(bool active);

    double left() const { return m_left; }
    void setLeft(double twips);

    // True while a picture is loaded, switched on and animating.
    bool isPlaying() const;
    // The frame number currently shown, or -1 when no picture is shown.
    int currentFrame() const;

private:
    void showPicture();

    QMovie m_movie;
    QString m_gifPath;
    bool m_active = true;
    bool m_loaded = false;
    double m_left = 0;
};

} // namespace letro

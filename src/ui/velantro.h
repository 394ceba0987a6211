// Velantro: the animated-picture control. It shows a looping GIF read from a
// file. Setting GifPath, even to the path already shown, plays the file from
// its first frame as it is on disk; "" or a file that cannot be read shows no
// picture and raises nothing. Active = false switches the picture off (the
// control keeps its background but shows nothing and the animation stops);
// true switches it on again, playing from the first frame. Left is the
// horizontal place in twips.
//
// The frames of a picture are decoded once and kept: a file unchanged since it
// was last shown (same path, size and modification time) is played again from
// memory, so the yes/no picture costs one look at the file per key.
#pragma once

#include <QDateTime>
#include <QLabel>
#include <QMovie>

#include <memory>
#include <vector>

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
    ~Velantro() override;

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

    // Reads and decodes every frame of a picture that is about to be shown,
    // so that showing it later costs no decoding. Nothing is shown.
    void preload(const QString &path);

private:
    struct Picture
    {
        QString path;
        qint64 bytes = 0;
        QDateTime modified;
        std::unique_ptr<QMovie> movie;
    };

    QMovie *decoded(const QString &path);
    void forget(std::vector<Picture>::iterator picture);
    void showPicture();

    std::vector<Picture> m_pictures; // most recently shown first
    QMovie *m_movie = nullptr;       // the picture of GifPath, when it can be shown
    QString m_gifPath;
    bool m_active = true;
    double m_left = 0;
};

} // namespace letro

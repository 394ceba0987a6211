#include "module1.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QSoundEffect>
#include <QUrl>

#include "ui/twips.h"

namespace letro {

namespace {

// Every request gets a fresh sound effect in place of the old one. Stopping a
// playing QSoundEffect lets the sound already handed to the sound server play
// on for about 300 ms, and the new start waits for it; dropping the effect
// cuts the old sound off at once.
void playFresh(std::unique_ptr<QSoundEffect> &effect, const QUrl &source)
{
    effect = std::make_unique<QSoundEffect>();
    effect->setSource(source);
    effect->play();
}

} // namespace

EffectSoundPlayer::EffectSoundPlayer() = default;
EffectSoundPlayer::~EffectSoundPlayer() = default;

void EffectSoundPlayer::play(const QString &path)
{
    playFresh(m_recording, QUrl::fromLocalFile(path));
}

void EffectSoundPlayer::alert()
{
    playFresh(m_alert, QUrl(QString::fromLatin1(AlertSoundUrl)));
}

void ModalMessageBoxes::show(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

Services Services::withDefaults() const
{
    Services s = *this;
    if (s.programFolder.isEmpty())
        s.programFolder = QCoreApplication::applicationDirPath();
    if (!s.sound)
        s.sound = std::make_shared<EffectSoundPlayer>();
    if (!s.messages)
        s.messages = std::make_shared<ModalMessageBoxes>();
    if (!s.fontList)
        s.fontList = [] { return QFontDatabase::families(); };
    if (!s.screenTwips) {
        s.screenTwips = [] {
            const QScreen *screen = QGuiApplication::primaryScreen();
            const QSize size = screen ? screen->geometry().size() : QSize(1024, 768);
            return QSize(pixelsToTwips(size.width()), pixelsToTwips(size.height()));
        };
    }
    return s;
}

} // namespace letro

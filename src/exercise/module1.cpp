#include "module1.h"

#include "fontnames.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QSoundEffect>
#include <QSpacerItem>
#include <QUrl>

#include "exercise/exercisefile.h"
#include "exercise/form1.h"
#include "ui/messageplacement.h"
#include "ui/platform.h"
#include "ui/twips.h"
#include "ui/windowplacement.h"

#include <QtEndian>

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

// True when the file is a whole RIFF wave file: its chunks up to the data
// chunk, and the data chunk itself, lie within the file. QSoundEffect waits
// for the rest of a file that ends early (an empty file, a cut header, data
// shorter than announced), and its sample cache then blocks the next
// setSource() and the effect's destruction for ever. Such a file cannot be
// played anyway, so it is never handed over. Only ordinary files are opened:
// a FIFO would block the open.
bool isCompleteWave(const QString &path)
{
    if (!isOrdinaryFile(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    const QByteArray head = file.read(12);
    const bool little = head.startsWith("RIFF");
    if (head.size() < 12 || !(little || head.startsWith("RIFX")) || head.mid(8, 4) != "WAVE")
        return false;
    bool format = false;
    for (qint64 pos = 12; pos + 8 <= size;) {
        if (!file.seek(pos))
            return false;
        const QByteArray chunk = file.read(8);
        if (chunk.size() < 8)
            return false;
        const qint64 length = little ? qFromLittleEndian<quint32>(chunk.constData() + 4)
                                     : qFromBigEndian<quint32>(chunk.constData() + 4);
        if (pos + 8 + length > size)
            return false;
        if (chunk.startsWith("data"))
            return format;
        if (chunk.startsWith("fmt "))
            format = true;
        pos += 8 + length + (length & 1);
    }
    return false;
}

// A message box wide enough for its title bar to show the title whole and,
// over the main window, placed so that what the pupil still needs to see
// stays in view.
class PlacedMessageBox : public QMessageBox
{
public:
    PlacedMessageBox(const QString &text, QWidget *parent)
        : QMessageBox(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text,
                      QMessageBox::Ok, parent)
    {
        // The box sizes itself to its text each time it is shown; a spacer
        // holds it wider.
        const int width = titledWidth(font(), windowTitle());
        if (auto *grid = qobject_cast<QGridLayout *>(layout())) {
            grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                          grid->rowCount(), 0, 1, grid->columnCount());
        }
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event); // the box takes its final size here
        // A Wayland compositor places windows itself.
        const auto *form = qobject_cast<const Form1 *>(parentWidget());
        if (!form || onWayland())
            return;
        const QRect kept = form->keptInView();
        const QRect keep(form->mapToGlobal(kept.topLeft()), kept.size());
        // The box's own frame is known only once it is mapped: the main
        // window's, from the same window manager, stands in for it.
        const QMargins frame = windowFrame(form->window());
        const QScreen *screen = form->screen();
        const QRect room = screen ? screen->availableGeometry() : keep;
        const QPoint at = besideKeptArea(keep, size().grownBy(frame), room);
        setGeometry(QRect(at + QPoint(frame.left(), frame.top()), size()));
    }
};

} // namespace

EffectSoundPlayer::EffectSoundPlayer() = default;
EffectSoundPlayer::~EffectSoundPlayer() = default;

void EffectSoundPlayer::play(const QString &path)
{
    // An unplayable file is silent, but still stops the recording playing.
    if (!isCompleteWave(path)) {
        m_recording.reset();
        return;
    }
    playFresh(m_recording, QUrl::fromLocalFile(path));
}

void EffectSoundPlayer::alert()
{
    playFresh(m_alert, QUrl(QString::fromLatin1(AlertSoundUrl)));
}

void ModalMessageBoxes::show(QWidget *parent, const QString &text)
{
    PlacedMessageBox box(text, parent);
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
        s.fontList = spanishFontFamilies;
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

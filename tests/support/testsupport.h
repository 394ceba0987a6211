// Test support: stand-ins for sound and message boxes, a throw-away program
// folder with exercises, and helpers that type into widgets the way a
// keyboard does.
#pragma once

#include "exercise/form1.h"
#include "exercise/services.h"

#include <QRect>
#include <QStringList>
#include <QTemporaryDir>

class QLineEdit;

namespace letro {
class RichTextBox;
class RichTextView;
} // namespace letro

#include <cmath>
#include <functional>
#include <memory>

namespace letro::test {

// Colours of the rich-text boxes as the tests expect them, 0x00BBGGRR.
constexpr quint32 Blue = 0x00FF0000;
constexpr quint32 Magenta = 0x00FF00FF;
constexpr quint32 Red = 0x000000FF;
constexpr quint32 Black = 0x00000000;

// Device-independent pixels for a length in twips (15 twips a pixel, halves up).
inline int px(int twips)
{
    return int(std::floor(twips / 15.0 + 0.5));
}

inline QRect pxRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

// Records every sound request instead of playing it.
class FakeSound : public SoundPlayer
{
public:
    void play(const QString &path) override { played.append(path); }
    void alert() override { ++alerts; }

    QStringList played;
    int alerts = 0;
};

// Records every message instead of showing a modal box; `onShow` runs while
// the "box" is up, as the pupil's actions would.
class ScriptedMessages : public MessageBoxes
{
public:
    void show(QWidget *, const QString &text) override
    {
        shown.append(text);
        if (onShow)
            onShow(text);
    }

    QStringList shown;
    std::function<void(const QString &)> onShow;
};

// A program folder in a temporary directory: the three type folders and the
// program's real GIFs.
class ProgramFolder
{
public:
    ProgramFolder();
    QString path() const { return m_dir.path(); }
    QString typeFolder(int type) const;
    // Where the recording of exercise `number` of `type` lies.
    QString recording(int type, int number) const;

    // Writes exercise `number` of `type` with the given bytes, and a recording
    // beside it unless `withRecording` is false.
    void addExercise(int type, int number, const QByteArray &bytes, bool withRecording = true);
    // Writes a small valid 16-bit PCM wave file.
    static void writeWave(const QString &path, int milliseconds = 200);

private:
    QTemporaryDir m_dir;
};

// A main window on a program folder with fake sound and messages, loaded
// (Form_Load has run) unless `load` is false.
struct Harness
{
    // `start`: the exercise chosen on the command line.
    explicit Harness(const QString &programFolder, bool load = true, StartChoice start = {});
    ~Harness();

    std::shared_ptr<FakeSound> sound = std::make_shared<FakeSound>();
    std::shared_ptr<ScriptedMessages> messages = std::make_shared<ScriptedMessages>();
    QStringList fonts;
    Form1 *form = nullptr;

    template <typename T> T *child(const QString &name) const { return form->findChild<T *>(name); }
    QLineEdit *text1() const;
    // The number of the current type.
    int number() const;
    // Forgets the sounds and messages requested so far.
    void forget();
};

// The text edit a rich-text box shows its content in: what is on screen.
RichTextView *shownText(const RichTextBox *box);

// Sends a key press and release carrying `text`, as a keyboard key would.
void typeKey(QWidget *widget, QChar character);
void typeText(QWidget *widget, const QString &text);
// The text X11 gives a key without a character of its own: "\b" for
// Backspace, "\r" for Enter, "\x7f" for Delete, "\t" for Tab, "\x1b" for
// Escape, a control character for Ctrl+letter ("\x16" for Ctrl+V); else none.
QString x11KeyText(Qt::Key key, Qt::KeyboardModifiers modifiers);
// Sends a special key (Backspace, Enter, Delete, arrows, Ctrl+letter); with
// no text given, with the text X11 gives it.
void pressKey(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              const QString &text = QString());
// Sends an input-method commit, as a dead key followed by a letter does.
void commitText(QWidget *widget, const QString &commit);

} // namespace letro::test

// What the main window needs from the world outside it: where the program's
// folders are, a way to play sounds, a way to show modal messages, the font
// list and the screen size. The program uses the real ones; tests hand in
// their own so that they can answer message boxes and observe sounds.
#pragma once

#include "exercise/startchoice.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace letro {

namespace progress {
class ProgressSession;
}

class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    // Starts playing a wave file in the background and returns at once. A new
    // request stops the sound still playing; a missing or unplayable file is
    // silent.
    virtual void play(const QString &path) = 0;
    // The short alert heard at every wrong key. It does not stop a recording.
    virtual void alert() = 0;
};

class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // A modal message with one OK button, no icon and the application's name
    // as title; returns once the pupil has closed it.
    virtual void show(QWidget *parent, const QString &text) = 0;
};

struct Services
{
    // The folder that holds the program; empty means the real program folder.
    QString programFolder;
    std::shared_ptr<SoundPlayer> sound;
    std::shared_ptr<MessageBoxes> messages;
    // The font names offered by the font button; empty means the installed families.
    std::function<QStringList()> fontList;
    // The screen size in twips; empty means the primary screen.
    std::function<QSize()> screenTwips;
    // The exercise the main window starts on (the command line's choice).
    StartChoice start;
    // Whose results are kept, and where. Left empty (as the tests of the
    // window's behaviour leave it) nothing is kept; the program hands in one.
    std::shared_ptr<progress::ProgressSession> progress;

    // Fills every empty member with the real implementation.
    Services withDefaults() const;
};

} // namespace letro

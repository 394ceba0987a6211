// What the editor's window asks of the desktop, behind one seam so that tests
// answer the dialogs and watch sounds and programs being started: the real
// ones show Qt's dialogs, play through Qt Multimedia and start processes.
#pragma once

#include "editor/letrofolder.h"
#include "folder/exercisefolder.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace letro::editor {

// The exercise a microphone recording is made for.
struct RecordingTarget
{
    int number = 0;
    QString text;
    QString wavPath;
    QString slowWavPath;
    // Its files as the teacher saw them when the recording was asked for:
    // a take is not kept once they have changed.
    Identity seen;
};

class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // The text of a new or changed exercise, or nothing when cancelled.
    virtual std::optional<QString> askText(QWidget *parent, const QString &title,
                                           const QString &text) = 0;
    // A number from `minimum` to `maximum`, starting at `value`, or nothing
    // when cancelled.
    virtual std::optional<int> askNumber(QWidget *parent, const QString &title,
                                         const QString &question, int value, int minimum,
                                         int maximum) = 0;
    // A question with two answers; true for the first. The second leaves
    // things as they are and is Escape's; Return gives `preferred`, which
    // for a question before deleting or replacing is always the second.
    enum class Answer { Yes, No };
    virtual bool ask(QWidget *parent, const QString &question, const QString &yes,
                     const QString &no, Answer preferred) = 0;
    virtual void tell(QWidget *parent, const QString &text) = 0;
    virtual void warn(QWidget *parent, const QString &text) = 0;
    // A folder, or an empty string when cancelled.
    virtual QString chooseFolder(QWidget *parent, const QString &title, const QString &start) = 0;
    // Records the teacher's voice for the exercise; true when a new
    // recording was kept.
    virtual bool recordVoice(QWidget *parent, const RecordingTarget &target) = 0;
};

class Playback
{
public:
    virtual ~Playback() = default;
    virtual void play(const QString &wavPath) = 0;
};

struct EditorServices
{
    std::shared_ptr<Dialogs> dialogs;
    std::shared_ptr<Playback> playback;
    // Starts a program with its arguments in a folder without waiting for
    // it; "" or the reason.
    std::function<QString(const QString &program, const QStringList &arguments,
                          const QString &folder)>
        start;
    // The speech synthesiser (espeak-ng, or a stand-in in tests).
    QString speechProgram = QStringLiteral("espeak-ng");
    // dpkg's list of the installed package's files: its folder is never
    // edited in place (a test names a list of its own).
    QString packageFileList = letro::editor::packageFileList();
};

// Qt's dialogs, QSoundEffect and QProcess::startDetached.
EditorServices desktopServices();

} // namespace letro::editor

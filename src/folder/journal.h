// Changes to a folder of dictations that are all or nothing even when the
// process dies at any instant, as a database's rollback journal makes them.
//
// A change is a list of files: some move to another name, some go, some are
// new. Before the first rename, the journal (".letro-diario" in the folder)
// is written and flushed: every file, its name before, the hidden name it
// has half-way (one that says what it holds, ".letro-mover-57-a-56.wav") and
// its name after. Then:
//   1. the new files are written under their hidden names;
//   2. every file that moves or goes takes its hidden name;
//   3. the folder is flushed and the line "tomados" (taken) is added to the
//      journal and flushed: from here on the change will be finished;
//   4. the hidden names become the final ones, the files that go are
//      removed, the folder is flushed;
//   5. the journal is removed and the folder flushed again.
// When the folder is opened again after a crash, a journal left behind is
// played forward when it says "tomados" (only step 4 can be missing) and
// undone otherwise (only steps 1 and 2 can have happened, and they only
// gave files hidden names): the folder is exactly as before or exactly as
// after the change. New files left by a change that never got its journal
// are removed.
//
// The decisions (the journal's text, reading it, the steps that put a
// folder right) are pure functions; Transaction and recoverFolder do them on
// the disk through the steps of filesystem.h.
#pragma once

#include "folder/hiddennames.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

namespace letro::folder {

struct JournalEntry
{
    enum Kind { Move, Delete, New };
    Kind kind = Move;
    QString from;      // the name before the change (Move, Delete)
    QString temporary; // the hidden name half-way
    QString to;        // the name after the change (Move, New)
    friend bool operator==(const JournalEntry &a, const JournalEntry &b)
    {
        return a.kind == b.kind && a.from == b.from && a.temporary == b.temporary && a.to == b.to;
    }
};

struct Journal
{
    QString change; // what the teacher asked for, in Spanish ("borrar el dictado 2")
    QList<JournalEntry> entries;
    bool taken = false; // every file has left its old name: finish, never undo
};

// The journal's text, with the line "tomados" when journal.taken.
QByteArray journalText(const Journal &journal);
// The line that marks a journal as taken.
inline const QByteArray TakenLine = QByteArrayLiteral("tomados\n");
// A journal read back; nothing when it is damaged or names anything outside
// its folder.
std::optional<Journal> parseJournal(const QByteArray &text);

// One step of putting a folder right: `from` renamed to `to`, or removed
// when `to` is empty.
struct RecoveryStep
{
    QString from;
    QString to;
    friend bool operator==(const RecoveryStep &a, const RecoveryStep &b)
    {
        return a.from == b.from && a.to == b.to;
    }
};

// The steps that finish a taken journal or undo one that is not, given the
// hidden names still `present` in the folder.
QList<RecoveryStep> recoverySteps(const Journal &journal, const QSet<QString> &present);

// How far a change running on another thread has got, and the window's
// wish to stop it.
struct Progress
{
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    std::atomic<bool> cancelled{false};
};

// The reason a change gives when it was cancelled (it was undone).
QString cancelledReason();

// One change of a folder's files, all or nothing. Names are names within
// the folder.
class Transaction
{
public:
    Transaction(const QString &folder, const QString &change);

    void move(const QString &from, const QString &to);
    void remove(const QString &name);
    // A new file `to` with these bytes.
    void write(const QString &to, const QByteArray &bytes);
    // A new file `to` already written whole under newFileName(to).
    void bring(const QString &to);
    // A check made once the folder is locked, before anything is written:
    // the change is not made when it gives a reason.
    void require(std::function<QString()> check) { m_require = std::move(check); }

    // Does the change; returns an empty string, or why it was not made (and
    // then every file is as it was). Cancelling through `progress` before
    // the files are taken undoes it.
    [[nodiscard]] QString run(Progress *progress = nullptr);

private:
    // The steps of run(), in order. Each returns an empty string when it
    // went right, or the reason the change stops, having undone what the
    // change had done when it can.
    [[nodiscard]] QString refusal() const;
    [[nodiscard]] QString writeJournal(Progress &progress);
    [[nodiscard]] QString writeNewFiles(Progress &progress);
    [[nodiscard]] QString takeFiles(Progress &progress);
    [[nodiscard]] QString markTaken(Progress &progress);
    [[nodiscard]] QString placeFiles(Progress &progress);
    // The last steps cannot stop a change that is taken: they return false
    // when something is left for opening the folder again to finish.
    [[nodiscard]] bool removeDiscarded(Progress &progress);
    [[nodiscard]] bool removeJournal();

    QString path(const QString &name) const;
    bool brought(qsizetype entry) const;
    // What the journal holds before the line "tomados".
    QByteArray untakenText() const { return journalText(m_journal); }
    [[nodiscard]] QString undo(const QString &reason) const;

    QString m_folder;
    Journal m_journal;         // never taken: run() adds the line to the file only
    QList<QByteArray> m_bytes; // for each entry; null for a New entry that is brought
    std::function<QString()> m_require;
};

// What opening a folder found.
struct Recovery
{
    enum Outcome { Nothing, Before, After, Failed };
    Outcome outcome = Nothing;
    QString change;  // the change, when the journal said
    QString problem; // why it could not be put right (Failed)
};

// Puts right a change cut short in `folder` (finished or undone), and
// removes new files of a change that never began. Does nothing while
// another program holds the folder's lock.
Recovery recoverFolder(const QString &folder);

// The one sentence that tells the teacher what was found in the folder
// shown as `folderName`; empty for Nothing.
QString recoveryMessage(const Recovery &recovery, const QString &folderName);

} // namespace letro::folder

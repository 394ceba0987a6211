// The file-system steps of the editor's changes, each one a single system
// call that either happens whole or not at all: renames that never replace
// an existing file, new files written and flushed to disk, removals and
// flushes of a folder's entries. Every step asks the step gate first, so a
// test can make any step fail, or stop the process there, and see what the
// folder looks like afterwards.
#pragma once

#include <QByteArray>
#include <QString>

namespace letro::folder {

// The kinds of step, as the step gate sees them.
enum class Step {
    Write,      // a new file, written and flushed
    Append,     // bytes added to the end of a file, flushed
    Truncate,   // a file cut back to a length, flushed
    Rename,     // a name moved to a free name
    Remove,     // a name removed
    SyncFile,   // an existing file's data flushed
    SyncFolder, // a folder's entries flushed
    MakeFolder, // a new folder made
    Copy,       // a new file made as a copy of another, flushed
};

// Asked before each step; a test's gate returns an errno value to make the
// step fail with it (0: go ahead), or ends the process there.
class StepGate
{
public:
    virtual ~StepGate() = default;
    virtual int before(Step step, const QString &path, const QString &other) = 0;
};

// The gate every step asks from now on (nullptr: none). Not owned.
void setStepGate(StepGate *gate);

// What the gate says of a step done outside this file (0: go ahead, else
// the errno value it fails with).
int askStepGate(Step step, const QString &path, const QString &other = QString());

// Renames `from` to `to` in one step; fails when `to` exists. Returns an
// empty string or the reason.
QString renameNoReplace(const QString &from, const QString &to);

// A hidden name in `folder` that nothing has, for a probe of whether it
// can be written (probeName).
QString temporaryName(const QString &folder);

// Writes `bytes` to `path` (which must not exist) and flushes them to disk.
QString writeNewFile(const QString &path, const QByteArray &bytes);

// Adds `bytes` at the end of an existing file and flushes it.
QString appendToFile(const QString &path, const QByteArray &bytes);

// Cuts an existing file back to `size` bytes and flushes it.
QString truncateFile(const QString &path, qint64 size);

// Removes the file `path`.
QString removeFile(const QString &path);

// Flushes the data of an existing file to disk.
QString syncFile(const QString &path);

// Flushes the entries of `folder` (the renames, new and removed names in it)
// to disk.
QString syncFolder(const QString &folder);

// True when something (a file, a folder, a link) has that name.
bool nameExists(const QString &path);

// A lock on a folder that one process at a time holds (flock on the
// folder): the editor and letro-grabar hold it while they change the
// folder's files or put a cut-short change right. The system frees it when
// the process ends, however it ends.
class FolderLock
{
public:
    explicit FolderLock(const QString &folder);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;
    // Empty when the lock is held, else why not (another program has it).
    QString problem() const { return m_problem; }

private:
    int m_fd = -1;
    QString m_problem;
};

} // namespace letro::folder

#include "folder/filesystem.h"

#include "folder/fileerrors.h"
#include "folder/hiddennames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace letro::folder {

namespace {

std::atomic<StepGate *> gate{nullptr};

// The gate's answer for a step: 0, or the errno value the step fails with.
int gateSays(Step step, const QString &path, const QString &other = QString())
{
    StepGate *g = gate.load();
    return g ? g->before(step, path, other) : 0;
}

// Writes all of `bytes` to `fd`; 0 or the errno value.
int writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += n;
    }
    return 0;
}

} // namespace

void setStepGate(StepGate *g)
{
    gate.store(g);
}

int askStepGate(Step step, const QString &path, const QString &other)
{
    return gateSays(step, path, other);
}

QString renameNoReplace(const QString &from, const QString &to)
{
    if (const int error = gateSays(Step::Rename, from, to))
        return fileErrorReason(error);
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return QString();
    if (errno != EINVAL && errno != ENOSYS)
        return fileErrorReason(errno);
    // A file system without RENAME_NOREPLACE: a hard link cannot replace
    // anything either; the old name goes once the new one is there.
    if (::link(source.constData(), target.constData()) != 0)
        return fileErrorReason(errno);
    if (::unlink(source.constData()) != 0) {
        const int error = errno;
        ::unlink(target.constData());
        return fileErrorReason(error);
    }
    return QString();
}

QString temporaryName(const QString &folder)
{
    static std::atomic<int> counter{0};
    const QDir dir(folder);
    for (;;) {
        const QString path = dir.filePath(probeName(QCoreApplication::applicationPid(), ++counter));
        if (!nameExists(path))
            return path;
    }
}

namespace {

// Writes `bytes` to the open file `fd`, flushes it to the disk and closes
// it: the first error of the three, or 0.
int writeSyncAndClose(int fd, const QByteArray &bytes)
{
    int error = writeAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

} // namespace

QString writeNewFile(const QString &path, const QByteArray &bytes)
{
    if (const int error = gateSays(Step::Write, path))
        return fileErrorReason(error);
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return fileErrorReason(errno);
    const int error = writeSyncAndClose(fd, bytes);
    if (error != 0) {
        ::unlink(name.constData());
        return fileErrorReason(error);
    }
    return QString();
}

QString appendToFile(const QString &path, const QByteArray &bytes)
{
    if (const int error = gateSays(Step::Append, path))
        return fileErrorReason(error);
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return fileErrorReason(errno);
    const int error = writeSyncAndClose(fd, bytes);
    return error == 0 ? QString() : fileErrorReason(error);
}

QString truncateFile(const QString &path, qint64 size)
{
    if (const int error = gateSays(Step::Truncate, path))
        return fileErrorReason(error);
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return fileErrorReason(errno);
    int error = 0;
    if (::ftruncate(fd, off_t(size)) != 0 || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error == 0 ? QString() : fileErrorReason(error);
}

QString removeFile(const QString &path)
{
    if (const int error = gateSays(Step::Remove, path))
        return fileErrorReason(error);
    if (::unlink(QFile::encodeName(path).constData()) != 0)
        return fileErrorReason(errno);
    return QString();
}

namespace {

// Opens `path` with `flags` and flushes it to the disk.
QString openAndSync(Step step, const QString &path, int flags)
{
    if (const int error = gateSays(step, path))
        return fileErrorReason(error);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | flags);
    if (fd < 0)
        return fileErrorReason(errno);
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error == 0 ? QString() : fileErrorReason(error);
}

} // namespace

QString syncFile(const QString &path)
{
    return openAndSync(Step::SyncFile, path, 0);
}

QString syncFolder(const QString &folder)
{
    return openAndSync(Step::SyncFolder, folder, O_DIRECTORY);
}

bool nameExists(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

FolderLock::FolderLock(const QString &folder)
{
    m_fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0) {
        m_problem = fileErrorReason(errno);
        return;
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        m_problem = errno == EWOULDBLOCK
                        ? QStringLiteral("otro programa está cambiando sus archivos ahora mismo")
                        : fileErrorReason(errno);
        ::close(m_fd);
        m_fd = -1;
    }
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace letro::folder

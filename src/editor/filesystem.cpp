#include "editor/filesystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace letro::editor {

QString systemReason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("no hay permiso");
    case EEXIST:
    case ENOTEMPTY:
        return QStringLiteral("ya existe un archivo con ese nombre");
    case EISDIR:
        return QStringLiteral("hay una carpeta con ese nombre");
    case ENOENT:
        return QStringLiteral("no existe");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("no queda espacio en el disco");
    case EROFS:
        return QStringLiteral("el disco es de solo lectura");
    case EBUSY:
        return QStringLiteral("el archivo está en uso");
    case EIO:
        return QStringLiteral("error de lectura o escritura en el disco");
    default:
        return QStringLiteral("error del sistema %1").arg(error);
    }
}

QString renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return QString();
    if (errno != EINVAL && errno != ENOSYS)
        return systemReason(errno);
    // A file system without RENAME_NOREPLACE: a hard link cannot replace
    // anything either; the old name goes once the new one is there.
    if (::link(source.constData(), target.constData()) != 0)
        return systemReason(errno);
    if (::unlink(source.constData()) != 0) {
        const int error = errno;
        ::unlink(target.constData());
        return systemReason(error);
    }
    return QString();
}

QString temporaryName(const QString &folder)
{
    static int counter = 0;
    const QDir dir(folder);
    for (;;) {
        const QString path = dir.filePath(QStringLiteral(".letro-editor-%1-%2")
                                              .arg(QCoreApplication::applicationPid())
                                              .arg(++counter));
        struct stat info;
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
            return path;
    }
}

QString writeNewFile(const QString &path, const QByteArray &bytes)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return systemReason(errno);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            ::close(fd);
            ::unlink(name.constData());
            return systemReason(error);
        }
        done += n;
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int error = errno;
        ::unlink(name.constData());
        return systemReason(error);
    }
    return QString();
}

Transaction::~Transaction()
{
    if (m_open)
        rollback();
}

QString Transaction::write(const QByteArray &bytes, QString *temporary)
{
    *temporary = temporaryName(m_folder);
    const QString problem = writeNewFile(*temporary, bytes);
    if (problem.isEmpty())
        m_written.append(*temporary);
    return problem;
}

QString Transaction::stash(const QString &file, QString *temporary)
{
    *temporary = temporaryName(m_folder);
    if (const QString problem = renameNoReplace(file, *temporary); !problem.isEmpty())
        return QStringLiteral("no se puede mover «%1»: %2")
            .arg(QFileInfo(file).fileName(), problem);
    m_renames.append({file, *temporary});
    return QString();
}

QString Transaction::place(const QString &temporary, const QString &final)
{
    if (const QString problem = renameNoReplace(temporary, final); !problem.isEmpty())
        return QStringLiteral("no se puede crear «%1»: %2")
            .arg(QFileInfo(final).fileName(), problem);
    m_renames.append({temporary, final});
    return QString();
}

QString Transaction::fail(const QString &reason)
{
    rollback();
    return reason;
}

void Transaction::rollback()
{
    m_open = false;
    for (auto it = m_renames.crbegin(); it != m_renames.crend(); ++it) {
        // The name being given back was freed by this transaction itself.
        if (!renameNoReplace(it->second, it->first).isEmpty())
            qWarning("letro-editor: cannot put %s back as %s", qPrintable(it->second),
                     qPrintable(it->first));
    }
    // The new files are back under their temporary names.
    for (const QString &file : std::as_const(m_written))
        QFile::remove(file);
    m_renames.clear();
    m_written.clear();
}

void Transaction::commit()
{
    m_open = false;
    for (const QString &file : std::as_const(m_discard))
        QFile::remove(file);
}

} // namespace letro::editor

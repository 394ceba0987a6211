// Making a file unreadable even when the tests run as root. Root reads any
// file whatever its permission bits; while a NoFileAccessRights object lives,
// file access of this thread is checked as the user "nobody" (setfsuid drops
// root's file capabilities), so a file with mode 000 really cannot be opened.
// The folders on the way must stay searchable for "nobody".
#pragma once

#include <QDir>
#include <QFile>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

namespace letro::test {

class NoFileAccessRights
{
public:
    NoFileAccessRights()
    {
        if (::geteuid() == 0) {
            ::setfsuid(65534);
            m_switched = true;
        }
    }
    ~NoFileAccessRights()
    {
        if (m_switched)
            ::setfsuid(0);
    }
    NoFileAccessRights(const NoFileAccessRights &) = delete;
    NoFileAccessRights &operator=(const NoFileAccessRights &) = delete;

private:
    bool m_switched = false;
};

// Lets anyone read and search `folder` and the folders above it that do not allow it
// yet; other mode bits (the sticky bit of /tmp) are kept as they are.
inline void makeSearchable(const QString &folder)
{
    QDir dir(folder);
    while (!dir.isRoot()) {
        const QByteArray path = QFile::encodeName(dir.absolutePath());
        struct stat info;
        if (::stat(path.constData(), &info) != 0)
            break;
        // Root's own group still applies to "nobody": open the group bits too.
        const mode_t wanted = S_IXOTH | S_IROTH | S_IXGRP | S_IRGRP;
        if ((info.st_mode & wanted) != wanted)
            ::chmod(path.constData(), (info.st_mode & 07777) | wanted);
        if (!dir.cdUp())
            break;
    }
}

// True when the file cannot be opened for reading from this thread right now.
inline bool cannotOpen(const QString &path)
{
    QFile file(path);
    return !file.open(QIODevice::ReadOnly);
}

} // namespace letro::test

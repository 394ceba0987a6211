// Exercise folders for the editor's tests, written and compared in a short
// notation: "1=t1 1.wav=w1 2=t2" is the text of exercise 1 with its
// recording, and the text of exercise 2.
#pragma once

#include "folder/filesystem.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QStringList>

#include <sys/stat.h>

namespace letro::test {

using Layout = QMap<QString, QByteArray>;

// The text every changed exercise gets in the tests.
inline const QString NewText = QStringLiteral("Nuevo dictado");

// The bytes of a token: tN text N, wN recording N, lN slow recording N, nN
// text N with a note on its second line in Windows-1252, "new" the new text
// as the editor writes it, "new+note" the same with the note kept, x any
// other file.
inline QByteArray tokenBytes(const QString &token)
{
    static const QRegularExpression numbered(QStringLiteral("^([twln])([0-9]+)$"));
    if (const auto m = numbered.match(token); m.hasMatch()) {
        const QByteArray n = m.captured(2).toLatin1();
        switch (m.captured(1).at(0).unicode()) {
        case 't':
            return "texto " + n + "\r\n";
        case 'w':
            return "RIFF grabacion " + n;
        case 'l':
            return "RIFF lenta " + n;
        case 'n':
            return "texto " + n + "\r\nnota: canci\xf3n\r\n";
        }
    }
    if (token == QLatin1String("new"))
        return "Nuevo dictado\r\n";
    if (token == QLatin1String("new+note"))
        return "Nuevo dictado\r\nnota: canci\xc3\xb3n\r\n";
    if (token == QLatin1String("x"))
        return "otro archivo";
    qFatal("unknown token %s", qPrintable(token));
}

inline Layout layout(const QString &notation)
{
    Layout files;
    const QStringList items = notation.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &item : items) {
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        files.insert(item.left(eq), tokenBytes(item.mid(eq + 1)));
    }
    return files;
}

inline void writeLayout(const QString &folder, const Layout &files)
{
    QDir().mkpath(folder);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile file(QDir(folder).filePath(it.key()));
        if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
    }
}

// Every entry of the folder, hidden ones included, with its contents.
inline Layout readLayout(const QString &folder)
{
    Layout files;
    const QDir dir(folder);
    const QStringList names =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        if (QFileInfo(file).isDir())
            files.insert(name, "<carpeta>");
        else if (file.open(QIODevice::ReadOnly))
            files.insert(name, file.readAll());
        else
            files.insert(name, "<no se puede leer>");
    }
    return files;
}

// Names, contents, owners, modes and modification times: what "exactly as
// before" means.
inline QStringList snapshot(const QString &folder)
{
    QStringList lines;
    const Layout files = readLayout(folder);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        struct stat info;
        ::lstat(QFile::encodeName(QDir(folder).filePath(it.key())).constData(), &info);
        lines.append(
            QStringLiteral("%1 %2 uid %3 mode %4 mtime %5.%6")
                .arg(it.key(),
                     QString::fromLatin1(
                         QCryptographicHash::hash(it.value(), QCryptographicHash::Sha1).toHex()))
                .arg(info.st_uid)
                .arg(info.st_mode, 0, 8)
                .arg(qlonglong(info.st_mtim.tv_sec))
                .arg(qlonglong(info.st_mtim.tv_nsec)));
    }
    return lines;
}

// A step gate that makes steps of one kind on a file of one name fail with
// `error`, as a file of another user, a full disk or a broken disk would:
// every such step, or only the first `times`.
class FailingStep : public folder::StepGate
{
public:
    FailingStep(folder::Step step, const QString &name, int error, int times = -1)
        : m_step(step), m_name(name), m_error(error), m_times(times)
    {}
    int before(folder::Step step, const QString &path, const QString &) override
    {
        if (step != m_step || QFileInfo(path).fileName() != m_name || m_times == 0)
            return 0;
        if (m_times > 0)
            --m_times;
        return m_error;
    }

private:
    folder::Step m_step;
    QString m_name;
    int m_error;
    int m_times;
};

// Changes made by hand, as in a shell: "8>800" renames, "3.wav=w9" writes a
// file, "-5" removes one. False when one could not be made.
inline bool changeByHand(const QString &folder, const QString &changes)
{
    const QDir dir(folder);
    for (const QString &change : changes.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const qsizetype arrow = change.indexOf(QLatin1Char('>'));
        if (change.startsWith(QLatin1Char('-'))) {
            if (!QFile::remove(dir.filePath(change.mid(1))))
                return false;
        } else if (arrow > 0) {
            if (!QFile::rename(dir.filePath(change.left(arrow)),
                               dir.filePath(change.mid(arrow + 1))))
                return false;
        } else {
            writeLayout(folder, layout(change));
        }
    }
    return true;
}

// The moment file times in the tests count from: a whole second.
inline QDateTime timeBase()
{
    return QDateTime::fromSecsSinceEpoch(1709287200); // 1 March 2024, 10:00 UTC
}

// Sets the modification time of files of `folder`, as "1=0 1.wav=-1500":
// each name with its time in milliseconds after timeBase(). False when one
// could not be set.
inline bool setTimes(const QString &folder, const QString &times)
{
    for (const QString &item : times.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        QFile file(QDir(folder).filePath(item.left(eq)));
        if (!file.open(QIODevice::ReadOnly) ||
            !file.setFileTime(timeBase().addMSecs(item.mid(eq + 1).toLongLong()),
                              QFileDevice::FileModificationTime))
            return false;
    }
    return true;
}

} // namespace letro::test

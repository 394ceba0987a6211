#include "editor/letrofolder.h"

#include "editor/exercisefolder.h"
#include "editor/filesystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

namespace letro::editor {

bool isLetroFolder(const QString &folder)
{
    const QFileInfo program(QDir(folder).filePath(QStringLiteral("letro")));
    return program.isFile() && program.isExecutable();
}

namespace {

// Whether a new file can be made in `folder`, tried for real: permissions,
// access lists and read-only disks all have their say.
bool canCreateIn(const QString &folder)
{
    const QString probe = temporaryName(folder);
    if (!writeNewFile(probe, QByteArray()).isEmpty())
        return false;
    QFile::remove(probe);
    return true;
}

} // namespace

bool isWritableFolder(const QString &folder)
{
    if (!QFileInfo(folder).isDir() || !canCreateIn(folder))
        return false;
    for (const QString &type : typeNames()) {
        const QString sub = QDir(folder).filePath(type);
        if (QFileInfo::exists(sub) && !(QFileInfo(sub).isDir() && canCreateIn(sub)))
            return false;
    }
    return true;
}

QString installedFolder()
{
    return QCoreApplication::applicationDirPath();
}

namespace {

const char *const FolderKey = "carpeta";

} // namespace

QString startFolder(const QString &argument)
{
    if (!argument.isEmpty())
        return argument;
    const QString last = QSettings().value(QLatin1String(FolderKey)).toString();
    if (!last.isEmpty() && isLetroFolder(last) && isWritableFolder(last))
        return last;
    return installedFolder();
}

void rememberFolder(const QString &folder)
{
    QSettings().setValue(QLatin1String(FolderKey), folder);
}

namespace {

// Copies the ordinary, not hidden files of folder `from` into the new folder `to`.
QString copyFiles(const QString &from, const QString &to)
{
    if (!QDir().mkdir(to))
        return QStringLiteral("no se puede crear la carpeta «%1»").arg(to);
    const QDir source(from);
    const QStringList names = source.entryList(QDir::Files);
    for (const QString &name : names) {
        if (!QFile::copy(source.filePath(name), QDir(to).filePath(name)))
            return QStringLiteral("no se puede copiar «%1»").arg(source.filePath(name));
    }
    return QString();
}

QString copyInto(const QString &source, const QString &target)
{
    const QDir from(source);
    if (!QDir().mkdir(target))
        return QStringLiteral("no se puede crear la carpeta «%1»").arg(target);
    const QDir to(target);
    const QString program = QStringLiteral("letro");
    if (!QFile::copy(from.filePath(program), to.filePath(program)))
        return QStringLiteral("no se puede copiar el programa «%1»").arg(from.filePath(program));
    QFile::setPermissions(to.filePath(program), QFile::permissions(to.filePath(program)) |
                                                    QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ExeOwner);
    QStringList folders = typeNames();
    folders.prepend(QStringLiteral("gifs"));
    for (const QString &folder : folders) {
        if (!QFileInfo(from.filePath(folder)).isDir())
            continue;
        if (const QString problem = copyFiles(from.filePath(folder), to.filePath(folder));
            !problem.isEmpty())
            return problem;
    }
    return QString();
}

// A desktop entry's string value: backslashes doubled.
QString entryString(const QString &value)
{
    QString escaped = value;
    return escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}

// A program path as one quoted argument of Exec.
QString execArgument(const QString &path)
{
    QString quoted;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c == QLatin1Char('%') ? QStringLiteral("%%") : QString(c);
    }
    return entryString(QLatin1Char('"') + quoted + QLatin1Char('"'));
}

} // namespace

QString copyLetro(const QString &source, const QString &parent, QString *made)
{
    if (!isLetroFolder(source))
        return QStringLiteral("en «%1» no está el programa Letro").arg(source);
    if (!QFileInfo(parent).isDir() || !canCreateIn(parent))
        return QStringLiteral("no se puede escribir en la carpeta «%1»").arg(parent);
    const QDir dir(parent);
    QString target = dir.filePath(QStringLiteral("Letro"));
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n) {
        if (n > 99)
            return QStringLiteral("ya hay demasiadas copias de Letro en «%1»").arg(parent);
        target = dir.filePath(QStringLiteral("Letro %1").arg(n));
    }
    const QString partial = temporaryName(parent);
    QString problem = copyInto(source, partial);
    if (problem.isEmpty())
        problem = renameNoReplace(partial, target);
    if (!problem.isEmpty()) {
        QDir(partial).removeRecursively();
        return problem;
    }
    if (made)
        *made = target;
    return QString();
}

QString menuEntryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/applications/org.example.letro.mis-dictados.desktop");
}

QString menuEntryText(const QString &folder)
{
    const QString program = QDir(folder).filePath(QStringLiteral("letro"));
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=%1\n"
                          "GenericName=Dictados de ortografía\n"
                          "Comment=Letro con los dictados de la carpeta %2\n"
                          "Exec=%3\n"
                          "TryExec=%4\n"
                          "Path=%2\n"
                          "Icon=letro\n"
                          "Terminal=false\n"
                          "Categories=Education;Languages;\n"
                          "StartupNotify=true\n")
        .arg(QLatin1String(CopyEntryName), entryString(folder), execArgument(program),
             entryString(program));
}

QString writeMenuEntry(const QString &folder)
{
    if (folder.contains(QLatin1Char('\n')) || folder.contains(QLatin1Char('\r')))
        return QStringLiteral("el nombre de la carpeta tiene un salto de línea");
    const QString path = menuEntryPath();
    if (!QDir().mkpath(QFileInfo(path).path()))
        return QStringLiteral("no se puede crear la carpeta «%1»").arg(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(menuEntryText(folder).toUtf8()) < 0 ||
        !file.commit())
        return QStringLiteral("no se puede escribir «%1»").arg(path);
    return QString();
}

} // namespace letro::editor

#include "editor/letrofolder.h"

#include "exercise/sharednames.h"
#include "folder/exercisefolder.h"
#include "folder/fileerrors.h"
#include "folder/filesystem.h"
#include "folder/journal.h"
#include "folder/recordings.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace letro::editor {

bool isLetroFolder(const QString &folder)
{
    const QFileInfo program(QDir(folder).filePath(QStringLiteral("letro")));
    return program.isFile() && program.isExecutable();
}

QString packageFileList()
{
    return QStringLiteral("/var/lib/dpkg/info/letro.list");
}

bool isPackageFolder(const QString &folder, const QString &fileList)
{
    const QString program =
        QFileInfo(QDir(folder).filePath(QStringLiteral("letro"))).canonicalFilePath();
    QFile list(fileList);
    if (program.isEmpty() || !list.open(QIODevice::ReadOnly))
        return false;
    while (!list.atEnd()) {
        const QString listed = QFile::decodeName(list.readLine().trimmed());
        if (listed == program || QFileInfo(listed).canonicalFilePath() == program)
            return true;
    }
    return false;
}

uid_t teacherUser()
{
    if (::geteuid() != 0)
        return ::geteuid();
    for (const char *variable : {"SUDO_UID", "PKEXEC_UID"}) {
        bool ok = false;
        const uint uid = qEnvironmentVariable(variable).toUInt(&ok);
        if (ok && uid != 0)
            return uid_t(uid);
    }
    return 0;
}

namespace {

// Whether a new file can be made in `folder`, tried for real as the
// teacher's own user: permissions, access lists and read-only disks all
// have their say. setfsuid changes only this thread's file-system user.
bool canCreateIn(const QString &folder)
{
    const uid_t teacher = teacherUser();
    const bool asTeacher = teacher != ::geteuid();
    gid_t group = 0;
    if (asTeacher) {
        bool ok = false;
        group = gid_t(qEnvironmentVariable("SUDO_GID").toUInt(&ok));
        if (!ok)
            group = gid_t(teacher);
        ::setfsgid(group);
        ::setfsuid(teacher);
    }
    const QString probe = temporaryName(folder);
    const bool made = writeNewFile(probe, QByteArray()).isEmpty();
    if (made)
        QFile::remove(probe);
    if (asTeacher) {
        ::setfsuid(::geteuid());
        ::setfsgid(::getegid());
    }
    return made;
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

QString whyOnlyShown(const QString &folder, const QString &fileList)
{
    if (isPackageFolder(folder, fileList))
        return QStringLiteral("Esta carpeta de Letro es la que instaló el sistema: la próxima "
                              "actualización de Letro borraría lo que se cambiase en ella.");
    if (!isWritableFolder(folder)) {
        if (QStorageInfo(folder).isReadOnly())
            return QStringLiteral("Esta carpeta de Letro está en un disco de solo lectura.");
        return QStringLiteral("Esta carpeta de Letro es del sistema o de otro usuario: usted "
                              "no puede cambiarla.");
    }
    return QString();
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

// The files of an exercise folder that a copy takes, hidden ones too, by
// name.
QStringList filesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// What a copy of Letro is made of: the program, then the files of the
// pictures' and exercises' folders (relative names; folders end in "/").
QStringList copyPlan(const QString &source)
{
    const QDir from(source);
    QStringList plan = {QStringLiteral("letro")};
    QStringList folders = exerciseTypeFolders();
    folders.prepend(QStringLiteral("gifs"));
    for (const QString &folder : folders) {
        if (!QFileInfo(from.filePath(folder)).isDir())
            continue;
        plan.append(folder + QLatin1Char('/'));
        // An exercise folder's hidden files too: a change cut short there
        // (the journal and the files under hidden names) is put right in the
        // copy.
        const QStringList names = folder == QLatin1String("gifs")
                                      ? QDir(from.filePath(folder)).entryList(QDir::Files)
                                      : filesOf(from.filePath(folder));
        for (const QString &name : names)
            plan.append(folder + QLatin1Char('/') + name);
    }
    return plan;
}

QString mkdirProblem(const QString &path)
{
    int error = askStepGate(Step::MakeFolder, path);
    if (error == 0 && ::mkdir(QFile::encodeName(path).constData(), 0755) == 0)
        return QString();
    if (error == 0)
        error = errno;
    return QStringLiteral("no se puede crear la carpeta «%1»: %2")
        .arg(QDir::toNativeSeparators(path), fileErrorReason(error));
}

// A copy under way is made under this hidden name in the chosen folder,
// with the number of the process making it.
const QString UnfinishedCopy = QStringLiteral(".letro-copia-a-medias-");

// Copies one file, block by block; the reason names the real cause (a full
// disk, a read-only one...), which QFile::copy does not tell.
QString copyFile(const QString &from, const QString &to, mode_t mode, Progress *progress)
{
    if (const int error = askStepGate(Step::Copy, to, from))
        return QStringLiteral("no se puede copiar «%1»: %2")
            .arg(QDir::toNativeSeparators(from), fileErrorReason(error));
    const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return QStringLiteral("no se puede leer «%1»: %2")
            .arg(QDir::toNativeSeparators(from), fileErrorReason(errno));
    const int out =
        ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return QStringLiteral("no se puede copiar «%1»: %2")
            .arg(QDir::toNativeSeparators(from), fileErrorReason(error));
    }
    QString problem;
    struct stat original;
    if (::fstat(in, &original) != 0)
        problem = QStringLiteral("no se puede leer «%1»: %2")
                      .arg(QDir::toNativeSeparators(from), fileErrorReason(errno));
    char buffer[64 * 1024];
    while (problem.isEmpty()) {
        if (progress && progress->cancelled) {
            problem = cancelledReason();
            break;
        }
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            problem = QStringLiteral("no se puede leer «%1»: %2")
                          .arg(QDir::toNativeSeparators(from), fileErrorReason(errno));
            break;
        }
        if (n == 0)
            break;
        for (ssize_t done = 0; done < n && problem.isEmpty();) {
            const ssize_t w = ::write(out, buffer + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                problem = QStringLiteral("no se puede copiar «%1»: %2")
                              .arg(QDir::toNativeSeparators(from),
                                   fileErrorReason(w < 0 ? errno : ENOSPC));
            else
                done += w;
        }
        if (!problem.isEmpty())
            break;
        if (progress)
            progress->done += int(n / 1024);
    }
    // The copy keeps each file's time: a recording older than its text is
    // one made for an earlier text, in the copy as in the original.
    const struct timespec times[2] = {original.st_atim, original.st_mtim};
    if (problem.isEmpty() && ::futimens(out, times) != 0)
        problem = QStringLiteral("no se puede copiar «%1»: %2")
                      .arg(QDir::toNativeSeparators(from), fileErrorReason(errno));
    if (problem.isEmpty() && ::fsync(out) != 0)
        problem = QStringLiteral("no se puede copiar «%1»: %2")
                      .arg(QDir::toNativeSeparators(from), fileErrorReason(errno));
    if (::close(out) != 0 && problem.isEmpty())
        problem = QStringLiteral("no se puede copiar «%1»: %2")
                      .arg(QDir::toNativeSeparators(from), fileErrorReason(errno));
    ::close(in);
    return problem;
}

QString copyInto(const QString &source, const QString &target, const QStringList &plan,
                 Progress *progress)
{
    const QDir from(source);
    const QDir to(target);
    if (const QString problem = mkdirProblem(target); !problem.isEmpty())
        return problem;
    for (const QString &name : plan) {
        const QString problem =
            name.endsWith(QLatin1Char('/'))
                ? mkdirProblem(to.filePath(name.chopped(1)))
                : copyFile(from.filePath(name), to.filePath(name),
                           name == QLatin1String("letro") ? 0755 : 0644, progress);
        if (!problem.isEmpty())
            return problem;
    }
    return QString();
}

// The journal a change cut short left in `folder`: none when there is no
// journal; `damaged` when there is one that cannot be read.
std::optional<Journal> journalIn(const QString &folder, bool *damaged)
{
    *damaged = false;
    const QString path = QDir(folder).filePath(JournalName);
    if (!nameExists(path))
        return std::nullopt;
    QFile file(path);
    std::optional<Journal> journal =
        file.open(QIODevice::ReadOnly) ? parseJournal(file.readAll()) : std::nullopt;
    *damaged = !journal;
    return journal;
}

// The number a name of an exercise folder belongs to ("57.lento.wav": 57), or 0.
int numberOf(const QString &name)
{
    qsizetype digits = 0;
    while (digits < name.size() && name.at(digits).unicode() >= '0' &&
           name.at(digits).unicode() <= '9')
        ++digits;
    return name.left(digits).toInt();
}

// A file's size and modification time, to tell whether a copy is the same.
QString stampOf(const QString &path)
{
    struct stat s;
    if (::stat(QFile::encodeName(path).constData(), &s) != 0)
        return QString();
    return QStringLiteral("%1 %2.%3").arg(s.st_size).arg(s.st_mtim.tv_sec).arg(s.st_mtim.tv_nsec);
}

bool sameExercise(const Exercise &a, const Exercise &b)
{
    return a.number == b.number && a.status == b.status && a.text == b.text &&
           a.hasText == b.hasText && a.recording == b.recording &&
           a.slowRecording == b.slowRecording && a.mark == b.mark;
}

} // namespace

QMap<QString, QString> putRightNames(const QStringList &names,
                                     const std::optional<Journal> &journal)
{
    QMap<QString, QString> view;
    for (const QString &name : names)
        view.insert(name, name);
    if (journal) {
        QSet<QString> present;
        for (const JournalEntry &e : journal->entries)
            if (view.contains(e.temporary))
                present.insert(e.temporary);
        for (const RecoveryStep &step : recoverySteps(*journal, present)) {
            const QString file = view.take(step.from);
            if (!step.to.isEmpty())
                view.insert(step.to, file);
        }
        view.remove(JournalName);
    }
    for (auto it = view.begin(); it != view.end();)
        it = isLeftoverName(it.key()) ? view.erase(it) : std::next(it);
    return view;
}

QString copyDifference(const QString &source, const QString &copy)
{
    bool damaged = false;
    const std::optional<Journal> journal = journalIn(source, &damaged);
    if (damaged)
        return QStringLiteral("su diario de cambios, «%1», está dañado").arg(JournalName);
    // Every file the source holds once put right, with its bytes' size and
    // time, and nothing else.
    const QMap<QString, QString> expected = putRightNames(filesOf(source), journal);
    const QStringList made = filesOf(copy);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (!made.contains(it.key()))
            return QStringLiteral("en la copia falta «%1»").arg(it.key());
        if (stampOf(QDir(copy).filePath(it.key())) != stampOf(QDir(source).filePath(it.value())))
            return QStringLiteral("«%1» no es en la copia igual que en el original").arg(it.key());
    }
    for (const QString &name : made)
        if (!expected.contains(name))
            return QStringLiteral("en la copia sobra «%1»").arg(name);
    // The dictations as the editor reads them: each one the cut-short
    // change did not touch is in the copy, the same.
    QSet<int> touched;
    if (journal)
        for (const JournalEntry &e : journal->entries)
            touched << numberOf(e.from) << numberOf(e.to);
    const QList<Exercise> copied = TypeFolder(copy).exercises();
    for (const Exercise &e : TypeFolder(source).exercises()) {
        if (touched.contains(e.number))
            continue;
        const auto same = std::find_if(copied.cbegin(), copied.cend(), [&](const Exercise &c) {
            return c.number == e.number && c.hasText == e.hasText;
        });
        if (same == copied.cend() || !sameExercise(*same, e))
            return QStringLiteral("el dictado %1 no es en la copia igual que en el original")
                .arg(e.number);
    }
    return QString();
}

namespace {

// Puts right, in the copy in `target`, each change cut short in an
// exercise folder of `source`, then checks every exercise folder of the copy
// against what the source holds once put right. *note tells the teacher
// what was put right.
QString putRightAndCheck(const QString &source, const QString &target, QStringList *note)
{
    for (const QString &type : exerciseTypeFolders()) {
        const QString copied = QDir(target).filePath(type);
        if (!QFileInfo(copied).isDir())
            continue;
        const Recovery recovery = recoverFolder(copied);
        const QString which = recovery.change.isEmpty()
                                  ? QStringLiteral("un cambio")
                                  : QStringLiteral("el cambio «%1»").arg(recovery.change);
        switch (recovery.outcome) {
        case Recovery::Nothing:
            break;
        case Recovery::Failed:
            return QStringLiteral("en «%1» quedó a medias %2, y no se puede terminar ni deshacer "
                                  "tampoco en la copia (%3)")
                .arg(type, which, recovery.problem);
        case Recovery::Before:
            note->append(QStringLiteral("En «%1» del original había quedado a medias %2; en su "
                                        "copia se ha deshecho: está como antes de ese cambio.")
                             .arg(type, which));
            break;
        case Recovery::After:
            note->append(QStringLiteral("En «%1» del original había quedado a medias %2; en su "
                                        "copia se ha terminado: está como después de ese cambio.")
                             .arg(type, which));
            break;
        }
        if (const QString differs = copyDifference(QDir(source).filePath(type), copied);
            !differs.isEmpty())
            return QStringLiteral("la copia de «%1» no coincide con el original: %2")
                .arg(type, differs);
    }
    return QString();
}

// Every folder of the copy in `target` on disk before it gets its name.
QString syncCopy(const QString &target, const QStringList &plan)
{
    for (const QString &name : plan)
        if (name.endsWith(QLatin1Char('/')))
            if (const QString problem = syncFolder(QDir(target).filePath(name.chopped(1)));
                !problem.isEmpty())
                return problem;
    return syncFolder(target);
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

qint64 copySize(const QString &source, qint64 blockSize)
{
    qint64 bytes = 0;
    for (const QString &name : copyPlan(source))
        if (!name.endsWith(QLatin1Char('/')))
            bytes += spaceInBlocks(QFileInfo(QDir(source).filePath(name)).size(), blockSize);
    return bytes;
}

QString spaceProblem(qint64 needed, qint64 available, const QString &parent)
{
    // Room for the folders' entries and a little to spare after the copy.
    const qint64 wanted = needed + needed / 50 + 1024 * 1024;
    if (available < 0 || wanted <= available)
        return QString();
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    return QStringLiteral("no queda espacio en el disco: la copia necesita %1 y en «%2» "
                          "quedan %3")
        .arg(spanish.formattedDataSize(wanted, 1, QLocale::DataSizeTraditionalFormat),
             QDir::toNativeSeparators(parent),
             spanish.formattedDataSize(available, 1, QLocale::DataSizeTraditionalFormat));
}

QString copyLetro(const QString &source, const QString &parent, QString *made, Progress *progress,
                  QString *note)
{
    if (!isLetroFolder(source))
        return QStringLiteral("en «%1» no está el programa Letro").arg(source);
    if (!QFileInfo(parent).isDir() || !canCreateIn(parent))
        return QStringLiteral("no se puede escribir en la carpeta «%1»").arg(parent);
    const QStringList plan = copyPlan(source);
    // Each file takes whole blocks of the disk it goes to.
    const qint64 bytes = copySize(source);
    const qint64 needed = copySize(source, diskBlockSize(parent));
    QStorageInfo storage(parent);
    storage.refresh();
    if (const QString problem = spaceProblem(needed, storage.bytesAvailable(), parent);
        !problem.isEmpty())
        return problem;
    if (progress)
        progress->total = int(bytes / 1024) + 1;
    const QDir dir(parent);
    QString target = dir.filePath(QStringLiteral("Letro"));
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n) {
        if (n > 99)
            return QStringLiteral("ya hay demasiadas copias de Letro en «%1»").arg(parent);
        target = dir.filePath(QStringLiteral("Letro %1").arg(n));
    }
    const QString partial =
        dir.filePath(UnfinishedCopy + QString::number(QCoreApplication::applicationPid()));
    if (nameExists(partial))
        QDir(partial).removeRecursively(); // this process's own, cancelled
    // No other program changes the source's exercises while they are
    // copied and checked.
    std::vector<std::unique_ptr<FolderLock>> locks;
    for (const QString &type : exerciseTypeFolders()) {
        const QString folder = QDir(source).filePath(type);
        if (!QFileInfo(folder).isDir())
            continue;
        locks.push_back(std::make_unique<FolderLock>(folder));
        if (const QString problem = locks.back()->problem(); !problem.isEmpty())
            return QStringLiteral("no se puede copiar «%1»: %2").arg(type, problem);
    }
    QStringList notes;
    QString problem = copyInto(source, partial, plan, progress);
    if (problem.isEmpty())
        problem = putRightAndCheck(source, partial, &notes);
    if (problem.isEmpty())
        problem = syncCopy(partial, plan);
    if (problem.isEmpty())
        problem = renameNoReplace(partial, target);
    if (!problem.isEmpty()) {
        QDir(partial).removeRecursively();
        return problem;
    }
    if (made)
        *made = target;
    if (note)
        *note = notes.join(QLatin1Char(' '));
    // The new name on disk too; the copy is whole either way.
    syncFolder(parent);
    return QString();
}

QString removeUnfinishedCopies(const QString &parent)
{
    const QDir dir(parent);
    const QStringList names =
        dir.entryList({UnfinishedCopy + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden);
    int removed = 0;
    for (const QString &name : names) {
        bool ok = false;
        const pid_t pid = pid_t(name.mid(UnfinishedCopy.size()).toInt(&ok));
        // One whose process is still running is being made now.
        if (ok && pid > 0 && pid != ::getpid() && (::kill(pid, 0) == 0 || errno != ESRCH))
            continue;
        if (QDir(dir.filePath(name)).removeRecursively())
            ++removed;
    }
    if (removed == 0)
        return QString();
    syncFolder(parent);
    return QStringLiteral("Una copia de Letro que quedó a medias en «%1» al cerrarse el editor de "
                          "golpe se ha borrado: la carpeta está como antes de esa copia.")
        .arg(QDir::toNativeSeparators(parent));
}

QString menuEntryPath(const QString &folder)
{
    // A name of its own for each folder: a short digest of its path.
    const QByteArray digest =
        QCryptographicHash::hash(QFile::encodeName(QDir(folder).absolutePath()),
                                 QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/applications/org.example.letro.mis-dictados-%1.desktop")
               .arg(QString::fromLatin1(digest));
}

QString copyEntryName(const QString &folder)
{
    QString shown = folder.isEmpty() ? QStringLiteral("…")
                                     : QDir::toNativeSeparators(QDir(folder).absolutePath());
    const QString home = QDir::toNativeSeparators(QDir::homePath());
    if (shown.startsWith(home + QDir::separator()))
        shown = QLatin1Char('~') + shown.mid(home.size());
    QString name = QLatin1String(CopyEntryName);
    return name.insert(name.size() - 1, QStringLiteral(", ") + shown);
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
        .arg(entryString(copyEntryName(folder)), entryString(folder), execArgument(program),
             entryString(program));
}

bool menuEntryWouldReplace(const QString &folder)
{
    QFile entry(menuEntryPath(folder));
    return entry.open(QIODevice::ReadOnly) && entry.readAll() != menuEntryText(folder).toUtf8();
}

QString writeMenuEntry(const QString &folder)
{
    if (folder.contains(QLatin1Char('\n')) || folder.contains(QLatin1Char('\r')))
        return QStringLiteral("el nombre de la carpeta tiene un salto de línea");
    const QString path = menuEntryPath(folder);
    if (!QDir().mkpath(QFileInfo(path).path()))
        return QStringLiteral("no se puede crear la carpeta «%1»").arg(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(menuEntryText(folder).toUtf8()) < 0 ||
        !file.commit())
        return QStringLiteral("no se puede escribir «%1»").arg(path);
    return QString();
}

} // namespace letro::editor

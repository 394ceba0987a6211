#include "folder/recordings.h"

#include "exercise/exercisefile.h"
#include "exercise/sharednames.h"
#include "folder/fileerrors.h"
#include "folder/filesystem.h"
#include "folder/hiddennames.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStorageInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <pthread.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

namespace letro::folder {

namespace {

// A recording shorter than a wave file's header holds no sound.
constexpr qint64 WaveHeaderBytes = 44;

// Words that lean on the next one: a pause right after them breaks a phrase.
bool leansOnNextWord(const QString &word)
{
    static const QSet<QString> words = {
        QStringLiteral("a"),     QStringLiteral("al"),    QStringLiteral("ante"),
        QStringLiteral("bajo"),  QStringLiteral("con"),   QStringLiteral("contra"),
        QStringLiteral("de"),    QStringLiteral("del"),   QStringLiteral("desde"),
        QStringLiteral("e"),     QStringLiteral("el"),    QStringLiteral("en"),
        QStringLiteral("entre"), QStringLiteral("hacia"), QStringLiteral("hasta"),
        QStringLiteral("la"),    QStringLiteral("las"),   QStringLiteral("le"),
        QStringLiteral("les"),   QStringLiteral("lo"),    QStringLiteral("los"),
        QStringLiteral("me"),    QStringLiteral("mi"),    QStringLiteral("mis"),
        QStringLiteral("muy"),   QStringLiteral("ni"),    QStringLiteral("no"),
        QStringLiteral("nos"),   QStringLiteral("o"),     QStringLiteral("os"),
        QStringLiteral("para"),  QStringLiteral("pero"),  QStringLiteral("por"),
        QStringLiteral("que"),   QStringLiteral("se"),    QStringLiteral("sin"),
        QStringLiteral("sobre"), QStringLiteral("su"),    QStringLiteral("sus"),
        QStringLiteral("te"),    QStringLiteral("tu"),    QStringLiteral("tus"),
        QStringLiteral("u"),     QStringLiteral("un"),    QStringLiteral("una"),
        QStringLiteral("unas"),  QStringLiteral("unos"),  QStringLiteral("y")};
    static const QRegularExpression marks(QStringLiteral("[^\\w]"),
                                          QRegularExpression::UseUnicodePropertiesOption);
    return words.contains(QString(word).remove(marks).toLower());
}

// True when a word closes a clause: its last mark (closing quotes and
// brackets aside) is a comma, semicolon, colon, full stop, ? or !.
bool closesClause(const QString &word)
{
    static const QRegularExpression end(QStringLiteral("[,;:.?!\\x{2026}][\"'\\x{BB})\\]]*$"));
    return end.match(word).hasMatch();
}

QString breakTag(int milliseconds)
{
    return QStringLiteral("<break time=\"%1ms\"/>").arg(milliseconds);
}

// Where the pauses go within a clause of n words: before each returned index.
QList<qsizetype> groupStarts(const QStringList &clause)
{
    QList<qsizetype> starts;
    const qsizetype n = clause.size();
    if (n <= MaxGroupWords)
        return starts;
    const qsizetype groups = (n + MaxGroupWords - 1) / MaxGroupWords;
    for (qsizetype k = 1; k < groups; ++k) {
        qsizetype start = k * n / groups;
        if (!starts.isEmpty())
            start = std::max(start, starts.last() + 1);
        while (start < n - 1 && leansOnNextWord(clause.at(start - 1)))
            ++start;
        if (start < n && (starts.isEmpty() || start > starts.last()))
            starts.append(start);
    }
    return starts;
}

// What a signal handler needs to clean up after the recording under way:
// plain memory, since a handler may only make async-signal-safe calls.
std::atomic<bool> cleanUpOnSignals{false};
char noted[4096];
volatile std::sig_atomic_t notedPart = 0;
volatile pid_t notedChild = 0;

extern "C" void stopAndRemovePart(int signal)
{
    if (notedPart) {
        if (notedChild > 0) {
            ::kill(notedChild, SIGKILL);
            ::waitpid(notedChild, nullptr, 0);
        }
        ::unlink(noted);
    }
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Notes the temporary file and the program writing it for the handler while
// it is in scope (only in a program that asked for it, one recording at a
// time).
class PartNote
{
public:
    explicit PartNote(const QString &partPath)
    {
        const QByteArray name = QFile::encodeName(partPath);
        if (!cleanUpOnSignals || size_t(name.size()) >= sizeof noted)
            return;
        notedPart = 0;
        notedChild = 0;
        std::memcpy(noted, name.constData(), size_t(name.size()) + 1);
        notedPart = 1;
    }
    void child(qint64 pid)
    {
        if (notedPart)
            notedChild = pid_t(pid);
    }
    ~PartNote()
    {
        notedPart = 0;
        notedChild = 0;
    }
    PartNote(const PartNote &) = delete;
    PartNote &operator=(const PartNote &) = delete;
};

// The signals after which a run removes its half-made recording.
sigset_t stoppingSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&set, signal);
    return set;
}

// Holds the stopping signals back from the moment a program is started until
// the handler knows its process id: a signal in between would end this
// process and leave the program running, writing a recording nobody removes.
// A signal that comes meanwhile is handled on release().
class SignalsHeld
{
public:
    SignalsHeld()
    {
        sigemptyset(&m_before);
        if (!cleanUpOnSignals)
            return;
        const sigset_t set = stoppingSignals();
        m_held = ::pthread_sigmask(SIG_BLOCK, &set, &m_before) == 0;
    }
    ~SignalsHeld() { release(); }
    void release()
    {
        if (m_held)
            ::pthread_sigmask(SIG_SETMASK, &m_before, nullptr);
        m_held = false;
    }
    // The signal mask from before, which the program gets.
    sigset_t before() const { return m_before; }
    SignalsHeld(const SignalsHeld &) = delete;
    SignalsHeld &operator=(const SignalsHeld &) = delete;

private:
    sigset_t m_before;
    bool m_held = false;
};

// Runs in the program's process before it starts: it gets the signal mask
// this process had before SignalsHeld, and on Linux it is killed when this
// process dies (a crash, SIGKILL), so no recording is written after the
// process that would put it in place, or remove it, is gone.
void prepareChild(const sigset_t &mask, pid_t parent)
{
    ::pthread_sigmask(SIG_SETMASK, &mask, nullptr);
#ifdef Q_OS_LINUX
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        ::_exit(127);
#else
    Q_UNUSED(parent);
#endif
}

// Runs program, which writes the hidden temporary file of finalPath (named in
// its arguments), and puts that file in place once it is complete. input
// goes to the program's stdin.
QString produce(const QString &program, const QStringList &arguments, const QByteArray &input,
                const QString &finalPath, const std::atomic<bool> *cancelled = nullptr)
{
    const QString partPath = temporaryPathFor(finalPath);
    QFile::remove(partPath); // left by an interrupted run
    PartNote note(partPath);
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    SignalsHeld held;
    const sigset_t mask = held.before();
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([mask, parent] { prepareChild(mask, parent); });
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return QStringLiteral("no se puede ejecutar %1").arg(program);
    note.child(process.processId());
    held.release();
    process.write(input);
    process.closeWriteChannel();
    // Waits in short steps, so a cancel is seen at once.
    QString problem;
    QElapsedTimer running;
    running.start();
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(100)) {
        const bool cancel = cancelled && cancelled->load();
        if (cancel || running.hasExpired(120000)) {
            process.kill();
            process.waitForFinished();
            problem = cancel ? cancelledRecording() : QStringLiteral("%1 no terminó").arg(program);
            break;
        }
    }
    // The program has been waited for: its process id may be another's soon.
    note.child(0);
    if (problem.isEmpty()) {
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            const QString said = QString::fromLocal8Bit(process.readAll()).trimmed();
            problem = QStringLiteral("%1 falló").arg(program);
            if (!said.isEmpty())
                problem += QStringLiteral(": ") + said;
        } else if (QFileInfo(partPath).size() <= WaveHeaderBytes) {
            const QString folder = QFileInfo(partPath).absolutePath();
            QStorageInfo storage(folder);
            storage.refresh();
            problem = emptyRecordingReason(storage.isValid() ? storage.bytesAvailable() : -1,
                                           diskBlockSize(folder));
        } else {
            problem = replaceAtomically(partPath, finalPath);
        }
    }
    if (!problem.isEmpty())
        QFile::remove(partPath);
    return problem;
}

} // namespace

QStringList recordingFolders(const QString &argument)
{
    if (!recordingJobs(argument).isEmpty())
        return {argument};
    QStringList folders;
    for (const QString &type : exerciseTypeFolders())
        if (const QString path = QDir(argument).filePath(type); QFileInfo(path).isDir())
            folders.append(path);
    return folders.isEmpty() ? QStringList{argument} : folders;
}

qint64 spaceInBlocks(qint64 bytes, qint64 blockSize)
{
    if (bytes <= 0 || blockSize <= 1)
        return std::max<qint64>(bytes, 0);
    return (bytes + blockSize - 1) / blockSize * blockSize;
}

qint64 diskBlockSize(const QString &path)
{
    struct statvfs disk;
    if (::statvfs(QFile::encodeName(path).constData(), &disk) != 0)
        return 1;
    const qint64 size = disk.f_frsize > 0 ? qint64(disk.f_frsize) : qint64(disk.f_bsize);
    return size > 0 ? size : 1;
}

QString emptyRecordingReason(qint64 available, qint64 blockSize)
{
    if (available >= 0 && available < std::max<qint64>(blockSize, 1) * 2)
        return fileErrorReason(ENOSPC);
    return QStringLiteral("la grabación salió vacía");
}

RecordingState recordingState(const QDateTime &recording, const QDateTime &text)
{
    if (!recording.isValid())
        return RecordingState::Missing;
    if (text.isValid() && recording.toSecsSinceEpoch() < text.toSecsSinceEpoch())
        return RecordingState::Older;
    return RecordingState::Present;
}

RecordingState recordingStateOf(const QString &recordingPath, const QString &textPath)
{
    auto modified = [](const QString &path) {
        return isOrdinaryFile(path) ? QFileInfo(path).lastModified() : QDateTime();
    };
    return recordingState(modified(recordingPath), modified(textPath));
}

QList<RecordingJob> recordingJobs(const QString &folder)
{
    QList<RecordingJob> jobs;
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (!isExerciseName(name) || !isOrdinaryFile(dir.filePath(name)))
            continue;
        RecordingJob job;
        job.textPath = dir.filePath(name);
        job.wavPath = recordingPathFor(job.textPath);
        job.slowWavPath = slowRecordingPathFor(job.textPath);
        job.recording = recordingStateOf(job.wavPath, job.textPath);
        job.slowRecording = recordingStateOf(job.slowWavPath, job.textPath);
        jobs.append(job);
    }
    // Digits without leading zeros: the shorter name is the smaller number,
    // and names of one length compare as their numbers do, however long.
    std::sort(jobs.begin(), jobs.end(), [](const RecordingJob &a, const RecordingJob &b) {
        const QString x = QFileInfo(a.textPath).fileName();
        const QString y = QFileInfo(b.textPath).fileName();
        return x.size() != y.size() ? x.size() < y.size() : x < y;
    });
    return jobs;
}

QStringList speechArguments(const SpeechOptions &options, const QString &wavPath)
{
    QStringList arguments = {QStringLiteral("-v"), options.voice,
                             QStringLiteral("-s"), QString::number(options.wordsPerMinute),
                             QStringLiteral("-g"), QString::number(options.wordGap),
                             QStringLiteral("-b"), QStringLiteral("1")};
    if (options.markup)
        arguments << QStringLiteral("-m");
    arguments << QStringLiteral("-w") << wavPath << QStringLiteral("--stdin");
    return arguments;
}

SpeechOptions slowSpeechOptions(const SpeechOptions &options)
{
    SpeechOptions slow = options;
    slow.wordsPerMinute =
        std::min(options.wordsPerMinute, std::max(80, options.wordsPerMinute * 3 / 4));
    slow.wordGap = options.wordGap + 4;
    slow.markup = true;
    return slow;
}

QString slowSpeechMarkup(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = text.split(blanks, Qt::SkipEmptyParts);
    QString markup = QStringLiteral("<speak>");
    QStringList clause;
    auto flush = [&](bool last) {
        const QList<qsizetype> starts = groupStarts(clause);
        for (qsizetype i = 0; i < clause.size(); ++i) {
            if (starts.contains(i))
                markup += breakTag(GroupPauseMs);
            else if (i > 0)
                markup += QLatin1Char(' ');
            markup += clause.at(i).toHtmlEscaped();
        }
        if (!last && !clause.isEmpty())
            markup += breakTag(ClausePauseMs);
        clause.clear();
    };
    for (qsizetype i = 0; i < words.size(); ++i) {
        clause << words.at(i);
        if (closesClause(words.at(i)) || i + 1 == words.size())
            flush(i + 1 == words.size());
    }
    return markup + QStringLiteral("</speak>");
}

QString synthesise(const SpeechOptions &options, const QString &text, const QString &wavPath)
{
    return produce(options.program, speechArguments(options, temporaryPathFor(wavPath)),
                   text.toUtf8() + '\n', wavPath, options.cancelled);
}

QString synthesiseSlow(const SpeechOptions &options, const QString &text,
                       const QString &slowWavPath)
{
    return synthesise(slowSpeechOptions(options), slowSpeechMarkup(text), slowWavPath);
}

QStringList slowVersionArguments(const QString &wavPath, const QString &outputPath)
{
    // -V1: only sox's own failure messages. The output is a hidden name
    // (partName), so its type is given; -s tunes the time stretching for
    // speech.
    return {QStringLiteral("-V1"),
            wavPath,
            QStringLiteral("-t"),
            QStringLiteral("wav"),
            QStringLiteral("-e"),
            QStringLiteral("signed-integer"),
            QStringLiteral("-b"),
            QStringLiteral("16"),
            outputPath,
            QStringLiteral("tempo"),
            QStringLiteral("-s"),
            QString::number(SlowTempo)};
}

QString makeSlowVersion(const QString &wavPath, const QString &slowWavPath)
{
    if (!isOrdinaryFile(wavPath))
        return QStringLiteral("no existe la grabación %1").arg(QDir::toNativeSeparators(wavPath));
    return produce(QStringLiteral("sox"),
                   slowVersionArguments(wavPath, temporaryPathFor(slowWavPath)), QByteArray(),
                   slowWavPath);
}

QString cancelledRecording()
{
    return QStringLiteral("se ha cancelado la grabación");
}

QString voiceProblem(const SpeechOptions &options)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(options.program, {QStringLiteral("-q"), QStringLiteral("-v"), options.voice,
                                    QStringLiteral("--stdin")});
    if (!process.waitForStarted(10000))
        return QStringLiteral("no se puede ejecutar %1").arg(options.program);
    process.write("a\n");
    process.closeWriteChannel();
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("%1 no terminó").arg(options.program);
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("la voz «%1» no existe (la lista de voces: %2 --voices=es)")
            .arg(options.voice, options.program);
    return QString();
}

void removeTemporaryFileOnSignals()
{
    cleanUpOnSignals = true;
    struct sigaction action = {};
    action.sa_handler = stopAndRemovePart;
    // While one signal is handled the others wait, so the clean-up runs once.
    action.sa_mask = stoppingSignals();
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

QString temporaryPathFor(const QString &finalPath)
{
    const QFileInfo target(finalPath);
    return target.dir().filePath(partName(target.fileName()));
}

QString replaceAtomically(const QString &temporaryPath, const QString &finalPath)
{
    // The data must be on disk before the name moves to it, or a power cut
    // could leave the new name on an empty file.
    QString problem = syncFile(temporaryPath);
    // rename() replaces the old file in one step; QFile::rename refuses to
    // replace an existing file, and removing it first would leave a moment
    // with no recording at all.
    if (problem.isEmpty()) {
        if (const int error = askStepGate(Step::Rename, temporaryPath, finalPath))
            problem = fileErrorReason(error);
        else if (std::rename(QFile::encodeName(temporaryPath).constData(),
                             QFile::encodeName(finalPath).constData()) != 0)
            problem = fileErrorReason(errno);
    }
    // The new name is on disk before anything that counts on it.
    if (problem.isEmpty())
        problem = syncFolder(QFileInfo(finalPath).absolutePath());
    if (problem.isEmpty())
        return QString();
    return QStringLiteral("no se puede guardar %1: %2")
        .arg(QDir::toNativeSeparators(finalPath), problem);
}

} // namespace letro::folder

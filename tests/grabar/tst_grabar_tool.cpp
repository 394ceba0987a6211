// The built letro-grabar run on folders of exercises: it makes exactly the
// missing recordings, each a 16-bit PCM wave file, leaves the existing ones
// alone, reports every exercise, and honours --voz, --velocidad and
// --sobrescribir. The path of the tool comes in LETRO_GRABAR.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <csignal>
#include <sys/types.h>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runTool(const QStringList &arguments)
{
    Run run;
    QProcess tool;
    tool.start(qEnvironmentVariable("LETRO_GRABAR"), arguments);
    if (!tool.waitForStarted(10000) || !tool.waitForFinished(120000)) {
        tool.kill();
        tool.waitForFinished();
        run.err = QStringLiteral("letro-grabar did not run or did not finish");
        return run;
    }
    run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -2;
    run.out = QString::fromUtf8(tool.readAllStandardOutput());
    run.err = QString::fromUtf8(tool.readAllStandardError());
    return run;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a wave file's header says, or why it is not a 16-bit PCM wave file.
struct WaveInfo
{
    QString problem;
    int channels = 0;
    int sampleRate = 0;
    int bits = 0;
    quint32 dataBytes = 0;
};

WaveInfo parseWave(const QByteArray &bytes)
{
    WaveInfo info;
    auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        info.problem = QStringLiteral("no RIFF/WAVE header");
        return info;
    }
    if (u32(4) != quint32(bytes.size() - 8)) {
        info.problem =
            QStringLiteral("RIFF size %1 for a file of %2 bytes").arg(u32(4)).arg(bytes.size());
        return info;
    }
    bool haveFormat = false, haveData = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = u32(at + 4);
        const qsizetype body = at + 8;
        if (body + qsizetype(size) > bytes.size()) {
            info.problem =
                QStringLiteral("chunk %1 runs past the end").arg(QString::fromLatin1(id));
            return info;
        }
        if (id == "fmt ") {
            if (size < 16) {
                info.problem = QStringLiteral("short fmt chunk");
                return info;
            }
            if (u16(body) != 1) {
                info.problem = QStringLiteral("format %1 is not PCM").arg(u16(body));
                return info;
            }
            info.channels = u16(body + 2);
            info.sampleRate = int(u32(body + 4));
            info.bits = u16(body + 14);
            const int blockAlign = u16(body + 12);
            if (blockAlign != info.channels * info.bits / 8 ||
                u32(body + 8) != quint32(info.sampleRate * blockAlign)) {
                info.problem = QStringLiteral("inconsistent block align or byte rate");
                return info;
            }
            haveFormat = true;
        } else if (id == "data") {
            info.dataBytes = size;
            haveData = true;
        }
        at = body + size + (size & 1);
    }
    if (!haveFormat || !haveData)
        info.problem = QStringLiteral("fmt or data chunk missing");
    return info;
}

// A short valid recording made by hand: 16-bit mono silence.
QByteArray handMadeWave()
{
    const quint32 samples = 2205, rate = 22050;
    QByteArray bytes;
    auto put32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
    };
    auto put16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        bytes.append(b, 2);
    };
    bytes += "RIFF";
    put32(36 + samples * 2);
    bytes += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(rate);
    put32(rate * 2);
    put16(2);
    put16(16);
    bytes += "data";
    put32(samples * 2);
    bytes.append(QByteArray(samples * 2, '\0'));
    return bytes;
}

const QDateTime oldTime(QDate(2020, 3, 1), QTime(10, 0), Qt::UTC);

// Sets a file's modification time; false when it cannot.
bool setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) &&
           file.setFileTime(time, QFileDevice::FileModificationTime);
}

// Three exercises, each in another of the encodings and line ends teachers'
// files come in, with the recording of the second one already there (made
// after its text), and a file that is not an exercise.
void makeFolder(const QString &folder)
{
    QVERIFY(QDir().mkpath(folder));
    writeFile(folder + "/1", "Canci\xf3n de cuna\r\n");                             // Windows-1252
    writeFile(folder + "/2", QStringLiteral("¿Qué tal estás?\n").toUtf8());         // UTF-8, LF
    writeFile(folder + "/3", QStringLiteral("Hola\r\nsegunda línea\r\n").toUtf8()); // CR LF
    writeFile(folder + "/notas", "para la maestra\n");
    writeFile(folder + "/2.wav", handMadeWave());
    QVERIFY(setModified(folder + "/2", oldTime.addDays(-1)));
    QVERIFY(setModified(folder + "/2.wav", oldTime));
}

// A stand-in for espeak-ng: a shell script that knows every voice and runs
// `writing` when asked to write a recording (-w PATH; $part names PATH).
QString speechScript(const QString &folder, const QByteArray &writing)
{
    const QString path = folder + QStringLiteral("/voz-de-prueba");
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return QString();
    script.write("#!/bin/sh\npart=\n"
                 "while [ $# -gt 0 ]; do [ \"$1\" = -w ] && part=$2; shift; done\n"
                 "[ -z \"$part\" ] && exit 0\n" +
                 writing + "\n");
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

// True while process `pid` runs: it exists and is not a zombie waiting to
// be reaped by whoever inherited it.
bool isRunning(pid_t pid)
{
    const QByteArray stat = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype end = stat.lastIndexOf(')');
    if (end < 0 || end + 2 >= stat.size())
        return false;
    const char state = stat.at(end + 2);
    return state != 'Z' && state != 'X';
}

QStringList entries(const QString &folder)
{
    QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

QStringList lines(const QString &text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestGrabarTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void makesOnlyTheMissingRecordings();
    void overwriteRemakesEveryRecording();
    void voiceAndSpeedReachTheSpeech();
    void severalFolders();
    void errorsComeLast();
    void refusedRuns_data();
    void refusedRuns();
    void failedRemakeKeepsTheRecordings();
    void olderRecordingsAreMadeAgain_data();
    void olderRecordingsAreMadeAgain();
    void interruptedRunLeavesNothingHalfMade_data();
    void interruptedRunLeavesNothingHalfMade();
    void untypableLines_data();
    void untypableLines();
    void slowVersionFromTheTeachersRecording();
    void helpIsSpanish();
};

void TestGrabarTool::initTestCase()
{
    const QString tool = qEnvironmentVariable("LETRO_GRABAR");
    QVERIFY2(QFileInfo(tool).isExecutable(), "LETRO_GRABAR must name the built letro-grabar");
    QVERIFY2(!QStandardPaths::findExecutable("espeak-ng").isEmpty(),
             "espeak-ng is needed (Debian package espeak-ng)");
}

void TestGrabarTool::makesOnlyTheMissingRecordings()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath("Frase corta");
    makeFolder(folder);
    const QByteArray existingBytes = readFile(folder + "/2.wav");

    const Run run = runTool({folder});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(run.err, QString());
    QCOMPARE(
        lines(run.out),
        (QStringList{
            "grabado: " + folder + "/1.wav", "grabado: " + folder + "/1.lento.wav",
            "grabado: " + folder + "/2.lento.wav", "grabado: " + folder + "/3.wav",
            "grabado: " + folder + "/3.lento.wav",
            folder +
                ": 5 grabados, 0 antiguos regrabados, 1 ya existían, 0 omitidos, 0 fallidos"}));
    QCOMPARE(entries(folder), (QStringList{"1", "1.lento.wav", "1.wav", "2", "2.lento.wav", "2.wav",
                                           "3", "3.lento.wav", "3.wav", "notas"}));

    for (const QString name : {"1.wav", "3.wav", "1.lento.wav", "2.lento.wav", "3.lento.wav"}) {
        const WaveInfo wave = parseWave(readFile(folder + '/' + name));
        QVERIFY2(wave.problem.isEmpty(), qPrintable(name + ": " + wave.problem));
        QCOMPARE(wave.bits, 16);
        QCOMPARE(wave.channels, 1);
        QCOMPARE(wave.sampleRate, 22050);
        // At least a fifth of a second of speech.
        QVERIFY2(wave.dataBytes > 22050 * 2 / 5, qPrintable(name));
    }
    // Only the first line of exercise 3 is spoken: "Hola" alone is far
    // shorter than the whole of exercise 1.
    QVERIFY(parseWave(readFile(folder + "/3.wav")).dataBytes <
            parseWave(readFile(folder + "/1.wav")).dataBytes);
    // The slow recording is clearly longer.
    QVERIFY(parseWave(readFile(folder + "/1.lento.wav")).dataBytes >
            parseWave(readFile(folder + "/1.wav")).dataBytes * 5 / 4);

    QCOMPARE(readFile(folder + "/2.wav"), existingBytes);
    QCOMPARE(QFileInfo(folder + "/2.wav").lastModified(), oldTime);

    // A second run has nothing left to do.
    const QDateTime firstMade = QFileInfo(folder + "/1.wav").lastModified();
    const QByteArray firstBytes = readFile(folder + "/1.wav");
    const Run again = runTool({folder});
    QCOMPARE(again.exitCode, 0);
    // What is already there is counted, not listed.
    QCOMPARE(
        lines(again.out),
        QStringList{folder +
                    ": 0 grabados, 0 antiguos regrabados, 6 ya existían, 0 omitidos, 0 fallidos"});
    QCOMPARE(readFile(folder + "/1.wav"), firstBytes);
    QCOMPARE(QFileInfo(folder + "/1.wav").lastModified(), firstMade);
}

void TestGrabarTool::overwriteRemakesEveryRecording()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath("Palabras");
    makeFolder(folder);
    const QByteArray handMade = readFile(folder + "/2.wav");

    const Run run = runTool({"--sobrescribir", folder});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(
        lines(run.out),
        (QStringList{
            "grabado: " + folder + "/1.wav", "grabado: " + folder + "/1.lento.wav",
            "grabado: " + folder + "/2.wav", "grabado: " + folder + "/2.lento.wav",
            "grabado: " + folder + "/3.wav", "grabado: " + folder + "/3.lento.wav",
            folder +
                ": 6 grabados, 0 antiguos regrabados, 0 ya existían, 0 omitidos, 0 fallidos"}));
    QCOMPARE(entries(folder), (QStringList{"1", "1.lento.wav", "1.wav", "2", "2.lento.wav", "2.wav",
                                           "3", "3.lento.wav", "3.wav", "notas"}));
    const QByteArray remade = readFile(folder + "/2.wav");
    QVERIFY(remade != handMade);
    const WaveInfo wave = parseWave(remade);
    QVERIFY2(wave.problem.isEmpty(), qPrintable(wave.problem));
    QCOMPARE(wave.bits, 16);
    QVERIFY(QFileInfo(folder + "/2.wav").lastModified() > oldTime);
}

void TestGrabarTool::voiceAndSpeedReachTheSpeech()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath("Frase larga");
    makeFolder(folder);

    // A voice program that notes what it is given and passes it on to espeak-ng.
    const QString voice = dir.filePath("voz");
    const QByteArray log = QFile::encodeName(dir.filePath("log"));
    writeFile(voice, "#!/bin/sh\n"
                     "printf 'args:%s\\n' \"$*\" >> '" +
                         log +
                         "'\n"
                         "tee -a '" +
                         log + "' | espeak-ng \"$@\"\n");
    QVERIFY(QFile::setPermissions(voice, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    const Run run = runTool({"--voz", "es-419", "--velocidad", "90", "--espeak", voice, folder});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    // The slow recordings: 80 words a minute at the slowest, longer gaps, SSML.
    const QString normalArgs = "args:-v es-419 -s 90 -g 8 -b 1 -w " + folder;
    const QString slowArgs = "args:-v es-419 -s 80 -g 12 -b 1 -m -w " + folder;
    // First the voice, tried once, then the recordings.
    const QString expected =
        "args:-q -v es-419 --stdin\na\n" + normalArgs + "/.letro-parte-1.wav --stdin\n" +
        QStringLiteral("Canción de cuna\n") + slowArgs + "/.letro-parte-1.lento.wav --stdin\n" +
        QStringLiteral("<speak>Canción de cuna</speak>\n") + slowArgs +
        "/.letro-parte-2.lento.wav --stdin\n" + QStringLiteral("<speak>¿Qué tal estás?</speak>\n") +
        normalArgs + "/.letro-parte-3.wav --stdin\n" + "Hola\n" + slowArgs +
        "/.letro-parte-3.lento.wav --stdin\n" + "<speak>Hola</speak>\n";
    QCOMPARE(QString::fromUtf8(readFile(dir.filePath("log"))), expected);
    QVERIFY(parseWave(readFile(folder + "/1.wav")).problem.isEmpty());

    // The short option of the speed and a slower speed make a longer recording.
    const quint32 at90 = parseWave(readFile(folder + "/1.wav")).dataBytes;
    QVERIFY(QFile::remove(folder + "/1.wav"));
    const Run slow = runTool({"--voz", "es-419", "-s", "45", folder});
    QVERIFY2(slow.exitCode == 0, qPrintable(slow.err));
    QVERIFY(parseWave(readFile(folder + "/1.wav")).dataBytes > at90);
}

void TestGrabarTool::severalFolders()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString words = dir.filePath("Palabras");
    const QString empty = dir.filePath("Frase larga");
    QVERIFY(QDir().mkpath(words));
    QVERIFY(QDir().mkpath(empty));
    writeFile(words + "/1", "sol\r\n");
    writeFile(words + "/2", "\r\n"); // no text to speak

    const Run run = runTool({words, empty});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(
        lines(run.out),
        (QStringList{
            "grabado: " + words + "/1.wav", "grabado: " + words + "/1.lento.wav",
            "sin texto, omitido: " + words + "/2",
            words + ": 2 grabados, 0 antiguos regrabados, 0 ya existían, 1 omitidos, 0 fallidos",
            "no hay dictados en: " + empty}));
    QVERIFY(QFile::exists(words + "/1.wav"));
    QVERIFY(!QFile::exists(words + "/2.wav"));
    QVERIFY(!QFile::exists(words + "/2.lento.wav"));

    // The Letro folder stands for its type folders, in Letro's order.
    writeFile(words + "/3", "luna\r\n");
    const Run letro = runTool({dir.path()});
    QVERIFY2(letro.exitCode == 0, qPrintable(letro.err));
    QCOMPARE(
        lines(letro.out),
        (QStringList{
            "sin texto, omitido: " + words + "/2", "grabado: " + words + "/3.wav",
            "grabado: " + words + "/3.lento.wav",
            words + ": 2 grabados, 0 antiguos regrabados, 2 ya existían, 1 omitidos, 0 fallidos",
            "no hay dictados en: " + empty}));

    // No dictation anywhere is not "all recorded".
    const Run none = runTool({empty});
    QCOMPARE(none.exitCode, 1);
    QCOMPARE(lines(none.out), QStringList{"no hay dictados en: " + empty});
    QCOMPARE(none.err, "letro-grabar: no hay ningún dictado en: " + empty + '\n');
}

// Every problem is said after all the folders are done, not lost among the
// lines of the recordings.
void TestGrabarTool::errorsComeLast()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString words = dir.filePath("Palabras");
    const QString phrases = dir.filePath("Frase corta");
    for (const QString &folder : {words, phrases}) {
        QVERIFY(QDir().mkpath(folder));
        writeFile(folder + "/1", "sol\n");
    }
    writeFile(words + "/2", "fallo\n");
    QTemporaryDir tools;
    const QString failing = speechScript(
        tools.path(), "if grep -q fallo; then exit 1; fi; head -c 2000 /dev/zero > \"$part\"");

    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(qEnvironmentVariable("LETRO_GRABAR"), {"--espeak", failing, dir.path()});
    QVERIFY(tool.waitForFinished(120000));
    QCOMPARE(tool.exitCode(), 1);
    const QStringList said = lines(QString::fromUtf8(tool.readAll()));
    QCOMPARE(
        said.mid(said.size() - 3),
        (QStringList{
            phrases + ": 2 grabados, 0 antiguos regrabados, 0 ya existían, 0 omitidos, 0 fallidos",
            "letro-grabar: " + words + "/2.wav: " + failing + " falló",
            "letro-grabar: " + words + "/2.lento.wav: " + failing + " falló"}));
    QVERIFY(said.contains(
        words + ": 2 grabados, 0 antiguos regrabados, 0 ya existían, 0 omitidos, 2 fallidos"));
}

void TestGrabarTool::refusedRuns_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    QTest::newRow("no folder") << QStringList{} << 2 << "falta la carpeta de ejercicios";
    QTest::newRow("speed too low") << QStringList{"--velocidad", "5", "@"} << 2
                                   << "la velocidad debe ser un número entre 40 y 400";
    QTest::newRow("speed not a number") << QStringList{"-s", "rápido", "@"} << 2
                                        << "la velocidad debe ser un número entre 40 y 400";
    QTest::newRow("empty voice") << QStringList{"--voz", "", "@"} << 2
                                 << "falta el nombre de la voz";
    QTest::newRow("folder missing") << QStringList{"@/no-existe"} << 1 << "no es una carpeta";
    QTest::newRow("unknown voice")
        << QStringList{"--voz", "xx-ninguna", "@"} << 2 << "la voz «xx-ninguna» no existe";
    QTest::newRow("speech program missing")
        << QStringList{"--espeak", "@/no-hay-voz", "@"} << 2 << "no se puede ejecutar";
    QTest::newRow("unknown option") << QStringList{"--nada", "@"} << 2 << "nada";
}

void TestGrabarTool::refusedRuns()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    writeFile(dir.filePath("1"), "sol\n");
    for (QString &argument : arguments)
        argument.replace(QLatin1Char('@'), dir.path());

    const Run run = runTool(arguments);
    QCOMPARE(run.exitCode, exitCode);
    // Said once, not once per recording.
    QVERIFY2(run.err.count(message) == 1, qPrintable(run.err));
    // Nothing is left behind, not even a half-made recording.
    QCOMPARE(entries(dir.path()), QStringList{"1"});
}

void TestGrabarTool::failedRemakeKeepsTheRecordings()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    writeFile(dir.filePath("1"), "sol\n");
    writeFile(dir.filePath("1.wav"), "OLD");
    writeFile(dir.filePath("1.lento.wav"), "OLD SLOW");
    QTemporaryDir tools;
    const QString failing = speechScript(tools.path(), "printf RIFF > \"$part\"; exit 1");

    const Run run = runTool({"--sobrescribir", "--espeak", failing, dir.path()});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.endsWith(
                 ": 0 grabados, 0 antiguos regrabados, 0 ya existían, 0 omitidos, 2 fallidos\n"),
             qPrintable(run.out));
    QCOMPARE(readFile(dir.filePath("1.wav")), QByteArray("OLD"));
    QCOMPARE(readFile(dir.filePath("1.lento.wav")), QByteArray("OLD SLOW"));
    QCOMPARE(entries(dir.path()), (QStringList{"1", "1.lento.wav", "1.wav"}));
}

void TestGrabarTool::interruptedRunLeavesNothingHalfMade_data()
{
    QTest::addColumn<int>("signal");
    // The signal comes the moment the speech program starts, before it has
    // written anything (and perhaps before letro-grabar knows its process).
    QTest::addColumn<bool>("atStart");
    // What the folder holds afterwards.
    QTest::addColumn<QStringList>("left");
    const QStringList before{"1", "1.wav"};
    QTest::newRow("Ctrl+C") << int(SIGINT) << false << before;
    QTest::newRow("SIGTERM") << int(SIGTERM) << false << before;
    QTest::newRow("the terminal closed") << int(SIGHUP) << false << before;
    QTest::newRow("Ctrl+C as the speech program starts") << int(SIGINT) << true << before;
    QTest::newRow("the terminal closed as the speech program starts")
        << int(SIGHUP) << true << before;
    // Nothing can be removed after SIGKILL (the next run removes the
    // hidden file), but the speech program must not go on writing.
    QTest::newRow("SIGKILL") << int(SIGKILL) << false
                             << QStringList{".letro-parte-1.wav", "1", "1.wav"};
}

// Stopped while a recording is half-written, letro-grabar removes it and
// stops the speech program, then ends by the signal itself.
void TestGrabarTool::interruptedRunLeavesNothingHalfMade()
{
    QFETCH(int, signal);
    QFETCH(bool, atStart);
    QFETCH(QStringList, left);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    writeFile(dir.filePath("1"), "sol\n");
    writeFile(dir.filePath("1.wav"), "OLD");
    QTemporaryDir tools;
    const QByteArray notePid = "echo $$ > " + QFile::encodeName(tools.path()) + "/pid";
    const QString slow = speechScript(
        tools.path(), atStart ? notePid + "; sleep 1; printf RIFF > \"$part\"; exec sleep 60"
                              : "printf RIFF > \"$part\"; " + notePid + "; exec sleep 60");

    QProcess tool;
    tool.start(qEnvironmentVariable("LETRO_GRABAR"),
               {"--sobrescribir", "--espeak", slow, dir.path()});
    QVERIFY(tool.waitForStarted());
    // The speech program has written its whole process id (the line is
    // complete only with its newline) and, unless at its start, its half of
    // the recording.
    QTRY_VERIFY_WITH_TIMEOUT(readFile(tools.filePath("pid")).endsWith('\n') &&
                                 (atStart || QFile::exists(dir.filePath(".letro-parte-1.wav"))),
                             20000);
    const pid_t speech = readFile(tools.filePath("pid")).trimmed().toInt();
    QVERIFY(speech > 0);
    ::kill(pid_t(tool.processId()), signal);
    QVERIFY(tool.waitForFinished(20000));

    QCOMPARE(tool.exitStatus(), QProcess::CrashExit);
    // The speech program was stopped too, so it writes nothing later.
    QTRY_VERIFY_WITH_TIMEOUT(!isRunning(speech), 20000);
    QCOMPARE(entries(dir.path()), left);
    QCOMPARE(readFile(dir.filePath("1.wav")), QByteArray("OLD"));
}

void TestGrabarTool::untypableLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("recorded"); // both recordings there before the run
    QTest::addColumn<QStringList>("reported");

    QTest::newRow("tab") << QByteArray("sol\tluna\r\n") << false
                         << QStringList{"posición 4: U+0009 (tabulador)"};
    QTest::newRow("emoji, UTF-8") << QStringLiteral("hola 😀 y adiós\n").toUtf8() << false
                                  << QStringList{"posición 6: U+1F600 (fuera del plano básico, "
                                                 "p. ej. un emoji)"};
    QTest::newRow("control byte, Windows-1252")
        << QByteArray("a\x81\xf1o\t\r\n") << false
        << QStringList{"posición 2: U+0081 (carácter de control)",
                       "posición 5: U+0009 (tabulador)"};
    QTest::newRow("already recorded")
        << QByteArray("\tsol\n") << true << QStringList{"posición 1: U+0009 (tabulador)"};
}

// A line that can never be typed to its end is reported with the position
// and the character, gets no recording and makes the run fail.
void TestGrabarTool::untypableLines()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, recorded);
    QFETCH(QStringList, reported);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath("Palabras");
    QVERIFY(QDir().mkpath(folder));
    writeFile(folder + "/1", "sol\n");
    writeFile(folder + "/2", line);
    if (recorded) {
        writeFile(folder + "/2.wav", handMadeWave());
        writeFile(folder + "/2.lento.wav", handMadeWave());
    }
    const QStringList before = entries(folder);

    const Run run = runTool({folder});
    QCOMPARE(run.exitCode, 1);
    QStringList expected;
    for (const QString &character : reported)
        expected << "letro-grabar: " + folder + "/2: " + character;
    QCOMPARE(lines(run.err), expected);
    QCOMPARE(
        lines(run.out),
        (QStringList{
            "grabado: " + folder + "/1.wav", "grabado: " + folder + "/1.lento.wav",
            "caracteres que no da ninguna tecla, omitido: " + folder + "/2",
            folder +
                ": 2 grabados, 0 antiguos regrabados, 0 ya existían, 1 omitidos, 0 fallidos"}));
    QStringList after = before + QStringList{"1.lento.wav", "1.wav"};
    after.sort();
    QCOMPARE(entries(folder), after);
}

// A recording older than its text (in whole seconds) was made for an earlier
// text: it is made again like a missing one, and counted apart. A slow
// version is never made from such a N.wav.
void TestGrabarTool::olderRecordingsAreMadeAgain_data()
{
    QTest::addColumn<QString>("times"); // each file's time, in ms after oldTime
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("writing"); // what the stand-in voice does
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("out");  // F: the folder
    QTest::addColumn<QStringList>("kept"); // recordings left as they were

    const QByteArray speaks = "printf '%0100d' 0 > \"$part\"";
    const QString remade = QStringLiteral("regrabado, era anterior a su texto: F/");
    QTest::newRow("both older")
        << "1=5000 1.wav=0 1.lento.wav=0" << QStringList{} << speaks << 0
        << QStringList{remade + "1.wav", remade + "1.lento.wav",
                       "F: 0 grabados, 2 antiguos regrabados, 0 ya existían, 0 omitidos, "
                       "0 fallidos"}
        << QStringList{};
    QTest::newRow("only the slow one older; the same second is not older")
        << "1=5600 1.wav=5100 1.lento.wav=4900" << QStringList{} << speaks << 0
        << QStringList{remade + "1.lento.wav",
                       "F: 0 grabados, 1 antiguos regrabados, 1 ya existían, 0 omitidos, "
                       "0 fallidos"}
        << QStringList{"1.wav"};
    QTest::newRow("newer ones kept")
        << "1=0 1.wav=1000 1.lento.wav=1000" << QStringList{} << speaks << 0
        << QStringList{"F: 0 grabados, 0 antiguos regrabados, 2 ya existían, 0 omitidos, "
                       "0 fallidos"}
        << QStringList{"1.wav", "1.lento.wav"};
    QTest::newRow("one missing, one older")
        << "1=5000 1.lento.wav=0" << QStringList{} << speaks << 0
        << QStringList{"grabado: F/1.wav", remade + "1.lento.wav",
                       "F: 1 grabados, 1 antiguos regrabados, 0 ya existían, 0 omitidos, "
                       "0 fallidos"}
        << QStringList{};
    QTest::newRow("a failed remake keeps the older one")
        << "1=5000 1.wav=0 1.lento.wav=6000" << QStringList{} << QByteArray("exit 1") << 1
        << QStringList{"falló: F/1.wav", "F: 0 grabados, 0 antiguos regrabados, 1 ya existían, "
                                         "0 omitidos, 1 fallidos"}
        << QStringList{"1.wav", "1.lento.wav"};
    QTest::newRow("no slow version of an older N.wav")
        << "1=5000 1.wav=0" << QStringList{"--lento-de-wav"} << speaks << 0
        << QStringList{"grabación anterior a su texto, omitido: F/1.wav",
                       "F: 0 grabados, 0 antiguos regrabados, 0 ya existían, 1 omitidos, "
                       "0 fallidos"}
        << QStringList{"1.wav"};
    QTest::newRow("an older slow version made again from a newer N.wav")
        << "1=5000 1.wav=6000 1.lento.wav=0" << QStringList{"--lento-de-wav"} << speaks << 0
        << QStringList{remade + "1.lento.wav",
                       "F: 0 grabados, 1 antiguos regrabados, 0 ya existían, 0 omitidos, "
                       "0 fallidos"}
        << QStringList{"1.wav"};
}

void TestGrabarTool::olderRecordingsAreMadeAgain()
{
    QFETCH(QString, times);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, writing);
    QFETCH(int, exitCode);
    QFETCH(QStringList, out);
    QFETCH(QStringList, kept);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath("Palabras");
    QVERIFY(QDir().mkpath(folder));
    for (const QString &item : times.split(' ')) {
        const QString name = item.section('=', 0, 0);
        writeFile(folder + '/' + name, name.contains('.') ? handMadeWave() : "sol\n");
        QVERIFY(
            setModified(folder + '/' + name, oldTime.addMSecs(item.section('=', 1).toLongLong())));
    }
    QMap<QString, QByteArray> before;
    for (const QString &name : kept)
        before.insert(name, readFile(folder + '/' + name));
    const QStringList voice = {"--espeak", speechScript(dir.path(), writing)};

    const Run run = runTool(voice + arguments + QStringList{folder});
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(lines(run.out), lines(QString(out.join('\n')).replace("F", folder)));
    for (const QString &name : kept)
        QCOMPARE(readFile(folder + '/' + name), before.value(name));
    if (exitCode != 0)
        return;
    // What was made again is no longer older.
    const Run again = runTool(voice + arguments + QStringList{folder});
    QCOMPARE(again.exitCode, 0);
    QVERIFY2(!again.out.contains("regrabado, ") && again.out.contains(", 0 antiguos regrabados, "),
             qPrintable(again.out));
}

// --lento-de-wav slows the teacher's own N.wav down and never speaks or
// touches N.wav; a text without N.wav is skipped.
void TestGrabarTool::slowVersionFromTheTeachersRecording()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath("Frase corta");
    makeFolder(folder); // 2.wav is the teacher's
    writeFile(folder + "/3.wav", handMadeWave());
    writeFile(folder + "/3.lento.wav", "OLD");
    const QByteArray teachers = readFile(folder + "/2.wav");
    const QStringList noSpeech = {"--lento-de-wav", "--espeak", dir.filePath("no-hay-voz")};

    const Run run = runTool(noSpeech + QStringList{folder});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(
        lines(run.out),
        (QStringList{
            "sin grabación, omitido: " + folder + "/1.wav", "grabado: " + folder + "/2.lento.wav",
            folder +
                ": 1 grabados, 0 antiguos regrabados, 1 ya existían, 1 omitidos, 0 fallidos"}));
    QCOMPARE(readFile(folder + "/2.wav"), teachers);
    const WaveInfo slow = parseWave(readFile(folder + "/2.lento.wav"));
    QVERIFY2(slow.problem.isEmpty(), qPrintable(slow.problem));
    QCOMPARE(slow.bits, 16);
    QCOMPARE(slow.sampleRate, 22050);
    QVERIFY(slow.dataBytes > parseWave(teachers).dataBytes * 5 / 4);
    QCOMPARE(readFile(folder + "/3.lento.wav"), QByteArray("OLD"));

    const Run again = runTool(noSpeech + QStringList{"--sobrescribir", folder});
    QVERIFY2(again.exitCode == 0, qPrintable(again.err));
    QVERIFY2(again.out.endsWith(
                 ": 2 grabados, 0 antiguos regrabados, 0 ya existían, 1 omitidos, 0 fallidos\n"),
             qPrintable(again.out));
    QVERIFY(parseWave(readFile(folder + "/3.lento.wav")).problem.isEmpty());
    QCOMPARE(readFile(folder + "/2.wav"), teachers);
    QVERIFY(!QFile::exists(folder + "/1.wav"));
}

void TestGrabarTool::helpIsSpanish()
{
    const Run run = runTool({"--help"});
    QCOMPARE(run.exitCode, 0);
    for (const QString spanish :
         {"Uso: ", "[opciones] carpeta...", "Opciones:", "Argumentos:", "-h, --help",
          "Muestra esta ayuda.", "--lento-de-wav", "Estado de salida:", "  2  la orden está mal"})
        QVERIFY2(run.out.contains(spanish), qPrintable(spanish + " missing in:\n" + run.out));
    // What Qt's parser says in English when left untranslated.
    for (const QString english : {"Usage", "Options", "Arguments", "Displays", "commandline",
                                  "information", "help-all", "Qt"})
        QVERIFY2(!run.out.contains(english), qPrintable(english + " in:\n" + run.out));
}

QTEST_GUILESS_MAIN(TestGrabarTool)
#include "tst_grabar_tool.moc"

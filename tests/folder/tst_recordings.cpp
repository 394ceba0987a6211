// Which exercises of a folder letro-grabar records, the arguments it gives
// espeak-ng, and how a recording is written (fake speech programs stand in
// for espeak-ng here, so every outcome can be forced).
#include "folder/recordings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/types.h>

using letro::folder::RecordingJob;
using letro::folder::RecordingState;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A shell script standing in for espeak-ng: it saves its arguments (one a
// line) to args and its standard input to stdin in the folder, finds the path
// after -w, and then runs body with $out set to that path.
QString makeProgram(const QTemporaryDir &dir, const QString &name, const QByteArray &body)
{
    const QString path = dir.filePath(name);
    const QByteArray logs = QFile::encodeName(dir.path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write("#!/bin/sh\n"
               "printf '%s\\n' \"$@\" > '" +
               logs +
               "/args'\n"
               "cat > '" +
               logs +
               "/stdin'\n"
               "out=\n"
               "while [ $# -gt 0 ]; do\n"
               "  if [ \"$1\" = -w ]; then out=\"$2\"; shift; fi\n"
               "  shift\n"
               "done\n" +
               body + "\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QStringList namesOf(const QList<RecordingJob> &jobs)
{
    QStringList names;
    for (const RecordingJob &job : jobs)
        names << QFileInfo(job.textPath).fileName();
    return names;
}

// The recordings the jobs mark as already there, in job order.
QStringList existingRecordings(const QList<RecordingJob> &jobs)
{
    QStringList names;
    for (const RecordingJob &job : jobs) {
        if (job.recording != RecordingState::Missing)
            names << QFileInfo(job.wavPath).fileName();
        if (job.slowRecording != RecordingState::Missing)
            names << QFileInfo(job.slowWavPath).fileName();
    }
    return names;
}

// What `program arguments` prints, standard output and error together.
QString outputOf(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed>").arg(program);
    return QString::fromLocal8Bit(process.readAll()).trimmed();
}

// One figure of `sox file -n stat`, such as "Length (seconds)".
double soxStat(const QString &wav, const QString &figure)
{
    const QStringList lines = outputOf("sox", {wav, "-n", "stat"}).split('\n');
    for (const QString &line : lines) {
        if (line.startsWith(figure))
            return line.section(':', 1).trimmed().toDouble();
    }
    return -1;
}

} // namespace

class TestRecordings : public QObject
{
    Q_OBJECT

private slots:
    void recordingFolders_data();
    void recordingFolders();
    void spaceInBlocks_data();
    void spaceInBlocks();
    void emptyRecordingReason_data();
    void emptyRecordingReason();
    void recordingState_data();
    void recordingState();
    void recordingJobs_data();
    void recordingJobs();
    void linksAndOtherFiles();
    void missingFolder();
    void speechArguments_data();
    void speechArguments();
    void synthesiseWritesTheRecording();
    void synthesiseReplacesAnOldRecording();
    void failureKeepsTheOldRecording();
    void emptyRecordingIsRefused();
    void missingProgram();
    void slowSpeechMarkup_data();
    void slowSpeechMarkup();
    void replaceAtomically_data();
    void replaceAtomically();
    void makeSlowVersion_data();
    void makeSlowVersion();
    void makeSlowVersionFails_data();
    void makeSlowVersionFails();
};

// A folder of dictations stands for itself; a Letro folder, which holds
// none, for the type folders it has, in Letro's order.
void TestRecordings::recordingFolders_data()
{
    QTest::addColumn<QStringList>("made"); // "folder/" a folder, else a file
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("a type folder") << QStringList{"1", "2"} << QStringList{""};
    QTest::newRow("a Letro folder")
        << QStringList{"letro", "gifs/", "Frase larga/", "Palabras/", "Frase corta/"}
        << QStringList{"Palabras", "Frase corta", "Frase larga"};
    QTest::newRow("a Letro folder lacking a type")
        << QStringList{"Frase larga/", "Palabras/"} << QStringList{"Palabras", "Frase larga"};
    QTest::newRow("an empty folder") << QStringList{} << QStringList{""};
    QTest::newRow("other folders only") << QStringList{"dictados/"} << QStringList{""};
    // Dictations of its own make it a folder of dictations.
    QTest::newRow("dictations beside type folders")
        << QStringList{"Palabras/", "7"} << QStringList{""};
}

void TestRecordings::recordingFolders()
{
    QFETCH(QStringList, made);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &name : made) {
        if (name.endsWith('/'))
            QVERIFY(QDir(dir.path()).mkpath(name));
        else
            writeFile(dir.filePath(name), "sol\n");
    }
    QStringList paths;
    for (const QString &name : expected)
        paths.append(name.isEmpty() ? dir.path() : dir.filePath(name));
    QCOMPARE(letro::folder::recordingFolders(dir.path()), paths);
}

void TestRecordings::spaceInBlocks_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<qint64>("blockSize");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("an empty file") << qint64(0) << qint64(4096) << qint64(0);
    QTest::newRow("one byte") << qint64(1) << qint64(4096) << qint64(4096);
    QTest::newRow("one whole block") << qint64(4096) << qint64(4096) << qint64(4096);
    QTest::newRow("a byte more") << qint64(4097) << qint64(4096) << qint64(8192);
    QTest::newRow("a recording on 1 KB blocks")
        << qint64(46100) << qint64(1024) << qint64(46080 + 1024);
    QTest::newRow("block size unknown") << qint64(4097) << qint64(1) << qint64(4097);
    QTest::newRow("a short text takes a whole block") << qint64(8) << qint64(4096) << qint64(4096);
}

void TestRecordings::spaceInBlocks()
{
    QFETCH(qint64, bytes);
    QFETCH(qint64, blockSize);
    QFETCH(qint64, expected);
    QCOMPARE(letro::folder::spaceInBlocks(bytes, blockSize), expected);
}

void TestRecordings::emptyRecordingReason_data()
{
    QTest::addColumn<qint64>("available");
    QTest::addColumn<QString>("expected");
    const QString full = QStringLiteral("no queda espacio en el disco");
    const QString empty = QStringLiteral("la grabación salió vacía");
    QTest::newRow("nothing free") << qint64(0) << full;
    QTest::newRow("less than a block free") << qint64(1000) << full;
    QTest::newRow("room enough") << qint64(10 * 1024 * 1024) << empty;
    QTest::newRow("free space unknown") << qint64(-1) << empty;
}

void TestRecordings::emptyRecordingReason()
{
    QFETCH(qint64, available);
    QFETCH(QString, expected);
    QCOMPARE(letro::folder::emptyRecordingReason(available, 4096), expected);
}

// A recording is older than its text when it was last written in an
// earlier second; there is nothing to be older than without a text.
void TestRecordings::recordingState_data()
{
    QTest::addColumn<QDateTime>("recording");
    QTest::addColumn<QDateTime>("text");
    QTest::addColumn<RecordingState>("expected");
    const QDateTime second = QDateTime::fromSecsSinceEpoch(1709287200);
    QTest::newRow("none") << QDateTime() << second << RecordingState::Missing;
    QTest::newRow("none, nor a text") << QDateTime() << QDateTime() << RecordingState::Missing;
    QTest::newRow("a millisecond older, the second before")
        << second.addMSecs(-1) << second << RecordingState::Older;
    QTest::newRow("a day older") << second.addDays(-1) << second << RecordingState::Older;
    QTest::newRow("older in the same second")
        << second.addMSecs(100) << second.addMSecs(900) << RecordingState::Present;
    QTest::newRow("at the same moment") << second << second << RecordingState::Present;
    QTest::newRow("newer") << second.addSecs(1) << second << RecordingState::Present;
    QTest::newRow("without a text") << second << QDateTime() << RecordingState::Present;
}

void TestRecordings::recordingState()
{
    QFETCH(QDateTime, recording);
    QFETCH(QDateTime, text);
    QFETCH(RecordingState, expected);
    QCOMPARE(letro::folder::recordingState(recording, text), expected);
}

void TestRecordings::recordingJobs_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("existing");

    QTest::newRow("numeric order") << QStringList{"10", "2", "1"} << QStringList{}
                                   << QStringList{"1", "2", "10"} << QStringList{};
    QTest::newRow("names that are not exercises")
        << QStringList{"1",  "1.wav", "notas", "05", "0",     "-3",
                       "+4", "3.txt", " 4",    "4 ", "2.wav", ".5"}
        << QStringList{} << QStringList{"1"} << QStringList{"1.wav"};
    QTest::newRow("a line feed after the digits")
        << QStringList{"1", "2\n", "3\n.wav"} << QStringList{} << QStringList{"1"} << QStringList{};
    QTest::newRow("existing recordings marked")
        << QStringList{"3", "1", "2", "2.wav", "3.wav", "7.wav"} << QStringList{}
        << QStringList{"1", "2", "3"} << QStringList{"2.wav", "3.wav"};
    QTest::newRow("slow recordings marked, and no exercises")
        << QStringList{"2", "1", "1.lento.wav", "2.wav", "2.lento.wav", "3.lento.wav", "4.lento"}
        << QStringList{} << QStringList{"1", "2"}
        << QStringList{"1.lento.wav", "2.wav", "2.lento.wav"};
    QTest::newRow("folder named like an exercise")
        << QStringList{"1"} << QStringList{"2", "3"} << QStringList{"1"} << QStringList{};
    QTest::newRow("folder named like a recording is no recording")
        << QStringList{"1"} << QStringList{"1.wav"} << QStringList{"1"} << QStringList{};
    QTest::newRow("numbers past 64 bits")
        << QStringList{"99", "100000000000000000000", "9", "123", "99999999999999999999"}
        << QStringList{}
        << QStringList{"9", "99", "123", "99999999999999999999", "100000000000000000000"}
        << QStringList{};
    QTest::newRow("empty folder") << QStringList{} << QStringList{} << QStringList{}
                                  << QStringList{};
}

void TestRecordings::recordingJobs()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, existing);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &name : files)
        writeFile(dir.filePath(name), "texto\r\n");
    for (const QString &name : folders)
        QVERIFY(QDir(dir.path()).mkdir(name));

    const QList<RecordingJob> jobs = letro::folder::recordingJobs(dir.path());
    QCOMPARE(namesOf(jobs), expected);
    QCOMPARE(existingRecordings(jobs), existing);
    for (const RecordingJob &job : jobs) {
        QCOMPARE(QFileInfo(job.textPath).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
        QCOMPARE(job.wavPath, job.textPath + ".wav");
        QCOMPARE(job.slowWavPath, job.textPath + ".lento.wav");
    }
}

void TestRecordings::linksAndOtherFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    writeFile(dir.filePath("notas"), "hola\n");
    QVERIFY(QFile::link(dir.filePath("notas"), dir.filePath("4"))); // link to a file
    QVERIFY(QFile::link(dir.filePath("nada"), dir.filePath("5")));  // broken link
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("6")).constData(), 0600), 0);

    QCOMPARE(namesOf(letro::folder::recordingJobs(dir.path())), QStringList{"4"});
}

void TestRecordings::missingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(letro::folder::recordingJobs(dir.filePath("no-existe")).isEmpty());
}

void TestRecordings::speechArguments_data()
{
    QTest::addColumn<QString>("voice");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("gap");
    QTest::addColumn<QString>("wav");
    QTest::addColumn<bool>("slow");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("defaults") << QString() << -1 << -1 << "/tmp/1.wav" << false
                              << QStringList{"-v", "es", "-s", "110",        "-g",     "8",
                                             "-b", "1",  "-w", "/tmp/1.wav", "--stdin"};
    QTest::newRow("voice and speed")
        << "es-419" << 90 << 12 << "Palabras/7.wav" << false
        << QStringList{"-v", "es-419",         "-s",     "90", "-g", "12", "-b", "1",
                       "-w", "Palabras/7.wav", "--stdin"};
    QTest::newRow("path with blanks and accents is one argument")
        << "es+f3" << 150 << 0 << "/home/maestra/Frase corta/año 2/12.wav" << false
        << QStringList{"-v",     "es+f3", "-s", "150", "-g",
                       "0",      "-b",    "1",  "-w",  "/home/maestra/Frase corta/año 2/12.wav",
                       "--stdin"};
    // The slow recording: three quarters of the speed, 80 at the slowest
    // (unless asked slower still), four more units of gap, SSML.
    QTest::newRow("slow defaults") << QString() << -1 << -1 << "1.lento.wav" << true
                                   << QStringList{"-v", "es", "-s", "82", "-g",          "12",
                                                  "-b", "1",  "-m", "-w", "1.lento.wav", "--stdin"};
    QTest::newRow("slow never below 80")
        << "es-419" << 90 << 8 << "2.lento.wav" << true
        << QStringList{"-v", "es-419", "-s", "80", "-g",          "12",
                       "-b", "1",      "-m", "-w", "2.lento.wav", "--stdin"};
    QTest::newRow("slow below 80 stays")
        << "es" << 60 << 0 << "3.lento.wav" << true
        << QStringList{"-v", "es", "-s", "60", "-g",          "4",
                       "-b", "1",  "-m", "-w", "3.lento.wav", "--stdin"};
}

void TestRecordings::speechArguments()
{
    QFETCH(QString, voice);
    QFETCH(int, speed);
    QFETCH(int, gap);
    QFETCH(QString, wav);
    QFETCH(bool, slow);
    QFETCH(QStringList, expected);

    letro::folder::SpeechOptions options;
    if (!voice.isNull())
        options.voice = voice;
    if (speed >= 0)
        options.wordsPerMinute = speed;
    if (gap >= 0)
        options.wordGap = gap;
    if (slow)
        options = letro::folder::slowSpeechOptions(options);
    QCOMPARE(letro::folder::speechArguments(options, wav), expected);
}

void TestRecordings::synthesiseWritesTheRecording()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    letro::folder::SpeechOptions options;
    options.voice = QStringLiteral("es-419");
    options.wordsPerMinute = 95;
    options.program = makeProgram(dir, "voz", "head -c 100 /dev/zero > \"$out\"");
    QVERIFY(!options.program.isEmpty());

    const QString wav = dir.filePath("3.wav");
    QCOMPARE(letro::folder::synthesise(options, QStringLiteral("¿Qué año es?"), wav), QString());
    QCOMPARE(readFile(wav), QByteArray(100, '\0'));
    // The text goes whole on stdin in UTF-8, with one line end.
    QCOMPARE(readFile(dir.filePath("stdin")), QStringLiteral("¿Qué año es?\n").toUtf8());
    // espeak-ng writes a hidden file beside the recording, renamed at the end.
    const QStringList args = QString::fromUtf8(readFile(dir.filePath("args"))).split('\n');
    QCOMPARE(args.mid(0, 4), (QStringList{"-v", "es-419", "-s", "95"}));
    const int w = args.indexOf("-w");
    QVERIFY(w > 0);
    QCOMPARE(args.at(w + 1), dir.filePath(".letro-parte-3.wav"));
    QVERIFY(!QFile::exists(dir.filePath(".letro-parte-3.wav")));
}

void TestRecordings::synthesiseReplacesAnOldRecording()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString wav = dir.filePath("1.wav");
    writeFile(wav, "OLD");
    letro::folder::SpeechOptions options;
    options.program = makeProgram(dir, "voz", "head -c 64 /dev/zero | tr '\\0' N > \"$out\"");
    QCOMPARE(letro::folder::synthesise(options, QStringLiteral("hola"), wav), QString());
    QCOMPARE(readFile(wav), QByteArray(64, 'N'));
}

void TestRecordings::failureKeepsTheOldRecording()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString wav = dir.filePath("2.wav");
    writeFile(wav, "OLD");
    letro::folder::SpeechOptions options;
    options.program = makeProgram(dir, "voz",
                                  "head -c 500 /dev/zero > \"$out\"\n"
                                  "echo 'voz rota'\n"
                                  "exit 3");
    const QString problem = letro::folder::synthesise(options, QStringLiteral("hola"), wav);
    QVERIFY2(problem.contains("voz rota"), qPrintable(problem));
    QCOMPARE(readFile(wav), QByteArray("OLD"));
    QVERIFY(!QFile::exists(dir.filePath(".letro-parte-2.wav")));
}

void TestRecordings::emptyRecordingIsRefused()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString wav = dir.filePath("5.wav");
    letro::folder::SpeechOptions options;
    options.program = makeProgram(dir, "voz", "head -c 44 /dev/zero > \"$out\"");
    QCOMPARE(letro::folder::synthesise(options, QStringLiteral("hola"), wav),
             QStringLiteral("la grabación salió vacía"));
    QVERIFY(!QFile::exists(wav));
    QVERIFY(!QFile::exists(dir.filePath(".letro-parte-5.wav")));
}

void TestRecordings::missingProgram()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    letro::folder::SpeechOptions options;
    options.program = dir.filePath("no-hay-voz");
    QCOMPARE(letro::folder::synthesise(options, QStringLiteral("hola"), dir.filePath("1.wav")),
             QStringLiteral("no se puede ejecutar %1").arg(options.program));
    QVERIFY(!QFile::exists(dir.filePath("1.wav")));
}

void TestRecordings::slowSpeechMarkup_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("markup");

    const QString clause = R"(<break time="1000ms"/>)";
    const QString group = R"(<break time="400ms"/>)";
    QTest::newRow("one word") << "cigüeña"
                              << "<speak>cigüeña</speak>";
    QTest::newRow("four words are one group") << "Juan tiene un perro."
                                              << "<speak>Juan tiene un perro.</speak>";
    QTest::newRow("pause at every comma, none at the end")
        << "Sí, claro, mañana."
        << "<speak>Sí," + clause + "claro," + clause + "mañana.</speak>";
    QTest::newRow("semicolon, colon and a second sentence")
        << "Mira: llueve; vamos. ¡Corre!"
        << "<speak>Mira:" + clause + "llueve;" + clause + "vamos." + clause + "¡Corre!</speak>";
    QTest::newRow("groups of about equal size")
        << "a b c d e f g h i"
        << "<speak>a b c" + group + "d e f" + group + "g h i</speak>";
    QTest::newRow("no pause after an article or preposition")
        << "Begoña y yo ayudamos a la abuela a recoger las zanahorias de la huerta."
        << "<speak>Begoña y yo" + group + "ayudamos a la abuela" + group +
               "a recoger las zanahorias" + group + "de la huerta.</speak>";
    QTest::newRow("groups inside a clause")
        << "El viernes, después de hacer los deberes, comemos."
        << "<speak>El viernes," + clause + "después de hacer" + group + "los deberes," + clause +
               "comemos.</speak>";
    QTest::newRow("XML characters escaped, blanks collapsed")
        << "  a <b> &   \"c\"  "
        << "<speak>a &lt;b&gt; &amp; &quot;c&quot;</speak>";
    QTest::newRow("empty") << ""
                           << "<speak></speak>";
}

void TestRecordings::slowSpeechMarkup()
{
    QFETCH(QString, text);
    QFETCH(QString, markup);
    QCOMPARE(letro::folder::slowSpeechMarkup(text), markup);
}

void TestRecordings::replaceAtomically_data()
{
    QTest::addColumn<QString>("temporary"); // "file", "folder" or "none"
    QTest::addColumn<bool>("oldFile");
    QTest::addColumn<QString>("target"); // relative to the folder
    QTest::addColumn<QString>("problem");

    QTest::newRow("over an old file") << "file" << true << "1.wav" << QString();
    QTest::newRow("no old file") << "file" << false << "1.wav" << QString();
    // Each failure leaves the old recording and the temporary file as they were.
    QTest::newRow("temporary file gone") << "none" << true << "1.wav"
                                         << "ya no existe";
    QTest::newRow("a folder is no recording") << "folder" << true << "1.wav"
                                              << "no es una carpeta";
    QTest::newRow("target folder gone") << "file" << false << "nada/1.wav"
                                        << "ya no existe";
}

void TestRecordings::replaceAtomically()
{
    QFETCH(QString, temporary);
    QFETCH(bool, oldFile);
    QFETCH(QString, target);
    QFETCH(QString, problem);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString finalPath = dir.filePath(target);
    const QString part = letro::folder::temporaryPathFor(finalPath);
    QCOMPARE(part, QFileInfo(finalPath).dir().filePath(".letro-parte-" +
                                                       QFileInfo(finalPath).fileName()));
    if (temporary == "file")
        writeFile(dir.filePath(".letro-parte-1.wav"), "NEW");
    else if (temporary == "folder")
        QVERIFY(QDir(dir.path()).mkdir(".letro-parte-1.wav"));
    if (oldFile)
        writeFile(finalPath, "OLD");

    const QString reason =
        letro::folder::replaceAtomically(dir.filePath(".letro-parte-1.wav"), finalPath);
    if (problem.isEmpty()) {
        QCOMPARE(reason, QString());
        QCOMPARE(readFile(finalPath), QByteArray("NEW"));
        QVERIFY(!QFileInfo::exists(dir.filePath(".letro-parte-1.wav")));
    } else {
        QVERIFY2(reason.startsWith("no se puede guardar " + finalPath + ": ") &&
                     reason.contains(problem),
                 qPrintable(reason));
        QCOMPARE(readFile(finalPath), oldFile ? QByteArray("OLD") : QByteArray("<missing>"));
        QCOMPARE(QFileInfo::exists(dir.filePath(".letro-parte-1.wav")), temporary != "none");
    }
}

void TestRecordings::makeSlowVersion_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("channels");
    QTest::addColumn<QString>("encoding");

    QTest::newRow("22050 Hz mono 16-bit") << 22050 << 16 << 1 << "signed-integer";
    QTest::newRow("44100 Hz mono 24-bit") << 44100 << 24 << 1 << "signed-integer";
    QTest::newRow("48000 Hz stereo 16-bit") << 48000 << 16 << 2 << "signed-integer";
    QTest::newRow("16000 Hz mono float") << 16000 << 32 << 1 << "floating-point";
}

// A teacher's recording of any format becomes a slow one that lasts 1/0.75
// as long at the same pitch, as 16-bit PCM at the source's rate.
void TestRecordings::makeSlowVersion()
{
    QFETCH(int, rate);
    QFETCH(int, bits);
    QFETCH(int, channels);
    QFETCH(QString, encoding);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString wav = dir.filePath("1.wav");
    const QString tone =
        outputOf("sox", {"-n", "-r", QString::number(rate), "-b", QString::number(bits), "-c",
                         QString::number(channels), "-e", encoding, wav, "synth", "2", "sine",
                         "440", "vol", "0.5"});
    QVERIFY2(tone.isEmpty(), qPrintable(tone));
    const QByteArray source = readFile(wav);
    const QString slow = dir.filePath("1.lento.wav");
    writeFile(slow, "OLD");

    QCOMPARE(letro::folder::makeSlowVersion(wav, slow), QString());
    QCOMPARE(readFile(wav), source);
    QCOMPARE(outputOf("soxi", {"-r", slow}), QString::number(rate));
    QCOMPARE(outputOf("soxi", {"-c", slow}), QString::number(channels));
    QCOMPARE(outputOf("soxi", {"-b", slow}), QStringLiteral("16"));
    QCOMPARE(outputOf("soxi", {"-e", slow}), QStringLiteral("Signed Integer PCM"));
    const double length = soxStat(slow, "Length (seconds)");
    QVERIFY2(qAbs(length - 2 / letro::folder::SlowTempo) < 0.05,
             qPrintable(QString::number(length)));
    const double pitch = soxStat(slow, "Rough   frequency");
    QVERIFY2(qAbs(pitch - soxStat(wav, "Rough   frequency")) < 440 * 0.02,
             qPrintable(QString::number(pitch)));
    QVERIFY(!QFileInfo::exists(letro::folder::temporaryPathFor(slow)));
}

void TestRecordings::makeSlowVersionFails_data()
{
    QTest::addColumn<QByteArray>("source"); // empty: no N.wav at all
    QTest::addColumn<QString>("problem");

    QTest::newRow("no recording") << QByteArray() << "no existe la grabación ";
    QTest::newRow("not a wave file") << QByteArray("hola") << "sox falló: ";
}

void TestRecordings::makeSlowVersionFails()
{
    QFETCH(QByteArray, source);
    QFETCH(QString, problem);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString wav = dir.filePath("2.wav");
    if (!source.isEmpty())
        writeFile(wav, source);
    writeFile(dir.filePath("2.lento.wav"), "OLD");
    const QString reason = letro::folder::makeSlowVersion(wav, dir.filePath("2.lento.wav"));
    QVERIFY2(reason.startsWith(problem), qPrintable(reason));
    QCOMPARE(readFile(dir.filePath("2.lento.wav")), QByteArray("OLD"));
    QVERIFY(!QFileInfo::exists(dir.filePath(".letro-parte-2.lento.wav")));
}

QTEST_GUILESS_MAIN(TestRecordings)
#include "tst_recordings.moc"

// Which exercises of a folder letro-grabar records, the arguments it gives
// espeak-ng, and how a recording is written (fake speech programs stand in
// for espeak-ng here, so every outcome can be forced).
#include "grabar/recordings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/types.h>

using letro::RecordingJob;

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

QStringList namesOf(const QList<RecordingJob> &jobs, bool onlyExisting)
{
    QStringList names;
    for (const RecordingJob &job : jobs) {
        if (!onlyExisting || job.exists)
            names << QFileInfo(job.textPath).fileName();
    }
    return names;
}

} // namespace

class TestRecordings : public QObject
{
    Q_OBJECT

private slots:
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
};

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
        << QStringList{} << QStringList{"1"} << QStringList{"1"};
    QTest::newRow("existing recordings marked")
        << QStringList{"3", "1", "2", "2.wav", "3.wav", "7.wav"} << QStringList{}
        << QStringList{"1", "2", "3"} << QStringList{"2", "3"};
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

    const QList<RecordingJob> jobs = letro::recordingJobs(dir.path());
    QCOMPARE(namesOf(jobs, false), expected);
    QCOMPARE(namesOf(jobs, true), existing);
    for (const RecordingJob &job : jobs) {
        QCOMPARE(QFileInfo(job.textPath).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
        QCOMPARE(job.wavPath, job.textPath + ".wav");
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

    QCOMPARE(namesOf(letro::recordingJobs(dir.path()), false), QStringList{"4"});
}

void TestRecordings::missingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(letro::recordingJobs(dir.filePath("no-existe")).isEmpty());
}

void TestRecordings::speechArguments_data()
{
    QTest::addColumn<QString>("voice");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("gap");
    QTest::addColumn<QString>("wav");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("defaults") << QString() << -1 << -1 << "/tmp/1.wav"
                              << QStringList{"-v", "es", "-s", "110",        "-g",     "8",
                                             "-b", "1",  "-w", "/tmp/1.wav", "--stdin"};
    QTest::newRow("voice and speed")
        << "es-419" << 90 << 12 << "Palabras/7.wav"
        << QStringList{"-v", "es-419",         "-s",     "90", "-g", "12", "-b", "1",
                       "-w", "Palabras/7.wav", "--stdin"};
    QTest::newRow("path with blanks and accents is one argument")
        << "es+f3" << 150 << 0 << "/home/maestra/Frase corta/año 2/12.wav"
        << QStringList{"-v",     "es+f3", "-s", "150", "-g",
                       "0",      "-b",    "1",  "-w",  "/home/maestra/Frase corta/año 2/12.wav",
                       "--stdin"};
}

void TestRecordings::speechArguments()
{
    QFETCH(QString, voice);
    QFETCH(int, speed);
    QFETCH(int, gap);
    QFETCH(QString, wav);
    QFETCH(QStringList, expected);

    letro::SpeechOptions options;
    if (!voice.isNull())
        options.voice = voice;
    if (speed >= 0)
        options.wordsPerMinute = speed;
    if (gap >= 0)
        options.wordGap = gap;
    QCOMPARE(letro::speechArguments(options, wav), expected);
}

void TestRecordings::synthesiseWritesTheRecording()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    letro::SpeechOptions options;
    options.voice = QStringLiteral("es-419");
    options.wordsPerMinute = 95;
    options.program = makeProgram(dir, "voz", "head -c 100 /dev/zero > \"$out\"");
    QVERIFY(!options.program.isEmpty());

    const QString wav = dir.filePath("3.wav");
    QCOMPARE(letro::synthesise(options, QStringLiteral("¿Qué año es?"), wav), QString());
    QCOMPARE(readFile(wav), QByteArray(100, '\0'));
    // The text goes whole on stdin in UTF-8, with one line end.
    QCOMPARE(readFile(dir.filePath("stdin")), QStringLiteral("¿Qué año es?\n").toUtf8());
    // espeak-ng writes a hidden file beside the recording, renamed at the end.
    const QStringList args = QString::fromUtf8(readFile(dir.filePath("args"))).split('\n');
    QCOMPARE(args.mid(0, 4), (QStringList{"-v", "es-419", "-s", "95"}));
    const int w = args.indexOf("-w");
    QVERIFY(w > 0);
    QCOMPARE(args.at(w + 1), dir.filePath(".3.wav.part"));
    QVERIFY(!QFile::exists(dir.filePath(".3.wav.part")));
}

void TestRecordings::synthesiseReplacesAnOldRecording()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString wav = dir.filePath("1.wav");
    writeFile(wav, "OLD");
    letro::SpeechOptions options;
    options.program = makeProgram(dir, "voz", "head -c 64 /dev/zero | tr '\\0' N > \"$out\"");
    QCOMPARE(letro::synthesise(options, QStringLiteral("hola"), wav), QString());
    QCOMPARE(readFile(wav), QByteArray(64, 'N'));
}

void TestRecordings::failureKeepsTheOldRecording()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString wav = dir.filePath("2.wav");
    writeFile(wav, "OLD");
    letro::SpeechOptions options;
    options.program = makeProgram(dir, "voz",
                                  "head -c 500 /dev/zero > \"$out\"\n"
                                  "echo 'voz rota'\n"
                                  "exit 3");
    const QString problem = letro::synthesise(options, QStringLiteral("hola"), wav);
    QVERIFY2(problem.contains("voz rota"), qPrintable(problem));
    QCOMPARE(readFile(wav), QByteArray("OLD"));
    QVERIFY(!QFile::exists(dir.filePath(".2.wav.part")));
}

void TestRecordings::emptyRecordingIsRefused()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString wav = dir.filePath("5.wav");
    letro::SpeechOptions options;
    options.program = makeProgram(dir, "voz", "head -c 44 /dev/zero > \"$out\"");
    QCOMPARE(letro::synthesise(options, QStringLiteral("hola"), wav),
             QStringLiteral("la grabación salió vacía"));
    QVERIFY(!QFile::exists(wav));
    QVERIFY(!QFile::exists(dir.filePath(".5.wav.part")));
}

void TestRecordings::missingProgram()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    letro::SpeechOptions options;
    options.program = dir.filePath("no-hay-voz");
    QCOMPARE(letro::synthesise(options, QStringLiteral("hola"), dir.filePath("1.wav")),
             QStringLiteral("no se puede ejecutar %1").arg(options.program));
    QVERIFY(!QFile::exists(dir.filePath("1.wav")));
}

QTEST_GUILESS_MAIN(TestRecordings)
#include "tst_recordings.moc"

// Real sound: the program's sound player plays into a private PulseAudio
// server with a null sink, and what reaches the sink is recorded from its
// monitor and measured with sox. Run by e2e-run.sh --pulse (every function
// but noServer) and by e2e-run.sh --no-pulse (noServer only).
#include "exercise/module1.h"
#include "soundcapture.h"

#include <QAudioDevice>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace letro;
using letro::test::SoundCapture;

namespace {

// sox's arguments for a raw capture of the null sink's monitor.
const QStringList RawCapture = {
    QStringLiteral("-t"), QStringLiteral("raw"),    QStringLiteral("-r"), QStringLiteral("44100"),
    QStringLiteral("-e"), QStringLiteral("signed"), QStringLiteral("-b"), QStringLiteral("16"),
    QStringLiteral("-c"), QStringLiteral("2")};

// Cuts the silence before the first and after the last sound.
const QStringList TrimSilence = {QStringLiteral("silence"), QStringLiteral("1"),
                                 QStringLiteral("0.01"),    QStringLiteral("1%"),
                                 QStringLiteral("reverse"), QStringLiteral("silence"),
                                 QStringLiteral("1"),       QStringLiteral("0.01"),
                                 QStringLiteral("1%"),      QStringLiteral("reverse")};

struct Measure
{
    double seconds = -1; // length of the part between the first and the last sound
    double peak = -1;    // maximum amplitude over the whole input, 0 to 1
};

double statValue(const QString &stat, const char *name)
{
    const QRegularExpression re(QStringLiteral("^%1[^:]*:\\s*([-0-9.e]+)").arg(QLatin1String(name)),
                                QRegularExpression::MultilineOption);
    const auto m = re.match(stat);
    return m.hasMatch() ? m.captured(1).toDouble() : -1;
}

// Runs sox on `input` (with the input options given) and reads its "stat".
Measure measure(const QStringList &inputOptions, const QString &input)
{
    Measure result;
    QProcess sox;
    sox.start(QStringLiteral("sox"),
              inputOptions + QStringList{input, QStringLiteral("-n"), QStringLiteral("stat")});
    if (!sox.waitForFinished(30000))
        return result;
    result.peak =
        statValue(QString::fromLocal8Bit(sox.readAllStandardError()), "Maximum amplitude");

    sox.start(QStringLiteral("sox"), inputOptions + QStringList{input, QStringLiteral("-n")} +
                                         TrimSilence + QStringList{QStringLiteral("stat")});
    if (!sox.waitForFinished(30000))
        return result;
    const QString stat = QString::fromLocal8Bit(sox.readAllStandardError());
    // A silent input leaves nothing to measure.
    result.seconds = stat.contains(QStringLiteral("Length")) ? statValue(stat, "Length") : 0.0;
    return result;
}

// What a capture heard, measured by sox.
Measure measureCapture(const SoundCapture &capture, const QString &file)
{
    if (!capture.save(file))
        return Measure();
    return measure(RawCapture, file);
}

} // namespace

class E2eSound : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void playsTheRecording();
    void playAgainRestarts();
    void alertIsHeard();
    void alertLeavesTheRecordingPlaying();
    void noServer();

private:
    void needServer();
    QString capturePath(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

    QTemporaryDir m_dir;
    QString m_recording;
    Measure m_recordingOwn;
    QString m_sentence;
    Measure m_sentenceOwn;
    Measure m_alertOwn;
};

void E2eSound::initTestCase()
{
    QVERIFY(m_dir.isValid());
    if (qEnvironmentVariableIsSet("E2E_KEEP")) {
        // Keeps the captures for a closer look.
        m_dir.setAutoRemove(false);
        qInfo("captures in %s", qPrintable(m_dir.path()));
    }
    const QString programDir = qEnvironmentVariable("LETRO_PROGRAM_DIR");
    QVERIFY2(!programDir.isEmpty(), "LETRO_PROGRAM_DIR is not set");
    for (const char *tool : {"sox", "parec"})
        QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(), tool);

    // A real recording of the shipped exercises (spoken by espeak-ng).
    m_recording = programDir + QStringLiteral("/Palabras/1.wav");
    QVERIFY2(QFile::exists(m_recording), qPrintable(m_recording));
    m_recordingOwn = measure({}, m_recording);
    QVERIFY2(m_recordingOwn.seconds > 0.2, "the recording is silent");
    // A sentence, long enough to tell a restart from a request ignored.
    m_sentence = programDir + QStringLiteral("/Frase corta/1.wav");
    QVERIFY2(QFile::exists(m_sentence), qPrintable(m_sentence));
    m_sentenceOwn = measure({}, m_sentence);
    QVERIFY2(m_sentenceOwn.seconds > 1.0, "the sentence is too short");

    QFile alert(QString::fromLatin1(AlertSoundUrl).mid(3)); // ":/sounds/alerta.wav"
    QVERIFY(alert.open(QIODevice::ReadOnly));
    const QString alertCopy = m_dir.filePath(QStringLiteral("alerta.wav"));
    QFile copy(alertCopy);
    QVERIFY(copy.open(QIODevice::WriteOnly));
    copy.write(alert.readAll());
    copy.close();
    m_alertOwn = measure({}, alertCopy);
    QVERIFY2(m_alertOwn.seconds > 0.05, "the alert sound is silent");
    qInfo("recording %.3f s of sound, alert %.3f s", m_recordingOwn.seconds, m_alertOwn.seconds);
}

void E2eSound::needServer()
{
    // Never skipped: without the private server there is nothing to test.
    QVERIFY2(!qEnvironmentVariableIsEmpty("E2E_SINK"), "run under e2e-run.sh --pulse");
    QVERIFY2(qEnvironmentVariable("PULSE_SERVER").startsWith(QStringLiteral("unix:")),
             "run under e2e-run.sh --pulse");
}

// Records the null sink while the test's event loop keeps running.
#define START_CAPTURE(capture)                                                                     \
    SoundCapture capture(qEnvironmentVariable("E2E_SINK"), [](int ms) { QTest::qWait(ms); });      \
    QVERIFY2(capture.start(), "the recorder did not start")

void E2eSound::playsTheRecording()
{
    needServer();
    EffectSoundPlayer player;
    START_CAPTURE(capture);

    QElapsedTimer clock;
    clock.start();
    player.play(m_recording);
    QVERIFY2(clock.elapsed() < 500, "play() did not return at once");
    QVERIFY2(capture.waitForSoundEnd(700, 20000), "no sound, or it never ended");

    const Measure heard = measureCapture(capture, capturePath("play.raw"));
    qInfo("heard %.3f s of sound, peak %.3f", heard.seconds, heard.peak);
    QVERIFY2(heard.peak > 0.05, "nothing reached the sound server");
    QVERIFY(heard.seconds >= 0.8 * m_recordingOwn.seconds);
    QVERIFY(heard.seconds <= 1.2 * m_recordingOwn.seconds);
}

void E2eSound::playAgainRestarts()
{
    needServer();
    EffectSoundPlayer player;
    START_CAPTURE(capture);

    player.play(m_sentence);
    QTest::qWait(300);
    player.play(m_sentence);
    QVERIFY2(capture.waitForSoundEnd(700, 20000), "no sound, or it never ended");

    // From the first start to the end of the restarted sentence: 300 ms plus
    // the whole sentence. Ignoring the second request would give the sentence
    // alone, playing one after the other about twice as much, and a restart
    // that lets the first sound play on a while comes late.
    const Measure heard = measureCapture(capture, capturePath("again.raw"));
    const double expected = 0.3 + m_sentenceOwn.seconds;
    qInfo("heard %.3f s of sound, expected about %.3f s", heard.seconds, expected);
    QVERIFY(heard.peak > 0.05);
    QVERIFY2(heard.seconds >= expected - 0.15, qPrintable(QString::number(heard.seconds)));
    QVERIFY2(heard.seconds <= expected + 0.15, qPrintable(QString::number(heard.seconds)));
}

void E2eSound::alertIsHeard()
{
    needServer();
    EffectSoundPlayer player;
    START_CAPTURE(capture);

    QElapsedTimer clock;
    clock.start();
    player.alert();
    QVERIFY2(clock.elapsed() < 500, "alert() did not return at once");
    QVERIFY2(capture.waitForSoundEnd(700, 20000), "the alert was not heard");

    const Measure heard = measureCapture(capture, capturePath("alert.raw"));
    qInfo("heard %.3f s of alert, peak %.3f", heard.seconds, heard.peak);
    QVERIFY(heard.peak > 0.05);
    QVERIFY(heard.seconds >= 0.8 * m_alertOwn.seconds);
    QVERIFY(heard.seconds <= 1.2 * m_alertOwn.seconds + 0.05);
}

void E2eSound::alertLeavesTheRecordingPlaying()
{
    needServer();
    EffectSoundPlayer player;
    START_CAPTURE(capture);

    player.play(m_recording);
    QTest::qWait(200);
    player.alert();
    QVERIFY2(capture.waitForSoundEnd(700, 20000), "no sound, or it never ended");

    // The recording is not cut off by the wrong key's alert.
    const Measure heard = measureCapture(capture, capturePath("both.raw"));
    qInfo("heard %.3f s of sound", heard.seconds);
    QVERIFY(heard.seconds >= 0.8 * m_recordingOwn.seconds);
    QVERIFY(heard.seconds <= 1.2 * m_recordingOwn.seconds);
}

void E2eSound::noServer()
{
    // Run with PULSE_SERVER naming a socket that nobody serves.
    const QString server = qEnvironmentVariable("PULSE_SERVER");
    QVERIFY2(server.startsWith(QStringLiteral("unix:")), "run under e2e-run.sh --no-pulse");
    QVERIFY2(!QFile::exists(server.mid(5)), "a sound server is running");

    QElapsedTimer clock;
    clock.start();
    {
        EffectSoundPlayer player;
        player.play(m_recording);
        QVERIFY2(clock.elapsed() < 1000, "play() hung without a sound server");
        player.alert();
        player.play(m_recording);
        QVERIFY2(clock.elapsed() < 1000, "play() hung without a sound server");
        QVERIFY(QMediaDevices::audioOutputs().isEmpty());

        // The event loop keeps running on time meanwhile.
        QElapsedTimer loop;
        loop.start();
        QTest::qWait(300);
        QVERIFY(loop.elapsed() < 800);
        clock.restart();
    }
    QVERIFY2(clock.elapsed() < 1000, "the player hung on its way out");
}

QTEST_MAIN(E2eSound)
#include "tst_e2e_sound.moc"

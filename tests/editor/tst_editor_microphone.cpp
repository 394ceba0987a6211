// The microphone dialog on a real sound server: the default input is fed by
// the monitor of a private null sink, so a tone played into the sink is what the
// microphone hears. The take becomes a 16-bit PCM mono WAV of the tone's
// length, and its slow version is longer with the same pitch.
#include "editor/microphone.h"
#include "editor/microphonedialog.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMediaDevices>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace letro::editor;

namespace {

class WatchedPlayback : public Playback
{
public:
    void play(const QString &path) override { played.append(path); }
    QStringList played;
};

QString output(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return QStringLiteral("(did not finish)");
    return QString::fromLocal8Bit(process.readAll()).trimmed();
}

double soxi(const char *option, const QString &path)
{
    return output(QStringLiteral("soxi"), {QLatin1String(option), path}).toDouble();
}

// sox's length and rough frequency of the sound between the first and the
// last moment that is not silence.
void soundOf(const QString &path, double *seconds, double *hertz)
{
    const QString stat = output(QStringLiteral("sox"),
                                {path, QStringLiteral("-n"), QStringLiteral("silence"), "1", "0.01",
                                 "1%", "reverse", "silence", "1", "0.01", "1%", "reverse", "stat"});
    const auto value = [&](const char *name) {
        const QRegularExpression line(QLatin1String(name) + QStringLiteral(":\\s*([0-9.]+)"));
        return line.match(stat).captured(1).toDouble();
    };
    *seconds = value("Length \\(seconds\\)");
    *hertz = value("Rough\\s+frequency");
}

} // namespace

class TestEditorMicrophone : public QObject
{
    Q_OBJECT

private slots:
    void recordsATone();
    void noMicrophone();
};

void TestEditorMicrophone::recordsATone()
{
    const QString sink = qEnvironmentVariable("E2E_SINK");
    const QByteArray microphone = qgetenv("E2E_MICROPHONE");
    QVERIFY2(!sink.isEmpty() && !microphone.isEmpty(), "run under e2e-run.sh --microphone");
    // The sound server lists its devices a moment after the first use.
    QTRY_COMPARE(QMediaDevices::defaultAudioInput().id(), microphone);

    QTemporaryDir dir;
    const QString tone = dir.filePath(QStringLiteral("tono.wav"));
    QCOMPARE(output(QStringLiteral("sox"), {"-n", "-r", "44100", "-c", "1", "-b", "16", tone,
                                            "synth", "1.5", "sine", "440", "vol", "0.5"}),
             QString());
    RecordingTarget target;
    target.number = 7;
    target.text = QStringLiteral("El búho ulula de noche.");
    target.wavPath = dir.filePath(QStringLiteral("7.wav"));
    target.slowWavPath = dir.filePath(QStringLiteral("7.lento.wav"));
    QFile old(target.wavPath);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("grabación anterior") > 0);
    old.close();
    QFile text(dir.filePath(QStringLiteral("7")));
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write(target.text.toUtf8() + "\r\n") > 0);
    text.close();

    auto playback = std::make_shared<WatchedPlayback>();
    MicrophoneDialog dialog(target, playback);
    auto *record = dialog.findChild<QPushButton *>(QStringLiteral("recordButton"));
    auto *stop = dialog.findChild<QPushButton *>(QStringLiteral("stopButton"));
    auto *listen = dialog.findChild<QPushButton *>(QStringLiteral("listenButton"));
    auto *keep = dialog.findChild<QPushButton *>(QStringLiteral("keepButton"));
    auto *redo = dialog.findChild<QPushButton *>(QStringLiteral("redoButton"));
    QVERIFY(record->isEnabled() && !stop->isEnabled() && !keep->isEnabled());
    double loudest = 0;
    connect(dialog.recorder(), &MicrophoneRecorder::level, this,
            [&](double peak) { loudest = std::max(loudest, peak); });

    // A first take, thrown away: "Repetir" starts again from nothing. (The
    // sound server's first recording starts about two seconds late.)
    record->click();
    QVERIFY2(dialog.problem().isEmpty(), qPrintable(dialog.problem()));
    QTRY_VERIFY_WITH_TIMEOUT(dialog.recorder()->takeMilliseconds() > 300, 10000);
    stop->click();
    QVERIFY(redo->isEnabled() && keep->isEnabled() && !record->isEnabled());
    QVERIFY(loudest < 0.01); // silence so far

    QElapsedTimer clock;
    redo->click();
    clock.start();
    QVERIFY(stop->isEnabled() && !keep->isEnabled());
    QTest::qWait(300);
    QProcess player;
    player.start(QStringLiteral("paplay"), {QStringLiteral("--device=") + sink, tone});
    QTRY_VERIFY_WITH_TIMEOUT(player.state() == QProcess::NotRunning, 15000);
    QCOMPARE(player.exitCode(), 0);
    QTest::qWait(400);
    stop->click();
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(loudest > 0.3, qPrintable(QString::number(loudest))); // the meter moved
    QVERIFY2(qAbs(dialog.recorder()->takeMilliseconds() - elapsed) < 400,
             qPrintable(QStringLiteral("%1 ms recorded in %2 ms")
                            .arg(dialog.recorder()->takeMilliseconds())
                            .arg(elapsed)));

    listen->click();
    QCOMPARE(playback->played.size(), 1);
    QCOMPARE(soxi("-c", playback->played.first()), 1.0);

    keep->click();
    QVERIFY2(dialog.problem().isEmpty(), qPrintable(dialog.problem()));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    // 16-bit PCM, one channel, at the synthetic voice's rate.
    const QString wav = target.wavPath;
    QCOMPARE(output(QStringLiteral("soxi"), {"-e", wav}), QStringLiteral("Signed Integer PCM"));
    QCOMPARE(soxi("-b", wav), 16.0);
    QCOMPARE(soxi("-c", wav), 1.0);
    QCOMPARE(soxi("-r", wav), double(MicrophoneRecorder::SampleRate));
    QVERIFY(qAbs(soxi("-D", wav) * 1000 - dialog.recorder()->takeMilliseconds()) < 5);
    double seconds = 0, hertz = 0;
    soundOf(wav, &seconds, &hertz);
    QVERIFY2(qAbs(seconds - 1.5) < 0.2, qPrintable(QString::number(seconds)));
    QVERIFY2(qAbs(hertz - 440) < 440 * 0.05, qPrintable(QString::number(hertz)));

    // The slow version: longer by the tempo, the same pitch.
    double slowSeconds = 0, slowHertz = 0;
    soundOf(target.slowWavPath, &slowSeconds, &slowHertz);
    QVERIFY(soxi("-D", target.slowWavPath) > soxi("-D", wav));
    QVERIFY2(qAbs(slowSeconds - seconds / 0.75) < 0.2, qPrintable(QString::number(slowSeconds)));
    QVERIFY2(qAbs(slowHertz - hertz) < hertz * 0.05, qPrintable(QString::number(slowHertz)));
    QCOMPARE(soxi("-b", target.slowWavPath), 16.0);

    // Only the text and its two recordings are left beside the tone.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"7", "7.lento.wav", "7.wav", "tono.wav"}));
}

void TestEditorMicrophone::noMicrophone()
{
    QVERIFY(QMediaDevices::defaultAudioInput().isNull());
    QTemporaryDir dir;
    RecordingTarget target;
    target.number = 1;
    target.wavPath = dir.filePath(QStringLiteral("1.wav"));
    target.slowWavPath = dir.filePath(QStringLiteral("1.lento.wav"));
    MicrophoneDialog dialog(target, std::make_shared<WatchedPlayback>());
    dialog.findChild<QPushButton *>(QStringLiteral("recordButton"))->click();
    QCOMPARE(dialog.problem(), QStringLiteral("no se encuentra ningún micrófono"));
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("statusLabel"))->text(),
             QStringLiteral("No se ha podido: no se encuentra ningún micrófono."));
    QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("recordButton"))->isEnabled());
    QVERIFY(!dialog.findChild<QPushButton *>(QStringLiteral("keepButton"))->isEnabled());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(TestEditorMicrophone)
#include "tst_editor_microphone.moc"

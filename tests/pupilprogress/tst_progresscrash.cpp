// The store killed while it writes: a helper keeps attempts one after another
// in a SQLite file and is killed with SIGKILL after a few of them, at a
// different moment each round. The file must then open, and hold every
// attempt the helper reported kept, whole, and nothing twice.
#include "progress/database.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace letro;
using namespace letro::progress;

class TestProgressCrash : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileWriting_data();
    void killedWhileWriting();
};

void TestProgressCrash::killedWhileWriting_data()
{
    QTest::addColumn<int>("keptBeforeKill");    // attempts reported before the kill
    QTest::addColumn<int>("microsecondsAfter"); // then this long before it
    QTest::newRow("at the first") << 1 << 0;
    QTest::newRow("after three, at once") << 3 << 0;
    QTest::newRow("after five, a little later") << 5 << 700;
    QTest::newRow("after eight, later") << 8 << 2500;
    QTest::newRow("after twelve, much later") << 12 << 9000;
}

void TestProgressCrash::killedWhileWriting()
{
    QFETCH(int, keptBeforeKill);
    QFETCH(int, microsecondsAfter);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("progreso.sqlite"));
    QSet<QString> reported;
    // The same file killed twice: the second run starts on what the first left.
    for (int round = 0; round < 2; ++round) {
        QProcess helper;
        helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        helper.start(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/letro_progress_crash_helper"),
                     {path});
        QVERIFY(helper.waitForStarted(20000));
        QByteArray pending;
        int seen = 0;
        while (seen < keptBeforeKill) {
            QVERIFY2(helper.state() == QProcess::Running || helper.bytesAvailable() > 0,
                     "the helper ended by itself");
            if (!helper.canReadLine() && !helper.waitForReadyRead(60000))
                QFAIL("the helper reported nothing kept");
            while (helper.canReadLine()) {
                const QByteArray line = helper.readLine().trimmed();
                QVERIFY2(line.startsWith("guardado "), line.constData());
                reported.insert(QString::fromLatin1(line.mid(9)));
                ++seen;
            }
        }
        if (microsecondsAfter > 0)
            usleep(useconds_t(microsecondsAfter));
        helper.kill(); // SIGKILL
        QVERIFY(helper.waitForFinished(20000));
        QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
        // What it reported in the meantime was kept too.
        while (helper.canReadLine()) {
            const QByteArray line = helper.readLine().trimmed();
            if (line.startsWith("guardado "))
                reported.insert(QString::fromLatin1(line.mid(9)));
        }
    }

    ProgressDatabase database(Backend::SQLite);
    StoreSettings settings;
    settings.localPath = path;
    const Outcome opened = database.open(settings);
    QVERIFY2(opened.ok(), qPrintable(opened.detail));
    Outcome outcome;
    const QList<AttemptRecord> attempts =
        database.attempts(QStringLiteral("pupila"), DateSpan(), &outcome);
    QVERIFY2(outcome.ok(), qPrintable(outcome.detail));
    QSet<QString> stored;
    for (const AttemptRecord &attempt : attempts) {
        const QString id = attempt.id.toString(QUuid::WithoutBraces);
        QVERIFY2(!stored.contains(id), qPrintable(id));
        stored.insert(id);
        // Whole: every mistake with it, the figures as written.
        QCOMPARE(attempt.mistakeList.size(), 40);
        QCOMPARE(attempt.mistakes, qint64(40));
        QCOMPARE(attempt.hits, qint64(25));
        QCOMPARE(attempt.seconds, qint64(30 + attempt.exerciseNumber));
        QVERIFY(attempt.text.endsWith(QStringLiteral(" %1.").arg(attempt.exerciseNumber)));
    }
    for (const QString &id : reported)
        QVERIFY2(stored.contains(id), qPrintable(QStringLiteral("lost: ") + id));
    QVERIFY(reported.size() >= 2 * keptBeforeKill);
    QCOMPARE(database.attemptCount(&outcome), qint64(stored.size()));
}

QTEST_MAIN(TestProgressCrash)
#include "tst_progresscrash.moc"

// The editor killed in the middle of every kind of change: on a folder of
// 300 dictations with both recordings, a helper process does one change and
// is killed with SIGKILL just before its k-th file-system step, for every k
// near the beginning, the end and the moment the change is taken, and for a
// dense sample in between. The folder is then opened again, as the editor
// and letro-grabar open it: it must be byte for byte the folder before or
// the folder after the change, with no hidden file left, and the teacher
// told which. Putting the folder right is killed in turn at its steps, and
// the folder opened once more: the same must hold.
#include "editor/letrofolder.h"
#include "folder/journal.h"
#include "folders.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace letro;
using namespace letro::editor;
using namespace letro::test;

namespace {

struct Outcome
{
    bool crashed = false;
    long steps = 0;
    long taken = 0;
    QString said;
};

// Runs the helper on `folder`, killed before step `killAt` (0: never).
Outcome runHelper(const QString &folder, const QString &operation, long killAt)
{
    QProcess helper;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (killAt > 0)
        environment.insert(QStringLiteral("LETRO_KILL_AT"), QString::number(killAt));
    helper.setProcessEnvironment(environment);
    helper.start(QCoreApplication::applicationDirPath() + QStringLiteral("/letro_crash_helper"),
                 QStringList{folder} + operation.split(QLatin1Char(' ')));
    Outcome outcome;
    if (!helper.waitForFinished(60000)) {
        helper.kill();
        helper.waitForFinished();
        outcome.said = QStringLiteral("the helper did not finish");
        return outcome;
    }
    outcome.said =
        QString::fromUtf8(helper.readAllStandardOutput() + helper.readAllStandardError());
    outcome.crashed = helper.exitStatus() == QProcess::CrashExit;
    static const QRegularExpression counts(QStringLiteral("^pasos (\\d+) tomados (\\d+)"));
    if (const auto m = counts.match(outcome.said); m.hasMatch()) {
        outcome.steps = m.captured(1).toLong();
        outcome.taken = m.captured(2).toLong();
    }
    return outcome;
}

// A copy of `from` in `to` made of hard links: the editor never writes into
// an existing file, it only makes, renames and removes names, so a copy of
// 900 files costs 900 links.
void linkCopy(const QString &from, const QString &to)
{
    QVERIFY(QDir().mkpath(to));
    const QStringList names = QDir(from).entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : names)
        QCOMPARE(::link(QFile::encodeName(QDir(from).filePath(name)).constData(),
                        QFile::encodeName(QDir(to).filePath(name)).constData()),
                 0);
}

// The steps at which to kill: all of the first and last ones and those
// around the moment the change is taken, and about 60 spread in between.
QList<long> killPoints(long steps, long taken)
{
    QList<long> points;
    auto add = [&](long k) {
        if (k >= 1 && k <= steps && !points.contains(k))
            points.append(k);
    };
    for (long k = 1; k <= 25; ++k)
        add(k);
    for (long k = taken - 10; k <= taken + 10; ++k)
        add(k);
    for (long k = steps - 25; k <= steps; ++k)
        add(k);
    for (long k = 1; k <= steps; k += std::max(1L, steps / 60))
        add(k);
    std::sort(points.begin(), points.end());
    return points;
}

// The names whose contents differ between two folders, for a failure's note.
QString difference(const Layout &a, const Layout &b)
{
    QStringList names;
    for (auto it = a.cbegin(); it != a.cend(); ++it)
        if (b.value(it.key()) != it.value())
            names.append(it.key());
    for (auto it = b.cbegin(); it != b.cend(); ++it)
        if (!a.contains(it.key()))
            names.append(it.key());
    return names.mid(0, 8).join(QLatin1Char(' ')) +
           (names.size() > 8 ? QStringLiteral(" … (%1)").arg(names.size()) : QString());
}

} // namespace

class TestCrash : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void killedAtEveryStep_data();
    void killedAtEveryStep();
    void killedWhilePuttingRight_data() { killedAtEveryStep_data(); }
    void killedWhilePuttingRight();
    void copyKilledAtEveryStep();

private:
    QTemporaryDir m_root;
    QString m_master;
};

void TestCrash::initTestCase()
{
    QVERIFY(m_root.isValid());
    // 300 dictations with both recordings, 1 to 301 without 150 (a gap to
    // close).
    QStringList items;
    for (int n = 1; n <= 301; ++n)
        if (n != 150)
            items.append(QStringLiteral("%1=t%1 %1.wav=w%1 %1.lento.wav=l%1").arg(n));
    m_master = m_root.filePath(QStringLiteral("master"));
    writeLayout(m_master, layout(items.join(QLatin1Char(' '))));
    // The speech program of "synthesise": the same bytes for the same text
    // every time, so a finished change can be compared with the whole one.
    const QString speech = m_root.filePath(QStringLiteral("voz"));
    writeLayout(m_root.path(), {{QStringLiteral("voz"),
                                 "#!/bin/sh\npart=\n"
                                 "while [ $# -gt 0 ]; do [ \"$1\" = -w ] && part=$2; shift; done\n"
                                 "{ printf 'RIFF%060d ' 0; cat; } > \"$part\"\n"}});
    QVERIFY(QFile::setPermissions(speech, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    qputenv("LETRO_SPEECH", QFile::encodeName(speech));
}

void TestCrash::killedAtEveryStep_data()
{
    // Each change the editor makes; a new kind of change is one more row.
    QTest::addColumn<QString>("operation");
    // The change makes files before its first step (a speech program
    // writes them): killed there, it has something to undo.
    QTest::addColumn<bool>("writesFirst");
    QTest::newRow("add") << "add" << false;
    QTest::newRow("edit") << "edit 7" << false;
    QTest::newRow("delete") << "remove 2" << false;
    QTest::newRow("move up") << "up 200" << false;
    QTest::newRow("move down") << "down 149" << false;
    QTest::newRow("move to a number") << "moveto 280 3" << false;
    QTest::newRow("move into the gap") << "moveto 301 150" << false;
    QTest::newRow("close gaps") << "gaps" << false;
    QTest::newRow("replace the recordings") << "record 9" << false;
    QTest::newRow("synthesise, as each of the missing ones") << "synthesise 9" << true;
}

void TestCrash::killedAtEveryStep()
{
    QFETCH(QString, operation);
    QFETCH(bool, writesFirst);
    const Layout before = readLayout(m_master);

    // The whole change, never killed: the folder after, and its steps.
    const QString whole = m_root.filePath(QStringLiteral("whole"));
    linkCopy(m_master, whole);
    if (QTest::currentTestFailed())
        return;
    const Outcome done = runHelper(whole, operation, 0);
    QVERIFY2(!done.crashed && done.steps > 0 && done.taken > 0, qPrintable(done.said));
    const Layout after = readLayout(whole);
    QVERIFY(after != before);
    QVERIFY(QDir(whole).removeRecursively());

    const QList<long> points = killPoints(done.steps, done.taken);
    int sawBefore = 0, sawAfter = 0;
    for (long k : points) {
        const QString folder = m_root.filePath(QStringLiteral("Palabras"));
        QVERIFY(QDir(folder).removeRecursively());
        linkCopy(m_master, folder);
        if (QTest::currentTestFailed())
            return;
        const Outcome killed = runHelper(folder, operation, k);
        QVERIFY2(killed.crashed, qPrintable(QStringLiteral("step %1: %2").arg(k).arg(killed.said)));

        const QString told = recoveryMessage(recoverFolder(folder), QStringLiteral("Palabras"));
        const Layout now = readLayout(folder);
        if (now == after) {
            ++sawAfter;
            // Killed before its last step (a flush), the change was whole.
            if (k == done.steps && told.isEmpty())
                continue;
            QVERIFY2(told.endsWith(QStringLiteral("se ha terminado: la carpeta está como después "
                                                  "de ese cambio.")),
                     qPrintable(QStringLiteral("step %1: %2").arg(k).arg(told)));
        } else if (now == before) {
            ++sawBefore;
            // Killed before its first step, the change left nothing to tell.
            if (k == 1 && !writesFirst)
                QCOMPARE(told, QString());
            else
                QVERIFY2(told.endsWith(QStringLiteral("se ha deshecho: la carpeta está como "
                                                      "antes de ese cambio.")),
                         qPrintable(QStringLiteral("step %1: %2").arg(k).arg(told)));
        } else {
            QFAIL(qPrintable(QStringLiteral("killed at step %1 of %2: neither before (%3) nor "
                                            "after (%4); told: %5")
                                 .arg(k)
                                 .arg(done.steps)
                                 .arg(difference(now, before), difference(now, after), told)));
        }
        QVERIFY(QDir(folder).removeRecursively());
    }
    // Both ends were met: the kill points reach either side of the moment
    // the change is taken.
    QVERIFY(sawBefore > 0 && sawAfter > 0);
    qInfo("%s: %ld steps, killed at %lld of them: %d before, %d after", qPrintable(operation),
          done.steps, qlonglong(points.size()), sawBefore, sawAfter);
}

void TestCrash::killedWhilePuttingRight()
{
    QFETCH(QString, operation);
    const Layout before = readLayout(m_master);
    const QString whole = m_root.filePath(QStringLiteral("whole"));
    QVERIFY(QDir(whole).removeRecursively());
    linkCopy(m_master, whole);
    if (QTest::currentTestFailed())
        return;
    const Outcome done = runHelper(whole, operation, 0);
    QVERIFY2(!done.crashed && done.taken > 0, qPrintable(done.said));
    const Layout after = readLayout(whole);

    const QString folder = m_root.filePath(QStringLiteral("Palabras"));
    // The change killed half-way through taking its files (to be undone)
    // and half-way through putting them in place (to be finished).
    for (long k : {(done.taken + 1) / 2 + 1, (done.taken + done.steps) / 2}) {
        long recoverySteps = -1;
        QList<long> points;
        for (qsizetype i = -1; i < points.size(); ++i) {
            const long j = i < 0 ? 0 : points.at(i); // 0: not killed, to count the steps
            QVERIFY(QDir(folder).removeRecursively());
            linkCopy(m_master, folder);
            if (QTest::currentTestFailed())
                return;
            QVERIFY(runHelper(folder, operation, k).crashed);
            const Outcome putRight = runHelper(folder, QStringLiteral("recover"), j);
            if (j == 0) {
                QVERIFY2(!putRight.crashed && putRight.steps > 0, qPrintable(putRight.said));
                recoverySteps = putRight.steps;
                for (long p : {1L, 2L, 3L, recoverySteps / 4, recoverySteps / 2,
                               recoverySteps * 3 / 4, recoverySteps - 1, recoverySteps})
                    if (p >= 1 && !points.contains(p))
                        points.append(p);
            } else {
                QVERIFY2(putRight.crashed, qPrintable(putRight.said));
            }
            const QString told = recoveryMessage(recoverFolder(folder), QStringLiteral("Palabras"));
            const Layout now = readLayout(folder);
            const bool undone = k <= done.taken;
            QVERIFY2(now == (undone ? before : after),
                     qPrintable(QStringLiteral("killed at %1, putting right killed at %2: %3")
                                    .arg(k)
                                    .arg(j)
                                    .arg(difference(now, undone ? before : after))));
            // Killed before its first step, putting right is still to tell.
            if (j == 1)
                QVERIFY2(told.contains(undone ? QStringLiteral("como antes")
                                              : QStringLiteral("como después")),
                         qPrintable(told));
        }
    }
    QVERIFY(QDir(folder).removeRecursively());
}

// A copy of Letro killed at every step: the folder it goes into is left as
// it was, or holds the whole copy; a half-made copy is removed, and the
// teacher told, the next time a copy is made there.
void TestCrash::copyKilledAtEveryStep()
{
    const QString source = m_root.filePath(QStringLiteral("sistema"));
    writeLayout(source, {{QStringLiteral("letro"), "#!/bin/sh\n"}});
    QVERIFY(QFile::setPermissions(source + QStringLiteral("/letro"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    writeLayout(source + QStringLiteral("/gifs"),
                {{QStringLiteral("si.gif"), "s"}, {QStringLiteral("no.gif"), "n"}});
    writeLayout(source + QStringLiteral("/Palabras"), layout("1=t1 1.wav=w1 2=t2 2.lento.wav=l2"));
    writeLayout(source + QStringLiteral("/Frase corta"), layout("1=t9"));
    const QString parent = m_root.filePath(QStringLiteral("documentos"));
    writeLayout(parent, {{QStringLiteral("notas"), "n"}});
    auto tree = [](const QString &folder) {
        QStringList all;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            all.append(path.mid(folder.size()) + QLatin1Char('=') +
                       QString::fromUtf8(file.open(QIODevice::ReadOnly) ? file.readAll() : "/"));
        }
        all.sort();
        return all;
    };
    const QStringList before = tree(parent);

    const Outcome done = runHelper(parent, QStringLiteral("copy ") + source, 0);
    QVERIFY2(!done.crashed && done.steps > 0, qPrintable(done.said));
    const QStringList after = tree(parent);
    QVERIFY2(after.contains(QStringLiteral("/Letro/Palabras/2.lento.wav=RIFF lenta 2")),
             qPrintable(after.join(QLatin1Char(' '))));
    QVERIFY(QDir(parent + QStringLiteral("/Letro")).removeRecursively());

    int sawBefore = 0, sawAfter = 0;
    for (long k = 1; k <= done.steps; ++k) {
        const Outcome killed = runHelper(parent, QStringLiteral("copy ") + source, k);
        QVERIFY2(killed.crashed, qPrintable(QStringLiteral("step %1: %2").arg(k).arg(killed.said)));
        const bool halfMade =
            tree(parent).join(QLatin1Char(' ')).contains(QStringLiteral("/.letro-copia-a-medias-"));
        const QString told = removeUnfinishedCopies(parent);
        const QStringList now = tree(parent);
        if (now == after) {
            ++sawAfter;
            QCOMPARE(told, QString());
            QVERIFY(QDir(parent + QStringLiteral("/Letro")).removeRecursively());
        } else {
            QVERIFY2(
                now == before,
                qPrintable(QStringLiteral("step %1: %2").arg(k).arg(now.join(QLatin1Char(' ')))));
            ++sawBefore;
            if (halfMade)
                QVERIFY2(told.endsWith(QStringLiteral("se ha borrado: la carpeta está como antes "
                                                      "de esa copia.")),
                         qPrintable(QStringLiteral("step %1: %2").arg(k).arg(told)));
            else
                QCOMPARE(told, QString());
        }
    }
    QVERIFY(sawBefore > 0 && sawAfter > 0);
}

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"

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
#include "folder/filesystem.h"
#include "folder/journal.h"
#include "folders.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>
#include <unistd.h>
#include <utility>

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
    void copyKilledAtEveryStep_data();
    void copyKilledAtEveryStep();
    void copyIsRefused_data();
    void copyIsRefused();
    void recordMissingKilledAtEveryStep();

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

namespace {

// The time of every file of the dictations of the Letro to copy.
const QDateTime OldTime(QDate(2020, 3, 1), QTime(10, 0), Qt::UTC);

// A Letro to copy, in `source`: the program, its pictures, six dictations
// in "Palabras" (every file of them dated 1 March 2020) and one in "Frase
// corta".
void makeSource(const QString &source)
{
    writeLayout(source, {{QStringLiteral("letro"), "#!/bin/sh\n"}});
    QVERIFY(QFile::setPermissions(source + QStringLiteral("/letro"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    writeLayout(source + QStringLiteral("/gifs"),
                {{QStringLiteral("si.gif"), "s"}, {QStringLiteral("no.gif"), "n"}});
    const QString words = source + QStringLiteral("/Palabras");
    writeLayout(words, layout("1=t1 1.wav=w1 2=t2 2.lento.wav=l2 3=t3 3.wav=w3 3.lento.wav=l3 "
                              "4=t4 5=t5 5.wav=w5 6=t6"));
    for (const QString &name : QDir(words).entryList(QDir::Files)) {
        QFile file(QDir(words).filePath(name));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(OldTime, QFileDevice::FileModificationTime));
    }
    writeLayout(source + QStringLiteral("/Frase corta"), layout("1=t9"));
}

// Every entry under `folder` with its contents ("/" for a folder).
QStringList tree(const QString &folder)
{
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
}

} // namespace

void TestCrash::copyKilledAtEveryStep_data()
{
    QTest::addColumn<QString>("cutShort"); // "": none; else where "remove 2" was killed
    QTest::addColumn<QString>("putRight"); // what the copy says it did with it
    QTest::newRow("a whole source") << "" << "";
    QTest::newRow("a delete cut short while taking its files, undone in the copy")
        << "taking"
        << "En «Palabras» del original había quedado a medias el cambio «borrar el dictado 2»; "
           "en su copia se ha deshecho: está como antes de ese cambio.";
    QTest::newRow("a delete cut short once taken, finished in the copy")
        << "taken"
        << "En «Palabras» del original había quedado a medias el cambio «borrar el dictado 2»; "
           "en su copia se ha terminado: está como después de ese cambio.";
}

// A copy of Letro killed at every step: the folder it goes into is left as
// it was, or holds the whole copy; a half-made copy is removed, and the
// teacher told, the next time a copy is made there. A change cut short in
// the source (that could not be put right there) is put right in the copy,
// and the source is never touched.
void TestCrash::copyKilledAtEveryStep()
{
    QFETCH(QString, cutShort);
    QFETCH(QString, putRight);
    const QString base = m_root.filePath(
        QStringLiteral("copia-") + (cutShort.isEmpty() ? QStringLiteral("entera") : cutShort));
    const QString source = base + QStringLiteral("/sistema");
    makeSource(source);
    if (QTest::currentTestFailed())
        return;
    const QString words = source + QStringLiteral("/Palabras");
    const QString scratch = base + QStringLiteral("/borrador");
    Layout expected = readLayout(words);
    if (!cutShort.isEmpty()) {
        linkCopy(words, scratch);
        const Outcome whole = runHelper(scratch, QStringLiteral("remove 2"), 0);
        QVERIFY2(whole.taken > 0, qPrintable(whole.said));
        QVERIFY(QDir(scratch).removeRecursively());
        const long k = cutShort == QLatin1String("taking") ? (whole.taken + 1) / 2 + 1
                                                           : (whole.taken + whole.steps) / 2;
        QVERIFY(runHelper(words, QStringLiteral("remove 2"), k).crashed);
        QVERIFY(readLayout(words).contains(JournalName));
        // What the source holds once put right, put right elsewhere.
        linkCopy(words, scratch);
        QVERIFY(recoverFolder(scratch).outcome != Recovery::Failed);
        expected = readLayout(scratch);
        QCOMPARE(expected.contains(QStringLiteral("6")), cutShort == QLatin1String("taking"));
    }
    const QStringList original = tree(source);
    const QString parent = base + QStringLiteral("/documentos");
    writeLayout(parent, {{QStringLiteral("notas"), "n"}});
    const QStringList before = tree(parent);

    const Outcome done = runHelper(parent, QStringLiteral("copy ") + source, 0);
    QVERIFY2(!done.crashed && done.steps > 0, qPrintable(done.said));
    QCOMPARE(done.said.section(QLatin1Char('\n'), 1).trimmed(), putRight);
    const QStringList after = tree(parent);
    const QString copied = parent + QStringLiteral("/Letro/Palabras");
    QCOMPARE(readLayout(copied), expected);
    // Each file keeps its time, moved or not.
    for (const QString &name : QDir(copied).entryList(QDir::Files))
        QCOMPARE(QFileInfo(QDir(copied).filePath(name)).lastModified(), OldTime);
    QCOMPARE(tree(source), original);
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
        QCOMPARE(tree(source), original);
    }
    QVERIFY(sawBefore > 0 && sawAfter > 0);
}

namespace {

// Does `change` to the source the moment the copy is about to copy the file
// named `trigger` into its exercise folder: a program that ignores the
// folder's lock.
class ChangingSource : public StepGate
{
public:
    ChangingSource(const QString &trigger, std::function<void()> change)
        : m_trigger(trigger), m_change(std::move(change))
    {}
    int before(Step step, const QString &path, const QString &) override
    {
        if (step == Step::Copy && path.endsWith(m_trigger) && m_change)
            std::exchange(m_change, nullptr)();
        return 0;
    }

private:
    QString m_trigger;
    std::function<void()> m_change;
};

} // namespace

void TestCrash::copyIsRefused_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<Layout>("change");
    QTest::addColumn<QString>("problem");
    QTest::newRow("another program changing the dictations")
        << "" << Layout()
        << "no se puede copiar «Palabras»: otro programa está cambiando sus archivos ahora mismo";
    QTest::newRow("a journal that cannot be read")
        << "" << Layout{{JournalName, "basura\n"}}
        << "en «Palabras» quedó a medias un cambio, y no se puede terminar ni deshacer tampoco "
           "en la copia (su diario de cambios, «.letro-diario», está dañado)";
    QTest::newRow("a dictation added behind the copy's back")
        << "/Palabras/1" << layout("7=t7")
        << "la copia de «Palabras» no coincide con el original: en la copia falta «7»";
    QTest::newRow("a text rewritten behind the copy's back")
        << "/Palabras/2" << layout("1=t8")
        << "la copia de «Palabras» no coincide con el original: «1» no es en la copia igual que "
           "en el original";
    QTest::newRow("a recording removed behind the copy's back")
        << "/Palabras/6" << Layout{{QStringLiteral("-3.wav"), QByteArray()}}
        << "la copia de «Palabras» no coincide con el original: en la copia sobra «3.wav»";
}

// A copy whose change cut short cannot be put right, or that does not hold
// what the source holds, is refused with the reason and leaves nothing.
void TestCrash::copyIsRefused()
{
    QFETCH(QString, trigger);
    QFETCH(Layout, change);
    QFETCH(QString, problem);
    const QString base = m_root.filePath(QStringLiteral("rechazada ") + QTest::currentDataTag());
    const QString source = base + QStringLiteral("/sistema");
    makeSource(source);
    if (QTest::currentTestFailed())
        return;
    const QString words = source + QStringLiteral("/Palabras");
    // A change made at once, or by another program during the copy; a name
    // beginning with "-" is removed.
    auto changeSource = [&] {
        for (auto it = change.cbegin(); it != change.cend(); ++it) {
            if (it.key().startsWith(QLatin1Char('-')))
                QFile::remove(QDir(words).filePath(it.key().mid(1)));
            else
                writeLayout(words, {{it.key(), it.value()}});
        }
    };
    if (trigger.isEmpty())
        changeSource();
    const QString parent = base + QStringLiteral("/documentos");
    writeLayout(parent, {{QStringLiteral("notas"), "n"}});
    const QStringList before = tree(parent);

    // With nothing to change, another program holds the folder's lock.
    std::optional<FolderLock> other;
    if (change.isEmpty())
        other.emplace(words);
    ChangingSource gate(trigger, trigger.isEmpty() ? std::function<void()>() : changeSource);
    setStepGate(&gate);
    QString made;
    const QString said = copyLetro(source, parent, &made);
    setStepGate(nullptr);
    QCOMPARE(said, problem);
    QCOMPARE(made, QString());
    QCOMPARE(tree(parent), before);
}

// "Grabar lo que falta" killed at every step, on a folder where five
// dictations lack one recording or both: each of them is then as before or
// whole, the ones before the one cut short recorded and the ones after it
// untouched, every other file as it was, no hidden file left, and the
// teacher told when something was put right.
void TestCrash::recordMissingKilledAtEveryStep()
{
    const QList<int> lacking = {20, 21, 22, 160, 301};
    const QString master = m_root.filePath(QStringLiteral("faltan"));
    linkCopy(m_master, master);
    for (const char *name :
         {"20.wav", "21.lento.wav", "22.wav", "22.lento.wav", "160.wav", "301.lento.wav"})
        QVERIFY(QFile::remove(QDir(master).filePath(QLatin1String(name))));
    const Layout before = readLayout(master);
    auto filesOf = [](const Layout &folder, int number) {
        Layout files;
        for (const QString &suffix :
             {QString(), QStringLiteral(".wav"), QStringLiteral(".lento.wav")})
            if (const QString name = QString::number(number) + suffix; folder.contains(name))
                files.insert(name, folder.value(name));
        return files;
    };
    auto others = [&](Layout folder) {
        for (const int n : lacking)
            for (const QString &name : filesOf(folder, n).keys())
                folder.remove(name);
        return folder;
    };

    const QString whole = m_root.filePath(QStringLiteral("whole"));
    QVERIFY(QDir(whole).removeRecursively());
    linkCopy(master, whole);
    const Outcome done = runHelper(whole, QStringLiteral("missing"), 0);
    QVERIFY2(!done.crashed && done.steps > 0, qPrintable(done.said));
    const Layout after = readLayout(whole);
    for (const int n : lacking)
        QCOMPARE(filesOf(after, n).size(), 3);
    QCOMPARE(others(after), others(before));
    QVERIFY(QDir(whole).removeRecursively());

    const QString folder = m_root.filePath(QStringLiteral("Palabras"));
    int sawHalf = 0;
    for (long k = 1; k <= done.steps; ++k) {
        QVERIFY(QDir(folder).removeRecursively());
        linkCopy(master, folder);
        if (QTest::currentTestFailed())
            return;
        const Outcome killed = runHelper(folder, QStringLiteral("missing"), k);
        QVERIFY2(killed.crashed, qPrintable(QStringLiteral("step %1: %2").arg(k).arg(killed.said)));
        bool hidden = false;
        for (const QString &name : readLayout(folder).keys())
            hidden = hidden || name.startsWith(HiddenPrefix);
        const QString told = recoveryMessage(recoverFolder(folder), QStringLiteral("Palabras"));
        const Layout now = readLayout(folder);
        const QString at = QStringLiteral("step %1 of %2").arg(k).arg(done.steps);
        for (const QString &name : now.keys())
            QVERIFY2(!name.startsWith(HiddenPrefix), qPrintable(at + QStringLiteral(": ") + name));
        QVERIFY2(others(now) == others(before), qPrintable(at));
        bool untouchedSeen = false;
        int recorded = 0;
        for (const int n : lacking) {
            const Layout mine = filesOf(now, n);
            if (mine == filesOf(after, n) && !untouchedSeen) {
                ++recorded;
            } else {
                QVERIFY2(mine == filesOf(before, n),
                         qPrintable(QStringLiteral("%1: dictation %2 is neither as before nor "
                                                   "whole: %3")
                                        .arg(at)
                                        .arg(n)
                                        .arg(QStringList(mine.keys()).join(QLatin1Char(' ')))));
                untouchedSeen = true;
            }
        }
        if (hidden) {
            ++sawHalf;
            QVERIFY2(told.endsWith(QStringLiteral("como antes de ese cambio.")) ||
                         told.endsWith(QStringLiteral("como después de ese cambio.")),
                     qPrintable(at + QStringLiteral(": ") + told));
        } else {
            QCOMPARE(told, QString());
        }
        if (k == done.steps)
            QCOMPARE(recorded, int(lacking.size()) - 1 + int(now == after));
    }
    QVERIFY(sawHalf > 0);
    QVERIFY(QDir(folder).removeRecursively());
}

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"

// The journal that makes a change of a folder all or nothing: its text read
// back (and a damaged one refused), the steps that finish or undo a change
// cut short, a folder put right when it is opened again, by the editor's
// library and by letro-grabar, and the order of every change's steps, which
// must survive a power cut as well as a crash.
#include "folder/exercisefolder.h"
#include "folder/filesystem.h"
#include "folder/journal.h"
#include "folder/recordings.h"
#include "folders.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace letro;
using namespace letro::folder;
using namespace letro::test;

namespace {

// "mover 2 .letro-mover-2-a-1 1; borrar 1 .letro-borrar-1; nuevo .letro-nuevo-3 3"
Journal journalOf(const QString &change, const QString &entries, bool taken)
{
    QByteArray text = "letro-diario 1\ncambio " + change.toUtf8() + '\n';
    for (const QString &entry : entries.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        text += entry.trimmed().toUtf8() + '\n';
    text += "fin\n";
    if (taken)
        text += TakenLine;
    const std::optional<Journal> journal = parseJournal(text);
    if (!journal)
        qFatal("not a journal: %s", text.constData());
    return *journal;
}

QString stepsText(const QList<RecoveryStep> &steps)
{
    QStringList words;
    for (const RecoveryStep &s : steps)
        words.append(s.to.isEmpty() ? QStringLiteral("-") + s.from
                                    : s.from + QStringLiteral(">") + s.to);
    return words.join(QLatin1Char(' '));
}

const QString Before = QStringLiteral("antes");
const QString After = QStringLiteral("después");

// One step of a change, as the step gate saw it.
struct TracedStep
{
    Step step;
    QString path;
    QString other;
};

// A gate that lets every step go ahead and writes it down.
class Tracing : public StepGate
{
public:
    int before(Step step, const QString &path, const QString &other) override
    {
        steps.append(
            {step, QDir::cleanPath(path), other.isEmpty() ? other : QDir::cleanPath(other)});
        return 0;
    }
    QList<TracedStep> steps;
};

QString stepText(const TracedStep &s)
{
    static const char *const kinds[] = {"Write",    "Append",     "Truncate",   "Rename", "Remove",
                                        "SyncFile", "SyncFolder", "MakeFolder", "Copy"};
    QString text = QLatin1String(kinds[int(s.step)]) + ' ' + QFileInfo(s.path).fileName();
    return s.other.isEmpty() ? text : text + " > " + QFileInfo(s.other).fileName();
}

// Why a change's steps would not leave the folder exactly before or exactly
// after it when a power cut loses whatever was not flushed to the disk, or
// "" when they would. `durable` are the files whose data is as safe as the
// change can make it: the teacher's files it found, which it never writes.
//
// A file's data is on the disk before the file is renamed: a step that
// flushes made it (Write, Copy, Append, Truncate), or SyncFile flushed it.
// A name made, moved or removed is on the disk (its folder flushed) before
// the next irreversible step, one after which losing that name leaves a
// folder neither before nor after:
// - taking a file: a rename to a hidden name only the journal explains,
//   which needs every earlier rename of another kind (the journal's own);
// - the journal's "tomados", its removal, the removal of an ordinary name
//   and the end of the change, which need every earlier change of a name.
// New files and renames to leftover names are not irreversible (opening the
// folder removes them), nor are renames to ordinary names: before
// "tomados" they put files back, after it they do what opening the folder
// would do anyway.
QString powerCutProblem(const QList<TracedStep> &trace, QSet<QString> durable)
{
    struct Unflushed
    {
        qsizetype at;
        bool taking;
    };
    QList<Unflushed> unflushed;
    auto takes = [](const QString &path) {
        const QString name = QFileInfo(path).fileName();
        return isHiddenName(name) && !isLeftoverName(name) && name != JournalName;
    };
    auto needsFlushed = [&](qsizetype at, bool renamesOfAnotherKind) {
        for (const Unflushed &u : unflushed)
            if (!renamesOfAnotherKind || (trace.at(u.at).step == Step::Rename && !u.taking))
                return QStringLiteral("%1 comes before the folder is flushed after %2")
                    .arg(at < trace.size() ? stepText(trace.at(at)) : QStringLiteral("the end"),
                         stepText(trace.at(u.at)));
        return QString();
    };
    for (qsizetype i = 0; i < trace.size(); ++i) {
        const TracedStep &s = trace.at(i);
        const QString name = QFileInfo(s.path).fileName();
        QString problem;
        switch (s.step) {
        case Step::Rename:
            if (!durable.remove(s.path))
                return stepText(s) + QStringLiteral(" renames data that is not on the disk");
            if (takes(s.other))
                problem = needsFlushed(i, true);
            durable.insert(s.other);
            unflushed.append({i, takes(s.other)});
            break;
        case Step::Write:
        case Step::Copy:
            durable.insert(s.path);
            unflushed.append({i, false});
            break;
        case Step::MakeFolder:
            unflushed.append({i, false});
            break;
        case Step::Append:
            if (name == JournalName)
                problem = needsFlushed(i, false);
            durable.insert(s.path);
            break;
        case Step::Truncate:
        case Step::SyncFile:
            durable.insert(s.path);
            break;
        case Step::Remove:
            if (name == JournalName || !isHiddenName(name))
                problem = needsFlushed(i, false);
            durable.remove(s.path);
            unflushed.append({i, false});
            break;
        case Step::SyncFolder:
            unflushed.removeIf([&](const Unflushed &u) {
                return QFileInfo(trace.at(u.at).path).path() == s.path;
            });
            break;
        }
        if (!problem.isEmpty())
            return problem;
    }
    return needsFlushed(trace.size(), false);
}

// Does `operation` on `folder` as the editor or letro-grabar does it, with
// the speech program `speech`.
QString change(const QString &folder, const QString &operation, const QString &speech)
{
    const QStringList words = operation.split(QLatin1Char(' '));
    const QString &what = words.first();
    const int n = words.value(1).toInt();
    TypeFolder type(folder);
    SpeechOptions options;
    options.program = speech;
    if (what == QLatin1String("add"))
        return type.add(NewText);
    if (what == QLatin1String("edit"))
        return type.edit(n, NewText);
    if (what == QLatin1String("remove"))
        return type.remove(n);
    if (what == QLatin1String("up"))
        return type.moveUp(n);
    if (what == QLatin1String("down"))
        return type.moveDown(n);
    if (what == QLatin1String("moveto"))
        return type.moveTo(n, words.value(2).toInt());
    if (what == QLatin1String("gaps"))
        return type.closeGaps();
    if (what == QLatin1String("bring"))
        return type.replaceRecordings(n);
    if (what == QLatin1String("recover")) {
        const Recovery recovery = recoverFolder(folder);
        return recovery.outcome == Recovery::Failed ? recovery.problem : QString();
    }
    if (what == QLatin1String("speak")) { // the editor's synthesis, then one change
        QString problem = synthesise(options, NewText, type.newRecordingPath(n));
        if (problem.isEmpty())
            problem = synthesiseSlow(options, NewText, type.newSlowRecordingPath(n));
        return problem.isEmpty() ? type.replaceRecordings(n) : problem;
    }
    if (what == QLatin1String("grabar")) // letro-grabar: each recording into its place
        return synthesise(options, NewText, type.recordingPath(n)) +
               synthesiseSlow(options, NewText, type.slowRecordingPath(n));
    qFatal("unknown operation %s", qPrintable(operation));
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    void names();
    void textReadBack();
    void damaged_data();
    void damaged();
    void recoverySteps_data();
    void recoverySteps();
    void recoverFolder_data();
    void recoverFolder();
    void letroGrabarPutsTheFolderRight();
    void letroGrabarWaitsForTheEditor();
    void stepsSurviveAPowerCut_data();
    void stepsSurviveAPowerCut();
};

void TestJournal::names()
{
    QCOMPARE(movingName(QStringLiteral("57.lento.wav"), QStringLiteral("56.lento.wav")),
             QStringLiteral(".letro-mover-57-a-56.lento.wav"));
    QCOMPARE(movingName(QStringLiteral("57"), QStringLiteral("56")),
             QStringLiteral(".letro-mover-57-a-56"));
    QCOMPARE(deletingName(QStringLiteral("2.wav")), QStringLiteral(".letro-borrar-2.wav"));
    QCOMPARE(newFileName(QStringLiteral("3")), QStringLiteral(".letro-nuevo-3"));
    QVERIFY(isNewFileName(QStringLiteral(".letro-nuevo-3.wav")));
    QVERIFY(!isNewFileName(QStringLiteral(".letro-borrar-3.wav")));
    // A recording's temporary name, whether its final name is hidden or not,
    // is one that putting a folder right knows.
    QCOMPARE(partName(QStringLiteral("455.wav")), QStringLiteral(".letro-parte-455.wav"));
    QCOMPARE(partName(newFileName(QStringLiteral("455.lento.wav"))),
             QStringLiteral(".letro-parte-nuevo-455.lento.wav"));
    for (const QString &name :
         {partName(QStringLiteral("1.wav")), partName(newFileName(QStringLiteral("1.wav"))),
          newFileName(QStringLiteral("1")), probeName(12, 3), PendingJournalName})
        QVERIFY2(isHiddenName(name) && isLeftoverName(name), qPrintable(name));
    for (const QString &name :
         {movingName(QStringLiteral("2"), QStringLiteral("1")), deletingName(QStringLiteral("1")),
          JournalName, QStringLiteral(".letro-parte"), QStringLiteral("1.wav")})
        QVERIFY2(!isLeftoverName(name), qPrintable(name));
}

void TestJournal::textReadBack()
{
    Journal journal;
    journal.change = QStringLiteral("borrar el dictado 1\n(señal)");
    journal.entries = {
        {JournalEntry::New, QString(), QStringLiteral(".letro-nuevo-3"), QStringLiteral("3")},
        {JournalEntry::Move, QStringLiteral("2.wav"), QStringLiteral(".letro-mover-2-a-1.wav"),
         QStringLiteral("1.wav")},
        {JournalEntry::Delete, QStringLiteral("1"), QStringLiteral(".letro-borrar-1"), QString()}};
    const QByteArray text = journalText(journal);
    QCOMPARE(text, QByteArray("letro-diario 1\ncambio borrar el dictado 1 (se\xc3\xb1"
                              "al)\n"
                              "nuevo .letro-nuevo-3 3\nmover 2.wav .letro-mover-2-a-1.wav 1.wav\n"
                              "borrar 1 .letro-borrar-1\nfin\n"));
    for (bool taken : {false, true}) {
        journal.taken = taken;
        const std::optional<Journal> back = parseJournal(journalText(journal));
        QVERIFY(back);
        QCOMPARE(back->change, QStringLiteral("borrar el dictado 1 (señal)"));
        QCOMPARE(back->entries, journal.entries);
        QCOMPARE(back->taken, taken);
    }
    // "tomados" cut short by a crash: not taken, and nothing after it happened.
    const std::optional<Journal> torn = parseJournal(journalText(journal).chopped(4));
    QVERIFY(torn && !torn->taken);
}

void TestJournal::damaged_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("no end") << QByteArray("letro-diario 1\ncambio x\nborrar 1 .letro-borrar-1\n");
    QTest::newRow("another format") << QByteArray("letro-diario 2\ncambio x\nfin\n");
    QTest::newRow("an unknown line")
        << QByteArray("letro-diario 1\ncambio x\ncopiar 1 .letro-x 2\nfin\n");
    QTest::newRow("a name in another folder")
        << QByteArray("letro-diario 1\ncambio x\nmover ../1 .letro-mover-1-a-2 2\nfin\n");
    QTest::newRow("a hidden name that is not the editor's")
        << QByteArray("letro-diario 1\ncambio x\nmover 1 .bashrc 2\nfin\n");
    QTest::newRow("the same hidden name twice")
        << QByteArray("letro-diario 1\ncambio x\nborrar 1 .letro-a\nborrar 2 .letro-a\nfin\n");
    QTest::newRow("the journal as a hidden name")
        << QByteArray("letro-diario 1\ncambio x\nborrar 1 .letro-diario\nfin\n");
    QTest::newRow("something after the end")
        << QByteArray("letro-diario 1\ncambio x\nfin\ntomados\nmas\n");
}

void TestJournal::damaged()
{
    QFETCH(QByteArray, text);
    QVERIFY(!parseJournal(text));
}

void TestJournal::recoverySteps_data()
{
    QTest::addColumn<QString>("entries");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("present");
    QTest::addColumn<QString>("steps");

    // Deleting 1 of 1, 2 (2.wav with it), as the editor journals it.
    const QString remove =
        QStringLiteral("mover 2 .letro-mover-2-a-1 1; mover 2.wav .letro-mover-2-a-1.wav 1.wav; "
                       "borrar 1 .letro-borrar-1");
    QTest::newRow("journal written, nothing moved yet") << remove << false << ""
                                                        << "";
    QTest::newRow("half taken: back in reverse order")
        << remove << false << ".letro-mover-2-a-1 .letro-mover-2-a-1.wav"
        << ".letro-mover-2-a-1.wav>2.wav .letro-mover-2-a-1>2";
    QTest::newRow("all taken but not marked: back")
        << remove << false << ".letro-mover-2-a-1 .letro-mover-2-a-1.wav .letro-borrar-1"
        << ".letro-borrar-1>1 .letro-mover-2-a-1.wav>2.wav .letro-mover-2-a-1>2";
    QTest::newRow("marked taken: forward")
        << remove << true << ".letro-mover-2-a-1 .letro-mover-2-a-1.wav .letro-borrar-1"
        << ".letro-mover-2-a-1>1 .letro-mover-2-a-1.wav>1.wav -.letro-borrar-1";
    QTest::newRow("marked taken, half placed: the rest forward")
        << remove << true << ".letro-mover-2-a-1.wav .letro-borrar-1"
        << ".letro-mover-2-a-1.wav>1.wav -.letro-borrar-1";
    QTest::newRow("marked taken, all done but the journal") << remove << true << ""
                                                            << "";

    const QString edit = QStringLiteral("nuevo .letro-nuevo-3 3; borrar 3 .letro-borrar-3");
    QTest::newRow("edit, new text half written: it goes") << edit << false << ".letro-nuevo-3"
                                                          << "-.letro-nuevo-3";
    QTest::newRow("edit, old text taken: back, new text goes")
        << edit << false << ".letro-nuevo-3 .letro-borrar-3"
        << ".letro-borrar-3>3 -.letro-nuevo-3";
    QTest::newRow("edit, taken: the new text in, the old one out")
        << edit << true << ".letro-nuevo-3 .letro-borrar-3"
        << ".letro-nuevo-3>3 -.letro-borrar-3";
}

void TestJournal::recoverySteps()
{
    QFETCH(QString, entries);
    QFETCH(bool, taken);
    QFETCH(QString, present);
    QFETCH(QString, steps);
    const QStringList names = present.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QCOMPARE(stepsText(letro::folder::recoverySteps(journalOf(QStringLiteral("x"), entries, taken),
                                                    QSet<QString>(names.begin(), names.end()))),
             steps);
}

void TestJournal::recoverFolder_data()
{
    QTest::addColumn<QString>("files");   // the folder as a crash left it
    QTest::addColumn<QString>("journal"); // its entries, "" for none; "!" a damaged one
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("after"); // the folder put right
    QTest::addColumn<QString>("told");  // "antes", "después", "" or the start of a failure

    const QString remove =
        QStringLiteral("mover 2 .letro-mover-2-a-1 1; mover 2.wav .letro-mover-2-a-1.wav 1.wav; "
                       "borrar 1 .letro-borrar-1");
    QTest::newRow("undone half-way") << "1=t1 .letro-mover-2-a-1=t2 2.wav=w2 3=t3" << remove
                                     << false << "1=t1 2=t2 2.wav=w2 3=t3" << Before;
    QTest::newRow("finished half-way") << "1=t2 .letro-mover-2-a-1.wav=w2 .letro-borrar-1=t1 3=t3"
                                       << remove << true << "1=t2 1.wav=w2 3=t3" << After;
    QTest::newRow("only the journal was left")
        << "1=t2 1.wav=w2 3=t3" << remove << true << "1=t2 1.wav=w2 3=t3" << After;
    QTest::newRow("a new text written before its journal") << "1=t1 .letro-nuevo-2=new"
                                                           << "" << false << "1=t1" << Before;
    // Every hidden name a change cut short leaves with no journal.
    QTest::newRow("a half-made new recording of the synthesis")
        << "455=t455 455.wav=w455 .letro-parte-nuevo-455.wav=x" << "" << false
        << "455=t455 455.wav=w455" << Before;
    QTest::newRow("a new recording spoken, never put in place")
        << "455=t455 .letro-nuevo-455.wav=w9 .letro-parte-nuevo-455.lento.wav=x" << "" << false
        << "455=t455" << Before;
    QTest::newRow("a half-made recording of letro-grabar")
        << "7=t7 7.wav=w7 .letro-parte-7.lento.wav=x" << "" << false << "7=t7 7.wav=w7" << Before;
    QTest::newRow("a probe of whether the folder can be written")
        << "1=t1 .letro-prueba-4242-1=x" << "" << false << "1=t1" << Before;
    QTest::newRow("a journal never finished")
        << "1=t1 .letro-diario.nuevo=x" << "" << false << "1=t1" << Before;
    // Hidden names it does not know are not its to remove.
    QTest::newRow("another program's hidden file is left alone")
        << "1=t1 .letro-cambio-7=x .letro-parte=x" << "" << false
        << "1=t1 .letro-cambio-7=x .letro-parte=x" << "";
    QTest::newRow("nothing to put right") << "1=t1 1.wav=w1"
                                          << "" << false << "1=t1 1.wav=w1"
                                          << "";
    QTest::newRow("a damaged journal: nothing is touched")
        << "1=t1 .letro-mover-2-a-1=t2"
        << "!" << false << "1=t1 .letro-mover-2-a-1=t2"
        << "El cambio";
}

void TestJournal::recoverFolder()
{
    QFETCH(QString, files);
    QFETCH(QString, journal);
    QFETCH(bool, taken);
    QFETCH(QString, after);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Palabras"));
    writeLayout(folder, layout(files));
    Layout expected = layout(after);
    if (journal == QLatin1String("!")) {
        writeLayout(folder, {{JournalName, "letro-diario 1\ncambio x\nmover 2\n"}});
        expected.insert(JournalName, "letro-diario 1\ncambio x\nmover 2\n");
    } else if (!journal.isEmpty()) {
        writeLayout(folder,
                    {{JournalName, journalText(journalOf(QStringLiteral("borrar el dictado 1"),
                                                         journal, taken))}});
    }
    const Recovery recovery = letro::folder::recoverFolder(folder);
    QCOMPARE(readLayout(folder), expected);
    const QString message = recoveryMessage(recovery, QStringLiteral("Palabras"));
    if (told.isEmpty()) {
        QCOMPARE(message, QString());
    } else if (told == Before || told == After) {
        const QString change = journal.isEmpty() ? QStringLiteral("Un cambio en «Palabras»")
                                                 : QStringLiteral("El cambio «borrar el dictado "
                                                                  "1» en «Palabras»");
        QCOMPARE(message, change + QStringLiteral(" quedó a medias al cerrarse el programa de "
                                                  "golpe y se ha %1: la carpeta está como %2 de "
                                                  "ese cambio.")
                                       .arg(told == Before ? QStringLiteral("deshecho")
                                                           : QStringLiteral("terminado"),
                                            told));
    } else {
        QCOMPARE(recovery.outcome, Recovery::Failed);
        QVERIFY2(message.contains(QStringLiteral("no se ha podido terminar ni deshacer")),
                 qPrintable(message));
    }
}

void TestJournal::letroGrabarPutsTheFolderRight()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Frase corta"));
    writeLayout(folder, layout("1=t1 1.wav=w1 1.lento.wav=l1 .letro-mover-2-a-1.wav=w2 2=t2 "
                               "2.lento.wav=l2"));
    writeLayout(folder,
                {{JournalName,
                  journalText(journalOf(QStringLiteral("subir el dictado 2"),
                                        "mover 1.wav .letro-mover-1-a-2.wav 2.wav; mover 2.wav "
                                        ".letro-mover-2-a-1.wav 1.wav",
                                        false))}});
    QProcess tool;
    tool.start(qEnvironmentVariable("LETRO_PROGRAM_DIR") + QStringLiteral("/letro-grabar"),
               {QStringLiteral("--lento-de-wav"), folder}); // no voice needed
    QVERIFY(tool.waitForFinished(60000));
    const QString out = QString::fromUtf8(tool.readAllStandardOutput());
    QVERIFY2(out.startsWith(QStringLiteral(
                 "letro-grabar: El cambio «subir el dictado 2» en «Frase corta» quedó a medias "
                 "al cerrarse el programa de golpe y se ha deshecho: la carpeta está como antes "
                 "de ese cambio.\n")),
             qPrintable(out));
    QCOMPARE(readLayout(folder),
             layout("1=t1 1.wav=w1 1.lento.wav=l1 2=t2 2.wav=w2 2.lento.wav=l2"));
    QCOMPARE(tool.exitCode(), 0);
}

void TestJournal::letroGrabarWaitsForTheEditor()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Palabras"));
    writeLayout(folder, layout("1=t1"));
    const FolderLock editor(folder); // a change of the editor on its way
    QVERIFY(editor.problem().isEmpty());
    QProcess tool;
    tool.start(qEnvironmentVariable("LETRO_PROGRAM_DIR") + QStringLiteral("/letro-grabar"),
               {QStringLiteral("--lento-de-wav"), folder}); // no voice needed
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(tool.readAllStandardError()),
             QStringLiteral("letro-grabar: %1: otro programa está cambiando sus archivos ahora "
                            "mismo\n")
                 .arg(folder));
    QCOMPARE(tool.exitCode(), 1);
    QCOMPARE(readLayout(folder), layout("1=t1"));
    // Nor does the editor change it while another holds it.
    QCOMPARE(TypeFolder(folder).remove(1),
             QStringLiteral("no se puede cambiar la carpeta: otro programa está cambiando sus "
                            "archivos ahora mismo"));
    QCOMPARE(readLayout(folder), layout("1=t1"));
}

void TestJournal::stepsSurviveAPowerCut_data()
{
    QTest::addColumn<QString>("files");
    QTest::addColumn<QString>("fresh"); // written by another program just before, not flushed
    QTest::addColumn<QString>("journal");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("operation");

    const QString folder = QStringLiteral("1=t1 1.wav=w1 1.lento.wav=l1 2=t2 2.wav=w2 3=t3 "
                                          "3.wav=w3 3.lento.wav=l3 5=t5 5.wav=w5");
    QTest::newRow("add") << folder << "" << "" << false << "add";
    QTest::newRow("edit") << folder << "" << "" << false << "edit 2";
    QTest::newRow("remove") << folder << "" << "" << false << "remove 2";
    QTest::newRow("up") << folder << "" << "" << false << "up 3";
    QTest::newRow("down") << folder << "" << "" << false << "down 1";
    QTest::newRow("move to a number") << folder << "" << "" << false << "moveto 5 1";
    QTest::newRow("close the gaps") << folder << "" << "" << false << "gaps";
    QTest::newRow("recordings another program wrote")
        << folder << ".letro-nuevo-1.wav=w9 .letro-nuevo-1.lento.wav=l9" << "" << false
        << "bring 1";
    QTest::newRow("recordings the editor synthesised") << folder << "" << "" << false << "speak 3";
    QTest::newRow("letro-grabar") << folder << "" << "" << false << "grabar 5";

    const QString remove =
        QStringLiteral("mover 2 .letro-mover-2-a-1 1; mover 2.wav .letro-mover-2-a-1.wav 1.wav; "
                       "borrar 1 .letro-borrar-1");
    QTest::newRow("a change cut short, undone")
        << "1=t1 .letro-mover-2-a-1=t2 2.wav=w2 3=t3 .letro-nuevo-4=new" << "" << remove << false
        << "recover";
    QTest::newRow("a change cut short, finished")
        << "1=t2 .letro-mover-2-a-1.wav=w2 .letro-borrar-1=t1 3=t3" << "" << remove << true
        << "recover";
    QTest::newRow("new files of a change with no journal")
        << "1=t1 .letro-nuevo-2=new" << "" << "" << false << "recover";
}

void TestJournal::stepsSurviveAPowerCut()
{
    QFETCH(QString, files);
    QFETCH(QString, fresh);
    QFETCH(QString, journal);
    QFETCH(bool, taken);
    QFETCH(QString, operation);
    QTemporaryDir dir;
    // A speech program that writes a recording of whatever it is given.
    writeLayout(dir.path(), {{QStringLiteral("voz"),
                              "#!/bin/sh\npart=\n"
                              "while [ $# -gt 0 ]; do [ \"$1\" = -w ] && part=$2; shift; done\n"
                              "{ printf 'RIFF%060d ' 0; cat; } > \"$part\"\n"}});
    QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("voz")),
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QString folder = dir.filePath(QStringLiteral("Palabras"));
    writeLayout(folder, layout(files));
    if (!journal.isEmpty())
        writeLayout(folder,
                    {{JournalName, journalText(journalOf(QStringLiteral("x"), journal, taken))}});
    QSet<QString> settled;
    for (const QString &name : readLayout(folder).keys())
        settled.insert(QDir(folder).filePath(name));
    writeLayout(folder, layout(fresh));

    Tracing trace;
    setStepGate(&trace);
    const QString problem = change(folder, operation, dir.filePath(QStringLiteral("voz")));
    setStepGate(nullptr);
    QCOMPARE(problem, QString());
    QVERIFY(std::any_of(trace.steps.cbegin(), trace.steps.cend(), [](const TracedStep &s) {
        return s.step == Step::Rename || s.step == Step::Remove;
    }));
    QCOMPARE(powerCutProblem(trace.steps, settled), QString());
}

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"

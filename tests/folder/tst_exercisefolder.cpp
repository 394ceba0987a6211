// The editor's changes to an exercise folder, on real files: every change
// renumbers the texts and their recordings without a gap, a change that
// fails half-way leaves the folder exactly as it was, and the exercises Letro
// can never reach or finish are marked with the reason.
#include "folder/exercisefolder.h"
#include "folder/filesystem.h"
#include "folder/journal.h"
#include "folders.h"
#include "unreadable.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/stat.h>
#include <unistd.h>

using namespace letro;
using namespace letro::folder;
using namespace letro::test;

namespace {

// Runs "add", "edit N", "remove N", "up N", "down N", "moveto N T", "gaps"
// or "record N" (the new recordings are already in the folder).
QString run(TypeFolder &folder, const QString &operation)
{
    const QStringList words = operation.split(QLatin1Char(' '));
    const int n = words.value(1).toInt();
    const QString &what = words.first();
    if (what == QLatin1String("add"))
        return folder.add(words.size() > 1 ? words.mid(1).join(QLatin1Char(' ')) : NewText);
    if (what == QLatin1String("edit"))
        return folder.edit(n, NewText);
    if (what == QLatin1String("remove"))
        return folder.remove(n);
    if (what == QLatin1String("up"))
        return folder.moveUp(n);
    if (what == QLatin1String("down"))
        return folder.moveDown(n);
    if (what == QLatin1String("gaps"))
        return folder.closeGaps();
    if (what == QLatin1String("moveto"))
        return folder.moveTo(n, words.value(2).toInt());
    if (what == QLatin1String("record"))
        return folder.replaceRecordings(n);
    qFatal("unknown operation %s", qPrintable(operation));
}

} // namespace

class TestExerciseFolder : public QObject
{
    Q_OBJECT

private slots:
    void changes_data();
    void changes();
    void refused_data();
    void refused();
    void failureLeavesEverything_data();
    void failureLeavesEverything();
    void cancelUndoesEverything_data();
    void cancelUndoesEverything();
    void marks_data();
    void marks();
    void recordingsOlderThanTheirText_data();
    void recordingsOlderThanTheirText();
    void identityOfNumbers();
    void changedFilesAreNotTouched_data();
    void changedFilesAreNotTouched();
    void checkedUnderTheFolderLock();
};

void TestExerciseFolder::changes_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("after");

    QTest::newRow("add after the last") << "1=t1 1.wav=w1 2=t2"
                                        << "add"
                                        << "1=t1 1.wav=w1 2=t2 3=new";
    QTest::newRow("add to an empty folder") << ""
                                            << "add"
                                            << "1=new";
    QTest::newRow("add after a gap, at the end") << "1=t1 3=t3"
                                                 << "add"
                                                 << "1=t1 3=t3 4=new";
    QTest::newRow("add drops recordings left without a text") << "1=t1 2.wav=w2 2.lento.wav=l2"
                                                              << "add"
                                                              << "1=t1 2=new";
    QTest::newRow("edit keeps the recordings") << "1=t1 1.wav=w1 1.lento.wav=l1 2=t2"
                                               << "edit 1"
                                               << "1=new 1.wav=w1 1.lento.wav=l1 2=t2";
    QTest::newRow("edit keeps the note, in UTF-8") << "1=n1 2=t2"
                                                   << "edit 1"
                                                   << "1=new+note 2=t2";
    QTest::newRow("remove from the middle")
        << "1=t1 1.wav=w1 2=t2 2.wav=w2 2.lento.wav=l2 3=t3 3.wav=w3 3.lento.wav=l3 4=t4"
        << "remove 2"
        << "1=t1 1.wav=w1 2=t3 2.wav=w3 2.lento.wav=l3 3=t4";
    QTest::newRow("remove the last") << "1=t1 2=t2 2.wav=w2"
                                     << "remove 2"
                                     << "1=t1";
    QTest::newRow("remove the only one") << "1=t1 1.wav=w1 1.lento.wav=l1"
                                         << "remove 1"
                                         << "";
    QTest::newRow("remove below a gap moves all above") << "1=t1 2=t2 4=t4 4.wav=w4"
                                                        << "remove 1"
                                                        << "1=t2 3=t4 3.wav=w4";
    QTest::newRow("move up swaps texts and recordings") << "1=t1 1.wav=w1 2=t2 2.lento.wav=l2 3=t3"
                                                        << "up 2"
                                                        << "1=t2 1.lento.wav=l2 2=t1 2.wav=w1 3=t3";
    QTest::newRow("move down the first") << "1=t1 1.wav=w1 2=t2 2.wav=w2"
                                         << "down 1"
                                         << "1=t2 1.wav=w2 2=t1 2.wav=w1";
    QTest::newRow("move down across a gap") << "1=t1 3=t3 3.wav=w3"
                                            << "down 1"
                                            << "1=t3 1.wav=w3 3=t1";
    QTest::newRow("close the gaps") << "2=t2 2.wav=w2 5=t5 7=t7 7.lento.wav=l7"
                                    << "gaps"
                                    << "1=t2 1.wav=w2 2=t5 3=t7 3.lento.wav=l7";
    QTest::newRow("move to an earlier number") << "1=t1 1.wav=w1 2=t2 3=t3 3.lento.wav=l3 5=t5"
                                               << "moveto 5 2"
                                               << "1=t1 1.wav=w1 2=t5 3=t2 5=t3 5.lento.wav=l3";
    QTest::newRow("move to a later number") << "1=t1 1.wav=w1 2=t2 3=t3"
                                            << "moveto 1 3"
                                            << "1=t2 2=t3 3=t1 3.wav=w1";
    QTest::newRow("move to a later number, over a gap")
        << "1=t1 1.wav=w1 1.lento.wav=l1 2=t2 4=t4 4.wav=w4 6=t6"
        << "moveto 1 4"
        << "1=t2 2=t4 2.wav=w4 4=t1 4.wav=w1 4.lento.wav=l1 6=t6";
    QTest::newRow("move to the last number") << "1=t1 2=t2 2.wav=w2 3=t3"
                                             << "moveto 2 3"
                                             << "1=t1 2=t3 3=t2 3.wav=w2";
    QTest::newRow("move into a gap moves nothing else") << "1=t1 2=t2 2.wav=w2 4=t4 5=t5"
                                                        << "moveto 5 3"
                                                        << "1=t1 2=t2 2.wav=w2 3=t5 4=t4";
    QTest::newRow("move over recordings without a text")
        << "1=t1 1.wav=w1 2.wav=w2 2.lento.wav=l2 3=t3 4=t4 4.wav=w4"
        << "moveto 4 1"
        << "1=t4 1.wav=w4 2.wav=w2 2.lento.wav=l2 3=t1 3.wav=w1 4=t3";
    QTest::newRow("recordings without a text stay out of the way")
        << "1=t1 2=t2 2.wav=w2 5.wav=w5 5.lento.wav=l5"
        << "remove 1"
        << "1=t2 1.wav=w2 5.wav=w5 5.lento.wav=l5";
    QTest::newRow("delete recordings without a text") << "1=t1 3.wav=w3 3.lento.wav=l3"
                                                      << "remove 3"
                                                      << "1=t1";
    QTest::newRow("replace both recordings")
        << "1=t1 1.wav=w1 1.lento.wav=l1 .letro-nuevo-1.wav=w9 .letro-nuevo-1.lento.wav=l9"
        << "record 1"
        << "1=t1 1.wav=w9 1.lento.wav=l9";
    QTest::newRow("replace the slow one only") << "1=t1 1.wav=w1 .letro-nuevo-1.lento.wav=l9"
                                               << "record 1"
                                               << "1=t1 1.wav=w1 1.lento.wav=l9";
    QTest::newRow("other files stay where they are") << "1=t1 2=t2 05=x notas=x 1.mp3=x"
                                                     << "remove 1"
                                                     << "1=t2 05=x notas=x 1.mp3=x";
}

void TestExerciseFolder::changes()
{
    QFETCH(QString, before);
    QFETCH(QString, operation);
    QFETCH(QString, after);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Frase corta"));
    if (!before.isEmpty())
        writeLayout(path, layout(before));
    TypeFolder folder(path);
    QCOMPARE(run(folder, operation), QString());
    // Nothing else: no temporary file is left behind.
    QCOMPARE(readLayout(path), layout(after));
}

void TestExerciseFolder::refused_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("reason");
    const QString three = QStringLiteral("1=t1 1.wav=w1 3=t3");
    QTest::newRow("a tab") << three << "add a\tb"
                           << "caracteres que no da ninguna tecla: posición 2: U+0009 (tabulador)";
    QTest::newRow("an emoji and a line break")
        << three << QStringLiteral("add Hola 🙂\ry")
        << QStringLiteral("caracteres que no da ninguna tecla: posición 6: U+1F642 (fuera del "
                          "plano básico, p. ej. un emoji); posición 7: U+000D (salto de línea)");
    QTest::newRow("an empty text") << three << "add "
                                   << "el texto está vacío";
    QTest::newRow("up from the first") << three << "up 1"
                                       << "el dictado 1 ya es el primero";
    QTest::newRow("down from the last") << three << "down 3"
                                        << "el dictado 3 ya es el último";
    QTest::newRow("remove one that is not there") << three << "remove 2"
                                                  << "no existe el dictado 2";
    QTest::newRow("edit one that is not there") << three << "edit 4"
                                                << "no existe el dictado 4";
    QTest::newRow("move to where it is") << three << "moveto 3 3"
                                         << "el dictado 3 ya tiene ese número";
    QTest::newRow("move to a number after the last")
        << three << "moveto 1 4"
        << "no hay número 4: los dictados van del 1 al 3";
    QTest::newRow("move to number 0") << three << "moveto 3 0"
                                      << "no hay número 0: los dictados van del 1 al 3";
    QTest::newRow("move one that is not there") << three << "moveto 2 1"
                                                << "no existe el dictado 2";

    // Recordings whose text is gone never go with another text.
    QTest::newRow("closing gaps onto recordings without a text")
        << "1=t1 1.wav=w1 2.wav=w2 2.lento.wav=l2 3=t3"
        << "gaps"
        << "el número 2 tiene grabaciones sin texto («2.wav», «2.lento.wav»), que quedarían con "
           "el dictado 3; bórrelas antes";
    QTest::newRow("moving into a gap onto recordings without a text")
        << "1=t1 2.lento.wav=l2 3=t3"
        << "moveto 3 2"
        << "el número 2 tiene grabaciones sin texto («2.lento.wav»), que quedarían con el "
           "dictado 3; bórrelas antes";
    QTest::newRow("renumbering onto recordings without a text")
        << "1=t1 2=t2 3.wav=w3 4=t4"
        << "remove 1"
        << "el número 3 tiene grabaciones sin texto («3.wav»), que quedarían con el dictado 4; "
           "bórrelas antes";
    QTest::newRow("recording a number without a text") << "1=t1 2.wav=w2 .letro-nuevo-2.wav=w9"
                                                       << "record 2"
                                                       << "no existe el dictado 2";
    QTest::newRow("editing recordings without a text") << "1=t1 2.wav=w2"
                                                       << "edit 2"
                                                       << "no existe el dictado 2";

    // A hidden ".letro-" file the change does not own is neither removed
    // nor left beside a journal: the change does not run.
    const QString foreign = QStringLiteral(
        "no se puede cambiar la carpeta: en la carpeta hay un archivo oculto, «%1», que este "
        "programa no reconoce (quizá de otra versión de Letro o copiado ahí); sáquelo de la "
        "carpeta o bórrelo si no lo necesita, y repita el cambio");
    const QString leftover = QStringLiteral(
        "no se puede cambiar la carpeta: en la carpeta queda «%1», un archivo oculto de un "
        "cambio que no terminó; cierre la carpeta y vuelva a abrirla para ponerla en orden, y "
        "luego repita el cambio");
    QTest::newRow("add beside another version's hidden file")
        << three + " .letro-cambio-7=x" << "add nuevo" << foreign.arg(".letro-cambio-7");
    QTest::newRow("add beside a new file of its own name")
        << three + " .letro-nuevo-4=x" << "add nuevo" << leftover.arg(".letro-nuevo-4");
    QTest::newRow("remove beside a hidden file it would use")
        << three + " .letro-borrar-3=x" << "remove 3" << foreign.arg(".letro-borrar-3");
    QTest::newRow("remove beside another version's hidden file")
        << three + " .letro-mover-9-a-8=x" << "remove 1" << foreign.arg(".letro-mover-9-a-8");
    QTest::newRow("up beside a half-made recording")
        << three + " .letro-parte-nuevo-3.wav=x" << "up 3"
        << leftover.arg(".letro-parte-nuevo-3.wav");
    QTest::newRow("record beside another version's hidden file")
        << three + " .letro-nuevo-3.wav=w9 .letro-x=x" << "record 3" << foreign.arg(".letro-x");
}

void TestExerciseFolder::refused()
{
    QFETCH(QString, before);
    QFETCH(QString, operation);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    writeLayout(dir.path(), layout(before));
    const QStringList snapshotBefore = snapshot(dir.path());
    TypeFolder folder(dir.path());
    QCOMPARE(run(folder, operation), reason);
    QCOMPARE(snapshot(dir.path()), snapshotBefore);
}

void TestExerciseFolder::failureLeavesEverything_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("operation");
    // "locked NAME": renaming NAME fails as a file of another user in a
    // sticky folder would (the step gate says "no permission"); "full NAME":
    // writing NAME finds the disk full; "broken NAME": renaming NAME meets a
    // disk error once; "readonly NAME": renaming NAME meets a read-only disk;
    // "quota NAME": writing NAME meets the user's disk quota; "folder NAME":
    // a folder of that name is in the way.
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("reason");

    const QString five = QStringLiteral("1=t1 1.wav=w1 2=t2 2.wav=w2 3=t3 3.wav=w3 3.lento.wav=l3 "
                                        "4=t4 4.wav=w4 5=t5 5.wav=w5 5.lento.wav=l5");
    QTest::newRow("remove: the last recording cannot move")
        << five << "remove 2"
        << "locked 5.lento.wav"
        << "no se puede mover «5.lento.wav»: no hay permiso";
    QTest::newRow("remove: a text half-way cannot move") << five << "remove 1"
                                                         << "locked 4"
                                                         << "no se puede mover «4»: no hay permiso";
    QTest::newRow("remove: a folder where a recording goes")
        << "1=t1 2=t2 3=t3 3.lento.wav=l3"
        << "remove 1"
        << "folder 2.lento.wav"
        << "no se puede crear «2.lento.wav»: ya existe un archivo con ese nombre";
    QTest::newRow("move up: the other recording cannot move")
        << five << "up 3"
        << "locked 2.wav"
        << "no se puede mover «2.wav»: no hay permiso";
    QTest::newRow("move down: a folder where the slow one goes")
        << "1=t1 2=t2 2.lento.wav=l2 3=t3"
        << "down 2"
        << "folder 3.lento.wav"
        << "no se puede crear «3.lento.wav»: ya existe un archivo con ese nombre";
    QTest::newRow("move to a number: the last one in between cannot move")
        << five << "moveto 5 2"
        << "locked 4.wav"
        << "no se puede mover «4.wav»: no hay permiso";
    QTest::newRow("close gaps: one file cannot move") << "1=t1 3=t3 3.wav=w3 6=t6 6.wav=w6 9=t9"
                                                      << "gaps"
                                                      << "locked 9"
                                                      << "no se puede mover «9»: no hay permiso";
    QTest::newRow("edit: the old text cannot be replaced")
        << five << "edit 3"
        << "locked 3"
        << "no se puede mover «3»: no hay permiso";
    QTest::newRow("edit: the disk is full")
        << five << "edit 3"
        << "full .letro-nuevo-3"
        << "no se puede escribir «3»: no queda espacio en el disco";
    QTest::newRow("remove: no room for the journal")
        << five << "remove 3"
        << "full .letro-diario.nuevo"
        << "no se puede escribir el diario de cambios: no queda espacio en el disco";
    QTest::newRow("remove: a disk error once every file is taken")
        << five << "remove 2"
        << "broken .letro-mover-4-a-3.wav"
        << "no se puede crear «3.wav»: error de lectura o escritura en el disco";
    QTest::newRow("move down: the disk is read-only")
        << five << "down 1"
        << "readonly 1"
        << "no se puede mover «1»: el disco es de solo lectura";
    QTest::newRow("edit: over the user's quota")
        << five << "edit 2"
        << "quota .letro-nuevo-2"
        << "no se puede escribir «2»: se ha llegado al límite de espacio de este usuario";
    QTest::newRow("add: a stray recording cannot go")
        << "1=t1 2.wav=w2"
        << "add"
        << "locked 2.wav"
        << "no se puede mover «2.wav»: no hay permiso";
}

void TestExerciseFolder::failureLeavesEverything()
{
    QFETCH(QString, before);
    QFETCH(QString, operation);
    QFETCH(QString, obstacle);
    QFETCH(QString, reason);
    const QString kind = obstacle.section(QLatin1Char(' '), 0, 0);
    const QString name = obstacle.section(QLatin1Char(' '), 1);
    const bool locked = kind != QLatin1String("folder");

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Palabras"));
    writeLayout(path, layout(before));
    if (!locked)
        QVERIFY(QDir(path).mkpath(name + QStringLiteral("/dentro")));
    const QStringList snapshotBefore = snapshot(path);

    QString problem;
    {
        const bool writing = kind == QLatin1String("full") || kind == QLatin1String("quota");
        const int error = kind == QLatin1String("locked")     ? EACCES
                          : kind == QLatin1String("full")     ? ENOSPC
                          : kind == QLatin1String("quota")    ? EDQUOT
                          : kind == QLatin1String("readonly") ? EROFS
                                                              : EIO;
        FailingStep gate(writing ? Step::Write : Step::Rename, name, error,
                         kind == QLatin1String("broken") ? 1 : -1);
        if (locked)
            setStepGate(&gate);
        TypeFolder folder(path);
        problem = run(folder, operation);
        setStepGate(nullptr);
    }
    QCOMPARE(problem, reason);
    QCOMPARE(snapshot(path), snapshotBefore);
}

namespace {

// Cancels a change through its progress when the n-th step of a kind comes.
class CancellingGate : public StepGate
{
public:
    CancellingGate(Progress *progress, Step step, int n)
        : m_progress(progress), m_step(step), m_n(n)
    {}
    int before(Step step, const QString &, const QString &) override
    {
        if (step == m_step && --m_n == 0)
            m_progress->cancelled = true;
        return 0;
    }

private:
    Progress *m_progress;
    Step m_step;
    int m_n;
};

} // namespace

void TestExerciseFolder::cancelUndoesEverything_data()
{
    QTest::addColumn<int>("step"); // Step
    QTest::addColumn<int>("n");    // cancelled at the n-th step of that kind (0: from the start)
    QTest::addColumn<bool>("done");
    QTest::newRow("before the first step") << int(Step::Rename) << 0 << false;
    QTest::newRow("after the journal") << int(Step::Rename) << 1 << false;
    QTest::newRow("half-way") << int(Step::Rename) << 6 << false;
    QTest::newRow("once every file is taken, it is finished") << int(Step::Append) << 1 << true;
}

void TestExerciseFolder::cancelUndoesEverything()
{
    QFETCH(int, step);
    QFETCH(int, n);
    QFETCH(bool, done);
    QTemporaryDir dir;
    writeLayout(dir.path(), layout("1=t1 1.wav=w1 2=t2 2.wav=w2 2.lento.wav=l2 3=t3 3.wav=w3 4=t4 "
                                   "4.lento.wav=l4"));
    const QStringList snapshotBefore = snapshot(dir.path());
    Progress progress;
    progress.cancelled = n == 0;
    CancellingGate gate(&progress, Step(step), n);
    setStepGate(&gate);
    TypeFolder folder(dir.path());
    folder.setProgress(&progress);
    const QString problem = folder.remove(1);
    setStepGate(nullptr);
    if (done) {
        QCOMPARE(problem, QString());
        QCOMPARE(readLayout(dir.path()),
                 layout("1=t2 1.wav=w2 1.lento.wav=l2 2=t3 2.wav=w3 3=t4 3.lento.wav=l4"));
        QCOMPARE(progress.done.load(), progress.total.load());
    } else {
        QCOMPARE(problem, cancelledReason());
        QCOMPARE(snapshot(dir.path()), snapshotBefore);
    }
}

void TestExerciseFolder::marks_data()
{
    QTest::addColumn<QString>("files");
    QTest::addColumn<int>("odd");              // the exercise written with the bytes below
    QTest::addColumn<QByteArray>("bytes");     // "<vacío>": an empty file, "<ilegible>": unreadable
    QTest::addColumn<QStringList>("expected"); // "N: mark" for each exercise

    const QString gap3 = QStringLiteral("hueco en la numeración: falta el 3, y Letro no pasa de "
                                        "ahí con «siguiente»");
    QTest::newRow("all reachable and typable")
        << "2=t2 3=t3" << 1 << QByteArray("¿Qué tal, Ñoño?\r\n")
        << QStringList{"1: ", "2: ", "3: "};
    QTest::newRow("a gap marks every exercise above it")
        << "1=t1 2=t2 5=t5" << 4 << QByteArray("cuatro")
        << QStringList{"1: ", "2: ", "4: " + gap3, "5: " + gap3};
    QTest::newRow("no first exercise")
        << "" << 2 << QByteArray("dos")
        << QStringList{"2: hueco en la numeración: falta el 1, y Letro no pasa de ahí con "
                       "«siguiente»"};
    QTest::newRow("a folder is not an exercise")
        << "1=t1 2=t2 3/=x" << 4 << QByteArray("cuatro") << QStringList{"1: ", "2: ", "4: " + gap3};
    QTest::newRow("a line feed after the digits is another name")
        << "1=t1 2\n=x" << 2 << QByteArray("dos") << QStringList{"1: ", "2: "};
    QTest::newRow("ten digits are past the editor's numbers")
        << "1=t1 1000000000=x" << 2 << QByteArray("dos") << QStringList{"1: ", "2: "};
    const QString refused = QStringLiteral(" (Letro dice «No encuentro el archivo»)");
    const QString after1 =
        QStringLiteral("2: Letro no puede usar el 1 y no pasa de ahí con «siguiente»");
    QTest::newRow("an empty file") << "2=t2" << 1 << QByteArray("<vacío>")
                                   << QStringList{"1: el archivo está vacío" + refused, after1};
    QTest::newRow("unreadable") << "2=t2" << 1 << QByteArray("<ilegible>")
                                << QStringList{"1: Letro no puede leer el archivo" + refused,
                                               after1};
    QTest::newRow("a tab")
        << "2=t2" << 1 << QByteArray("a\tb\r\n")
        << QStringList{"1: caracteres que no da ninguna tecla: posición 2: U+0009 (tabulador)" +
                           refused,
                       after1};
    QTest::newRow("an empty first line")
        << "2=t2" << 1 << QByteArray("\r\nnota")
        << QStringList{"1: la primera línea está vacía: no hay nada que escribir", "2: "};
    QTest::newRow("a lone line feed after a carriage return is the next line")
        << "" << 1 << QByteArray("Canci\xf3n\r\ny") << QStringList{"1: "};
    QTest::newRow("two reasons at once")
        << "1=t1" << 3 << QByteArray("a\tb")
        << QStringList{"1: ", "3: hueco en la numeración: falta el 2, y Letro no pasa de ahí con "
                              "«siguiente»; caracteres que no da ninguna tecla: posición 2: "
                              "U+0009 (tabulador)" +
                                  refused};
}

void TestExerciseFolder::marks()
{
    QFETCH(QString, files);
    QFETCH(int, odd);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    QStringList plain;
    for (const QString &item : files.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (item.endsWith(QLatin1String("/=x")))
            QVERIFY(QDir(dir.path()).mkdir(item.left(item.indexOf(QLatin1Char('/')))));
        else
            plain.append(item);
    }
    writeLayout(dir.path(), layout(plain.join(QLatin1Char(' '))));
    const QString oddPath = dir.filePath(QString::number(odd));
    QFile file(oddPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const bool unreadable = bytes == "<ilegible>";
    if (unreadable)
        file.write("x");
    else if (bytes != "<vacío>")
        file.write(bytes);
    file.close();
    if (unreadable)
        QVERIFY(QFile::setPermissions(oddPath, QFile::Permissions()));
    makeSearchable(dir.path()); // for "nobody", who reads the folder below

    QStringList marks;
    {
        NoFileAccessRights asNobody;
        QCOMPARE(cannotOpen(oddPath), unreadable);
        for (const Exercise &e : TypeFolder(dir.path()).exercises())
            marks.append(QStringLiteral("%1: %2").arg(e.number).arg(e.mark));
    }
    QCOMPARE(marks, expected);
}

// A recording made before its text was last written is older than it, in
// whole seconds; the listing, "Grabar lo que falta" and letro-grabar's jobs
// agree on it, and renumbering, which only renames, keeps it.
void TestExerciseFolder::recordingsOlderThanTheirText_data()
{
    QTest::addColumn<QString>("files");
    QTest::addColumn<QString>("times"); // milliseconds after timeBase()
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("expected"); // "N recording slow", each as Present/Older/Missing
    QTest::addColumn<QList<int>>("older");     // withOlderRecordings
    QTest::addColumn<QList<int>>("again");     // unrecorded

    const QList<int> none;
    QTest::newRow("recorded after the text")
        << "1=t1 1.wav=w1 1.lento.wav=l1" << "1=0 1.wav=2000 1.lento.wav=2000" << ""
        << QStringList{"1 present present"} << none << none;
    QTest::newRow("older by a tenth of a second, in the second before")
        << "1=t1 1.wav=w1 1.lento.wav=l1" << "1=1000 1.wav=900 1.lento.wav=900" << ""
        << QStringList{"1 older older"} << QList<int>{1} << QList<int>{1};
    QTest::newRow("a moment before, in the same second")
        << "1=t1 1.wav=w1 1.lento.wav=l1" << "1=600 1.wav=200 1.lento.wav=100" << ""
        << QStringList{"1 present present"} << none << none;
    QTest::newRow("only the slow one older")
        << "1=t1 1.wav=w1 1.lento.wav=l1 2=t2 2.wav=w2 2.lento.wav=l2"
        << "1=5000 1.wav=5000 1.lento.wav=3000 2=0 2.wav=0 2.lento.wav=0" << ""
        << QStringList{"1 present older", "2 present present"} << QList<int>{1} << QList<int>{1};
    QTest::newRow("one missing, the other older")
        << "1=t1 1.lento.wav=l1" << "1=5000 1.lento.wav=1000" << ""
        << QStringList{"1 missing older"} << QList<int>{1} << QList<int>{1};
    QTest::newRow("recordings without a text are never older")
        << "1=t1 1.wav=w1 1.lento.wav=l1 2.wav=w2" << "1=5000 1.wav=5000 1.lento.wav=5000 2.wav=0"
        << "" << QStringList{"1 present present", "2 present missing"} << none << none;
    QTest::newRow("changing the text makes them older")
        << "1=t1 1.wav=w1 1.lento.wav=l1 2=t2 2.wav=w2"
        << "1=0 1.wav=0 1.lento.wav=0 2=0 2.wav=0" << "edit 1"
        << QStringList{"1 older older", "2 present missing"} << QList<int>{1} << QList<int>{1, 2};
    QTest::newRow("a swap keeps each mark with its text")
        << "1=t1 1.wav=w1 2=t2 2.wav=w2" << "1=5000 1.wav=1000 2=0 2.wav=1000" << "down 1"
        << QStringList{"1 present missing", "2 older missing"} << QList<int>{2} << QList<int>{1, 2};
    QTest::newRow("closing a gap keeps the mark")
        << "3=t3 3.wav=w3 3.lento.wav=l3" << "3=5000 3.wav=0 3.lento.wav=9000" << "gaps"
        << QStringList{"1 older present"} << QList<int>{1} << QList<int>{1};
    QTest::newRow("a new recording is not older")
        << "1=t1 1.wav=w1 1.lento.wav=l1 .letro-nuevo-1.wav=w9"
        << "1=5000 1.wav=0 1.lento.wav=0 .letro-nuevo-1.wav=6000" << "record 1"
        << QStringList{"1 present older"} << QList<int>{1} << QList<int>{1};
}

void TestExerciseFolder::recordingsOlderThanTheirText()
{
    QFETCH(QString, files);
    QFETCH(QString, times);
    QFETCH(QString, operation);
    QFETCH(QStringList, expected);
    QFETCH(QList<int>, older);
    QFETCH(QList<int>, again);
    QTemporaryDir dir;
    writeLayout(dir.path(), layout(files));
    QVERIFY(setTimes(dir.path(), times));
    TypeFolder folder(dir.path());
    if (!operation.isEmpty())
        QCOMPARE(run(folder, operation), QString());

    auto word = [](RecordingState state) {
        switch (state) {
        case RecordingState::Missing:
            return QStringLiteral("missing");
        case RecordingState::Older:
            return QStringLiteral("older");
        case RecordingState::Present:
            break;
        }
        return QStringLiteral("present");
    };
    const QList<Exercise> exercises = folder.exercises();
    QStringList states;
    for (const Exercise &e : exercises)
        states.append(
            QStringLiteral("%1 %2 %3").arg(e.number).arg(word(e.recording), word(e.slowRecording)));
    QCOMPARE(states, expected);
    QCOMPARE(withOlderRecordings(exercises), older);
    QCOMPARE(unrecorded(exercises), again);
    // letro-grabar sees the texts' recordings alike.
    QStringList jobs;
    for (const RecordingJob &job : recordingJobs(dir.path()))
        jobs.append(QStringLiteral("%1 %2 %3")
                        .arg(QFileInfo(job.textPath).fileName())
                        .arg(word(job.recording), word(job.slowRecording)));
    QStringList texts;
    for (qsizetype i = 0; i < exercises.size(); ++i)
        if (exercises.at(i).hasText)
            texts.append(states.at(i));
    QCOMPARE(jobs, texts);
}

// A number's identity holds its text and recordings, lone recordings too,
// and nothing else; it changes with any of them.
void TestExerciseFolder::identityOfNumbers()
{
    QTemporaryDir dir;
    writeLayout(dir.path(), layout("1=t1 2=t2 2.wav=w2 2.lento.wav=l2 3.wav=w3 05=x 2.mp3=x "
                                   "notas=x .letro-nuevo-2.wav=w9 20=t20"));
    TypeFolder folder(dir.path());
    auto names = [](const Identity &identity) {
        QStringList found;
        for (const QString &line : identity.files)
            found.append(line.section(QLatin1Char(' '), 0, 0));
        return found;
    };
    QCOMPARE(names(folder.identity(2, 3)), QStringList({"2", "2.lento.wav", "2.wav", "3.wav"}));
    QCOMPARE(names(folder.identity(4, Identity::AndAfter)), QStringList{"20"});
    QCOMPARE(names(folder.identity(4, 19)), QStringList());
    const Identity two = folder.identity(2, 2);
    QCOMPARE(identityChange(two, folder.state()), QString());
    // Other files change: still the same.
    QVERIFY(changeByHand(dir.path(), "2.mp3=w1 -notas 1=t9 .letro-nuevo-2.wav=w8"));
    QCOMPARE(folder.identity(2, 2), two);
    QVERIFY(changeByHand(dir.path(), "2.lento.wav=l20"));
    QCOMPARE(identityChange(two, folder.state()),
             QStringLiteral("desde que se pidió este cambio han cambiado fuera del editor los "
                            "archivos «2.lento.wav»"));
}

// A change told what the teacher saw is refused when those files changed by
// hand before it runs (the list may have been shown again meanwhile), and
// made when only other numbers changed.
void TestExerciseFolder::changedFilesAreNotTouched_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last"); // 0: every number from `first` on
    QTest::addColumn<QString>("byHand");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("after"); // empty: refused, with `reason`
    QTest::addColumn<QString>("reason");
    const QString ten = QStringLiteral("7=t7 8=t8 8.wav=w8 8.lento.wav=l8 9=t9 9.wav=w9 "
                                       "9.lento.wav=l9 10=t10");
    const QString changed = QStringLiteral("desde que se pidió este cambio han cambiado fuera del "
                                           "editor los archivos ");
    QTest::newRow("delete 8 after 8 became 800 and 9 became 8")
        << ten << 8 << 0
        << "8>800 8.wav>800.wav 8.lento.wav>800.lento.wav 9>8 9.wav>8.wav 9.lento.wav>8.lento.wav"
        << "remove 8" << QString() << changed + "«8», «8.lento.wav», «8.wav», «9» y 5 más";
    QTest::newRow("edit 12 after 12 became 1200 and 13 became 12")
        << "12=t12 12.wav=w12 13=t13 13.wav=w13" << 12 << 12 << "12>1200 12.wav>1200.wav 13>12"
        << "edit 12" << QString() << changed + "«12», «12.wav»";
    QTest::newRow("up, a recording made again")
        << ten << 7 << 8 << "8.wav=w10" << "up 8" << QString() << changed + "«8.wav»";
    QTest::newRow("down, the next one deleted")
        << ten << 9 << 10 << "-10" << "down 9" << QString() << changed + "«10»";
    QTest::newRow("move to a number, a text written")
        << ten << 7 << 9 << "7=t10" << "moveto 9 7" << QString() << changed + "«7»";
    QTest::newRow("close gaps, a number added")
        << "1=t1 3=t3" << 1 << 0 << "5=t5" << "gaps" << QString() << changed + "«5»";
    QTest::newRow("add, a number added")
        << "1=t1 2=t2" << 2 << 0 << "3=t3" << "add" << QString() << changed + "«3»";
    QTest::newRow("record, the text changed")
        << "1=t1 2=t2 .letro-nuevo-2.wav=w9" << 2 << 2 << "2=t20" << "record 2" << QString()
        << changed + "«2»";
    QTest::newRow("delete 8, only 7 changed")
        << ten << 8 << 0 << "7=t1" << "remove 8" << "7=t1 8=t9 8.wav=w9 8.lento.wav=l9 9=t10"
        << QString();
    QTest::newRow("edit 12, only 13 changed")
        << "12=t12 13=t13" << 12 << 12 << "-13" << "edit 12" << "12=new" << QString();
}

void TestExerciseFolder::changedFilesAreNotTouched()
{
    QFETCH(QString, before);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QString, byHand);
    QFETCH(QString, operation);
    QFETCH(QString, after);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    writeLayout(dir.path(), layout(before));
    TypeFolder folder(dir.path());
    const Identity seen = folder.identity(first, last == 0 ? Identity::AndAfter : last);
    QVERIFY(changeByHand(dir.path(), byHand));
    const QStringList snapshotByHand = snapshot(dir.path());
    folder.expect({seen});
    QCOMPARE(run(folder, operation), reason);
    if (after.isEmpty())
        QCOMPARE(snapshot(dir.path()), snapshotByHand);
    else
        QCOMPARE(readLayout(dir.path()), layout(after));
}

// The last check is made under the folder's lock, before the journal: a
// refused change leaves nothing behind.
void TestExerciseFolder::checkedUnderTheFolderLock()
{
    QTemporaryDir dir;
    writeLayout(dir.path(), layout("1=t1 2=t2"));
    const QStringList before = snapshot(dir.path());
    Transaction t(dir.path(), QStringLiteral("mover"));
    t.move(QStringLiteral("2"), QStringLiteral("3"));
    QString lockedMeanwhile;
    t.require([&] {
        lockedMeanwhile = FolderLock(dir.path()).problem();
        return QStringLiteral("ha cambiado");
    });
    QCOMPARE(t.run(), QStringLiteral("ha cambiado"));
    QCOMPARE(lockedMeanwhile,
             QStringLiteral("otro programa está cambiando sus archivos ahora mismo"));
    QCOMPARE(snapshot(dir.path()), before);
    t.require([] { return QString(); });
    QCOMPARE(t.run(), QString());
    QCOMPARE(readLayout(dir.path()), layout("1=t1 3=t2"));
}

QTEST_GUILESS_MAIN(TestExerciseFolder)
#include "tst_exercisefolder.moc"

// What a screen reader is told, and in what order: every announcement of the
// main window goes through its queue, which these tests read without a
// screen reader or a display. The queue on its own: messages handed on one
// after another, never two at once, none lost.
#include "checking.h"

#include "exercise/aids.h"
#include "ui/accessibility.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace letro;
using namespace letro::test;

namespace {

QStringList textsOf(const QSignalSpy &spy)
{
    QStringList texts;
    for (const QList<QVariant> &arguments : spy)
        texts.append(arguments.at(1).toString());
    return texts;
}

} // namespace

class TestAnnouncements : public QObject
{
    Q_OBJECT

private slots:
    void whatIsSaid_data();
    void whatIsSaid();
    void queue_data();
    void queue();
    void choiceKeepsTheFocusOffTheNextButton();
};

void TestAnnouncements::whatIsSaid_data()
{
    QTest::addColumn<QStringList>("exercises"); // "Palabras" 1, 2...
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("said");

    const QString pen = QStringLiteral("pen");
    const auto row = [](const char *name, const QStringList &exercises, const QStringList &steps,
                        const QStringList &said) {
        QTest::newRow(name) << exercises << steps << said;
    };
    const auto typing = [](const char *keys) {
        return QStringLiteral("type:") + QString::fromUtf8(keys);
    };

    // Each kind of mistake: exactly the message the window shows.
    row("capital letter", {QStringLiteral("Casa")}, {pen, typing("c")},
        {QStringLiteral("¡MAYÚSCULAS - MINÚSCULAS!")});
    row("y for i", {QStringLiteral("yo")}, {pen, typing("i")},
        {QStringLiteral("¡Confundes 'y' y 'i'!")});
    row("b for v", {QStringLiteral("vaso")}, {pen, typing("b")},
        {QStringLiteral("¡Confundes 'b' y 'v'!")});
    row("superfluous h", {QStringLiteral("ola")}, {pen, typing("h")},
        {QStringLiteral("No lleva 'h'")});
    row("missing h", {QStringLiteral("hola")}, {pen, typing("o")},
        {QStringLiteral("Esta palabra lleva 'h'")});
    row("missing accent", {QStringLiteral("él")}, {pen, typing("e")},
        {QStringLiteral("Esta vocal lleva acento")});
    row("superfluous accent", {QStringLiteral("el")}, {pen, typing("é")},
        {QStringLiteral("Esta vocal NO lleva acento")});
    row("missing blank", {QStringLiteral("a b")}, {pen, typing("ab")},
        {QStringLiteral("Después de una palabra viene un espacio")});
    row("missing punctuation", {QStringLiteral("a.")}, {pen, typing("ab")},
        {QStringLiteral("Se necesita un signo de puntuación   ,  .  :  ;")});
    row("wrong letter", {QStringLiteral("casa")}, {pen, typing("x")},
        {QStringLiteral("Te has confundido de letra")});
    row("right keys say nothing", {QStringLiteral("casa")}, {pen, typing("cas")}, {});

    // The hints, and the Caps Lock hint before the mistake of the same key.
    row("a key before the pen", {QStringLiteral("casa")},
        {QStringLiteral("click:Command3(1)"), QStringLiteral("elsewhere:c")},
        {QStringLiteral("Palabras, ejercicio 1"), Aids::penHint()});
    row("a key while another control has the focus", {QStringLiteral("casa")},
        {pen, QStringLiteral("elsewhere:c")}, {Aids::typingBoxHint()});
    row("Caps Lock with a wrong letter", {QStringLiteral("casa")}, {pen, typing("C")},
        {Aids::capsLockHint(), QStringLiteral("¡MAYÚSCULAS - MINÚSCULAS!")});
    row("Caps Lock with a right letter", {QStringLiteral("Casa")}, {pen, typing("C")},
        {Aids::capsLockHint()});

    // What an accent sequence or a dead key made, before its judgement.
    row("accent sequence, right", {QStringLiteral("él")}, {pen, QStringLiteral("accent:e")},
        {QStringLiteral("é")});
    row("accent sequence, wrong", {QStringLiteral("el")}, {pen, QStringLiteral("accent:e")},
        {QStringLiteral("é"), QStringLiteral("Esta vocal NO lleva acento")});
    row("dead key", {QStringLiteral("ñu")}, {pen, QStringLiteral("commit:ñ")},
        {QStringLiteral("ñ")});
    row("plain letter committed by an input method", {QStringLiteral("casa")},
        {pen, QStringLiteral("commit:c")}, {});

    // The exercise chosen, however it was chosen; the search's end only.
    const QStringList two{QStringLiteral("uno"), QStringLiteral("dos")};
    row("next exercise", two, {QStringLiteral("click:Command3(0)")},
        {QStringLiteral("Palabras, ejercicio 2")});
    row("previous exercise", two,
        {QStringLiteral("click:Command3(0)"), QStringLiteral("click:Command3(1)")},
        {QStringLiteral("Palabras, ejercicio 2"), QStringLiteral("Palabras, ejercicio 1")});
    row("type button", two, {QStringLiteral("click:Command4(1)")},
        {QStringLiteral("Frase corta, ejercicio 1")});
    row("number typed", two, {QStringLiteral("number:2")},
        {QStringLiteral("Palabras, ejercicio 2")});
    row("search down from a missing exercise", two, {QStringLiteral("number:9")},
        {QStringLiteral("Palabras, ejercicio 2")});
    row("number box erased", two, {QStringLiteral("number:")}, {});

    // The end of an exercise, and the windows that come and go.
    row("finished exercise", {QStringLiteral("a")}, {pen, typing("a")},
        {QStringLiteral("Ejercicio terminado. Sin faltas. 0(p/m) - 0 Errores - 1 Aciertos")});
    row("accent pad", {QStringLiteral("casa")}, {QStringLiteral("pad"), QStringLiteral("pad")},
        {QStringLiteral("Acentos: abierto"), QStringLiteral("Acentos: cerrado")});
    row("record box", {QStringLiteral("casa")},
        {QStringLiteral("click:Command2"), QStringLiteral("click:Command2")},
        {QStringLiteral("Lo escrito hasta ahora: abierto"),
         QStringLiteral("Lo escrito hasta ahora: cerrado")});
}

void TestAnnouncements::whatIsSaid()
{
    QFETCH(QStringList, exercises);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, said);

    ProgramFolder folder;
    for (int i = 0; i < exercises.size(); ++i)
        folder.addExercise(0, i + 1, exerciseBytes(exercises.at(i)));
    folder.addExercise(1, 1, exerciseBytes(QStringLiteral("corta")));
    Harness h(folder.path());
    Window w(h);
    AnnouncementQueue *queue = announcementsOf(h.form);
    QCoreApplication::processEvents(); // nothing said at start-up is of interest here
    const QSignalSpy spoken(queue, &AnnouncementQueue::spoken);

    for (const QString &step : steps) {
        const QString verb = step.section(u':', 0, 0);
        const QString argument = step.section(u':', 1);
        if (verb == QLatin1String("pen")) {
            w.start();
        } else if (verb == QLatin1String("type")) {
            typeText(w.typing(), argument);
        } else if (verb == QLatin1String("elsewhere")) {
            typeText(w.button(QStringLiteral("Command1")), argument);
        } else if (verb == QLatin1String("accent")) {
            pressKey(w.typing(), Qt::Key_Apostrophe, Qt::ControlModifier, QStringLiteral("'"));
            typeText(w.typing(), argument);
        } else if (verb == QLatin1String("commit")) {
            commitText(w.typing(), argument);
        } else if (verb == QLatin1String("click")) {
            w.button(argument)->click();
        } else if (verb == QLatin1String("number")) {
            h.text1()->setText(argument);
        } else if (verb == QLatin1String("pad")) {
            h.form->findChild<Aids *>()->toggleAccentPad();
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
        // Each step is an event of its own, as the pupil's keys and clicks are.
        QCoreApplication::processEvents();
    }
    // What was handed on, then what still waits its turn: the whole order.
    QCOMPARE(textsOf(spoken) + queue->waiting(), said);
}

void TestAnnouncements::queue_data()
{
    QTest::addColumn<QStringList>("says"); // "choice:" marks a choice of exercise
    QTest::addColumn<QStringList>("heard");

    const QString hint = QStringLiteral("Bloq Mayús está activado");
    const QString capital = QStringLiteral("¡MAYÚSCULAS - MINÚSCULAS!");
    QTest::newRow("one message") << QStringList{capital} << QStringList{capital};
    QTest::newRow("two messages of one key, in order")
        << QStringList{hint, capital} << QStringList{hint, capital};
    QTest::newRow("the same message twice while it waits")
        << QStringList{capital, capital} << QStringList{capital};
    QTest::newRow("the same message again after another")
        << QStringList{capital, hint, capital} << QStringList{capital, hint, capital};
    QTest::newRow("an empty text says nothing")
        << QStringList{QString(), hint} << QStringList{hint};
    QTest::newRow("a newer choice replaces one still waiting")
        << QStringList{QStringLiteral("choice:Palabras, ejercicio 1"), hint,
                       QStringLiteral("choice:Palabras, ejercicio 12")}
        << QStringList{QStringLiteral("Palabras, ejercicio 12"), hint};
    QTest::newRow("a message never replaces a choice")
        << QStringList{QStringLiteral("choice:Frase corta, ejercicio 3"), capital}
        << QStringList{QStringLiteral("Frase corta, ejercicio 3"), capital};
}

void TestAnnouncements::queue()
{
    QFETCH(QStringList, says);
    QFETCH(QStringList, heard);

    AnnouncementQueue queue;
    QList<qint64> times;
    QElapsedTimer clock;
    clock.start();
    QStringList texts;
    connect(&queue, &AnnouncementQueue::spoken, this, [&](QObject *from, const QString &text) {
        QCOMPARE(from, this);
        times.append(clock.elapsed());
        texts.append(text);
    });
    const QString choice = QStringLiteral("choice:");
    for (const QString &text : says) {
        if (text.startsWith(choice))
            queue.say(this, text.mid(choice.size()), Announcement::Choice);
        else
            queue.say(this, text);
    }
    // Nothing is handed on while the handler that said it runs.
    QVERIFY(texts.isEmpty());
    QCOMPARE(queue.waiting(), heard);

    // However loaded the machine, the whole row is heard well within a minute.
    QTRY_COMPARE_WITH_TIMEOUT(texts, heard, 60000);
    // Each message had the time to be spoken before the next came.
    for (int i = 1; i < times.size(); ++i) {
        QVERIFY2(times.at(i) - times.at(i - 1) >=
                     AnnouncementQueue::speakingMilliseconds(texts.at(i - 1)),
                 qPrintable(texts.at(i)));
    }
    QVERIFY(queue.waiting().isEmpty());
}

void TestAnnouncements::choiceKeepsTheFocusOffTheNextButton()
{
    // A choice made from the typing box shuts it; the focus goes to the pen,
    // which opens it again, not to whatever control follows the box.
    ProgramFolder folder;
    folder.addExercise(0, 1, exerciseBytes(QStringLiteral("uno")));
    folder.addExercise(1, 1, exerciseBytes(QStringLiteral("corta")));
    Harness h(folder.path());
    Window w(h);
    h.form->show();
    QVERIFY(QTest::qWaitForWindowActive(h.form));
    w.start();
    QTRY_VERIFY(w.typing()->hasFocus());
    w.button(QStringLiteral("Command4(1)"))->click();
    QTRY_COMPARE(QApplication::focusWidget(), w.button(QStringLiteral("Command5")));
    QVERIFY(!w.typing()->isEnabled());
}

QTEST_MAIN(TestAnnouncements)
#include "tst_announcements.moc"

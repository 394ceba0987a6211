// Choosing the exercise: the type buttons, next and previous, the number box
// Text1 (typed, erased, pasted, at the 16-bit limit), choosing in the middle
// of an attempt, and listening again with the loudspeaker button.
#include "testsupport.h"

#include "exercise/exercisenumber.h"
#include "ui/richtextbox.h"
#include "ui/richtextview.h"
#include "ui/velantro.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using namespace letro;
using namespace letro::test;

namespace {

const QString NotFound = QStringLiteral("No encuentro el archivo");

QByteArray exerciseBytes(int type, int number)
{
    return "tipo " + QByteArray::number(type) + " n\xFAmero " + QByteArray::number(number) + "\r\n";
}

QString exerciseText(int type, int number)
{
    return QStringLiteral("tipo %1 número %2").arg(type).arg(number);
}

void addRange(ProgramFolder &folder, int type, int first, int last)
{
    for (int n = first; n <= last; ++n)
        folder.addExercise(type, n, exerciseBytes(type, n));
}

RichTextBox *typingBox(const Harness &h)
{
    return h.child<RichTextBox>(QStringLiteral("RichTextBox1"));
}

// Starts an attempt and types the first `count` characters of the exercise.
void startAndType(Harness &h, int count)
{
    h.form->Command5_Click();
    const QString expected = h.form->expectedText();
    for (int i = 0; i < count; ++i)
        typeKey(typingBox(h), expected.at(i));
}

} // namespace

class TestSelection : public QObject
{
    Q_OBJECT

private slots:
    void typeButtonRightAfterStartUp()
    {
        ProgramFolder folder;
        addRange(folder, 0, 1, 3);
        addRange(folder, 1, 1, 3);
        Harness h(folder.path());
        QVERIFY(h.sound->played.isEmpty());

        h.form->Command4_Click(1);
        QCOMPARE(h.child<QLabel>(QStringLiteral("Label3"))->text(), QStringLiteral("Frase corta"));
        QCOMPARE(h.text1()->text(), QStringLiteral("1"));
        QCOMPARE(h.form->exerciseType(), 1);
        QVERIFY(h.form->exerciseFolder().endsWith(QLatin1String("/Frase corta")));
        QCOMPARE(h.form->exerciseFolder(), folder.path() + QStringLiteral("/Frase corta"));
        QCOMPARE(h.form->expectedText(), exerciseText(1, 1));
        // Text1 did not change, so the exercise is loaded once: one recording.
        QCOMPARE(h.sound->played, QStringList{folder.recording(1, 1)});
        QVERIFY(h.messages->shown.isEmpty());
    }

    void eachTypeKeepsItsNumber_data()
    {
        QTest::addColumn<bool>("palabrasHasOne");
        QTest::newRow("Palabras 1 to 4") << true;
        QTest::newRow("Palabras 2 to 4, no exercise 1") << false;
    }

    void eachTypeKeepsItsNumber()
    {
        QFETCH(bool, palabrasHasOne);
        ProgramFolder folder;
        addRange(folder, 0, palabrasHasOne ? 1 : 2, 4);
        addRange(folder, 1, 1, 2);
        Harness h(folder.path());
        for (int i = 0; i < 3; ++i)
            h.form->Command3_Click(0);
        QCOMPARE(h.text1()->text(), QStringLiteral("4"));
        QCOMPARE(h.form->expectedText(), exerciseText(0, 4));
        h.forget();

        h.form->Command4_Click(1);
        QCOMPARE(h.text1()->text(), QStringLiteral("1"));
        QCOMPARE(h.form->exerciseNumbers(), QList<int>({4, 1, 1}));
        QCOMPARE(h.form->expectedText(), exerciseText(1, 1));
        QVERIFY(h.messages->shown.isEmpty());
        QVERIFY(!h.sound->played.isEmpty());
        for (const QString &path : std::as_const(h.sound->played))
            QCOMPARE(path, folder.recording(1, 1));

        h.forget();
        h.form->Command4_Click(0);
        QCOMPARE(h.text1()->text(), QStringLiteral("4"));
        QCOMPARE(h.form->expectedText(), exerciseText(0, 4));
        QCOMPARE(h.sound->played.last(), folder.recording(0, 4));
        QVERIFY(h.messages->shown.isEmpty());
    }

    void nextPastTheLast()
    {
        ProgramFolder folder;
        addRange(folder, 0, 1, 2);
        Harness h(folder.path());
        h.form->Command3_Click(0);
        startAndType(h, 2);
        h.forget();

        h.form->Command3_Click(0);
        QCOMPARE(h.messages->shown, QStringList{NotFound});
        QCOMPARE(h.text1()->text(), QStringLiteral("2"));
        QCOMPARE(h.form->expectedText(), exerciseText(0, 2));
        QCOMPARE(h.sound->played.last(), folder.recording(0, 2));
        QVERIFY(typingBox(h)->text().isEmpty());
        QVERIFY(!typingBox(h)->isEnabled());
    }

    void previousAtOne()
    {
        ProgramFolder folder;
        addRange(folder, 0, 1, 3);
        Harness h(folder.path());
        startAndType(h, 3);
        QCOMPARE(typingBox(h)->text(), exerciseText(0, 1).left(3));
        h.forget();

        h.form->Command3_Click(1);
        QCOMPARE(h.text1()->text(), QStringLiteral("1"));
        QCOMPARE(h.number(), 1);
        QCOMPARE(h.sound->played, QStringList{folder.recording(0, 1)});
        QCOMPARE(h.form->expectedText(), exerciseText(0, 1));
        QVERIFY(h.messages->shown.isEmpty());
        QVERIFY(typingBox(h)->text().isEmpty());
        QVERIFY(!typingBox(h)->isEnabled());
    }

    void previousStepsDown()
    {
        ProgramFolder folder;
        addRange(folder, 0, 1, 3);
        Harness h(folder.path());
        h.form->Command3_Click(0);
        h.form->Command3_Click(0);
        h.forget();
        h.form->Command3_Click(1);
        QCOMPARE(h.text1()->text(), QStringLiteral("2"));
        QCOMPARE(h.form->expectedText(), exerciseText(0, 2));
        QCOMPARE(h.sound->played.last(), folder.recording(0, 2));
        QVERIFY(h.messages->shown.isEmpty());
    }

    void erasingText1()
    {
        ProgramFolder folder;
        addRange(folder, 0, 1, 12);
        Harness h(folder.path());
        // Exercise 12 by typing: "1" is already there, then "2".
        h.text1()->end(false);
        typeKey(h.text1(), u'2');
        QCOMPARE(h.text1()->text(), QStringLiteral("12"));
        QCOMPARE(h.form->expectedText(), exerciseText(0, 12));
        startAndType(h, 2);
        h.forget();

        pressKey(h.text1(), Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
        QCOMPARE(h.text1()->text(), QStringLiteral("1"));
        QCOMPARE(h.form->expectedText(), exerciseText(0, 1));
        h.forget();
        pressKey(h.text1(), Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
        QCOMPARE(h.text1()->text(), QString());
        QCOMPARE(h.number(), 0);
        QVERIFY(h.sound->played.isEmpty());
        QVERIFY(h.messages->shown.isEmpty());
        QCOMPARE(h.form->expectedText(), exerciseText(0, 1));
        QVERIFY(typingBox(h)->text().isEmpty());
        QVERIFY(!typingBox(h)->isEnabled());
    }

    void keysThatAreNotDigits_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("letter a") << int(Qt::Key_A) << QStringLiteral("a");
        QTest::newRow("capital Z") << int(Qt::Key_Z) << QStringLiteral("Z");
        QTest::newRow("ñ") << int(Qt::Key_unknown) << QStringLiteral("ñ");
        QTest::newRow("space") << int(Qt::Key_Space) << QStringLiteral(" ");
        QTest::newRow("minus") << int(Qt::Key_Minus) << QStringLiteral("-");
        QTest::newRow("plus") << int(Qt::Key_Plus) << QStringLiteral("+");
        QTest::newRow("full stop") << int(Qt::Key_Period) << QStringLiteral(".");
        QTest::newRow("Enter") << int(Qt::Key_Return) << QStringLiteral("\r");
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << QStringLiteral("\r");
        QTest::newRow("Arabic-Indic three")
            << int(Qt::Key_unknown) << QString::fromUtf16(u"\u0663");
    }

    void keysThatAreNotDigits()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        ProgramFolder folder;
        addRange(folder, 0, 1, 3);
        Harness h(folder.path());
        startAndType(h, 2);
        h.forget();

        pressKey(h.text1(), Qt::Key(key), Qt::NoModifier, text);
        QCOMPARE(h.text1()->text(), QStringLiteral("1"));
        QCOMPARE(h.number(), 1);
        QVERIFY(h.sound->played.isEmpty());
        QVERIFY(h.messages->shown.isEmpty());
        // Nothing happened: the attempt goes on.
        QVERIFY(typingBox(h)->isEnabled());
        QCOMPARE(typingBox(h)->text(), exerciseText(0, 1).left(2));

        // The same character from an input method is refused as well.
        commitText(h.text1(), text);
        QCOMPARE(h.text1()->text(), QStringLiteral("1"));
        QVERIFY(h.sound->played.isEmpty());
    }

    void choiceInTheMiddleOfAnAttempt_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::newRow("next") << QStringLiteral("next");
        QTest::newRow("previous") << QStringLiteral("previous");
        QTest::newRow("type button") << QStringLiteral("type");
        QTest::newRow("digit typed") << QStringLiteral("digit");
    }

    void choiceInTheMiddleOfAnAttempt()
    {
        QFETCH(QString, choice);
        ProgramFolder folder;
        addRange(folder, 0, 1, 3);
        addRange(folder, 1, 1, 3);
        Harness h(folder.path());
        h.form->Command3_Click(0);
        startAndType(h, 3);
        typeKey(typingBox(h), u'#'); // one mistake
        auto *timer1 = h.child<QTimer>(QStringLiteral("Timer1"));
        auto *label2 = h.child<QLabel>(QStringLiteral("Label2"));
        auto *hits = h.child<QPushButton>(QStringLiteral("Command8(0)"));
        auto *mistakes = h.child<QPushButton>(QStringLiteral("Command8(1)"));
        auto *velantro1 = h.child<Velantro>(QStringLiteral("Velantro1"));
        for (int i = 0; i < 3; ++i)
            h.form->Timer1_Timer();
        QCOMPARE(label2->text(), QStringLiteral("2 Seg."));
        QCOMPARE(hits->text(), QStringLiteral("3"));
        QCOMPARE(mistakes->text(), QStringLiteral("1"));
        QVERIFY(velantro1->isActive());
        QCOMPARE(h.form->textPos(), 4);
        const int recordPos = h.form->recordPos();

        if (choice == QLatin1String("next"))
            h.form->Command3_Click(0);
        else if (choice == QLatin1String("previous"))
            h.form->Command3_Click(1);
        else if (choice == QLatin1String("type"))
            h.form->Command4_Click(1);
        else {
            h.text1()->end(false);
            pressKey(h.text1(), Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
            typeKey(h.text1(), u'3');
        }

        QVERIFY(typingBox(h)->text().isEmpty());
        QVERIFY(!typingBox(h)->isEnabled());
        QVERIFY(!velantro1->isActive());
        QVERIFY(timer1->isActive());
        QCOMPARE(hits->text(), QStringLiteral("3"));
        QCOMPARE(mistakes->text(), QStringLiteral("1"));
        // The attempt's positions wait for the next start command.
        QCOMPARE(h.form->textPos(), 4);
        QCOMPARE(h.form->recordPos(), recordPos);
        h.form->Timer1_Timer();
        QCOMPARE(label2->text(), QStringLiteral("3 Seg."));
        h.form->Timer1_Timer();
        QCOMPARE(label2->text(), QStringLiteral("4 Seg."));
        QCOMPARE(h.form->elapsedSeconds(), 5);
    }

    void listenAgain()
    {
        ProgramFolder folder;
        addRange(folder, 0, 1, 3);
        Harness h(folder.path());
        h.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.form));
        h.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.form));
        auto *command1 = h.child<QPushButton>(QStringLiteral("Command1"));

        // In the middle of an attempt: the recording restarts and the typing
        // box has the focus at once, caret where it was.
        startAndType(h, 4);
        command1->setFocus();
        QCOMPARE(QApplication::focusWidget(), command1);
        h.forget();
        h.form->Command1_Click();
        h.form->Command1_Click();
        QCOMPARE(h.sound->played, QStringList({folder.recording(0, 1), folder.recording(0, 1)}));
        QCOMPARE(QApplication::focusWidget(), typingBox(h));
        QCOMPARE(shownText(typingBox(h))->textCursor().position(), 4);
        QCOMPARE(h.form->textPos(), 5);
        QCOMPARE(typingBox(h)->text(), exerciseText(0, 1).left(4));

        // After a choice the typing box is disabled: the focus stays put.
        h.form->Command3_Click(0);
        command1->setFocus();
        h.forget();
        h.form->Command1_Click();
        QCOMPARE(h.sound->played, QStringList{folder.recording(0, 2)});
        QCOMPARE(QApplication::focusWidget(), command1);
        QVERIFY(h.messages->shown.isEmpty());
        h.form->close();
    }

    void listenAfterSwitchingType()
    {
        ProgramFolder folder;
        addRange(folder, 0, 1, 4);
        addRange(folder, 1, 1, 2);
        Harness h(folder.path());
        for (int i = 0; i < 3; ++i)
            h.form->Command3_Click(0);
        h.form->Command4_Click(1);
        h.form->Command3_Click(0);
        QCOMPARE(h.text1()->text(), QStringLiteral("2"));
        h.forget();
        h.form->Command1_Click();
        QCOMPARE(h.sound->played,
                 QStringList{folder.path() + QStringLiteral("/Frase corta/2.wav")});
        // Listening loads nothing.
        QCOMPARE(h.form->expectedText(), exerciseText(1, 2));
        QVERIFY(h.messages->shown.isEmpty());
    }

    void largestNumber()
    {
        // Every prefix of 32767 is an exercise, so typing it needs no search.
        ProgramFolder folder;
        addRange(folder, 0, 1, 1);
        for (int n : {3, 32, 327, 3276, 32767})
            folder.addExercise(0, n, exerciseBytes(0, n));
        Harness h(folder.path());
        h.text1()->selectAll();
        typeText(h.text1(), QStringLiteral("32767"));
        QCOMPARE(h.text1()->text(), QStringLiteral("32767"));
        QCOMPARE(h.number(), 32767);
        QCOMPARE(h.form->expectedText(), exerciseText(0, 32767));
        QVERIFY(h.messages->shown.isEmpty());
        h.forget();

        // A sixth digit would pass 32767: refused wherever it goes.
        for (QChar digit : {u'0', u'8', u'9'}) {
            h.text1()->end(false);
            typeKey(h.text1(), digit);
            QCOMPARE(h.text1()->text(), QStringLiteral("32767"));
        }
        h.text1()->home(false);
        typeKey(h.text1(), u'1');
        QCOMPARE(h.text1()->text(), QStringLiteral("32767"));
        QCOMPARE(h.number(), 32767);
        QVERIFY(h.sound->played.isEmpty());
        QVERIFY(h.messages->shown.isEmpty());

        // Replacing the 6 with a 9 would make 32797: refused as well.
        h.text1()->setSelection(3, 1);
        typeKey(h.text1(), u'9');
        QCOMPARE(h.text1()->text(), QStringLiteral("32767"));
        // And so would 32768, one past the limit.
        h.text1()->setSelection(4, 1);
        typeKey(h.text1(), u'8');
        QCOMPARE(h.text1()->text(), QStringLiteral("32767"));
        QVERIFY(h.sound->played.isEmpty());

        // The next-exercise button does not step past 32767; it reloads it.
        h.form->Command3_Click(0);
        QCOMPARE(h.text1()->text(), QStringLiteral("32767"));
        QCOMPARE(h.number(), 32767);
        QVERIFY(h.messages->shown.isEmpty());
        QCOMPARE(h.sound->played, QStringList{folder.recording(0, 32767)});
        QCOMPARE(h.form->expectedText(), exerciseText(0, 32767));

        // A pasted number past the limit is refused too.
        QGuiApplication::clipboard()->setText(QStringLiteral("99999"));
        h.text1()->selectAll();
        h.text1()->paste();
        QCOMPARE(h.text1()->text(), QStringLiteral("32767"));
    }

    void pastedText_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("loads");
        QTest::newRow("12abc") << QStringLiteral("12abc") << 12 << true;
        QTest::newRow("3 y 4") << QStringLiteral("3 y 4") << 3 << true;
        QTest::newRow("abc") << QStringLiteral("abc") << 0 << false;
        QTest::newRow("empty text") << QString() << 0 << false;
        QTest::newRow("-5") << QStringLiteral("-5") << -5 << false;
        QTest::newRow("7") << QStringLiteral("7") << 7 << true;
        QTest::newRow("the number shown (no change)") << QStringLiteral("1") << 1 << false;
    }

    // Pasting the number already shown over it changes nothing: the attempt
    // under way goes on and the recording does not restart.
    void pastingTheSameNumberKeepsTheAttempt()
    {
        ProgramFolder folder;
        addRange(folder, 0, 1, 3);
        Harness h(folder.path());
        startAndType(h, 2);
        h.forget();
        QGuiApplication::clipboard()->setText(QStringLiteral("1"));
        h.text1()->selectAll();
        h.text1()->paste();
        QVERIFY(h.sound->played.isEmpty());
        QVERIFY(typingBox(h)->isEnabled());
        QCOMPARE(typingBox(h)->text(), exerciseText(0, 1).left(2));
        QCOMPARE(h.form->textPos(), 3);
    }

    // Keys without a character of their own keep their editing effect in the
    // number box, sent with the text X11 gives them.
    void editingKeysWithX11Texts()
    {
        ProgramFolder folder;
        addRange(folder, 0, 1, 30);
        Harness h(folder.path());
        QLineEdit *box = h.text1();
        h.form->Command3_Click(0); // "2"
        box->end(false);
        typeKey(box, u'1'); // "21"
        QCOMPARE(box->text(), QStringLiteral("21"));

        box->home(false);
        pressKey(box, Qt::Key_Delete); // "\x7f"
        QCOMPARE(box->text(), QStringLiteral("1"));
        QCOMPARE(h.number(), 1);

        pressKey(box, Qt::Key_A, Qt::ControlModifier); // "\x01": select all
        QCOMPARE(box->selectedText(), QStringLiteral("1"));
        pressKey(box, Qt::Key_C, Qt::ControlModifier); // "\x03": copy
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1"));
        typeKey(box, u'5');
        QCOMPARE(box->text(), QStringLiteral("5"));
        pressKey(box, Qt::Key_Z, Qt::ControlModifier); // "\x1a": undo
        QCOMPARE(box->text(), QStringLiteral("1"));
        box->end(false);
        pressKey(box, Qt::Key_V, Qt::ControlModifier); // "\x16": paste
        QCOMPARE(box->text(), QStringLiteral("11"));
        QCOMPARE(h.form->expectedText(), exerciseText(0, 11));
        // Control characters are never typed into the box.
        QVERIFY(!box->text().contains(QRegularExpression(QStringLiteral("[^0-9]"))));
    }

    // Entering the number box with the mouse or with Tab selects its number,
    // so typing "18" gives 18.
    // Tab selects the number once the box's focus has been reported, at the
    // next event loop turn; digits typed before that still replace it.
    void enteringTheNumberBoxSelectsIt_data()
    {
        QTest::addColumn<bool>("mouse");
        QTest::addColumn<bool>("typedAtOnce");
        QTest::newRow("mouse") << true << false;
        QTest::newRow("Tab") << false << false;
        QTest::newRow("Tab, typed at once") << false << true;
    }

    void enteringTheNumberBoxSelectsIt()
    {
        QFETCH(bool, mouse);
        QFETCH(bool, typedAtOnce);
        ProgramFolder folder;
        addRange(folder, 0, 1, 20);
        Harness h(folder.path());
        h.form->show();
        QVERIFY(QTest::qWaitForWindowActive(h.form));
        QLineEdit *box = h.text1();
        h.child<QPushButton>(QStringLiteral("Command1"))->setFocus();
        h.forget();
        if (mouse) {
            QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier,
                              QPoint(box->width() - 4, box->height() / 2));
        } else {
            box->setFocus(Qt::TabFocusReason);
        }
        QVERIFY(box->hasFocus());
        if (!typedAtOnce)
            QTRY_COMPARE(box->selectedText(), QStringLiteral("1"));
        typeKey(box, u'1');
        typeKey(box, u'8');
        QCOMPARE(box->text(), QStringLiteral("18"));
        QCOMPARE(h.number(), 18);
        QVERIFY(h.messages->shown.isEmpty());
        // Once inside, a click places the caret as usual.
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(4, box->height() / 2));
        QVERIFY(box->selectedText().isEmpty());
    }

    void numberBoxEntry_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("hasSelection");
        QTest::addColumn<int>("entry");
        const int after = int(letro::NumberBoxEntry::SelectAfterFocusReport);
        const int keep = int(letro::NumberBoxEntry::KeepCaret);
        const int release = int(letro::NumberBoxEntry::SelectOnRelease);
        QTest::newRow("Tab") << int(Qt::TabFocusReason) << false << after;
        QTest::newRow("Shift+Tab") << int(Qt::BacktabFocusReason) << false << after;
        QTest::newRow("shortcut") << int(Qt::ShortcutFocusReason) << false << after;
        QTest::newRow("Tab, already selected") << int(Qt::TabFocusReason) << true << keep;
        QTest::newRow("click") << int(Qt::MouseFocusReason) << false << release;
        QTest::newRow("click, already selected") << int(Qt::MouseFocusReason) << true << release;
        QTest::newRow("window activated") << int(Qt::ActiveWindowFocusReason) << false << keep;
        QTest::newRow("popup closed") << int(Qt::PopupFocusReason) << false << keep;
        QTest::newRow("by the program") << int(Qt::OtherFocusReason) << false << keep;
    }

    void numberBoxEntry()
    {
        QFETCH(int, reason);
        QFETCH(bool, hasSelection);
        QFETCH(int, entry);
        QCOMPARE(int(letro::numberBoxEntry(Qt::FocusReason(reason), hasSelection)), entry);
    }

    // A selection still due is made before what acts on the box or shows
    // it, never before the focus is reported (the focus itself and the input
    // method's questions come first).
    void comesAfterFocusReport_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("after");
        QTest::newRow("key") << int(QEvent::KeyPress) << true;
        QTest::newRow("shortcut key") << int(QEvent::ShortcutOverride) << true;
        QTest::newRow("input method text") << int(QEvent::InputMethod) << true;
        QTest::newRow("click") << int(QEvent::MouseButtonPress) << true;
        QTest::newRow("double click") << int(QEvent::MouseButtonDblClick) << true;
        QTest::newRow("paint") << int(QEvent::Paint) << true;
        QTest::newRow("focus out") << int(QEvent::FocusOut) << true;
        QTest::newRow("focus in") << int(QEvent::FocusIn) << false;
        QTest::newRow("input method query") << int(QEvent::InputMethodQuery) << false;
        QTest::newRow("key release") << int(QEvent::KeyRelease) << false;
    }

    void comesAfterFocusReport()
    {
        QFETCH(int, type);
        QFETCH(bool, after);
        QCOMPARE(letro::comesAfterFocusReport(QEvent::Type(type)), after);
    }

    void pastedText()
    {
        QFETCH(QString, pasted);
        QFETCH(int, number);
        QFETCH(bool, loads);
        ProgramFolder folder;
        addRange(folder, 0, 1, 12);
        Harness h(folder.path());
        h.forget();

        // The box's context menu pastes with QLineEdit::paste().
        QGuiApplication::clipboard()->setText(pasted);
        h.text1()->selectAll();
        h.text1()->paste();
        QCOMPARE(h.text1()->text(), pasted);
        QCOMPARE(h.number(), number);
        QVERIFY(h.messages->shown.isEmpty());
        if (loads) {
            QCOMPARE(h.form->expectedText(), exerciseText(0, number));
            QCOMPARE(h.sound->played, QStringList{folder.recording(0, number)});
        } else {
            QCOMPARE(h.form->expectedText(), exerciseText(0, 1));
            QVERIFY(h.sound->played.isEmpty());
        }
    }
};

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"

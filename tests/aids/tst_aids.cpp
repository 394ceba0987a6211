// The aids beside the main window: the accent pad types exactly as the
// keyboard does and only while the typing box is open, never taking the
// focus; F5 and Shift+F5 replay (slowly) as the loudspeaker does; the hints
// show in their situations only, once per attempt, up until read or moot; F1
// shows the help page with every message and picture.
#include "testsupport.h"

#include "app/helpwindow.h"
#include "checker/classify.h"
#include "exercise/aids.h"
#include "ui/accentpad.h"
#include "ui/richtextbox.h"

#include <QApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QToolTip>

using namespace letro;
using namespace letro::test;

namespace {

// An exercise file in UTF-8, which the program reads as well as Windows-1252.
QByteArray exerciseBytes(const QString &text)
{
    return text.toUtf8() + "\r\n";
}

// A main window on its own program folder, shown and active.
struct Fixture
{
    explicit Fixture(const QString &text)
    {
        folder.addExercise(0, 1, exerciseBytes(text));
        folder.addExercise(0, 2, exerciseBytes(QStringLiteral("dos")));
        folder.addExercise(1, 1, exerciseBytes(QStringLiteral("uno")));
        h = std::make_unique<Harness>(folder.path());
        h->form->show();
        h->form->activateWindow();
    }
    bool active() const { return QTest::qWaitForWindowActive(h->form); }
    template <typename T = QWidget> T *child(const char *name) const
    {
        return h->child<T>(QLatin1String(name));
    }
    RichTextBox *typing() const { return child<RichTextBox>("RichTextBox1"); }
    Aids *aids() const { return h->form->findChild<Aids *>(); }
    AccentPad *pad() const
    {
        if (!aids()->accentPad())
            aids()->toggleAccentPad();
        return aids()->accentPad();
    }
    QPushButton *padKey(QChar c) const { return pad()->findChild<QPushButton *>(QString(c)); }
    void start() const { child<QPushButton>("Command5")->click(); }
    // The box's own selection and the caret on screen, in the text edit that
    // shows the content (the box itself, or one it holds).
    QList<int> caret() const
    {
        auto *view = qobject_cast<QTextEdit *>(typing());
        if (!view)
            view = typing()->findChild<QTextEdit *>();
        return {typing()->selStart(), typing()->selLength(), view->textCursor().position()};
    }

    // Everything the pupil sees of the attempt, and the state behind it.
    QStringList seen() const
    {
        QStringList out;
        for (const char *name : {"RichTextBox1", "RichTextBox2"}) {
            const auto *box = child<RichTextBox>(name);
            QString colours;
            for (int i = 0; i < box->length(); ++i)
                colours += QString::number(box->colorAt(i), 16) + (box->acceptedAt(i) ? "+ " : " ");
            out << box->text() << colours;
        }
        out << child<QLabel>("Label1")->text() << child<QPushButton>("Command8(0)")->text()
            << child<QPushButton>("Command8(1)")->text()
            << child<QPushButton>("Command9(0)")->text()
            << child<QPushButton>("Command9(1)")->text() << h->messages->shown.join(u'|')
            << QString::number(h->sound->alerts) << QString::number(typing()->isEnabled());
        out << QString::number(h->form->textPos()) << QString::number(h->form->recordPos())
            << QString::number(h->form->recordStart())
            << QString::number(h->form->mistakePending());
        return out;
    }

    ProgramFolder folder;
    std::unique_ptr<Harness> h;
};

// A character as a keyboard gives it: a capital with Shift held; an accented
// vowel as the commit of a dead key and the vowel, the others (ñ, ¿, ¡) from
// keys of their own.
void keyboard(QWidget *box, QChar c)
{
    static const QString deadKeyVowels = QStringLiteral("áéíóúüÁÉÍÓÚÜ");
    if (deadKeyVowels.contains(c)) {
        commitText(box, QString(c));
        return;
    }
    const Qt::KeyboardModifiers shift = c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key(c.toUpper().unicode()), QString(c), shift);
}

// A character as the keyboard's accent keys type it on a US layout: Ctrl+'
// (Ctrl+Shift+' for ü, Ctrl+Shift+` for ñ) and the plain letter, or Ctrl+Shift+/
// and Ctrl+Shift+1 for ¿ and ¡. Any other character as the keyboard gives it.
void accentKeys(QWidget *box, QChar c)
{
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, ctrlShift = ctrl | Qt::ShiftModifier;
    const auto send = [box](Qt::Key key, Qt::KeyboardModifiers modifiers, const char *text) {
        QTest::sendKeyEvent(QTest::Click, box, key, QString::fromLatin1(text), modifiers);
    };
    if (c == u'¿')
        return send(Qt::Key_Question, ctrlShift, "?");
    if (c == u'¡')
        return send(Qt::Key_Exclam, ctrlShift, "!");
    if (!AccentPad::characters().contains(c))
        return keyboard(box, c);
    if (c.toLower() == u'ü')
        send(Qt::Key_QuoteDbl, ctrlShift, "\"");
    else if (c.toLower() == u'ñ')
        send(Qt::Key_AsciiTilde, ctrlShift, "~");
    else
        send(Qt::Key_Apostrophe, ctrl, "'");
    keyboard(box, QString(c).normalized(QString::NormalizationForm_D).at(0));
}

// The texts of the key presses that reach a widget.
class KeyRecorder : public QObject
{
public:
    explicit KeyRecorder(QWidget *target) { target->installEventFilter(this); }
    QString typed;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
            typed += static_cast<QKeyEvent *>(event)->text();
        return false;
    }
};

QWidget *balloon()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->inherits("QTipLabel") && w->isVisible())
            return w;
    }
    return nullptr;
}

QString balloonText()
{
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

} // namespace

class TestAids : public QObject
{
    Q_OBJECT

private slots:
    void init() { QToolTip::hideText(); }

    // The pad.
    void padTypesAsTheKeyboard_data();
    void padTypesAsTheKeyboard();
    void padDoesNothingWhileTheBoxIsShut_data();
    void padDoesNothingWhileTheBoxIsShut();
    void padNeverTakesTheFocusAndStaysBeside();
    void padGapsTypeTheNearestLetter_data();
    void padGapsTypeTheNearestLetter();

    // The replay keys.
    void replayKeys_data();
    void replayKeys();

    // The keys of the buttons.
    void buttonKeys_data();
    void buttonKeys();

    // The hints.
    void hints_data();
    void hints();
    void hintsOncePerAttemptGoneAtTheNextKey();
    void hintsStayUntilReadOrMoot_data();
    void hintsStayUntilReadOrMoot();

    // Help.
    void hintsNameTheirKeys_data();
    void hintsNameTheirKeys();
    void helpPage();
    void helpLeavesTheTypingBoxInView();
};

void TestAids::padTypesAsTheKeyboard_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byAccentKeys"); // the keyboard's accent keys instead of the pad
    const QString small = QStringLiteral("¡Sí! ¿Qué pingüino ñoño salió más rápido, tú?");
    const QString capitals = QStringLiteral("ÁNGEL, ÉL, ÍÑIGO, ÓSCAR, ÚRSULA, PINGÜINO.");
    for (const bool keys : {false, true}) {
        const auto row = [keys](const char *name) {
            return &QTest::newRow(
                qPrintable(QLatin1String(name) + QLatin1String(keys ? ", accent keys" : ", pad")));
        };
        *row("every small letter and both marks") << small << small << keys;
        *row("every capital") << capitals << capitals << keys;
        // A plain vowel from the keyboard, then accented keys wrong where a
        // small letter or another letter is due.
        *row("wrong keys") << QStringLiteral("más niño") << QStringLiteral("maÁás nñiño") << keys;
        *row("the accented key finishes")
            << QStringLiteral("mamá") << QStringLiteral("mamaá") << keys;
    }
}

void TestAids::padTypesAsTheKeyboard()
{
    QFETCH(QString, text);
    QFETCH(QString, typed);
    QFETCH(bool, byAccentKeys);
    Fixture byKeyboard(text), byPad(text);
    byKeyboard.start();
    byPad.start();
    QCOMPARE(byPad.seen(), byKeyboard.seen());
    for (QChar c : typed) {
        keyboard(byKeyboard.typing(), c);
        if (byAccentKeys) {
            accentKeys(byPad.typing(), c);
        } else if (AccentPad::characters().contains(c)) {
            QPushButton *key = byPad.padKey(c);
            QVERIFY(key && key->isEnabled());
            key->click();
        } else {
            keyboard(byPad.typing(), c);
        }
        QVERIFY2(byPad.seen() == byKeyboard.seen(),
                 qPrintable(QStringLiteral("after %1:\n%2\n%3")
                                .arg(c, byPad.seen().join(u'\n'), byKeyboard.seen().join(u'\n'))));
    }
    QCOMPARE(byPad.h->messages->shown, QStringList{QStringLiteral("Fin del ejercicio")});
}

void TestAids::padDoesNothingWhileTheBoxIsShut_data()
{
    QTest::addColumn<bool>("finish");
    QTest::newRow("after choosing an exercise") << false;
    QTest::newRow("after a finish") << true;
}

void TestAids::padDoesNothingWhileTheBoxIsShut()
{
    QFETCH(bool, finish);
    Fixture f(QStringLiteral("á"));
    f.start();
    if (finish)
        f.padKey(u'á')->click();
    else
        f.h->form->Command4_Click(0);
    QVERIFY(!f.typing()->isEnabled());
    const QStringList before = f.seen();
    for (QChar c : AccentPad::characters()) {
        QVERIFY(!f.padKey(c)->isEnabled());
        f.padKey(c)->click();
        f.pad()->type(c);
    }
    QCOMPARE(f.seen(), before);
    // Open again with the next attempt.
    f.start();
    QVERIFY(f.padKey(u'á')->isEnabled());
}

void TestAids::padNeverTakesTheFocusAndStaysBeside()
{
    Fixture f(QStringLiteral("¿Sí?"));
    QVERIFY(f.active());
    f.start();
    QCOMPARE(QApplication::focusWidget(), f.typing());

    QTest::keyClick(f.typing(), Qt::Key_F2);
    AccentPad *pad = f.aids()->accentPad();
    QVERIFY(pad && pad->isVisible());
    QVERIFY(pad->windowFlags().testFlags(Qt::Tool | Qt::WindowDoesNotAcceptFocus));
    QVERIFY(pad->testAttribute(Qt::WA_ShowWithoutActivating));
    QCOMPARE(pad->findChildren<QPushButton *>().size(), AccentPad::characters().size());
    for (QPushButton *key : pad->findChildren<QPushButton *>())
        QCOMPARE(key->focusPolicy(), Qt::NoFocus);

    QTest::mouseClick(f.padKey(u'¿'), Qt::LeftButton);
    QTest::mouseClick(f.padKey(u'Í'), Qt::LeftButton);
    QCOMPARE(f.typing()->text(), QStringLiteral("¿Í"));
    QCOMPARE(QApplication::focusWidget(), f.typing());
    QCOMPARE(QApplication::activeWindow(), f.h->form);

    // To the right of the main window, tops aligned, and moved with it; to
    // its left when the screen has no room on the right.
    QWidget *form = f.h->form;
    const auto besideOnThe = [&](bool right) {
        const QRect main = form->frameGeometry();
        const int left = right ? main.right() + 9 : main.left() - 8 - pad->frameGeometry().width();
        return pad->frameGeometry().topLeft() == QPoint(left, main.top());
    };
    QTRY_VERIFY(besideOnThe(pad->x() > form->x()));
    form->move(10, 40);
    QTRY_VERIFY(besideOnThe(true));
    const QRect screen = form->screen()->availableGeometry();
    form->move(screen.right() - form->frameGeometry().width(), 40);
    QTRY_VERIFY(besideOnThe(false));

    QTest::keyClick(f.typing(), Qt::Key_F2);
    QVERIFY(!pad->isVisible());
}

void TestAids::padGapsTypeTheNearestLetter_data()
{
    // A click at an offset from the top-left corner of a button 48 x 36,
    // beside which the gaps are 3 pixels and the pad's margin 6: the letter
    // it types, if any.
    QTest::addColumn<QString>("button");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QString>("typed");
    QTest::newRow("gap to the right, its nearer pixel") << "á" << QPoint(48, 18) << "á";
    QTest::newRow("gap to the right, its middle: the left one") << "á" << QPoint(49, 18) << "á";
    QTest::newRow("gap to the right, its farther pixel") << "á" << QPoint(50, 18) << "Á";
    QTest::newRow("gap between pairs") << "Á" << QPoint(50, 0) << "é";
    QTest::newRow("gap below, its nearer pixel") << "á" << QPoint(0, 36) << "á";
    QTest::newRow("gap below, its farther pixel") << "á" << QPoint(47, 38) << "í";
    QTest::newRow("where four gaps meet: the first") << "á" << QPoint(49, 37) << "á";
    QTest::newRow("as near two buttons: the first") << "É" << QPoint(49, 37) << "É";
    QTest::newRow("the margin beside a button") << "á" << QPoint(-3, 35) << "á";
    QTest::newRow("the margin above a button") << "é" << QPoint(10, -3) << "é";
    QTest::newRow("the margin's outer part") << "á" << QPoint(-4, 18) << "";
    QTest::newRow("the last button's margin") << "¡" << QPoint(49, 37) << "¡";
    QTest::newRow("the margin's corner, too far") << "¡" << QPoint(50, 38) << "";
}

void TestAids::padGapsTypeTheNearestLetter()
{
    QFETCH(QString, button);
    QFETCH(QPoint, offset);
    QFETCH(QString, typed);
    Fixture f(QStringLiteral("¿Sí?"));
    f.start();
    AccentPad *pad = f.pad();
    pad->show();
    // The gaps are there to be seen.
    QCOMPARE(f.padKey(u'Á')->x() - f.padKey(u'á')->geometry().right() - 1,
             AccentPad::ButtonSpacing);
    QCOMPARE(f.padKey(u'í')->y() - f.padKey(u'á')->geometry().bottom() - 1,
             AccentPad::ButtonSpacing);
    QCOMPARE(f.padKey(u'á')->size(), QSize(48, 36));

    KeyRecorder keys(f.typing());
    const QPoint at = f.padKey(button.at(0))->pos() + offset;
    QVERIFY(pad->rect().contains(at));
    QCOMPARE(pad->childAt(at), nullptr); // on the pad itself, not on a button
    QTest::mouseClick(pad, Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(keys.typed, typed);
    for (QPushButton *key : pad->findChildren<QPushButton *>())
        QVERIFY(!key->isDown());

    // Pressed in a cell and released in another: nothing, as on a button.
    QTest::mousePress(pad, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(pad, Qt::LeftButton, Qt::NoModifier,
                        f.padKey(u'ñ')->geometry().bottomRight() + QPoint(1, 1));
    QCOMPARE(keys.typed, typed);
}

void TestAids::replayKeys_data()
{
    QTest::addColumn<bool>("shift");
    QTest::addColumn<bool>("slowRecording");
    QTest::addColumn<bool>("underWay");
    QTest::addColumn<QString>("played");
    QTest::newRow("F5 while typing") << false << true << true << "1.wav";
    QTest::newRow("F5 with the box shut") << false << true << false << "1.wav";
    QTest::newRow("Shift+F5 while typing") << true << true << true << "1.lento.wav";
    QTest::newRow("Shift+F5 with the box shut") << true << true << false << "1.lento.wav";
    QTest::newRow("Shift+F5, no slow recording") << true << false << true << "1.wav";
}

void TestAids::replayKeys()
{
    QFETCH(bool, shift);
    QFETCH(bool, slowRecording);
    QFETCH(bool, underWay);
    QFETCH(QString, played);
    Fixture f(QStringLiteral("casa"));
    // The current exercise: "Frase corta" 1.
    if (slowRecording)
        ProgramFolder::writeWave(f.folder.typeFolder(1) + QStringLiteral("/1.lento.wav"));
    f.h->form->Command4_Click(1);
    QVERIFY(f.active());
    if (underWay) {
        f.start();
        typeText(f.typing(), QStringLiteral("ux"));
    }
    // The focus elsewhere in the window.
    auto *other = f.child<QPushButton>("Command2");
    other->setFocus();
    const QList<int> caret = f.caret();
    const QStringList before = f.seen();
    f.h->forget();

    QTest::keyClick(other, Qt::Key_F5, shift ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(f.h->sound->played, QStringList{f.folder.typeFolder(1) + u'/' + played});
    QCOMPARE(QApplication::focusWidget(), underWay ? static_cast<QWidget *>(f.typing()) : other);
    QCOMPARE(f.caret(), caret);
    QCOMPARE(f.seen(), before);
    // The key is named where the pupil looks for it.
    QVERIFY(f.child("Command1")->toolTip().contains(QStringLiteral("F5")));
}

void TestAids::buttonKeys_data()
{
    QTest::addColumn<bool>("typing");   // an attempt under way, the focus in its box
    QTest::addColumn<QString>("focus"); // else the control with the focus
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("boxOpen");
    const auto row = [](const char *name, bool typing, const char *focus, const char *keys,
                        int type, int number, bool boxOpen) {
        QTest::newRow(name) << typing << QString::fromLatin1(focus) << QString::fromLatin1(keys)
                            << type << number << boxOpen;
    };
    row("Ctrl+Return from the loudspeaker", false, "Command1", "Ctrl+Return", 0, 1, true);
    row("Ctrl+Return from the number box", false, "Text1", "Ctrl+Return", 0, 1, true);
    row("Ctrl+Return while typing starts again", true, "", "Ctrl+Return", 0, 1, true);
    row("Alt+Right from the loudspeaker", false, "Command1", "Alt+Right", 0, 2, false);
    row("Alt+Right while typing", true, "", "Alt+Right", 0, 2, false);
    row("Alt+Right in the number box", false, "Text1", "Alt+Right", 0, 2, false);
    row("Alt+Right then Alt+Left", false, "Command1", "Alt+Right, Alt+Left", 0, 1, false);
    row("Alt+2 while typing", true, "", "Alt+2", 1, 1, false);
    row("Alt+2 in the number box", false, "Text1", "Alt+2", 1, 1, false);
    row("Alt+2 then Alt+1", false, "Command1", "Alt+2, Alt+1", 0, 1, false);
    // Return presses the focused button as Space does.
    row("Return on the pen", false, "Command5", "Return", 0, 1, true);
    row("Enter on the pen", false, "Command5", "Enter", 0, 1, true);
    row("Return on the next button", false, "Command3(0)", "Return", 0, 2, false);
    row("Return on a type button", false, "Command4(1)", "Return", 1, 1, false);
    row("Space on a type button", false, "Command4(1)", "Space", 1, 1, false);
}

// Keys for the pen, the next and previous exercise and the types work from
// anywhere in the window and never type into the boxes; Return presses the
// focused button.
void TestAids::buttonKeys()
{
    QFETCH(bool, typing);
    QFETCH(QString, focus);
    QFETCH(QString, keys);
    QFETCH(int, type);
    QFETCH(int, number);
    QFETCH(bool, boxOpen);
    Fixture f(QStringLiteral("casa"));
    QVERIFY(f.active());
    f.h->form->Command4_Click(0);
    if (typing)
        f.start();
    QWidget *to = typing ? f.typing() : f.child(focus.toLatin1().constData());
    to->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), to);
    const QString number1 = f.child<QLineEdit>("Text1")->text();
    if (typing)
        typeText(f.typing(), QStringLiteral("ca"));

    QTest::keySequence(to, QKeySequence(keys));
    QCOMPARE(f.h->form->exerciseType(), type);
    QCOMPARE(f.h->form->exerciseNumbers().at(type), number);
    QCOMPARE(f.typing()->isEnabled(), boxOpen);
    // No key typed anything: a fresh attempt or a shut, empty box.
    if (boxOpen || typing)
        QCOMPARE(f.typing()->text(), QString());
    QVERIFY(f.h->messages->shown.isEmpty());
    if (focus == QLatin1String("Text1") && type == 0 && number == 1)
        QCOMPARE(f.child<QLineEdit>("Text1")->text(), number1);
    // The key is named where the pupil looks for it.
    for (const Aids::ButtonKey &button : Aids::buttonKeys()) {
        for (const QKeySequence &sequence : button.keys)
            QVERIFY(
                f.child(button.name)
                    ->toolTip()
                    .contains(sequence.toString()
                                  .replace(QLatin1String("Return"), QLatin1String("Intro"))
                                  .replace(QLatin1String("Right"), QLatin1String("Flecha derecha"))
                                  .replace(QLatin1String("Left"), QLatin1String("Flecha izquierda"))
                                  .replace(QLatin1String("Enter"), QLatin1String("Intro"))));
    }
}

// Where the pupil is when the key comes.
constexpr int StartUp = 0, Chosen = 1, Finished = 2, Typing = 3;

void TestAids::hints_data()
{
    QTest::addColumn<int>("situation");
    QTest::addColumn<QString>("receiver"); // empty: the focus widget
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("at");
    const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    const QString pen = Aids::penHint(), box = Aids::typingBoxHint(), caps = Aids::capsLockHint();
    const auto row = [](const char *name, int situation, const char *receiver, const char *key,
                        int modifiers, const QString &hint, const char *at) {
        QTest::newRow(name) << situation << QString::fromUtf8(receiver) << QString::fromUtf8(key)
                            << modifiers << hint << QString::fromUtf8(at);
    };
    const char *Box = "RichTextBox1";
    row("start-up: a letter at the loudspeaker", StartUp, "", "c", none, box, Box);
    row("start-up: a letter in the number box", StartUp, "Text1", "c", none, box, Box);
    row("start-up: a digit in the number box", StartUp, "Text1", "2", none, {}, "");
    row("start-up: F5", StartUp, "", "F5", none, {}, "");
    row("chosen: a letter", Chosen, "", "c", none, pen, "Command5");
    row("chosen: Ctrl+C", Chosen, "", "c", ctrl, {}, "");
    row("finished: a letter", Finished, "", "c", none, pen, "Command5");
    row("typing: small", Typing, "", "c", none, {}, "");
    row("typing: capital with Shift", Typing, "", "C", shift, {}, "");
    row("typing: capital without Shift", Typing, "", "C", none, caps, Box);
    row("typing: small with Shift", Typing, "", "c", shift, caps, Box);
    row("typing: Ñ without Shift", Typing, "", "Ñ", none, caps, Box);
    row("typing: ¿ without Shift", Typing, "", "¿", none, {}, "");
    row("typing: accent commit as a capital", Typing, "", "commit:Á", none, caps, Box);
    row("typing: the pad's capital", Typing, "", "pad:Á", none, {}, "");
    // Space and Return press the focused button; they are not stray keys.
    row("chosen: Space on the loudspeaker", Chosen, "Command1", " ", none, {}, "");
    row("chosen: Return on the loudspeaker", Chosen, "Command1", "Return", none, {}, "");
    row("start-up: Space on a type button", StartUp, "Command4(1)", " ", none, {}, "");
}

void TestAids::hints()
{
    QFETCH(int, situation);
    QFETCH(QString, receiver);
    QFETCH(QString, key);
    QFETCH(int, modifiers);
    QFETCH(QString, hint);
    QFETCH(QString, at);
    Fixture f(QStringLiteral("ca"));
    QVERIFY(f.active());
    if (situation == Chosen)
        f.h->form->Command4_Click(0);
    if (situation == Finished || situation == Typing)
        f.start();
    if (situation == Finished)
        typeText(f.typing(), QStringLiteral("ca"));
    QCOMPARE(f.typing()->isEnabled(), situation == StartUp || situation == Typing);
    QWidget *to =
        receiver.isEmpty() ? QApplication::focusWidget() : f.child(receiver.toLatin1().constData());
    QVERIFY(to);
    if (situation == StartUp)
        QCOMPARE(to->objectName(), receiver.isEmpty() ? QStringLiteral("Command1") : receiver);
    const QString label1 = f.child<QLabel>("Label1")->text();

    if (key == QLatin1String("F5"))
        QTest::keyClick(to, Qt::Key_F5);
    else if (key == QLatin1String("Return"))
        QTest::keyClick(to, Qt::Key_Return);
    else if (key.startsWith(QLatin1String("commit:")))
        commitText(to, key.mid(7));
    else if (key.startsWith(QLatin1String("pad:")))
        f.pad()->type(key.at(4));
    else
        QTest::sendKeyEvent(QTest::Click, to, Qt::Key(key.at(0).toUpper().unicode()), key,
                            Qt::KeyboardModifiers(modifiers));

    QCOMPARE(balloonText(), hint);
    if (!hint.isEmpty()) {
        // Near the control it points at.
        const QWidget *control = f.child(at.toLatin1().constData());
        const QRect area(control->mapToGlobal(QPoint(0, 0)), control->size());
        QVERIFY(area.adjusted(-4, -4, 4, 32).contains(balloon()->pos()));
    }
    // The key itself is judged as ever: a capital typed for "c" is a capital-letter mistake.
    if (hint == Aids::capsLockHint() && key == QLatin1String("C"))
        QCOMPARE(f.child<QLabel>("Label1")->text(), mistakeMessage(Mistake::CapitalLetter));
    else if (situation != Typing)
        QCOMPARE(f.child<QLabel>("Label1")->text(), label1);
}

void TestAids::hintsOncePerAttemptGoneAtTheNextKey()
{
    Fixture f(QStringLiteral("casa"));
    QVERIFY(f.active());
    f.start();
    const auto type = [&](QChar c, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::sendKeyEvent(QTest::Click, f.typing(), Qt::Key(c.toUpper().unicode()), QString(c),
                            modifiers);
    };
    type(u'C');
    QCOMPARE(balloonText(), Aids::capsLockHint());
    // Shift alone is not the next key; the next key is.
    QTest::keyClick(f.typing(), Qt::Key_Shift);
    QCOMPARE(balloonText(), Aids::capsLockHint());
    type(u'c');
    QTRY_COMPARE(balloonText(), QString());
    // Once in this attempt only.
    type(u'A');
    QCOMPARE(balloonText(), QString());
    // Again in the next attempt.
    f.start();
    type(u'C');
    QCOMPARE(balloonText(), Aids::capsLockHint());

    // The pen's hint: once while the box is shut, up while the box stays
    // shut until it has been read.
    f.h->form->Command4_Click(0);
    type(u'x');
    QCOMPARE(balloonText(), Aids::penHint());
    type(u'y');
    QCOMPARE(balloonText(), Aids::penHint());
    f.aids()->hintTimeUp();
    QTRY_COMPARE(balloonText(), QString());
    type(u'z');
    QCOMPARE(balloonText(), QString());
}

// A hint stays up through the keys that follow (a child types "La" before
// pressing the pen) until its time is up or the situation it names is gone.
void TestAids::hintsStayUntilReadOrMoot_data()
{
    QTest::addColumn<int>("situation");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("end");
    const QString pen = Aids::penHint(), box = Aids::typingBoxHint(), caps = Aids::capsLockHint();
    QTest::newRow("pen: read") << Chosen << pen << "time";
    QTest::newRow("pen: the pen pressed") << Chosen << pen << "pen";
    QTest::newRow("box: read") << StartUp << box << "time";
    QTest::newRow("box: the box focused") << StartUp << box << "focus";
    QTest::newRow("Caps Lock: read") << Typing << caps << "time";
    QTest::newRow("Caps Lock: a small letter") << Typing << caps << "small";
    QTest::newRow("Caps Lock: a capital with Shift") << Typing << caps << "shifted";
    QTest::newRow("Caps Lock: the Caps Lock key") << Typing << caps << "capslock";
}

void TestAids::hintsStayUntilReadOrMoot()
{
    QFETCH(int, situation);
    QFETCH(QString, hint);
    QFETCH(QString, end);
    Fixture f(QStringLiteral("casa"));
    QVERIFY(f.active());
    if (situation == Chosen)
        f.h->form->Command4_Click(0);
    if (situation == Typing)
        f.start();
    QWidget *to = QApplication::focusWidget();
    QVERIFY(to);
    QCOMPARE(to == f.typing(), situation == Typing);
    auto *timer = f.aids()->findChild<QTimer *>(QStringLiteral("HintTimer"));
    QVERIFY(timer);
    QVERIFY(!timer->isActive());
    const auto key = [](QWidget *w, QChar c, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key(c.toUpper().unicode()), QString(c), modifiers);
    };
    key(to, u'L');
    QCOMPARE(balloonText(), hint);
    key(to, u'A');
    QCOMPARE(balloonText(), hint);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 4000);

    if (end == QLatin1String("time"))
        f.aids()->hintTimeUp();
    else if (end == QLatin1String("pen"))
        f.start();
    else if (end == QLatin1String("focus"))
        f.typing()->setFocus();
    else if (end == QLatin1String("small"))
        key(f.typing(), u'c');
    else if (end == QLatin1String("shifted"))
        key(f.typing(), u'C', Qt::ShiftModifier);
    else
        QTest::keyClick(f.typing(), Qt::Key_CapsLock);
    QTRY_COMPARE(balloonText(), QString());
    QVERIFY(!timer->isActive());
}

// Each hint names a key that does what it asks, pressed where the pupil is
// when it shows: the pen's key starts the attempt, and Tab reaches the typing
// box from any control of the window.
void TestAids::hintsNameTheirKeys_data()
{
    QTest::addColumn<int>("situation");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("keyName");
    QTest::addColumn<QKeySequence>("key");
    const QKeySequence pen(Qt::CTRL | Qt::Key_Return), tab(Qt::Key_Tab);
    const QString penHint = Aids::penHint(), boxHint = Aids::typingBoxHint();
    QTest::newRow("pen, from the loudspeaker")
        << Chosen << penHint << "Command1" << "Ctrl+Intro" << pen;
    QTest::newRow("pen, from the number box")
        << Chosen << penHint << "Text1" << "Ctrl+Intro" << pen;
    for (const char *control : {"Command1", "Command2", "Command3(0)", "Text1", "Command4(2)",
                                "Command5", "Command7", "Command9(1)"}) {
        QTest::addRow("typing box, from %s", control)
            << StartUp << boxHint << control << "Tab" << tab;
    }
}

void TestAids::hintsNameTheirKeys()
{
    QFETCH(int, situation);
    QFETCH(QString, hint);
    QFETCH(QString, from);
    QFETCH(QString, keyName);
    QFETCH(QKeySequence, key);
    QVERIFY2(hint.contains(keyName), qPrintable(hint));
    Fixture f(QStringLiteral("ca"));
    QVERIFY(f.active());
    if (situation == Chosen)
        f.h->form->Command4_Click(0);
    QWidget *start = f.child(from.toLatin1().constData());
    start->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(start->hasFocus());
    for (int presses = 0; presses < 25 && QApplication::focusWidget() != f.typing(); ++presses)
        QTest::keySequence(QApplication::focusWidget(), key);
    QCOMPARE(QApplication::focusWidget(), f.typing());
    QVERIFY(f.typing()->isEnabled());
}

void TestAids::helpPage()
{
    Fixture f(QStringLiteral("casa"));
    QVERIFY(f.active());
    QTest::keyClick(f.child("Command1"), Qt::Key_F1);
    HelpWindow *help = f.aids()->helpWindow();
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->windowTitle(), QStringLiteral("Ayuda de Letro"));
    QCOMPARE(help->browser()->source(), QUrl(QString::fromLatin1(HelpWindow::PageUrl)));

    // The four steps, the colours, every message and hint, the keys, the teacher's part.
    const QString page = help->browser()->document()->toPlainText();
    QStringList wanted = {QStringLiteral("Elige el tipo y el número"),
                          QStringLiteral("Escucha"),
                          QStringLiteral("Pulsa la pluma"),
                          QStringLiteral("Escribe"),
                          QStringLiteral("azul"),
                          QStringLiteral("magenta"),
                          QStringLiteral("rojo"),
                          QStringLiteral("F1"),
                          QStringLiteral("F2"),
                          QStringLiteral("Mayús+F5"),
                          QStringLiteral("Ctrl+Intro"),
                          QStringLiteral("Alt+Flecha derecha"),
                          QStringLiteral("Alt+Flecha izquierda"),
                          QStringLiteral("Alt+1"),
                          QStringLiteral("Alt+2"),
                          QStringLiteral("Alt+3"),
                          QStringLiteral("Ctrl+'"),
                          QStringLiteral("Ctrl+\""),
                          QStringLiteral("Ctrl+~"),
                          QStringLiteral("Ctrl+?"),
                          QStringLiteral("Ctrl+!"),
                          QStringLiteral("letro-editor"),
                          QStringLiteral("letro-grabar"),
                          QStringLiteral("N.lento.wav"),
                          Aids::penHint(),
                          Aids::typingBoxHint(),
                          Aids::capsLockHint()};
    for (int m = int(Mistake::CapitalLetter); m <= int(Mistake::WrongLetter); ++m)
        wanted << mistakeMessage(Mistake(m));
    for (const QString &text : wanted)
        QVERIFY2(page.contains(text), qPrintable(text));

    // Every picture is one of the buttons' own, drawn from the resources.
    QStringList pictures;
    for (QTextBlock block = help->browser()->document()->begin(); block.isValid();
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QUrl url =
                help->browser()->source().resolved(QUrl(format.toImageFormat().name()));
            pictures << url.path();
            // Its text alternative says what it shows.
            QVERIFY2(!format.stringProperty(QTextFormat::ImageAltText).trimmed().isEmpty(),
                     qPrintable(url.toString()));
            QVERIFY2(QFile::exists(u':' + url.path()), qPrintable(url.toString()));
            const QVariant image =
                help->browser()->document()->resource(QTextDocument::ImageResource, url);
            QVERIFY2(!image.value<QImage>().isNull() || !image.value<QPixmap>().isNull(),
                     qPrintable(url.toString()));
        }
    }
    for (const char *icon : {"palabras", "altavoz", "pluma", "recuadro", "libro"})
        QVERIFY(pictures.contains(QStringLiteral("/icons/%1.svg").arg(QLatin1String(icon))));

    // The page is a text to read line by line: it has the focus, takes no
    // typing, and the arrows move its caret.
    QTextBrowser *text = help->browser();
    QTRY_VERIFY(text->hasFocus());
    QVERIFY(text->isReadOnly());
    QVERIFY(text->textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard));
    const QString before = text->toPlainText();
    QTextCursor caret = text->textCursor();
    caret.setPosition(0);
    text->setTextCursor(caret);
    QTest::keyClick(text, Qt::Key_Down);
    QTest::keyClick(text, Qt::Key_Down);
    QVERIFY(text->textCursor().position() > 0);
    QVERIFY(!text->textCursor().hasSelection());
    QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(text->textCursor().position(), text->document()->characterCount() - 1);
    QTest::keyClick(text, Qt::Key_X);
    QCOMPARE(text->toPlainText(), before);

    // Its button shows and hides the accent pad, with Return as with a click.
    auto *accents = help->findChild<QPushButton *>(QStringLiteral("BotonAcentos"));
    accents->click();
    QVERIFY(f.aids()->accentPad() && f.aids()->accentPad()->isVisible());
    QTest::keyClick(accents, Qt::Key_Return);
    QVERIFY(!f.aids()->accentPad()->isVisible());
    QTest::keyClick(help->findChild<QPushButton *>(QStringLiteral("BotonCerrar")), Qt::Key_Return);
    QVERIFY(!help->isVisible());
}

void TestAids::helpLeavesTheTypingBoxInView()
{
    Fixture f(QStringLiteral("casa"));
    QVERIFY(f.active());
    for (const QPoint &mainAt : {QPoint(300, 270), QPoint(20, 20), QPoint(600, 500)}) {
        f.h->form->move(mainAt);
        f.h->form->activateWindow();
        QVERIFY(f.active());
        QTest::keyClick(f.typing(), Qt::Key_F1);
        HelpWindow *help = f.aids()->helpWindow();
        QVERIFY(help && help->isVisible());
        // Everything down to the tallies stays in view, the typing box first.
        const QRect kept = f.h->form->keptInView();
        const QRect keep(f.h->form->mapToGlobal(kept.topLeft()), kept.size());
        const QRect box(f.typing()->mapToGlobal(QPoint(0, 0)), f.typing()->size());
        QVERIFY(keep.contains(box));
        const QRect place = help->frameGeometry();
        QVERIFY2(
            !place.intersects(keep),
            qPrintable(QStringLiteral("main window at %1,%2").arg(mainAt.x()).arg(mainAt.y())));
        QVERIFY(help->screen()->availableGeometry().contains(place));
        QVERIFY(place.height() >= 240);
        QCOMPARE(help->width(), 640);
        help->close();
    }
}

QTEST_MAIN(TestAids)
#include "tst_aids.moc"

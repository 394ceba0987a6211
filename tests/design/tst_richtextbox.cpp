// The rich-text box on its own: the selection operations the program drives
// it with, the two key hooks, and every other way text could get into it,
// each of which must leave the text alone unless it goes through the hooks.
#include "testsupport.h"

#include "ui/richtextbox.h"
#include "ui/richtextview.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace letro;
using namespace letro::test;

namespace {

void sendKey(QWidget *w, Qt::Key key, Qt::KeyboardModifiers mods, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

} // namespace

class TestRichTextBox : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void selectionClamped_data();
    void selectionClamped();
    void selTextTakesSelectionColour_data();
    void selTextTakesSelectionColour();
    void typedKeyReplacesHookSelection();
    void typedKeyAtInsertionPoint();
    void acceptedMark();
    void insertionPointDoesNotInheritMark();
    void setTextEmpties();
    void selTextEmptyDeletes();
    void keyDownCancels_data();
    void keyDownCancels();
    void fullStopIsNotDelete();

    void tripwire_data();
    void tripwire();
    void dropOnViewport();
    void mimeDataClosed();
    void middleClickPastesNothing();
    void noContextMenu();
    void inputMethodCommit_data();
    void inputMethodCommit();
    void nonBmpTakesOnePosition();
    void deadKeyDoesNothing();
    void controlKeysAreNoCharacters_data();
    void controlKeysAreNoCharacters();
    void mouseClickKeepsProgramSelection();
    void disabledBoxTakesNoKeys();
    void readOnlyBoxIsReadWithTheKeys_data();
    void readOnlyBoxIsReadWithTheKeys();
    void screenReaderMovesTheCaret();
    void screenReaderReadsLinesOnScreen();

private:
    // What the box shows on screen.
    RichTextView *view() const { return shownText(m_box.get()); }

    std::unique_ptr<RichTextBox> m_box;
    QString m_pressed;      // characters the key-press hook saw
    QList<int> m_downCodes; // key codes the key-down hook saw
};

void TestRichTextBox::init()
{
    m_box = std::make_unique<RichTextBox>();
    m_box->resize(400, 200);
    m_pressed.clear();
    m_downCodes.clear();
    m_box->setKeyPressHook([this](QChar c) { m_pressed.append(c); });
    m_box->setKeyDownHook([this](int &code, Qt::KeyboardModifiers) { m_downCodes.append(code); });
}

void TestRichTextBox::cleanup()
{
    m_box.reset();
    QGuiApplication::clipboard()->clear();
}

void TestRichTextBox::selectionClamped_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("expectedStart");
    QTest::addColumn<int>("expectedLength");
    QTest::addColumn<QString>("selected");
    QTest::newRow("inside") << 1 << 2 << 1 << 2 << "bc";
    QTest::newRow("runs past the end") << 3 << 10 << 3 << 2 << "de";
    QTest::newRow("start past the end") << 9 << 1 << 5 << 0 << "";
    QTest::newRow("at the end") << 5 << 0 << 5 << 0 << "";
    QTest::newRow("whole") << 0 << 5 << 0 << 5 << "abcde";
    QTest::newRow("negative start") << -4 << 1 << 0 << 1 << "a";
}

void TestRichTextBox::selectionClamped()
{
    QFETCH(int, start);
    QFETCH(int, length);
    m_box->setText("abcde");
    QCOMPARE(m_box->length(), 5);
    m_box->setSelStart(start);
    m_box->setSelLength(length);
    QTEST(m_box->selStart(), "expectedStart");
    QTEST(m_box->selLength(), "expectedLength");
    QTEST(m_box->selText(), "selected");
}

void TestRichTextBox::selTextTakesSelectionColour_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<QString>("text");
    QTest::newRow("append blue") << 3 << 0 << Blue << "abcX";
    QTest::newRow("append magenta") << 3 << 0 << Magenta << "abcX";
    QTest::newRow("replace red") << 1 << 1 << Red << "aXc";
    QTest::newRow("insert at start") << 0 << 0 << Red << "Xabc";
}

void TestRichTextBox::selTextTakesSelectionColour()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(quint32, colour);
    m_box->setText("abc");
    m_box->setSelStart(start);
    m_box->setSelLength(length);
    m_box->setSelColor(colour);
    m_box->setSelText("X");
    QTEST(m_box->text(), "text");
    QCOMPARE(m_box->colorAt(start), colour);
    // Neighbours keep the default black.
    if (start > 0)
        QCOMPARE(m_box->colorAt(start - 1), quint32(0));
    QCOMPARE(QColor(m_box->formatAt(start).foreground().color()), colorFromBgr(colour));
}

void TestRichTextBox::typedKeyReplacesHookSelection()
{
    m_box->setText("abc");
    m_box->setKeyPressHook([this](QChar c) {
        m_pressed.append(c);
        m_box->setSelStart(0);
        m_box->setSelLength(1);
        m_box->setSelColor(Red);
    });
    typeKey(m_box.get(), 'x');
    QCOMPARE(m_pressed, QString("x"));
    QCOMPARE(m_box->text(), QString("xbc"));
    QCOMPARE(m_box->colorAt(0), Red);
    QCOMPARE(m_box->colorAt(1), quint32(0));
    // The selection ends after the inserted character.
    QCOMPARE(m_box->selStart(), 1);
    QCOMPARE(m_box->selLength(), 0);
}

void TestRichTextBox::typedKeyAtInsertionPoint()
{
    m_box->setKeyPressHook([this](QChar c) {
        m_pressed.append(c);
        m_box->setSelStart(m_box->length());
        m_box->setSelColor(c == QChar('b') ? Red : Blue);
    });
    typeText(m_box.get(), "abc");
    QCOMPARE(m_box->text(), QString("abc"));
    QCOMPARE(m_box->colorAt(0), Blue);
    QCOMPARE(m_box->colorAt(1), Red);
    QCOMPARE(m_box->colorAt(2), Blue);
    QCOMPARE(m_pressed, QString("abc"));
    QCOMPARE(m_downCodes.size(), 3);
}

void TestRichTextBox::acceptedMark()
{
    m_box->setText("abc");
    QVERIFY(!m_box->acceptedAt(0));
    m_box->setSelStart(1);
    m_box->setSelLength(1);
    m_box->setSelAccepted(true);
    QVERIFY(!m_box->acceptedAt(0));
    QVERIFY(m_box->acceptedAt(1));
    QVERIFY(!m_box->acceptedAt(2));
    // Drawn bold.
    QCOMPARE(m_box->formatAt(1).fontWeight(), int(QFont::Bold));
    QVERIFY(m_box->formatAt(0).fontWeight() != int(QFont::Bold));
    // And it can be taken off again.
    m_box->setSelAccepted(false);
    QVERIFY(!m_box->acceptedAt(1));
    QVERIFY(m_box->formatAt(1).fontWeight() != int(QFont::Bold));
}

void TestRichTextBox::insertionPointDoesNotInheritMark()
{
    m_box->setText("");
    m_box->setSelStart(0);
    m_box->setSelColor(Blue);
    m_box->setSelAccepted(true);
    m_box->setSelText("a");
    QVERIFY(m_box->acceptedAt(0));
    QCOMPARE(m_box->colorAt(0), Blue);

    // A fresh insertion point after an accepted character starts unmarked.
    m_box->setSelStart(1);
    m_box->setSelText("b");
    QVERIFY(m_box->acceptedAt(0));
    QVERIFY(!m_box->acceptedAt(1));
    QVERIFY(m_box->formatAt(1).fontWeight() != int(QFont::Bold));

    // Likewise for a typed key.
    typeKey(m_box.get(), 'c');
    QCOMPARE(m_box->text(), QString("abc"));
    QVERIFY(!m_box->acceptedAt(2));
}

void TestRichTextBox::setTextEmpties()
{
    m_box->setText("hola");
    m_box->setSelStart(0);
    m_box->setSelLength(4);
    m_box->setSelColor(Red);
    m_box->setText("");
    QCOMPARE(m_box->text(), QString());
    QCOMPARE(m_box->length(), 0);
    QCOMPARE(m_box->selStart(), 0);
    QCOMPARE(m_box->selLength(), 0);
    // The old colour does not survive into new text.
    m_box->setSelText("z");
    QCOMPARE(m_box->colorAt(0), quint32(0));
}

void TestRichTextBox::selTextEmptyDeletes()
{
    m_box->setText("abcd");
    m_box->setSelStart(1);
    m_box->setSelLength(2);
    m_box->setSelText("");
    QCOMPARE(m_box->text(), QString("ad"));
    QCOMPARE(m_box->selStart(), 1);
    QCOMPARE(m_box->selLength(), 0);
}

void TestRichTextBox::keyDownCancels_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << "\b" << 8;
    QTest::newRow("Return") << int(Qt::Key_Return) << "\r" << 13;
    QTest::newRow("Enter") << int(Qt::Key_Enter) << "\r" << 13;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << "\x7f" << 46;
}

void TestRichTextBox::keyDownCancels()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, code);
    m_box->setKeyDownHook([this](int &c, Qt::KeyboardModifiers) {
        m_downCodes.append(c);
        if (c == 8 || c == 13 || c == 46)
            c = 0;
    });
    m_box->setText("abc");
    m_box->setSelStart(1);
    m_box->setSelLength(1);
    sendKey(m_box.get(), Qt::Key(key), Qt::NoModifier, text);
    QCOMPARE(m_downCodes, QList<int>{code});
    QCOMPARE(m_box->text(), QString("abc"));
    QCOMPARE(m_box->selStart(), 1);
    QCOMPARE(m_box->selLength(), 1);
    QVERIFY(m_pressed.isEmpty());
    // With the selection at the end too.
    m_box->setSelStart(3);
    sendKey(m_box.get(), Qt::Key(key), Qt::NoModifier, text);
    QCOMPARE(m_box->text(), QString("abc"));
    QVERIFY(m_pressed.isEmpty());
}

void TestRichTextBox::fullStopIsNotDelete()
{
    m_box->setKeyDownHook([this](int &c, Qt::KeyboardModifiers) {
        m_downCodes.append(c);
        if (c == 46)
            c = 0;
    });
    m_box->setText("fin");
    m_box->setSelStart(3);
    sendKey(m_box.get(), Qt::Key_Period, Qt::NoModifier, ".");
    QCOMPARE(m_downCodes.size(), 1);
    QVERIFY(m_downCodes.first() != 46);
    QCOMPARE(m_pressed, QString("."));
    QCOMPARE(m_box->text(), QString("fin."));
    // The keypad's decimal point neither.
    sendKey(m_box.get(), Qt::Key_Period, Qt::KeypadModifier, ".");
    QCOMPARE(m_box->text(), QString("fin.."));
    QVERIFY(!m_downCodes.contains(46));
}

// Every route into the box other than a character key or an input-method
// commit: none may change the text or reach the key-press hook.
void TestRichTextBox::tripwire_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");

    const int ctrl = int(Qt::ControlModifier), shift = int(Qt::ShiftModifier);
    QTest::newRow("Ctrl+V (X11 text)") << int(Qt::Key_V) << ctrl << "\x16";
    QTest::newRow("Ctrl+V (letter text)") << int(Qt::Key_V) << ctrl << "v";
    QTest::newRow("Ctrl+V (no text)") << int(Qt::Key_V) << ctrl << "";
    QTest::newRow("Shift+Insert") << int(Qt::Key_Insert) << shift << "";
    QTest::newRow("Ctrl+X (X11 text)") << int(Qt::Key_X) << ctrl << "\x18";
    QTest::newRow("Ctrl+X (letter text)") << int(Qt::Key_X) << ctrl << "x";
    QTest::newRow("Shift+Delete") << int(Qt::Key_Delete) << shift << "";
    QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << ctrl << "\x1a";
    QTest::newRow("Ctrl+Z (letter text)") << int(Qt::Key_Z) << ctrl << "z";
    QTest::newRow("Ctrl+Shift+Z") << int(Qt::Key_Z) << (ctrl | shift) << "\x1a";
    QTest::newRow("Ctrl+Y") << int(Qt::Key_Y) << ctrl << "\x19";
    QTest::newRow("Ctrl+Y (letter text)") << int(Qt::Key_Y) << ctrl << "y";
    QTest::newRow("Ctrl+K") << int(Qt::Key_K) << ctrl << "\x0b";
    QTest::newRow("Ctrl+K (letter text)") << int(Qt::Key_K) << ctrl << "k";
    QTest::newRow("Ctrl+Backspace") << int(Qt::Key_Backspace) << ctrl << "\b";
    QTest::newRow("Ctrl+Delete") << int(Qt::Key_Delete) << ctrl << "";
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 0 << "\b";
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << "";
    QTest::newRow("Return") << int(Qt::Key_Return) << 0 << "\r";
    QTest::newRow("Shift+Return") << int(Qt::Key_Return) << shift << "\r";
    QTest::newRow("Ctrl+Return") << int(Qt::Key_Return) << ctrl << "\r";
    QTest::newRow("Ctrl+M") << int(Qt::Key_M) << ctrl << "\r";
    QTest::newRow("Ctrl+H") << int(Qt::Key_H) << ctrl << "\b";
    QTest::newRow("Ctrl+I") << int(Qt::Key_I) << ctrl << "\t";
    QTest::newRow("Ctrl+D") << int(Qt::Key_D) << ctrl << "\x04";
}

void TestRichTextBox::tripwire()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);

    QGuiApplication::clipboard()->setText("PEGADO");
    if (QGuiApplication::clipboard()->supportsSelection())
        QGuiApplication::clipboard()->setText("PEGADO", QClipboard::Selection);

    m_box->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
    typeText(m_box.get(), "abcd");
    QCOMPARE(m_box->text(), QString("abcd"));
    m_pressed.clear();

    // With the program's selection over "bc" (as the checker leaves it)...
    m_box->setSelStart(1);
    m_box->setSelLength(2);
    sendKey(m_box.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers), text);
    QCOMPARE(m_box->text(), QString("abcd"));
    QVERIFY2(m_pressed.isEmpty(), qPrintable(m_pressed));

    // ...at the insertion point...
    m_box->setSelStart(4);
    sendKey(m_box.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers), text);
    QCOMPARE(m_box->text(), QString("abcd"));
    QVERIFY(m_pressed.isEmpty());

    // ...and with everything selected on screen (Ctrl+A is allowed).
    sendKey(m_box.get(), Qt::Key_A, Qt::ControlModifier, "\x01");
    QVERIFY(view()->textCursor().hasSelection());
    sendKey(m_box.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers), text);
    QCOMPARE(m_box->text(), QString("abcd"));
    QVERIFY(m_pressed.isEmpty());

    // The same through the window system, shortcut override included.
    m_box->activateWindow();
    m_box->setFocus();
    if (QTest::qWaitForWindowActive(m_box.get())) {
        QTest::keyClick(m_box->windowHandle(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(m_box->text(), QString("abcd"));
        QVERIFY(m_pressed.isEmpty());
    }
    m_box->hide();
}

void TestRichTextBox::dropOnViewport()
{
    m_box->setText("abc");
    m_box->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
    QVERIFY(!m_box->acceptDrops());
    QVERIFY(!view()->viewport()->acceptDrops());

    QMimeData data;
    data.setText("SOLTADO");
    data.setHtml("<b>SOLTADO</b>");
    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(view()->viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view()->viewport(), &move);
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(view()->viewport(), &drop);
    QCOMPARE(m_box->text(), QString("abc"));
    QVERIFY(m_pressed.isEmpty());
    // On the box itself too.
    QDropEvent drop2(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_box.get(), &drop2);
    QCOMPARE(m_box->text(), QString("abc"));
    m_box->hide();
}

void TestRichTextBox::mimeDataClosed()
{
    m_box->setText("abc");
    QMimeData data;
    data.setText("PEGADO");
    QVERIFY(!view()->canInsertFromMimeData(&data));
    m_box->setSelStart(1);
    m_box->setSelLength(1);
    view()->insertFromMimeData(&data);
    QCOMPARE(m_box->text(), QString("abc"));
    QVERIFY(m_pressed.isEmpty());
    // QTextEdit's own paste() goes the same way.
    QGuiApplication::clipboard()->setText("PEGADO");
    view()->paste();
    QCOMPARE(m_box->text(), QString("abc"));
    QVERIFY(!view()->isUndoRedoEnabled());
    view()->undo();
    view()->redo();
    QCOMPARE(m_box->text(), QString("abc"));
}

void TestRichTextBox::middleClickPastesNothing()
{
    QGuiApplication::clipboard()->setText("PEGADO");
    if (QGuiApplication::clipboard()->supportsSelection())
        QGuiApplication::clipboard()->setText("PEGADO", QClipboard::Selection);
    m_box->setText("abc");
    m_box->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
    const QPoint at = view()->viewport()->rect().center();
    QTest::mouseClick(view()->viewport(), Qt::MiddleButton, Qt::NoModifier, at);
    QCOMPARE(m_box->text(), QString("abc"));
    // Through the window system as well.
    QTest::mouseClick(m_box->windowHandle(), Qt::MiddleButton, Qt::NoModifier,
                      view()->viewport()->mapTo(m_box.get(), at));
    QCoreApplication::processEvents();
    QCOMPARE(m_box->text(), QString("abc"));
    QVERIFY(m_pressed.isEmpty());
    m_box->hide();
}

void TestRichTextBox::noContextMenu()
{
    QCOMPARE(m_box->contextMenuPolicy(), Qt::NoContextMenu);
    m_box->setText("abc");
    m_box->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
    // Should a menu open, close it and count it rather than block.
    int menus = 0;
    QTimer guard;
    guard.setInterval(20);
    connect(&guard, &QTimer::timeout, this, [&menus] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            ++menus;
            popup->close();
        }
    });
    guard.start();
    const QPoint at = view()->viewport()->mapTo(m_box.get(), view()->viewport()->rect().center());
    QTest::mouseClick(m_box->windowHandle(), Qt::RightButton, Qt::NoModifier, at);
    QTest::qWait(100);
    guard.stop();
    QCOMPARE(menus, 0);
    QCOMPARE(m_box->text(), QString("abc"));
    m_box->hide();
}

void TestRichTextBox::inputMethodCommit_data()
{
    QTest::addColumn<QString>("commit");
    QTest::addColumn<QString>("expected");
    QTest::newRow("á") << QString::fromUtf8("á") << QString::fromUtf8("á");
    QTest::newRow("ü") << QString::fromUtf8("ü") << QString::fromUtf8("ü");
    QTest::newRow("two characters") << QString::fromUtf8("´e") << QString::fromUtf8("´e");
    QTest::newRow("non-BMP") << QString::fromUcs4(U"\U0001F600") << QString(QChar(0xFFFD));
    QTest::newRow("control character dropped") << QString("\x01") << QString();
}

void TestRichTextBox::inputMethodCommit()
{
    QFETCH(QString, commit);
    QFETCH(QString, expected);
    commitText(m_box.get(), commit);
    QCOMPARE(m_pressed, expected);
    QCOMPARE(m_box->text(), expected);
    QCOMPARE(m_box->length(), int(expected.size()));
    // The key-down hook is asked once per character, and can cancel it.
    QCOMPARE(m_downCodes.size(), int(expected.size()));
    m_box->setKeyDownHook([](int &c, Qt::KeyboardModifiers) { c = 0; });
    commitText(m_box.get(), commit);
    QCOMPARE(m_box->text(), expected);
}

void TestRichTextBox::nonBmpTakesOnePosition()
{
    m_box->setText("ab");
    m_box->setSelStart(2);
    sendKey(m_box.get(), Qt::Key_unknown, Qt::NoModifier, QString::fromUcs4(U"\U0001F600"));
    QCOMPARE(m_box->length(), 3);
    QCOMPARE(m_pressed, QString(QChar(0xFFFD)));
    QCOMPARE(m_box->text(), QString("ab") + QChar(0xFFFD));
    // A stray surrogate the same.
    sendKey(m_box.get(), Qt::Key_unknown, Qt::NoModifier, QString(QChar(0xD83D)));
    QCOMPARE(m_box->length(), 4);
    QCOMPARE(m_pressed.size(), 2);
    QCOMPARE(m_pressed.back(), QChar(0xFFFD));
}

void TestRichTextBox::deadKeyDoesNothing()
{
    m_box->setText("ab");
    m_box->setSelStart(2);
    sendKey(m_box.get(), Qt::Key_Dead_Acute, Qt::NoModifier, QString());
    sendKey(m_box.get(), Qt::Key_Dead_Diaeresis, Qt::ShiftModifier, QString());
    QVERIFY(m_pressed.isEmpty());
    QCOMPARE(m_box->text(), QString("ab"));
    // The accent then arrives as a commit and is judged.
    commitText(m_box.get(), QString::fromUtf8("é"));
    QCOMPARE(m_pressed, QString(QChar(0xE9)));
    QCOMPARE(m_box->text(), QString::fromUtf8("abé"));
}

void TestRichTextBox::controlKeysAreNoCharacters_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::newRow("Ctrl+A") << int(Qt::Key_A) << int(Qt::ControlModifier) << "\x01";
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << "\x1b";
    QTest::newRow("Tab") << int(Qt::Key_Tab) << 0 << "\t";
    QTest::newRow("Left") << int(Qt::Key_Left) << 0 << "";
    QTest::newRow("Home") << int(Qt::Key_Home) << 0 << "";
    QTest::newRow("F1") << int(Qt::Key_F1) << 0 << "";
    QTest::newRow("Shift") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << "";
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << "\x03";
}

void TestRichTextBox::controlKeysAreNoCharacters()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    m_box->setText("ab");
    m_box->setSelStart(1);
    sendKey(m_box.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers), text);
    QVERIFY(m_pressed.isEmpty());
    QCOMPARE(m_box->text(), QString("ab"));
    QCOMPARE(m_box->selStart(), 1);
    QCOMPARE(m_box->selLength(), 0);
}

void TestRichTextBox::mouseClickKeepsProgramSelection()
{
    m_box->setText("hello");
    m_box->setSelStart(5);
    m_box->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
    QCOMPARE(view()->textCursor().position(), 5);
    // Click at the very start of the text: the caret moves on screen...
    const QRect first = view()->cursorRect(QTextCursor(view()->document()));
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(first.left() + 1, first.center().y()));
    QCOMPARE(view()->textCursor().position(), 0);
    // ...but not the program's selection.
    QCOMPARE(m_box->selStart(), 5);
    QCOMPARE(m_box->selLength(), 0);
    // A drag selection neither.
    QTest::mousePress(view()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(first.left() + 1, first.center().y()));
    QTest::mouseMove(view()->viewport(), view()->viewport()->rect().bottomRight() - QPoint(2, 2));
    QTest::mouseRelease(view()->viewport(), Qt::LeftButton, Qt::NoModifier,
                        view()->viewport()->rect().bottomRight() - QPoint(2, 2));
    QCOMPARE(m_box->selStart(), 5);
    QCOMPARE(m_box->selLength(), 0);
    // The next key goes where the program's selection is.
    typeKey(m_box.get(), 'x');
    QCOMPARE(m_box->text(), QString("hellox"));
    // An accent committed after a mouse selection neither deletes it.
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, Qt::NoModifier,
                       QPoint(first.left() + 3, first.center().y()));
    commitText(m_box.get(), QString::fromUtf8("á"));
    QCOMPARE(m_box->text(), QString::fromUtf8("helloxá"));
    m_box->hide();
}

void TestRichTextBox::disabledBoxTakesNoKeys()
{
    m_box->setText("ab");
    m_box->setSelStart(2);
    m_box->setEnabled(false);
    m_box->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
    QVERIFY(m_box->isEnabled() == false);
    QTest::keyClick(m_box->windowHandle(), Qt::Key_X);
    QCOMPARE(m_box->text(), QString("ab"));
    QVERIFY(m_pressed.isEmpty());
    m_box->hide();
}

// A read-only box whose hook cancels every key, as the record box's does:
// the navigation keys still move its caret on screen, and nothing else does
// anything. A box that is not read-only keeps every cancelled key cancelled.
void TestRichTextBox::readOnlyBoxIsReadWithTheKeys_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    const int ctrl = int(Qt::ControlModifier), shift = int(Qt::ShiftModifier);
    // "aaa\naaa\naaa": three lines of one width, positions 0-3, 4-7, 8-11.
    QTest::newRow("Left") << true << int(Qt::Key_Left) << 0 << "" << 11 << 10;
    QTest::newRow("Right") << true << int(Qt::Key_Right) << 0 << "" << 0 << 1;
    QTest::newRow("Up") << true << int(Qt::Key_Up) << 0 << "" << 9 << 5;
    QTest::newRow("Down") << true << int(Qt::Key_Down) << 0 << "" << 1 << 5;
    QTest::newRow("Home") << true << int(Qt::Key_Home) << 0 << "" << 10 << 8;
    QTest::newRow("End") << true << int(Qt::Key_End) << 0 << "" << 4 << 7;
    QTest::newRow("Ctrl+Home") << true << int(Qt::Key_Home) << ctrl << "" << 11 << 0;
    QTest::newRow("Ctrl+End") << true << int(Qt::Key_End) << ctrl << "" << 0 << 11;
    QTest::newRow("Page Up") << true << int(Qt::Key_PageUp) << 0 << "" << 10 << 2;
    QTest::newRow("Page Down") << true << int(Qt::Key_PageDown) << 0 << "" << 1 << 9;
    QTest::newRow("Ctrl+Right") << true << int(Qt::Key_Right) << ctrl << "" << 0 << 3;
    QTest::newRow("Shift+Left") << true << int(Qt::Key_Left) << shift << "" << 11 << 10;
    QTest::newRow("keypad Left") << true << int(Qt::Key_Left) << int(Qt::KeypadModifier) << "" << 11
                                 << 10;
    // Alt with an arrow is the window's shortcut, not reading.
    QTest::newRow("Alt+Left") << true << int(Qt::Key_Left) << int(Qt::AltModifier) << "" << 11
                              << 11;
    // Every key that would change the text stays cancelled.
    QTest::newRow("letter") << true << int(Qt::Key_X) << 0 << "x" << 5 << 5;
    QTest::newRow("Space") << true << int(Qt::Key_Space) << 0 << " " << 5 << 5;
    QTest::newRow("Backspace") << true << int(Qt::Key_Backspace) << 0 << "\b" << 5 << 5;
    QTest::newRow("Delete") << true << int(Qt::Key_Delete) << 0 << "\x7f" << 5 << 5;
    QTest::newRow("Return") << true << int(Qt::Key_Return) << 0 << "\r" << 5 << 5;
    QTest::newRow("Ctrl+V") << true << int(Qt::Key_V) << ctrl << "\x16" << 5 << 5;
    QTest::newRow("Ctrl+X") << true << int(Qt::Key_X) << ctrl << "\x18" << 5 << 5;
    QTest::newRow("Tab") << true << int(Qt::Key_Tab) << 0 << "\t" << 5 << 5;
    // The typing box: a cancelled arrow stays cancelled.
    QTest::newRow("editable, Left") << false << int(Qt::Key_Left) << 0 << "" << 11 << 11;
    QTest::newRow("editable, Ctrl+Home") << false << int(Qt::Key_Home) << ctrl << "" << 11 << 11;
}

void TestRichTextBox::readOnlyBoxIsReadWithTheKeys()
{
    QFETCH(bool, readOnly);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, from);
    QFETCH(int, to);
    m_box->setKeyDownHook([this](int &c, Qt::KeyboardModifiers) {
        m_downCodes.append(c);
        c = 0;
    });
    m_box->setReadOnly(readOnly);
    m_box->setText("aaa\naaa\naaa");
    m_box->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
    QTextCursor caret = view()->textCursor();
    caret.setPosition(from);
    view()->setTextCursor(caret);

    sendKey(m_box.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers), text);
    QCOMPARE(m_downCodes.size(), 1); // the hook still sees every key
    QCOMPARE(view()->textCursor().position(), to);
    QCOMPARE(m_box->text(), QString("aaa\naaa\naaa"));
    QVERIFY(m_pressed.isEmpty());
    // The program's selection stays where the program left it.
    QCOMPARE(m_box->selStart(), 11);
    QCOMPARE(m_box->selLength(), 0);
    m_box->hide();
}

// A screen reader moving the caret (reading on, or a line at a time) moves it
// on screen, as the keys do, and never the program's selection.
void TestRichTextBox::screenReaderMovesTheCaret()
{
    m_box->setReadOnly(true);
    m_box->setText("uno\ndos");
    QAccessibleInterface *box = QAccessible::queryAccessibleInterface(m_box.get());
    QVERIFY(box && box->textInterface());
    QAccessibleTextInterface *text = box->textInterface();
    QCOMPARE(text->cursorPosition(), 7);
    text->setCursorPosition(4);
    QCOMPARE(view()->textCursor().position(), 4);
    QCOMPARE(text->cursorPosition(), 4);
    text->setCursorPosition(99); // clamped to the text
    QCOMPARE(text->cursorPosition(), 7);
    text->setCursorPosition(-3);
    QCOMPARE(text->cursorPosition(), 0);
    QCOMPARE(m_box->selStart(), 7);
    QCOMPARE(m_box->selLength(), 0);
    QCOMPARE(m_box->text(), QString("uno\ndos"));
    // The next key still goes where the program's selection is.
    m_box->setReadOnly(false);
    typeKey(m_box.get(), 'x');
    QCOMPARE(m_box->text(), QString("uno\ndosx"));
}

// Lines are read as the box shows them, wrapped at its width: walking from
// line to line covers the whole text once, in order, and the line break that
// ends a paragraph belongs to the line it ends.
void TestRichTextBox::screenReaderReadsLinesOnScreen()
{
    const QString paragraph = QStringLiteral("el perro de san roque no tiene rabo ").repeated(4);
    const QString all = paragraph + QStringLiteral("\nfin\n\ncasa");
    m_box->setText(all);
    m_box->resize(160, 300);
    m_box->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
    QAccessibleTextInterface *text =
        QAccessible::queryAccessibleInterface(m_box.get())->textInterface();
    QVERIFY(text);

    QStringList lines;
    int start = -1, end = -1;
    QString line = text->textAtOffset(0, QAccessible::LineBoundary, &start, &end);
    QCOMPARE(start, 0);
    while (!line.isEmpty()) {
        lines << line;
        QCOMPARE(text->text(start, end), line);
        const int previousEnd = end;
        line = text->textAfterOffset(start, QAccessible::LineBoundary, &start, &end);
        if (!line.isEmpty())
            QCOMPARE(start, previousEnd);
    }
    QCOMPARE(lines.join(QString()), all);
    // The long paragraph takes several lines on screen.
    QVERIFY2(lines.size() > 5, qPrintable(lines.join(u'|')));
    QCOMPARE(lines.mid(lines.size() - 3), (QStringList{"fin\n", "\n", "casa"}));
    QVERIFY(lines.first().size() < paragraph.size());

    // Each offset of a line is in that line; the line before is the one before.
    const int fin = int(all.indexOf(QStringLiteral("fin")));
    QCOMPARE(text->textAtOffset(fin + 2, QAccessible::LineBoundary, &start, &end), "fin\n");
    QCOMPARE(start, fin);
    QCOMPARE(end, fin + 4);
    QCOMPARE(text->textAtOffset(fin + 3, QAccessible::LineBoundary, &start, &end), "fin\n");
    QCOMPARE(text->textBeforeOffset(fin + 1, QAccessible::LineBoundary, &start, &end),
             lines.at(lines.size() - 4));
    QCOMPARE(end, fin);
    // Nothing before the first line or after the last; the end of the text
    // is in the last line.
    QVERIFY(text->textBeforeOffset(2, QAccessible::LineBoundary, &start, &end).isEmpty());
    QVERIFY(text->textAfterOffset(int(all.size()) - 1, QAccessible::LineBoundary, &start, &end)
                .isEmpty());
    QCOMPARE(text->textAtOffset(int(all.size()), QAccessible::LineBoundary, &start, &end), "casa");
    // Other units are the text's own.
    QCOMPARE(text->textAtOffset(fin + 1, QAccessible::WordBoundary, &start, &end), "fin");
    // An empty box has no lines.
    m_box->setText(QString());
    QVERIFY(text->textAtOffset(0, QAccessible::LineBoundary, &start, &end).isEmpty());
    m_box->hide();
}

QTEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"

// The typing box fed by a real keyboard: the main window runs on a private X
// server with the Spanish layout, and xdotool presses the keys a pupil presses
// (dead acute then the vowel, Shift with the dead acute for the diaeresis, the
// ñ key, the inverted marks' key...). Every accent has to arrive through the
// platform's input method and be judged like any other key. On the US
// layout the accents come from the pad, or from the keyboard's own Ctrl
// sequences with no mouse at all.
#include "testsupport.h"

#include "app/form2.h"
#include "exercise/aids.h"
#include "ui/accentpad.h"
#include "ui/richtextbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTest>

#include <map>

using namespace letro;
using namespace letro::test;

namespace {

// The exercise: every accented small vowel, ü, ñ, a capital Ñ and É, both
// inverted marks, the closing marks typed with Shift, a comma and blanks.
const QString Exercise = QStringLiteral("¿Ñandú o pingüino? ¡Él tomó té aquí, mañana más!");
// The one wrong key: a plain "a" where "más" wants "á".
const int WrongAt = int(Exercise.lastIndexOf(QChar(0x00E1)));

QString run(const QString &program, const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        if (exitCode)
            *exitCode = -1;
        return QString();
    }
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

} // namespace

class E2eKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void typesTheExerciseWithRealKeys();
    void typesWithThePadOnTheUsLayout();
    void keyboardOnlyOnTheUsLayout();

private:
    // xdotool key names for the keys that type one character on the Spanish layout.
    QStringList keysFor(QChar c) const;
    QString key(const char *xkbName, bool shift = false) const;
    void press(const QStringList &keys);
    void focusOn(QWidget *window);

    // Keycodes of the Spanish layout, by XKB key name (AE01, AC11, ...).
    std::map<QString, int> m_keycode;
};

void E2eKeyboard::initTestCase()
{
    // Never skipped: without the real X server there is nothing to test.
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "run under e2e-run.sh --x");

    int status = 0;
    const QString keymap = run(
        QStringLiteral("xkbcomp"),
        {QStringLiteral("-xkb"), qEnvironmentVariable("DISPLAY"), QStringLiteral("-")}, &status);
    QCOMPARE(status, 0);

    QRegularExpression codes(QStringLiteral("<(\\w+)>\\s*=\\s*(\\d+);"));
    for (auto it = codes.globalMatch(keymap); it.hasNext();) {
        const auto m = it.next();
        m_keycode.emplace(m.captured(1), m.captured(2).toInt());
    }
    // The keys this test presses, and what the Spanish layout puts on them
    // (first level, then with Shift).
    const struct
    {
        const char *name;
        const char *plain;
        const char *shifted;
    } expected[] = {
        {"AE01", "1", "exclam"},
        {"AE11", "apostrophe", "question"},
        {"AE12", "exclamdown", "questiondown"},
        {"AC10", "ntilde", "Ntilde"},
        {"AC11", "dead_acute", "dead_diaeresis"},
        {"AB08", "comma", "semicolon"},
    };
    for (const auto &k : expected) {
        QRegularExpression symbols(
            QStringLiteral(
                "key <%1>\\s*\\{[^}]*?symbols\\[Group1\\]\\s*=\\s*\\[\\s*(\\w+)\\s*,\\s*(\\w+)")
                .arg(QLatin1String(k.name)));
        const auto m = symbols.match(keymap);
        QVERIFY2(m.hasMatch(), k.name);
        QCOMPARE(m.captured(1), QLatin1String(k.plain));
        QCOMPARE(m.captured(2), QLatin1String(k.shifted));
        QVERIFY2(m_keycode.count(QLatin1String(k.name)), k.name);
    }
}

QString E2eKeyboard::key(const char *xkbName, bool shift) const
{
    const QString code = QString::number(m_keycode.at(QLatin1String(xkbName)));
    return shift ? QStringLiteral("shift+") + code : code;
}

QStringList E2eKeyboard::keysFor(QChar c) const
{
    // Keys named by their keycode are the very keys of the Spanish keyboard;
    // letters are found by xdotool on the only key that carries them.
    static const QString accented = QStringLiteral("áéíóúÁÉÍÓÚ");
    static const QString plain = QStringLiteral("aeiouAEIOU");
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
        return {QString(c)};
    if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        return {QStringLiteral("shift+") + c.toLower()};
    if (const auto i = accented.indexOf(c); i >= 0)
        return QStringList{key("AC11")} + keysFor(plain.at(i));
    switch (c.unicode()) {
    case ' ':
        return {QStringLiteral("space")};
    case ',':
        return {key("AB08")};
    case '!':
        return {key("AE01", true)};
    case '?':
        return {key("AE11", true)};
    case 0x00A1:
        return {key("AE12")}; // ¡
    case 0x00BF:
        return {key("AE12", true)}; // ¿
    case 0x00F1:
        return {key("AC10")}; // ñ
    case 0x00D1:
        return {key("AC10", true)}; // Ñ
    case 0x00FC:
        return {key("AC11", true), QStringLiteral("u")}; // ü
    }
    return {};
}

void E2eKeyboard::press(const QStringList &keys)
{
    int status = 0;
    run(QStringLiteral("xdotool"),
        QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("20")} + keys,
        &status);
    QCOMPARE(status, 0);
}

void E2eKeyboard::focusOn(QWidget *window)
{
    window->activateWindow();
    int status = 0;
    run(QStringLiteral("xdotool"),
        {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window->winId())},
        &status);
    QCOMPARE(status, 0);
    QTRY_VERIFY(window->isActiveWindow());
}

void E2eKeyboard::typesTheExerciseWithRealKeys()
{
    QVERIFY(WrongAt > 0);
    ProgramFolder folder;
    QStringEncoder toWindows1252("windows-1252");
    const QByteArray bytes = toWindows1252.encode(Exercise);
    QVERIFY(!toWindows1252.hasError());
    folder.addExercise(0, 1, bytes + "\r\n");

    Harness h(folder.path());
    QCOMPARE(h.form->expectedText(), Exercise);
    auto *box = h.child<RichTextBox>(QStringLiteral("RichTextBox1"));
    auto *record = h.child<RichTextBox>(QStringLiteral("RichTextBox2"));
    auto *label = h.child<QLabel>(QStringLiteral("Label1"));
    auto *right = h.child<QAbstractButton>(QStringLiteral("Command8(0)"));
    auto *wrong = h.child<QAbstractButton>(QStringLiteral("Command8(1)"));
    QVERIFY(box && record && label && right && wrong);

    h.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.form));
    h.form->Command5_Click();
    QVERIFY(box->isEnabled());

    // The X input focus on the window, Qt's focus on the typing box.
    focusOn(h.form);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(box));

    const int last = int(Exercise.size()) - 1;
    for (int i = 0; i <= last; ++i) {
        const QChar c = Exercise.at(i);
        const QStringList keys = keysFor(c);
        QVERIFY2(!keys.isEmpty(), qPrintable(QStringLiteral("no key for ") + c));

        if (i == WrongAt) {
            // The vowel without its accent: judged wrong, written red, named.
            press({QStringLiteral("a")});
            QTRY_VERIFY(h.form->mistakePending());
            QCOMPARE(label->text(), QStringLiteral("Esta vocal lleva acento"));
            QCOMPARE(wrong->text(), QStringLiteral("1"));
            QCOMPARE(right->text(), QString::number(i));
            QCOMPARE(box->text(), Exercise.left(i) + QLatin1Char('a'));
            QCOMPARE(box->colorAt(i), Red);
            QCOMPARE(h.sound->alerts, 1);
            QCOMPARE(h.form->textPos(), i + 1);
        }

        if (i == last) {
            // Before the final key the typing box holds every accepted
            // character in its colour.
            QCOMPARE(box->text(), Exercise.left(last));
            for (int p = 0; p < last; ++p)
                QCOMPARE(box->colorAt(p), p == WrongAt ? Magenta : Blue);
        }

        press(keys);
        if (i < last) {
            QTRY_COMPARE(h.form->textPos(), i + 2);
            QCOMPARE(box->text().size(), i + 1);
            QCOMPARE(box->text().at(i), c);
            QCOMPARE(label->text(), QString());
            QCOMPARE(right->text(), QString::number(i + 1));
        } else {
            QTRY_COMPARE(h.messages->shown, QStringList{QStringLiteral("Fin del ejercicio")});
        }
    }

    // The exercise finished with one mistake.
    QCOMPARE(right->text(), QString::number(Exercise.size()));
    QCOMPARE(wrong->text(), QStringLiteral("1"));
    QCOMPARE(h.sound->alerts, 1);
    QCOMPARE(h.form->faultyExercises(), 1);
    QCOMPARE(h.form->textPos(), 1);
    QVERIFY(!h.form->mistakePending());
    QCOMPARE(label->text(), QString());
    QTRY_COMPARE(box->text(), QString());
    QVERIFY(!box->isEnabled());

    // The record box: the text exactly as typed, in the same colours, then
    // the summary line on the same line.
    const QString recorded = record->text();
    QVERIFY2(recorded.startsWith(Exercise), qPrintable(recorded));
    QVERIFY(recorded.size() > Exercise.size() + 1);
    QVERIFY(recorded.endsWith(QLatin1Char('\n')));
    QCOMPARE(recorded.count(QLatin1Char('\n')), 1);
    for (int p = 0; p <= last; ++p)
        QCOMPARE(record->colorAt(p), p == WrongAt ? Magenta : Blue);
}

void E2eKeyboard::typesWithThePadOnTheUsLayout()
{
    int status = 0;
    run(QStringLiteral("setxkbmap"), {QStringLiteral("us")}, &status);
    QCOMPARE(status, 0);
    const QString keymap =
        run(QStringLiteral("xkbcomp"),
            {QStringLiteral("-xkb"), qEnvironmentVariable("DISPLAY"), QStringLiteral("-")});
    QVERIFY2(!keymap.contains(QLatin1String("ntilde")), "the US layout did not take");

    ProgramFolder folder;
    folder.addExercise(0, 1, Exercise.toUtf8() + "\r\n");
    Harness h(folder.path());
    QCOMPARE(h.form->expectedText(), Exercise);
    auto *box = h.child<RichTextBox>(QStringLiteral("RichTextBox1"));
    auto *label = h.child<QLabel>(QStringLiteral("Label1"));
    auto *right = h.child<QAbstractButton>(QStringLiteral("Command8(0)"));
    auto *wrong = h.child<QAbstractButton>(QStringLiteral("Command8(1)"));
    h.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.form));
    h.form->Command5_Click();
    focusOn(h.form);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(box));

    // F2 shows the pad beside the window, which keeps the focus.
    press({QStringLiteral("F2")});
    Aids *aids = h.form->findChild<Aids *>();
    QTRY_VERIFY(aids->accentPad() && aids->accentPad()->isVisible());
    AccentPad *pad = aids->accentPad();
    QVERIFY(QTest::qWaitForWindowExposed(pad));
    QTRY_VERIFY(pad->frameGeometry().left() > h.form->frameGeometry().right());
    const auto click = [&](QChar c) {
        auto *key = pad->findChild<QPushButton *>(QString(c));
        QVERIFY(key);
        const QPoint at = key->mapToGlobal(key->rect().center());
        int clicked = 0;
        run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()),
             QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")},
            &clicked);
        QCOMPARE(clicked, 0);
    };
    // The US keys for the rest.
    const auto usKeys = [](QChar c) -> QString {
        switch (c.unicode()) {
        case ' ':
            return QStringLiteral("space");
        case ',':
            return QStringLiteral("comma");
        case '!':
            return QStringLiteral("shift+1");
        case '?':
            return QStringLiteral("shift+slash");
        }
        return c.isUpper() ? QStringLiteral("shift+") + c.toLower() : QString(c);
    };

    const int last = int(Exercise.size()) - 1;
    for (int i = 0; i <= last; ++i) {
        const QChar c = Exercise.at(i);
        if (i == WrongAt) {
            // The vowel without its accent from the keyboard, then the pad's
            // á over it: magenta, as with the Spanish keyboard.
            press({QStringLiteral("a")});
            QTRY_VERIFY(h.form->mistakePending());
            QCOMPARE(label->text(), QStringLiteral("Esta vocal lleva acento"));
        }
        if (AccentPad::characters().contains(c))
            click(c);
        else
            press({usKeys(c)});
        if (i < last) {
            QTRY_COMPARE(h.form->textPos(), i + 2);
            QCOMPARE(box->text(), Exercise.left(i + 1));
            QCOMPARE(right->text(), QString::number(i + 1));
            // Clicking the pad moved neither the activation nor the focus.
            QVERIFY(h.form->isActiveWindow());
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(box));
        } else {
            QTRY_COMPARE(h.messages->shown, QStringList{QStringLiteral("Fin del ejercicio")});
        }
    }
    QCOMPARE(right->text(), QString::number(Exercise.size()));
    QCOMPARE(wrong->text(), QStringLiteral("1"));
    QCOMPARE(h.form->faultyExercises(), 1);
    const auto *record = h.child<RichTextBox>(QStringLiteral("RichTextBox2"));
    QVERIFY(record->text().startsWith(Exercise + QStringLiteral(" ** ")));
    for (int p = 0; p <= last; ++p)
        QCOMPARE(record->colorAt(p), p == WrongAt ? Magenta : Blue);
    QTRY_COMPARE(box->text(), QString());
    // Shut with the box.
    QVERIFY(!pad->findChild<QPushButton *>(QStringLiteral("á"))->isEnabled());
}

// A pupil without a mouse and without a Spanish keyboard: the US layout, from
// the introduction window to a finished sentence, every accent, ñ, ü, ¿ and ¡
// typed with the keyboard's Ctrl sequences, every button reached by its key.
void E2eKeyboard::keyboardOnlyOnTheUsLayout()
{
    int status = 0;
    run(QStringLiteral("setxkbmap"), {QStringLiteral("us")}, &status);
    QCOMPARE(status, 0);
    const QString keymap =
        run(QStringLiteral("xkbcomp"),
            {QStringLiteral("-xkb"), qEnvironmentVariable("DISPLAY"), QStringLiteral("-")});
    QVERIFY2(!keymap.contains(QLatin1String("ntilde")), "the US layout did not take");

    // The sentence is exercise 2 of "Frase corta": reached with the keys for
    // the type and the next exercise.
    ProgramFolder folder;
    folder.addExercise(0, 1, "casa\r\n");
    folder.addExercise(1, 1, "uno\r\n");
    folder.addExercise(1, 2, Exercise.toUtf8() + "\r\n");
    auto sound = std::make_shared<FakeSound>();
    auto messages = std::make_shared<ScriptedMessages>();
    Services services;
    services.programFolder = folder.path();
    services.sound = sound;
    services.messages = messages;
    services.fontList = [] { return QStringList{QStringLiteral("Arial")}; };
    services.screenTwips = [] { return QSize(15360, 11520); };

    auto *intro = new Form2(services);
    intro->setAttribute(Qt::WA_DeleteOnClose);
    intro->Form_Load();
    intro->show();
    QVERIFY(QTest::qWaitForWindowExposed(intro));
    // The window manager gives the new window the keyboard, its button the focus.
    QTRY_VERIFY(intro->isActiveWindow());
    auto *continuar = intro->findChild<QPushButton *>(QStringLiteral("Command1"));
    QVERIFY(continuar);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(continuar));

    // Return presses CONTINUAR as Space would: the main window opens and the
    // introduction closes.
    const QPointer<Form2> introduction(intro);
    press({QStringLiteral("Return")});
    Form1 *form = nullptr;
    QTRY_VERIFY((form = [] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *f = qobject_cast<Form1 *>(w); f && f->isVisible())
                return f;
        }
        return static_cast<Form1 *>(nullptr);
    }()));
    QTRY_VERIFY(!introduction);
    QTRY_VERIFY(form->isActiveWindow());
    auto *box = form->findChild<RichTextBox *>(QStringLiteral("RichTextBox1"));
    auto *label = form->findChild<QLabel *>(QStringLiteral("Label1"));
    auto *right = form->findChild<QAbstractButton *>(QStringLiteral("Command8(0)"));
    auto *wrong = form->findChild<QAbstractButton *>(QStringLiteral("Command8(1)"));
    QVERIFY(box && label && right && wrong);
    QCOMPARE(form->expectedText(), QStringLiteral("casa"));

    // Alt+2 chooses "Frase corta", Alt+Right its next exercise, Ctrl+Return
    // is the pen: the typing box opens with the focus.
    press({QStringLiteral("alt+2")});
    QTRY_COMPARE(form->exerciseType(), 1);
    QCOMPARE(form->expectedText(), QStringLiteral("uno"));
    press({QStringLiteral("alt+Right")});
    QTRY_COMPARE(form->expectedText(), Exercise);
    QCOMPARE(form->exerciseNumbers().at(1), 2);
    QVERIFY(!box->isEnabled());
    press({QStringLiteral("ctrl+Return")});
    QTRY_VERIFY(box->isEnabled());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(box));
    QVERIFY(messages->shown.isEmpty());

    // The US keys: Ctrl+' and the vowel, Ctrl+Shift+' (Ctrl+") and u,
    // Ctrl+Shift+` (Ctrl+~) and n, Ctrl+Shift+/ (Ctrl+?), Ctrl+Shift+1 (Ctrl+!).
    const auto usKeys = [](QChar c) -> QStringList {
        const auto letter = [](QChar l) {
            return l.isUpper() ? QStringLiteral("shift+") + l.toLower() : QString(l);
        };
        switch (c.unicode()) {
        case ' ':
            return {QStringLiteral("space")};
        case ',':
            return {QStringLiteral("comma")};
        case '!':
            return {QStringLiteral("shift+1")};
        case '?':
            return {QStringLiteral("shift+slash")};
        case 0x00BF: // ¿
            return {QStringLiteral("ctrl+shift+slash")};
        case 0x00A1: // ¡
            return {QStringLiteral("ctrl+shift+1")};
        }
        const QChar base = QString(c).normalized(QString::NormalizationForm_D).at(0);
        if (base == c)
            return {letter(c)};
        if (c.toLower() == QChar(0x00FC)) // ü
            return {QStringLiteral("ctrl+shift+apostrophe"), letter(base)};
        if (c.toLower() == QChar(0x00F1)) // ñ
            return {QStringLiteral("ctrl+shift+grave"), letter(base)};
        return {QStringLiteral("ctrl+apostrophe"), letter(base)};
    };

    // The counters as the finished exercise leaves them, read while the
    // "Fin del ejercicio" box is up.
    QStringList countersAtTheEnd;
    messages->onShow = [&](const QString &) { countersAtTheEnd = {right->text(), wrong->text()}; };
    const int last = int(Exercise.size()) - 1;
    for (int i = 0; i <= last; ++i) {
        const QChar c = Exercise.at(i);
        if (i == WrongAt) {
            // The vowel without its accent: judged wrong, then the sequence
            // puts the right one over it, as a Spanish keyboard's key would.
            press({QStringLiteral("a")});
            QTRY_VERIFY(form->mistakePending());
            QCOMPARE(label->text(), QStringLiteral("Esta vocal lleva acento"));
            QCOMPARE(wrong->text(), QStringLiteral("1"));
            QCOMPARE(box->colorAt(i), Red);
        }
        press(usKeys(c));
        if (i < last) {
            QTRY_COMPARE(form->textPos(), i + 2);
            QCOMPARE(box->text(), Exercise.left(i + 1));
            QCOMPARE(right->text(), QString::number(i + 1));
            QCOMPARE(label->text(), QString());
        } else {
            QTRY_COMPARE(messages->shown, QStringList{QStringLiteral("Fin del ejercicio")});
        }
    }
    // Every key right but one: the hits and the mistakes shown.
    QCOMPARE(countersAtTheEnd,
             QStringList({QString::number(Exercise.size()), QStringLiteral("1")}));
    QCOMPARE(right->text(), QString::number(Exercise.size()));
    QCOMPARE(wrong->text(), QStringLiteral("1"));
    QCOMPARE(sound->alerts, 1);
    QCOMPARE(form->faultyExercises(), 1);
    const auto *record = form->findChild<RichTextBox *>(QStringLiteral("RichTextBox2"));
    QVERIFY(record->text().startsWith(Exercise + QStringLiteral(" ** ")));
    for (int p = 0; p <= last; ++p)
        QCOMPARE(record->colorAt(p), p == WrongAt ? Magenta : Blue);
    QTRY_COMPARE(box->text(), QString());
    QVERIFY(!box->isEnabled());
    form->close();
}

QTEST_MAIN(E2eKeyboard)
#include "tst_e2e_keyboard.moc"

// The keyboard's accent sequences, key by key: which mark a key starts, which
// character a mark and the next key give, and which keys go on untouched.
#include "checker/accentkeys.h"

#include <QTest>

using namespace letro;

Q_DECLARE_METATYPE(letro::AccentMark)

class TestAccentKeys : public QObject
{
    Q_OBJECT

private slots:
    void step_data();
    void step();
};

void TestAccentKeys::step_data()
{
    QTest::addColumn<AccentMark>("pending");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<AccentMark>("after");
    QTest::addColumn<QString>("typed"); // empty: nothing
    QTest::addColumn<bool>("used");
    const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier,
              ctrlShift = Qt::ControlModifier | Qt::ShiftModifier, alt = Qt::AltModifier;
    const auto None = AccentMark::None, Acute = AccentMark::Acute,
               Diaeresis = AccentMark::Diaeresis, Tilde = AccentMark::Tilde;
    const auto row = [](const char *name, AccentMark pending, int key, int modifiers,
                        const char *text, AccentMark after, const char *typed, bool used) {
        QTest::newRow(name) << pending << key << modifiers << QString::fromUtf8(text) << after
                            << QString::fromUtf8(typed) << used;
    };
    // Starting a mark: the keys Qt reports on a US layout under X11.
    row("Ctrl+' starts the acute", None, Qt::Key_Apostrophe, ctrl, "'", Acute, "", true);
    row("Ctrl+Shift+' (Ctrl+\") starts the diaeresis", None, Qt::Key_QuoteDbl, ctrlShift, "\"",
        Diaeresis, "", true);
    row("Ctrl+Shift+` (Ctrl+~) starts the tilde", None, Qt::Key_AsciiTilde, ctrlShift, "~", Tilde,
        "", true);
    row("unshifted name of Ctrl+Shift+'", None, Qt::Key_Apostrophe, ctrlShift, "'", Diaeresis, "",
        true);
    row("unshifted name of Ctrl+Shift+`", None, Qt::Key_QuoteLeft, ctrlShift, "`", Tilde, "", true);
    row("Ctrl+` alone is nothing", None, Qt::Key_QuoteLeft, ctrl, "`", None, "", false);
    row("a new mark replaces the one waiting", Acute, Qt::Key_AsciiTilde, ctrlShift, "~", Tilde, "",
        true);
    // The marks typed at once.
    row("Ctrl+? types ¿", None, Qt::Key_Question, ctrlShift, "?", None, "¿", true);
    row("Ctrl+Shift+/ types ¿", None, Qt::Key_Slash, ctrlShift, "/", None, "¿", true);
    row("Ctrl+! types ¡", None, Qt::Key_Exclam, ctrlShift, "!", None, "¡", true);
    row("Ctrl+Shift+1 types ¡", None, Qt::Key_1, ctrlShift, "1", None, "¡", true);
    row("Ctrl+1 is nothing", None, Qt::Key_1, ctrl, "1", None, "", false);
    row("¿ while a mark waits", Acute, Qt::Key_Question, ctrlShift, "?", None, "¿", true);
    // The letter after a mark.
    row("acute a", Acute, Qt::Key_A, none, "a", None, "á", true);
    row("acute e", Acute, Qt::Key_E, none, "e", None, "é", true);
    row("acute i", Acute, Qt::Key_I, none, "i", None, "í", true);
    row("acute o", Acute, Qt::Key_O, none, "o", None, "ó", true);
    row("acute u", Acute, Qt::Key_U, none, "u", None, "ú", true);
    row("acute capital with Shift", Acute, Qt::Key_E, shift, "E", None, "É", true);
    row("acute capital with Caps Lock", Acute, Qt::Key_O, none, "O", None, "Ó", true);
    row("diaeresis u", Diaeresis, Qt::Key_U, none, "u", None, "ü", true);
    row("diaeresis U", Diaeresis, Qt::Key_U, shift, "U", None, "Ü", true);
    row("tilde n", Tilde, Qt::Key_N, none, "n", None, "ñ", true);
    row("tilde N", Tilde, Qt::Key_N, shift, "N", None, "Ñ", true);
    // Keys that take no mark: the mark is dropped, the key goes on.
    row("acute n", Acute, Qt::Key_N, none, "n", None, "", false);
    row("diaeresis a", Diaeresis, Qt::Key_A, none, "a", None, "", false);
    row("tilde a", Tilde, Qt::Key_A, none, "a", None, "", false);
    row("acute then Space", Acute, Qt::Key_Space, none, " ", None, "", false);
    row("acute then Ctrl+A", Acute, Qt::Key_A, ctrl, "\x01", None, "", false);
    row("acute then Alt+a", Acute, Qt::Key_A, alt, "a", None, "", false);
    row("acute then Escape", Acute, Qt::Key_Escape, none, "\x1b", None, "", false);
    // Shift pressed for a capital keeps the mark waiting.
    row("Shift alone after a mark", Acute, Qt::Key_Shift, shift, "", Acute, "", false);
    row("Caps Lock after a mark", Tilde, Qt::Key_CapsLock, none, "", Tilde, "", false);
    // Ordinary typing is untouched.
    row("a letter", None, Qt::Key_A, none, "a", None, "", false);
    row("an apostrophe", None, Qt::Key_Apostrophe, none, "'", None, "", false);
    row("a question mark", None, Qt::Key_Question, shift, "?", None, "", false);
    row("Alt+' is not Ctrl+'", None, Qt::Key_Apostrophe, alt, "'", None, "", false);
    row("Ctrl+Alt+' is not Ctrl+'", None, Qt::Key_Apostrophe, ctrl | alt, "'", None, "", false);
    row("keypad Ctrl+' counts", None, Qt::Key_Apostrophe, ctrl | Qt::KeypadModifier, "'", Acute, "",
        true);
}

void TestAccentKeys::step()
{
    QFETCH(AccentMark, pending);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(AccentMark, after);
    QFETCH(QString, typed);
    QFETCH(bool, used);
    const AccentKeyStep step = accentKeyStep(pending, key, Qt::KeyboardModifiers(modifiers), text);
    QCOMPARE(step.pending, after);
    QCOMPARE(step.typed.isNull() ? QString() : QString(step.typed), typed);
    QCOMPARE(step.used, used);
}

QTEST_APPLESS_MAIN(TestAccentKeys)
#include "tst_accentkeys.moc"

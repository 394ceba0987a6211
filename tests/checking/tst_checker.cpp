// The keystroke checker in the real main window: keys typed into the typing
// box are judged against the exercise, coloured, counted, copied into the
// record box, and explained by the message line, the animation and the alert.
#include "checking.h"
#include "ui/richtextview.h"

#include <QApplication>
#include <QTest>

using namespace letro;
using namespace letro::test;

namespace {

const QString CapitalMessage = QStringLiteral("¡MAYÚSCULAS - MINÚSCULAS!");
const QString OtherMessage = QStringLiteral("Te has confundido de letra");

} // namespace

class TestChecker : public QObject
{
    Q_OBJECT

private:
    // A program folder whose first "Palabras" exercise is `text`, and a
    // window on it with an attempt started.
    struct Fixture
    {
        explicit Fixture(const QString &text)
        {
            if (!text.isNull())
                folder.addExercise(0, 1, exerciseBytes(text));
            harness = std::make_unique<Harness>(folder.path());
            w = std::make_unique<Window>(*harness);
            w->start();
        }
        ProgramFolder folder;
        std::unique_ptr<Harness> harness;
        std::unique_ptr<Window> w;
        Harness &h() { return *harness; }
        QString gif(const QString &name) const
        {
            return folder.path() + QStringLiteral("/gifs/") + name;
        }
    };

    static QString colours(const RichTextBox *box)
    {
        // One letter per character: b(lue), m(agenta), r(ed), k (black), ? other.
        QString out;
        for (int i = 0; i < box->length(); ++i) {
            switch (box->colorAt(i)) {
            case Blue:
                out += u'b';
                break;
            case Magenta:
                out += u'm';
                break;
            case Red:
                out += u'r';
                break;
            case Black:
                out += u'k';
                break;
            default:
                out += u'?';
            }
        }
        return out;
    }

    static QString accepted(const RichTextBox *box)
    {
        QString out;
        for (int i = 0; i < box->length(); ++i)
            out += box->acceptedAt(i) ? u'+' : u'-';
        return out;
    }

private slots:
    void casaExample()
    {
        // Text casa, keys c A a s a: the state after each key.
        struct Step
        {
            QChar key;
            QString typingText, typingColours, typingAccepted, recordText, hits, mistakes, message,
                gif;
            int alerts, textPos;
            bool pending;
        };
        const Step steps[] = {
            {u'c', "c", "b", "+", "c", "1", "0", "", "si.gif", 0, 2, false},
            {u'A', "cA", "br", "+-", "c", "1", "1", CapitalMessage, "no.gif", 1, 2, true},
            {u'a', "ca", "bm", "++", "ca", "2", "1", "", "si.gif", 1, 3, false},
            {u's', "cas", "bmb", "+++", "cas", "3", "1", "", "si.gif", 1, 4, false},
        };
        Fixture f(QStringLiteral("casa"));
        Window &w = *f.w;
        for (const Step &s : steps) {
            const QByteArray at = QStringLiteral("after key %1").arg(s.key).toUtf8();
            typeKey(w.typing(), s.key);
            QVERIFY2(w.typing()->text() == s.typingText, at);
            QVERIFY2(colours(w.typing()) == s.typingColours, at);
            QVERIFY2(accepted(w.typing()) == s.typingAccepted, at);
            QVERIFY2(w.record()->text() == s.recordText, at);
            QVERIFY2(colours(w.record()) == s.typingColours.left(s.recordText.size()), at);
            QVERIFY2(accepted(w.record()) == QString(s.recordText.size(), u'+'), at);
            QVERIFY2(w.hits() == s.hits, at);
            QVERIFY2(w.mistakes() == s.mistakes, at);
            QVERIFY2(w.message() == s.message, at);
            QVERIFY2(w.velantro(1)->gifPath() == f.gif(s.gif), at);
            QVERIFY2(f.h().sound->alerts == s.alerts, at);
            QVERIFY2(w.h.form->textPos() == s.textPos, at);
            QVERIFY2(w.h.form->recordPos() == s.textPos, at);
            QVERIFY2(f.h().form->mistakePending() == s.pending, at);
            QVERIFY2(f.h().messages->shown.isEmpty(), at);
        }

        // The last a ends the exercise with four hits and one mistake.
        QString hitsShown, typingShown;
        f.h().messages->onShow = [&](const QString &) {
            hitsShown = w.hits();
            typingShown = w.typing()->text();
        };
        typeKey(w.typing(), u'a');
        QCOMPARE(f.h().messages->shown, QStringList{QStringLiteral("Fin del ejercicio")});
        QCOMPARE(hitsShown, QStringLiteral("4"));
        QCOMPARE(typingShown, QStringLiteral("casa"));
        QCOMPARE(w.hits(), QStringLiteral("4"));
        QCOMPARE(w.mistakes(), QStringLiteral("1"));
        QCOMPARE(w.message(), QString());
        QCOMPARE(w.velantro(1)->gifPath(), f.gif(QStringLiteral("si.gif")));
        QCOMPARE(f.h().sound->alerts, 1);
        QVERIFY(w.record()->text().startsWith(QStringLiteral("casa **")));
        QCOMPARE(colours(w.record()).left(5), QStringLiteral("bmbbk"));
        QCOMPARE(accepted(w.record()).left(5), QStringLiteral("++++-"));
    }

    void wrongKeysAtOnePosition()
    {
        Fixture f(QStringLiteral("casa"));
        Window &w = *f.w;
        typeKey(w.typing(), u'c');
        struct Wrong
        {
            QChar key;
            QString message;
        };
        const Wrong wrongs[] = {
            {u'x', OtherMessage},
            {u'á', QStringLiteral("Esta vocal NO lleva acento")},
            {u'h', QStringLiteral("No lleva 'h'")},
            {u'A', CapitalMessage},
        };
        int alerts = 0;
        for (const Wrong &wrong : wrongs) {
            typeKey(w.typing(), wrong.key);
            ++alerts;
            // Only the last wrong key is there, in red, after the accepted c.
            QCOMPARE(w.typing()->text(), QStringLiteral("c") + wrong.key);
            QCOMPARE(colours(w.typing()), QStringLiteral("br"));
            QCOMPARE(w.message(), wrong.message);
            QCOMPARE(f.h().sound->alerts, alerts);
            QCOMPARE(w.velantro(1)->gifPath(), f.gif(QStringLiteral("no.gif")));
            QCOMPARE(w.mistakes(), QStringLiteral("1"));
            QCOMPARE(w.hits(), QStringLiteral("1"));
            QCOMPARE(w.h.form->textPos(), 2);
            QCOMPARE(w.record()->text(), QStringLiteral("c"));
        }
        typeKey(w.typing(), u'a');
        QCOMPARE(w.typing()->text(), QStringLiteral("ca"));
        QCOMPARE(colours(w.typing()), QStringLiteral("bm"));
        QCOMPARE(w.message(), QString());
        QCOMPARE(f.h().sound->alerts, 4);
        // A wrong key at the next position counts again.
        typeKey(w.typing(), u'z');
        QCOMPARE(w.mistakes(), QStringLiteral("2"));
        QCOMPARE(w.typing()->text(), QStringLiteral("caz"));
        QCOMPARE(colours(w.typing()), QStringLiteral("bmr"));
    }

    void blanksAndPunctuationAreHits()
    {
        Fixture f(QStringLiteral("Sí, no."));
        Window &w = *f.w;
        QString hitsShown, mistakesShown;
        f.h().messages->onShow = [&](const QString &) {
            hitsShown = w.hits();
            mistakesShown = w.mistakes();
        };
        typeText(w.typing(), QStringLiteral("Sí, no"));
        QCOMPARE(w.hits(), QStringLiteral("6"));
        QCOMPARE(w.record()->text(), QStringLiteral("Sí, no"));
        QCOMPARE(colours(w.record()), QStringLiteral("bbbbbb"));
        typeKey(w.typing(), u'.');
        QCOMPARE(hitsShown, QStringLiteral("7"));
        QCOMPARE(mistakesShown, QStringLiteral("0"));
        QVERIFY(w.record()->text().startsWith(QStringLiteral("Sí, no. ** ")));
        QVERIFY(w.record()->text().contains(QStringLiteral(" - 0 Errores - 7 Aciertos **\n")));
    }

    void recordHoldsOnlyAcceptedCharacters()
    {
        Fixture f(QStringLiteral("hola que tal"));
        Window &w = *f.w;
        // o for h (missing h), then h; x for o; blank right; q wrong as Q...
        const QString keys = QStringLiteral("ohxola Qque");
        typeText(w.typing(), keys);
        QCOMPARE(w.typing()->text(), QStringLiteral("hola que"));
        QCOMPARE(colours(w.typing()), QStringLiteral("mmbbbmbb"));
        QCOMPARE(w.record()->text(), QStringLiteral("hola que"));
        QCOMPARE(colours(w.record()), QStringLiteral("mmbbbmbb"));
        QCOMPARE(accepted(w.record()), QStringLiteral("++++++++"));
        QCOMPARE(accepted(w.typing()), QStringLiteral("++++++++"));
        QCOMPARE(w.hits(), QStringLiteral("8"));
        QCOMPARE(w.mistakes(), QStringLiteral("3"));
        // A pending wrong key is in the typing box only.
        typeKey(w.typing(), u'x');
        QCOMPARE(w.typing()->text(), QStringLiteral("hola quex"));
        QCOMPARE(accepted(w.typing()), QStringLiteral("++++++++-"));
        QCOMPARE(w.record()->text(), QStringLiteral("hola que"));
        QCOMPARE(w.h.form->recordPos(), 9);
    }

    void oneCharacterText()
    {
        Fixture f(QStringLiteral("a"));
        Window &w = *f.w;
        QString hitsShown, typingShown, typingColour;
        bool clockOn = true, lateTimerOn = true;
        f.h().messages->onShow = [&](const QString &) {
            hitsShown = w.hits();
            typingShown = w.typing()->text();
            typingColour = colours(w.typing());
            clockOn = w.timer(1)->isActive();
            lateTimerOn = w.timer(2)->isActive();
        };
        typeKey(w.typing(), u'a');
        QCOMPARE(f.h().messages->shown, QStringList{QStringLiteral("Fin del ejercicio")});
        QCOMPARE(hitsShown, QStringLiteral("1"));
        QCOMPARE(typingShown, QStringLiteral("a"));
        QCOMPARE(typingColour, QStringLiteral("b"));
        QVERIFY(!clockOn);
        QVERIFY(!lateTimerOn);
        QCOMPARE(w.h.form->textPos(), 1);
        QVERIFY(w.timer(2)->isActive());
        QVERIFY(!w.typing()->isEnabled());
    }

    void everyAttemptStartsClean_data()
    {
        QTest::addColumn<QString>("abandoned"); // typed before the pen is pressed again
        QTest::addColumn<QString>("elsewhere"); // typed while another control has the focus
        QTest::addColumn<QString>("typed");     // then typed into the box
        QTest::addColumn<QString>("mistakes");
        QTest::addColumn<QString>("typingColours");
        QTest::addColumn<bool>("pending");
        QTest::newRow("red letter abandoned, right key first")
            << QStringLiteral("cx") << QString() << QStringLiteral("ca") << QStringLiteral("0")
            << QStringLiteral("bb") << false;
        QTest::newRow("red letter abandoned, wrong key first")
            << QStringLiteral("cx") << QString() << QStringLiteral("zca") << QStringLiteral("1")
            << QStringLiteral("mb") << false;
        QTest::newRow("red letter abandoned, two wrong keys first")
            << QStringLiteral("cx") << QString() << QStringLiteral("zyc") << QStringLiteral("1")
            << QStringLiteral("m") << false;
        QTest::newRow("right letter typed elsewhere, then a wrong one in the box")
            << QString() << QStringLiteral("c") << QStringLiteral("zc") << QStringLiteral("1")
            << QStringLiteral("m") << false;
        QTest::newRow("red letter abandoned, a letter typed elsewhere, a wrong one in the box")
            << QStringLiteral("cx") << QStringLiteral("c") << QStringLiteral("z")
            << QStringLiteral("1") << QStringLiteral("r") << true;
    }

    void everyAttemptStartsClean()
    {
        QFETCH(QString, abandoned);
        QFETCH(QString, elsewhere);
        QFETCH(QString, typed);
        QFETCH(QString, mistakes);
        QFETCH(QString, typingColours);
        QFETCH(bool, pending);
        Fixture f(QStringLiteral("casa"));
        Window &w = *f.w;
        typeText(w.typing(), abandoned);

        w.start();
        QCOMPARE(f.h().form->mistakePending(), false);
        QCOMPARE(w.typing()->text(), QString());
        QCOMPARE(w.record()->text(), QString());
        QCOMPARE(w.mistakes(), QStringLiteral("0"));
        QCOMPARE(w.hits(), QStringLiteral("0"));
        QCOMPARE(w.h.form->textPos(), 1);

        // A key meant for the box but typed on a button is not judged.
        typeText(w.button(QStringLiteral("Command1")), elsewhere);
        QCOMPARE(w.typing()->text(), QString());
        QCOMPARE(w.hits(), QStringLiteral("0"));
        QCOMPARE(w.mistakes(), QStringLiteral("0"));
        // The pupil clicks the box and types there.
        QTest::mouseClick(shownText(w.typing())->viewport(), Qt::LeftButton);
        typeText(w.typing(), typed);
        QCOMPARE(w.mistakes(), mistakes);
        QCOMPARE(colours(w.typing()), typingColours);
        QCOMPARE(f.h().form->mistakePending(), pending);
        const QString accepted = typingColours.contains(u'r') ? QString() : typingColours;
        QCOMPARE(colours(w.record()), accepted);
    }

    void editingKeysCancelled_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::newRow("Backspace")
            << int(Qt::Key_Backspace) << int(Qt::NoModifier) << QStringLiteral("\b");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier)
                               << QStringLiteral("\r");
        QTest::newRow("keypad Enter")
            << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << QStringLiteral("\r");
        QTest::newRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier)
                                << QStringLiteral("\x7f");
        QTest::newRow("Ctrl+Backspace")
            << int(Qt::Key_Backspace) << int(Qt::ControlModifier) << QString();
        QTest::newRow("Shift+Delete") << int(Qt::Key_Delete) << int(Qt::ShiftModifier) << QString();
        QTest::newRow("Shift+Enter")
            << int(Qt::Key_Return) << int(Qt::ShiftModifier) << QStringLiteral("\r");
        QTest::newRow("Tab (a control character)")
            << int(Qt::Key_Tab) << int(Qt::NoModifier) << QStringLiteral("\t");
        QTest::newRow("Escape (a control character)")
            << int(Qt::Key_Escape) << int(Qt::NoModifier) << QStringLiteral("\x1b");
        QTest::newRow("Ctrl+H (a control character)")
            << int(Qt::Key_H) << int(Qt::ControlModifier) << QStringLiteral("\b");
    }

    void editingKeysCancelled()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        Fixture f(QStringLiteral("casa"));
        Window &w = *f.w;
        typeText(w.typing(), QStringLiteral("cax"));
        // The caret is put back inside the text, as a click or an arrow would.
        pressKey(w.typing(), Qt::Key_Left);
        pressKey(w.typing(), Qt::Key_Left);
        for (int i = 0; i < 3; ++i)
            pressKey(w.typing(), Qt::Key(key), Qt::KeyboardModifiers(modifiers), text);
        QCOMPARE(w.typing()->text(), QStringLiteral("cax"));
        QCOMPARE(colours(w.typing()), QStringLiteral("bbr"));
        QCOMPARE(w.record()->text(), QStringLiteral("ca"));
        QCOMPARE(w.hits(), QStringLiteral("2"));
        QCOMPARE(w.mistakes(), QStringLiteral("1"));
        // Not judged: the message of the wrong x stays, no further alert.
        QCOMPARE(w.message(), OtherMessage);
        QCOMPARE(f.h().sound->alerts, 1);
        QCOMPARE(w.h.form->textPos(), 3);
        // And the checker's own selection was not moved by the caret.
        typeKey(w.typing(), u's');
        QCOMPARE(w.typing()->text(), QStringLiteral("cas"));
        QCOMPARE(colours(w.typing()), QStringLiteral("bbm"));
    }

    void recordBoxTakesNoKeys()
    {
        Fixture f(QStringLiteral("casa"));
        Window &w = *f.w;
        typeText(w.typing(), QStringLiteral("ca"));
        w.button(QStringLiteral("Command2"))->click();
        QVERIFY(!w.record()->isHidden());
        const QString before = w.record()->text();
        typeText(w.record(), QStringLiteral("sa xyz"));
        commitText(w.record(), QStringLiteral("á"));
        pressKey(w.record(), Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
        pressKey(w.record(), Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
        pressKey(w.record(), Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        pressKey(w.record(), Qt::Key_V, Qt::ControlModifier);
        pressKey(w.record(), Qt::Key_X, Qt::ControlModifier);
        pressKey(w.record(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.record()->text(), before);
        QCOMPARE(colours(w.record()), QStringLiteral("bb"));
        // Nothing reached the checker either.
        QCOMPARE(w.hits(), QStringLiteral("2"));
        QCOMPARE(w.mistakes(), QStringLiteral("0"));
        QCOMPARE(f.h().sound->alerts, 0);
        QCOMPARE(w.h.form->textPos(), 3);
        QCOMPARE(w.typing()->text(), QStringLiteral("ca"));
        // The attempt goes on where it was.
        typeKey(w.typing(), u's');
        QCOMPARE(w.record()->text(), QStringLiteral("cas"));
    }

    void deadKeyCommitJudgedLikeAKey_data()
    {
        QTest::addColumn<bool>("viaCommit");
        QTest::newRow("typed as keys") << false;
        QTest::newRow("committed by the input method") << true;
    }

    void deadKeyCommitJudgedLikeAKey()
    {
        // Every character of the sequence goes either as a key or as an
        // input-method commit; the checker must see no difference.
        QFETCH(bool, viaCommit);
        Fixture f(QStringLiteral("él está"));
        Window &w = *f.w;
        auto type = [&](QChar c) {
            if (viaCommit)
                commitText(w.typing(), QString(c));
            else
                typeKey(w.typing(), c);
        };
        struct Step
        {
            QChar key;
            QString typingText, colours, hits, mistakes, message;
        };
        const Step steps[] = {
            {u'e', "e", "r", "0", "1", "Esta vocal lleva acento"},
            {u'é', "é", "m", "1", "1", ""},
            {u'l', "él", "mb", "2", "1", ""},
            {u' ', "él ", "mbb", "3", "1", ""},
            {u'é', "él é", "mbbr", "3", "2", "Esta vocal NO lleva acento"},
            {u'e', "él e", "mbbm", "4", "2", ""},
            {u's', "él es", "mbbmb", "5", "2", ""},
            {u't', "él est", "mbbmbb", "6", "2", ""},
            {u'a', "él esta", "mbbmbbr", "6", "3", "Esta vocal lleva acento"},
            {u'Á', "él estÁ", "mbbmbbr", "6", "3", "¡MAYÚSCULAS - MINÚSCULAS!"},
        };
        for (const Step &s : steps) {
            const QByteArray at = QStringLiteral("after %1").arg(s.key).toUtf8();
            type(s.key);
            QVERIFY2(w.typing()->text() == s.typingText, at);
            QVERIFY2(colours(w.typing()) == s.colours, at);
            QVERIFY2(w.hits() == s.hits, at);
            QVERIFY2(w.mistakes() == s.mistakes, at);
            QVERIFY2(w.message() == s.message, at);
        }
        QCOMPARE(f.h().sound->alerts, 4);
        QCOMPARE(w.record()->text(), QStringLiteral("él est"));
        type(u'á');
        QCOMPARE(f.h().messages->shown, QStringList{QStringLiteral("Fin del ejercicio")});
        QVERIFY(w.record()->text().startsWith(QStringLiteral("él está ** ")));
        QCOMPARE(colours(w.record()).left(7), QStringLiteral("mbbmbbm"));
    }

    void commitOfSeveralCharacters()
    {
        // A commit of several characters is judged one character at a time.
        Fixture f(QStringLiteral("año"));
        Window &w = *f.w;
        commitText(w.typing(), QStringLiteral("anñ"));
        QCOMPARE(w.typing()->text(), QStringLiteral("añ"));
        QCOMPARE(colours(w.typing()), QStringLiteral("bm"));
        QCOMPARE(w.mistakes(), QStringLiteral("1"));
        QCOMPARE(w.hits(), QStringLiteral("2"));
        QCOMPARE(f.h().sound->alerts, 1);
    }

    void charactersOutsideTheCodePage()
    {
        Fixture f(QStringLiteral("casa"));
        Window &w = *f.w;
        // ā has no Windows-1252 code: it can never be the right key.
        typeKey(w.typing(), QChar(0x0101));
        QCOMPARE(w.message(), OtherMessage);
        QCOMPARE(w.mistakes(), QStringLiteral("1"));
        QCOMPARE(w.typing()->text(), QString(QChar(0x0101)));
        // A character beyond the Basic Multilingual Plane takes one position.
        pressKey(w.typing(), Qt::Key_unknown, Qt::NoModifier,
                 QString::fromUtf8("\xF0\x9F\x98\x80"));
        QCOMPARE(w.typing()->text(), QString(QChar::ReplacementCharacter));
        QCOMPARE(colours(w.typing()), QStringLiteral("r"));
        QCOMPARE(f.h().sound->alerts, 2);
        QCOMPARE(w.mistakes(), QStringLiteral("1"));
        typeKey(w.typing(), u'c');
        QCOMPARE(w.typing()->text(), QStringLiteral("c"));
        QCOMPARE(colours(w.typing()), QStringLiteral("m"));
    }

    void disabledBoxTakesNoKeys()
    {
        Fixture f(QStringLiteral("ab"));
        Window &w = *f.w;
        typeText(w.typing(), QStringLiteral("ab"));
        w.h.form->Timer2_Timer();
        QVERIFY(!w.typing()->isEnabled());
        const QString record = w.record()->text();
        typeText(w.typing(), QStringLiteral("ab"));
        QCOMPARE(w.typing()->text(), QString());
        QCOMPARE(w.record()->text(), record);
        QCOMPARE(w.hits(), QStringLiteral("2"));
        QCOMPARE(w.mistakes(), QStringLiteral("0"));
        QCOMPARE(f.h().sound->alerts, 0);
        QCOMPARE(f.h().messages->shown.size(), 1);
        QCOMPARE(w.h.form->textPos(), 1);
    }

    void keyWithEmptyText()
    {
        Fixture f{QString()};
        Window &w = *f.w;
        QCOMPARE(f.h().form->expectedText(), QString());
        QVERIFY(w.typing()->isEnabled());
        typeKey(w.typing(), u'a');
        QCOMPARE(w.message(), OtherMessage);
        QCOMPARE(w.mistakes(), QStringLiteral("1"));
        QCOMPARE(w.hits(), QStringLiteral("0"));
        QCOMPARE(w.typing()->text(), QStringLiteral("a"));
        QCOMPARE(colours(w.typing()), QStringLiteral("r"));
        QCOMPARE(f.h().sound->alerts, 1);
        QCOMPARE(w.velantro(1)->gifPath(), f.gif(QStringLiteral("no.gif")));
        typeKey(w.typing(), u' ');
        QCOMPARE(w.mistakes(), QStringLiteral("1"));
        QCOMPARE(w.typing()->text(), QStringLiteral(" "));
        QCOMPARE(f.h().sound->alerts, 2);
        QCOMPARE(w.h.form->textPos(), 1);
        QCOMPARE(w.h.form->recordPos(), 1);
        QCOMPARE(w.record()->text(), QString());
        QVERIFY(f.h().messages->shown.isEmpty());
    }
};

QTEST_MAIN(TestChecker)
#include "tst_checker.moc"

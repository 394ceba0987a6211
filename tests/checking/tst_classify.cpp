// The judgement of a key (right or wrong, last or not, its colour, whether a
// mistake is counted) and the classification of a wrong key: which row of the
// table names the mistake for a typed and an expected character, and the
// exact message shown.
#include "checker/classify.h"
#include "checker/judgekey.h"

#include <QTest>

using namespace letro;

namespace {

const QString Capital = QStringLiteral("¡MAYÚSCULAS - MINÚSCULAS!");
const QString YI = QStringLiteral("¡Confundes 'y' y 'i'!");
const QString BV = QStringLiteral("¡Confundes 'b' y 'v'!");
const QString NoH = QStringLiteral("No lleva 'h'");
const QString WantsH = QStringLiteral("Esta palabra lleva 'h'");
const QString WantsAccent = QStringLiteral("Esta vocal lleva acento");
const QString NoAccent = QStringLiteral("Esta vocal NO lleva acento");
const QString Blank = QStringLiteral("Después de una palabra viene un espacio");
const QString Punctuation = QStringLiteral("Se necesita un signo de puntuación   ,  .  :  ;");
const QString Other = QStringLiteral("Te has confundido de letra");

const QString messages[] = {Capital,     YI,       BV,    NoH,         WantsH,
                            WantsAccent, NoAccent, Blank, Punctuation, Other};

} // namespace

class TestClassify : public QObject
{
    Q_OBJECT

private:
    static void row(const char *name, QChar typed, QChar expected, int tableRow)
    {
        QTest::newRow(name) << typed << expected << tableRow << messages[tableRow - 1];
    }

    static void judged(const char *name, const QString &text, int textPos, bool pending,
                       QChar typed, bool correct, bool finishes, quint32 colour, bool counts,
                       Mistake mistake)
    {
        QTest::newRow(name) << text << textPos << pending << typed << correct << finishes << colour
                            << counts << int(mistake);
    }

private slots:
    void judgement_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("textPos");
        QTest::addColumn<bool>("pending");
        QTest::addColumn<QChar>("typed");
        QTest::addColumn<bool>("correct");
        QTest::addColumn<bool>("finishes");
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<bool>("countsMistake");
        QTest::addColumn<int>("mistake");

        const QString casa = QStringLiteral("casa");
        judged("first key right", casa, 1, false, u'c', true, false, Blue, false, Mistake::None);
        judged("right after a wrong key", casa, 2, true, u'a', true, false, Magenta, false,
               Mistake::None);
        judged("last key right", casa, 4, false, u'a', true, true, Blue, false, Mistake::None);
        judged("last key right after a wrong key", casa, 4, true, u'a', true, true, Magenta, false,
               Mistake::None);
        judged("one-character text", QStringLiteral("a"), 1, false, u'a', true, true, Blue, false,
               Mistake::None);
        judged("ñ typed for ñ", QStringLiteral("niño"), 3, false, u'ñ', true, false, Blue, false,
               Mistake::None);
        judged("blank typed for blank", QStringLiteral("la casa"), 3, false, u' ', true, false,
               Blue, false, Mistake::None);
        judged("first wrong key at a place", casa, 2, false, u'A', false, false, Red, true,
               Mistake::CapitalLetter);
        judged("second wrong key at a place", casa, 2, true, u'b', false, false, Red, false,
               Mistake::WrongLetter);
        judged("wrong key at the last place", casa, 4, false, u's', false, false, Red, true,
               Mistake::WrongLetter);
        judged("the next letter but one", casa, 1, false, u'a', false, false, Red, true,
               Mistake::WrongLetter);
        judged("accent left out", QStringLiteral("mamá"), 4, false, u'a', false, false, Red, true,
               Mistake::MissingAccent);
        judged("blank left out", QStringLiteral("la casa"), 3, false, u'c', false, false, Red, true,
               Mistake::MissingBlank);
        judged("empty text", QString(), 1, false, u'a', false, false, Red, true,
               Mistake::WrongLetter);
        judged("empty text, mistake pending", QString(), 1, true, u'a', false, false, Red, false,
               Mistake::WrongLetter);
        judged("past the end of the text", casa, 5, false, u'a', false, false, Red, true,
               Mistake::WrongLetter);
        judged("before the start of the text", casa, 0, false, u'c', false, false, Red, true,
               Mistake::WrongLetter);
    }

    void judgement()
    {
        QFETCH(QString, text);
        QFETCH(int, textPos);
        QFETCH(bool, pending);
        QFETCH(QChar, typed);
        const KeyJudgement key = judgeKey(text, textPos, pending, typed);
        QTEST(key.correct, "correct");
        QTEST(key.finishes, "finishes");
        QTEST(key.colour, "colour");
        QTEST(key.countsMistake, "countsMistake");
        QTEST(int(key.mistake), "mistake");
    }

    void classification_data()
    {
        QTest::addColumn<QChar>("typed");
        QTest::addColumn<QChar>("expected");
        QTest::addColumn<int>("tableRow");
        QTest::addColumn<QString>("message");

        // Row 1: capital or small letter.
        row("Y for y", u'Y', u'y', 1);
        row("y for Y", u'y', u'Y', 1);
        row("A for a", u'A', u'a', 1);
        row("Ñ for ñ", u'Ñ', u'ñ', 1);
        row("ñ for Ñ", u'ñ', u'Ñ', 1);
        row("Á for á", u'Á', u'á', 1);
        row("ü for Ü", u'ü', u'Ü', 1);
        row("H for h (row 1 before row 4)", u'H', u'h', 1);
        row("i for I (row 1 before row 2)", u'i', u'I', 1);
        // Row 2: y and i, either way and in either case.
        row("i for y", u'i', u'y', 2);
        row("Y for i", u'Y', u'i', 2);
        row("y for I", u'y', u'I', 2);
        row("I for Y", u'I', u'Y', 2);
        // Row 3: b and v.
        row("v for b", u'v', u'b', 3);
        row("B for v", u'B', u'v', 3);
        row("b for V", u'b', u'V', 3);
        // Row 4: an h typed where the text has anything else.
        row("h for b", u'h', u'b', 4);
        row("h for blank", u'h', u' ', 4);
        row("h for o", u'h', u'o', 4);
        row("H for comma", u'H', u',', 4);
        row("h for á", u'h', u'á', 4);
        // Row 5: the text has an h.
        row("b for h", u'b', u'h', 5);
        row("o for h", u'o', u'h', 5);
        row("blank for h", u' ', u'h', 5);
        row("comma for H", u',', u'H', 5);
        // Row 6: plain vowel for an accented one, whatever the case.
        row("o for ó", u'o', u'ó', 6);
        row("a for Á", u'a', u'Á', 6);
        row("A for á", u'A', u'á', 6);
        row("e for é", u'e', u'é', 6);
        row("I for í", u'I', u'í', 6);
        row("u for ú", u'u', u'ú', 6);
        // Row 7: accented vowel for a plain one.
        row("Ó for o", u'Ó', u'o', 7);
        row("á for a", u'á', u'a', 7);
        row("é for E", u'é', u'E', 7);
        row("í for i", u'í', u'i', 7);
        row("ú for u", u'ú', u'u', 7);
        // Row 8: the text has a blank.
        row("a for blank", u'a', u' ', 8);
        row("comma for blank", u',', u' ', 8);
        row("á for blank", u'á', u' ', 8);
        // Row 9: the text has a code from 0 to 63 other than the blank.
        row("full stop for comma", u'.', u',', 9);
        row("a for 3", u'a', u'3', 9);
        row("comma for full stop", u',', u'.', 9);
        row("a for question mark", u'a', u'?', 9);
        row("blank for colon", u' ', u':', 9);
        row("v for 0 (row 3 needs two letters)", u'v', u'0', 9);
        // Row 10: anything else.
        row("y for a", u'y', u'a', 10);
        row("y for í", u'y', u'í', 10);
        row("í for y", u'í', u'y', 10);
        row("b for p", u'b', u'p', 10);
        row("u for ü", u'u', u'ü', 10);
        row("ü for u", u'ü', u'u', 10);
        row("blank for a", u' ', u'a', 10);
        row("a for ¿", u'a', u'¿', 10);
        row("a for ¡", u'a', u'¡', 10);
        row("n for ñ", u'n', u'ñ', 10);
        row("ó for á", u'ó', u'á', 10);
        row("Á for É", u'Á', u'É', 10);
        row("a for @ (code 64)", u'a', u'@', 10);
        row("a for [ (code 91)", u'a', u'[', 10);
        row("a for € (code 128)", u'a', u'€', 10);
        row("a for a character outside Windows-1252", u'a', QChar(0x0101), 10);
        row("comma for a", u',', u'a', 10);
        row("3 for a", u'3', u'a', 10);
    }

    void classification()
    {
        QFETCH(QChar, typed);
        QFETCH(QChar, expected);
        QFETCH(int, tableRow);
        QFETCH(QString, message);
        const Mistake mistake = classifyMistake(typed, expected);
        QCOMPARE(int(mistake), tableRow);
        QCOMPARE(mistakeMessage(mistake), message);
    }

    // Every expected code from 0 to 64 with a letter typed that no earlier row
    // catches: the blank is row 8, the other codes below 64 are row 9, and 64
    // (@) is the first code past it.
    void lowCodes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("tableRow");
        for (int code = 0; code <= 64; ++code) {
            const int tableRow = code == 32 ? 8 : code < 64 ? 9 : 10;
            QTest::addRow("code %d", code) << code << tableRow;
        }
    }

    void lowCodes()
    {
        QFETCH(int, code);
        QFETCH(int, tableRow);
        for (QChar typed : {QChar(u'a'), QChar(u'Z'), QChar(u'ñ')}) {
            const Mistake mistake = classifyMistake(typed, QChar(code));
            QCOMPARE(int(mistake), tableRow);
            QCOMPARE(mistakeMessage(mistake), messages[tableRow - 1]);
        }
    }

    void punctuationMessageSpacing()
    {
        // Three blanks after the word, two between each pair of marks.
        const QString text = mistakeMessage(Mistake::MissingPunctuation);
        QVERIFY(text.endsWith(QStringLiteral("puntuación") + QString(3, u' ') +
                              QStringLiteral(",") + QString(2, u' ') + QStringLiteral(".") +
                              QString(2, u' ') + QStringLiteral(":") + QString(2, u' ') +
                              QStringLiteral(";")));
        QCOMPARE(text.size(), 47);
    }
};

QTEST_APPLESS_MAIN(TestClassify)
#include "tst_classify.moc"

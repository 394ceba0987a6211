// The exercise number as Text1 spells it: the number at the start of the text,
// and the 16-bit limit that refuses anything past 32767.
#include "exercise/exercisenumber.h"

#include <QTest>

using namespace letro;

class TestExerciseNumber : public QObject
{
    Q_OBJECT

private slots:
    void number_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("fits");
        QTest::newRow("empty") << QString() << 0 << true;
        QTest::newRow("0") << QStringLiteral("0") << 0 << true;
        QTest::newRow("1") << QStringLiteral("1") << 1 << true;
        QTest::newRow("12") << QStringLiteral("12") << 12 << true;
        QTest::newRow("05") << QStringLiteral("05") << 5 << true;
        QTest::newRow("000") << QStringLiteral("000") << 0 << true;
        QTest::newRow("-3") << QStringLiteral("-3") << -3 << true;
        QTest::newRow("-1") << QStringLiteral("-1") << -1 << true;
        QTest::newRow("minus alone") << QStringLiteral("-") << 0 << true;
        QTest::newRow("12abc") << QStringLiteral("12abc") << 12 << true;
        QTest::newRow("12 34") << QStringLiteral("12 34") << 12 << true;
        QTest::newRow("abc") << QStringLiteral("abc") << 0 << true;
        QTest::newRow("leading space") << QStringLiteral(" 7") << 0 << true;
        QTest::newRow("plus sign") << QStringLiteral("+7") << 0 << true;
        QTest::newRow("Arabic-Indic digit is not a digit")
            << QString::fromUtf16(u"\u0663") << 0 << true;
        QTest::newRow("32767") << QStringLiteral("32767") << 32767 << true;
        QTest::newRow("032767") << QStringLiteral("032767") << 32767 << true;
        QTest::newRow("32768 refused") << QStringLiteral("32768") << 32767 << false;
        QTest::newRow("99999 refused") << QStringLiteral("99999") << 32767 << false;
        QTest::newRow("huge refused")
            << QStringLiteral("123456789012345678901234567890") << 32767 << false;
        QTest::newRow("-32768") << QStringLiteral("-32768") << -32768 << true;
        QTest::newRow("-32769 refused") << QStringLiteral("-32769") << -32768 << false;
        QTest::newRow("32768abc refused") << QStringLiteral("32768abc") << 32767 << false;
    }

    void number()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        QFETCH(bool, fits);
        QCOMPARE(exerciseNumberFromText(text), number);
        QCOMPARE(exerciseNumberFits(text), fits);

        ExerciseNumberValidator validator;
        QString input = text;
        int pos = int(text.size());
        QCOMPARE(validator.validate(input, pos),
                 fits ? QValidator::Acceptable : QValidator::Invalid);
        QCOMPARE(input, text); // the validator never rewrites the text
    }
};

QTEST_GUILESS_MAIN(TestExerciseNumber)
#include "tst_exercisenumber.moc"

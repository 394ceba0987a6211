// The exercise Letro starts on: the command line's --tipo and --numero, what
// is refused, and the exercise started on when the number asked for is not
// in the folder.
#include "exercise/startchoice.h"

#include <QCommandLineParser>
#include <QTest>

using namespace letro;

class TestStartChoice : public QObject
{
    Q_OBJECT

private slots:
    void readsTheCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("problem");
        const QString noType = QStringLiteral("no hay dictados de tipo «%1»: elija «Palabras», "
                                              "«Frase corta» o «Frase larga»");
        const QString noNumber =
            QStringLiteral("«%1» no es un número de dictado: escriba un número del 1 al 32767");
        QTest::newRow("nothing") << QStringList{} << 0 << 0 << "";
        QTest::newRow("type and number")
            << QStringList{"--tipo", "Frase corta", "--numero", "3"} << 1 << 3 << "";
        QTest::newRow("short options")
            << QStringList{"-t", "Frase larga", "-n", "12"} << 2 << 12 << "";
        QTest::newRow("type only") << QStringList{"--tipo", "Frase larga"} << 2 << 0 << "";
        QTest::newRow("number only") << QStringList{"--numero", "7"} << 0 << 7 << "";
        QTest::newRow("type in other letters, spaced")
            << QStringList{"--tipo=  frase   CORTA "} << 1 << 0 << "";
        QTest::newRow("the last number") << QStringList{"-n", "32767"} << 0 << 32767 << "";
        QTest::newRow("unknown type")
            << QStringList{"--tipo", "Frases"} << 0 << 0 << noType.arg("Frases");
        QTest::newRow("empty type") << QStringList{"--tipo", ""} << 0 << 0 << noType.arg("");
        QTest::newRow("number 0") << QStringList{"--numero", "0"} << 0 << 0 << noNumber.arg("0");
        QTest::newRow("negative number")
            << QStringList{"--numero=-2"} << 0 << 0 << noNumber.arg("-2");
        QTest::newRow("past the last number")
            << QStringList{"-n", "32768"} << 0 << 0 << noNumber.arg("32768");
        QTest::newRow("leading zero, not the file 5")
            << QStringList{"-n", "05"} << 0 << 0 << noNumber.arg("05");
        QTest::newRow("not a number")
            << QStringList{"--tipo", "Palabras", "-n", "tres"} << 0 << 0 << noNumber.arg("tres");
    }

    void readsTheCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, type);
        QFETCH(int, number);
        QFETCH(QString, problem);
        QCommandLineParser parser;
        addStartOptions(parser);
        QVERIFY2(parser.parse(QStringList{"letro"} + arguments), qPrintable(parser.errorText()));
        StartChoice choice{9, 9};
        QCOMPARE(readStartChoice(parser, &choice), problem);
        QCOMPARE(choice.type, type);
        QCOMPARE(choice.number, number);
        QVERIFY(!choice.trial);
    }

    // The editor's trial: the choice as without it, and marked as a trial.
    void readsTheTrial_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("trial");
        QTest::newRow("as the editor asks")
            << QStringList{"--tipo", "Frase corta", "--numero", "2", "--prueba"} << 1 << 2 << true;
        QTest::newRow("trial alone") << QStringList{"--prueba"} << 0 << 0 << true;
        QTest::newRow("no trial") << QStringList{"-n", "4"} << 0 << 4 << false;
    }

    void readsTheTrial()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, type);
        QFETCH(int, number);
        QFETCH(bool, trial);
        QCommandLineParser parser;
        addStartOptions(parser);
        QVERIFY2(parser.parse(QStringList{"letro"} + arguments), qPrintable(parser.errorText()));
        StartChoice choice;
        QCOMPARE(readStartChoice(parser, &choice), QString());
        QCOMPARE(choice.type, type);
        QCOMPARE(choice.number, number);
        QCOMPARE(choice.trial, trial);
    }

    void startingNumber_data()
    {
        QTest::addColumn<int>("asked");
        QTest::addColumn<QList<int>>("present");
        QTest::addColumn<int>("start");
        QTest::newRow("no choice") << 0 << QList<int>{3, 4} << 1;
        QTest::newRow("no choice, nothing there") << 0 << QList<int>{} << 1;
        QTest::newRow("there") << 3 << QList<int>{5, 3, 1} << 3;
        QTest::newRow("past the last") << 50 << QList<int>{40, 1, 39} << 40;
        QTest::newRow("in a gap: the one below") << 6 << QList<int>{9, 2, 5, 10} << 5;
        QTest::newRow("before the first") << 1 << QList<int>{7, 3, 4} << 3;
        QTest::newRow("nothing there") << 8 << QList<int>{} << 8;
    }

    void startingNumber()
    {
        QFETCH(int, asked);
        QFETCH(QList<int>, present);
        QFETCH(int, start);
        QCOMPARE(letro::startingNumber(asked, present), start);
    }
};

QTEST_GUILESS_MAIN(TestStartChoice)
#include "tst_startchoice.moc"

// The figures of a finished exercise: counters read from and written to
// captions, the keystroke rate, the summary line, the verdict picture and its
// place, the tally and clock captions.
#include "scoring/score.h"
#include "scoring/spoken.h"

#include <QTest>

#include <limits>

using namespace letro;

class TestScore : public QObject
{
    Q_OBJECT

private slots:
    // What a screen reader hears for the figures, the pictures and a finish.
    void spokenNames_data()
    {
        QTest::addColumn<QString>("spoken");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hits") << figureName(Figure::Hits, QStringLiteral("12"))
                              << QStringLiteral("Aciertos: 12");
        QTest::newRow("mistakes") << figureName(Figure::Mistakes, QStringLiteral("0"))
                                  << QStringLiteral("Errores: 0");
        QTest::newRow("clean tally")
            << figureName(Figure::CleanTally, QStringLiteral("2 SIN FALTAS"))
            << QStringLiteral("Ejercicios sin faltas: 2");
        QTest::newRow("faulty tally, no number yet")
            << figureName(Figure::FaultyTally, QStringLiteral("CON FALTAS"))
            << QStringLiteral("Ejercicios con faltas: 0");
        QTest::newRow("right key") << keyPictureName(true) << QStringLiteral("Bien");
        QTest::newRow("wrong key") << keyPictureName(false) << QStringLiteral("Error");
        QTest::newRow("no mistakes") << verdictName(0) << QStringLiteral("Sin faltas");
        QTest::newRow("one mistake") << verdictName(1) << QStringLiteral("1 falta");
        QTest::newRow("three mistakes") << verdictName(3) << QStringLiteral("3 faltas");
        QTest::newRow("finish")
            << finishAnnouncement(2, QStringLiteral(" ** 41 Seg. - 214(p/m) - 2 Errores - 150 "
                                                    "Aciertos **"))
            << QStringLiteral("Ejercicio terminado. 2 faltas. 41 Seg. - 214(p/m) - 2 Errores - "
                              "150 Aciertos");
        QTest::newRow("finish before the clock's first tick")
            << finishAnnouncement(1, QStringLiteral(" ** - 0(p/m) - 1 Errores - 3 Aciertos **"))
            << QStringLiteral("Ejercicio terminado. 1 falta. 0(p/m) - 1 Errores - 3 Aciertos");
    }
    void spokenNames()
    {
        QFETCH(QString, spoken);
        QFETCH(QString, expected);
        QCOMPARE(spoken, expected);
    }

    void captionValue_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<qint64>("value");
        QTest::newRow("zero") << QStringLiteral("0") << qint64(0);
        QTest::newRow("plain number") << QStringLiteral("150") << qint64(150);
        QTest::newRow("leading zeros") << QStringLiteral("007") << qint64(7);
        QTest::newRow("tally caption") << QStringLiteral("12 SIN FALTAS") << qint64(12);
        QTest::newRow("clock caption") << QStringLiteral("41 Seg.") << qint64(41);
        QTest::newRow("empty") << QString() << qint64(0);
        QTest::newRow("no leading number")
            << QStringLiteral("Sin faltas ortográficas") << qint64(0);
        QTest::newRow("digits after text do not count") << QStringLiteral("x12") << qint64(0);
        QTest::newRow("largest 64-bit value")
            << QStringLiteral("9223372036854775807") << std::numeric_limits<qint64>::max();
        QTest::newRow("past 64 bits saturates")
            << QStringLiteral("99999999999999999999999") << std::numeric_limits<qint64>::max();
    }

    void captionValue()
    {
        QFETCH(QString, caption);
        QFETCH(qint64, value);
        QCOMPARE(letro::captionValue(caption), value);
    }

    void incrementedCaption_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("next");
        QTest::newRow("0") << QStringLiteral("0") << QStringLiteral("1");
        QTest::newRow("9 carries") << QStringLiteral("9") << QStringLiteral("10");
        QTest::newRow("149") << QStringLiteral("149") << QStringLiteral("150");
        QTest::newRow("empty counts as 0") << QString() << QStringLiteral("1");
        QTest::newRow("leading zeros are dropped") << QStringLiteral("007") << QStringLiteral("8");
        QTest::newRow("no wrap at the top")
            << QStringLiteral("9223372036854775807") << QStringLiteral("9223372036854775807");
    }

    void incrementedCaption()
    {
        QFETCH(QString, caption);
        QFETCH(QString, next);
        QCOMPARE(letro::incrementedCaption(caption), next);
    }

    void keystrokeRate_data()
    {
        QTest::addColumn<qint64>("hits");
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<qint64>("rate");
        QTest::newRow("150 in 42 rounds down to 214") << qint64(150) << qint64(42) << qint64(214);
        QTest::newRow("59 in 60") << qint64(59) << qint64(60) << qint64(59);
        QTest::newRow("1 in 61") << qint64(1) << qint64(61) << qint64(0);
        QTest::newRow("60 in 60 exactly") << qint64(60) << qint64(60) << qint64(60);
        QTest::newRow("7 in 3 (140 exactly)") << qint64(7) << qint64(3) << qint64(140);
        QTest::newRow("4 in 3 (80)") << qint64(4) << qint64(3) << qint64(80);
        QTest::newRow("13 in 7 (111.4)") << qint64(13) << qint64(7) << qint64(111);
        QTest::newRow("no hits") << qint64(0) << qint64(5) << qint64(0);
        QTest::newRow("150 in 0 seconds shows 0") << qint64(150) << qint64(0) << qint64(0);
        QTest::newRow("1 in 0 seconds shows 0") << qint64(1) << qint64(0) << qint64(0);
        QTest::newRow("0 in 0 seconds shows 0") << qint64(0) << qint64(0) << qint64(0);
        QTest::newRow("past 32 bits") << qint64(2147483647) << qint64(1) << qint64(128849018820);
    }

    void keystrokeRate()
    {
        QFETCH(qint64, hits);
        QFETCH(qint64, seconds);
        QFETCH(qint64, rate);
        QCOMPARE(letro::keystrokeRate(hits, seconds), rate);
    }

    void summaryLine_data()
    {
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<QString>("hits");
        QTest::addColumn<QString>("mistakes");
        QTest::addColumn<qint64>("ticks");
        QTest::addColumn<QString>("line");
        QTest::newRow("worked example")
            << QStringLiteral("41 Seg.") << QStringLiteral("150") << QStringLiteral("2")
            << qint64(42) << QStringLiteral(" ** 41 Seg. - 214(p/m) - 2 Errores - 150 Aciertos **");
        QTest::newRow("no mistakes")
            << QStringLiteral("3 Seg.") << QStringLiteral("12") << QStringLiteral("0") << qint64(4)
            << QStringLiteral(" ** 3 Seg. - 180(p/m) - 0 Errores - 12 Aciertos **");
        QTest::newRow("finished before the first tick")
            << QString() << QStringLiteral("1") << QStringLiteral("0") << qint64(0)
            << QStringLiteral(" **  - 0(p/m) - 0 Errores - 1 Aciertos **");
        QTest::newRow("display of an earlier attempt copied unchanged")
            << QStringLiteral("7 Seg.") << QStringLiteral("4") << QStringLiteral("1") << qint64(0)
            << QStringLiteral(" ** 7 Seg. - 0(p/m) - 1 Errores - 4 Aciertos **");
        QTest::newRow("many mistakes")
            << QStringLiteral("59 Seg.") << QStringLiteral("59") << QStringLiteral("12")
            << qint64(60) << QStringLiteral(" ** 59 Seg. - 59(p/m) - 12 Errores - 59 Aciertos **");
    }

    void summaryLine()
    {
        QFETCH(QString, seconds);
        QFETCH(QString, hits);
        QFETCH(QString, mistakes);
        QFETCH(qint64, ticks);
        QFETCH(QString, line);
        QCOMPARE(letro::summaryLine(seconds, hits, mistakes, ticks), line);
    }

    void verdictPicture_data()
    {
        QTest::addColumn<qint64>("mistakes");
        QTest::addColumn<QString>("picture");
        QTest::newRow("0") << qint64(0) << QStringLiteral("/gifs/ani.gif");
        QTest::newRow("1") << qint64(1) << QStringLiteral("/gifs/2.gif");
        QTest::newRow("2") << qint64(2) << QStringLiteral("/gifs/3.gif");
        QTest::newRow("3") << qint64(3) << QStringLiteral("/gifs/4.gif");
        QTest::newRow("4") << qint64(4) << QStringLiteral("/gifs/5.gif");
        QTest::newRow("5") << qint64(5) << QString();
        QTest::newRow("12") << qint64(12) << QString();
        QTest::newRow("huge") << std::numeric_limits<qint64>::max() << QString();
    }

    void verdictPicture()
    {
        QFETCH(qint64, mistakes);
        QFETCH(QString, picture);
        QCOMPARE(letro::verdictPicture(mistakes), picture);
    }

    void verdictLeft_data()
    {
        QTest::addColumn<double>("right");
        QTest::addColumn<qint64>("mistakes");
        QTest::addColumn<double>("left");
        QTest::newRow("clean, design layout") << 8175.0 << qint64(0) << 8155.0;
        QTest::newRow("1 mistake, design layout") << 8175.0 << qint64(1) << 8675.0;
        QTest::newRow("12 mistakes, design layout") << 8175.0 << qint64(12) << 8675.0;
        QTest::newRow("clean, wider button") << 9000.0 << qint64(0) << 8980.0;
        QTest::newRow("faulty, wider button") << 9000.0 << qint64(4) << 9500.0;
    }

    void verdictLeft()
    {
        QFETCH(double, right);
        QFETCH(qint64, mistakes);
        QFETCH(double, left);
        QCOMPARE(letro::verdictLeft(right, mistakes), left);
    }

    void verdictLeftIsSinglePrecision()
    {
        // The place is worked out as a single-precision number: 99999981 has
        // no float of its own and becomes the nearest one, 99999984.
        QCOMPARE(letro::verdictLeft(100000001.0, 0), 99999984.0);
        QCOMPARE(letro::verdictLeft(100000001.0, 1), 100000504.0);
    }

    void tallyCaption_data()
    {
        QTest::addColumn<qint64>("count");
        QTest::addColumn<bool>("clean");
        QTest::addColumn<QString>("caption");
        QTest::newRow("first clean") << qint64(1) << true << QStringLiteral("1 SIN FALTAS");
        QTest::newRow("second clean") << qint64(2) << true << QStringLiteral("2 SIN FALTAS");
        QTest::newRow("first faulty") << qint64(1) << false << QStringLiteral("1 CON FALTAS");
        QTest::newRow("32767 clean") << qint64(32767) << true << QStringLiteral("32767 SIN FALTAS");
        QTest::newRow("40000 faulty")
            << qint64(40000) << false << QStringLiteral("40000 CON FALTAS");
    }

    void tallyCaption()
    {
        QFETCH(qint64, count);
        QFETCH(bool, clean);
        QFETCH(QString, caption);
        QCOMPARE(letro::tallyCaption(count, clean), caption);
    }

    void secondsCaption_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("caption");
        QTest::newRow("0") << qint64(0) << QStringLiteral("0 Seg.");
        QTest::newRow("1") << qint64(1) << QStringLiteral("1 Seg.");
        QTest::newRow("41") << qint64(41) << QStringLiteral("41 Seg.");
        QTest::newRow("3600") << qint64(3600) << QStringLiteral("3600 Seg.");
        QTest::newRow("largest 32-bit") << qint64(2147483647) << QStringLiteral("2147483647 Seg.");
    }

    void secondsCaption()
    {
        QFETCH(qint64, seconds);
        QFETCH(QString, caption);
        QCOMPARE(letro::secondsCaption(seconds), caption);
    }

    void saturatingIncrement()
    {
        QCOMPARE(letro::saturatingIncrement<qint32>(41, 2147483647), 42);
        QCOMPARE(letro::saturatingIncrement<qint32>(2147483646, 2147483647), 2147483647);
        QCOMPARE(letro::saturatingIncrement<qint32>(2147483647, 2147483647), 2147483647);
        QCOMPARE(letro::saturatingIncrement<qint16>(32767, 32767), qint16(32767));
    }
};

QTEST_APPLESS_MAIN(TestScore)
#include "tst_score.moc"

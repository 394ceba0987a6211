// The scales of the progress charts: counts labelled in whole numbers, and
// dates named once each at the start of their day, in the pupil's local time
// (Madrid here, so that a change of clock falls inside a row).
#include "progressview/chartmodule.h"

#include <QTest>

using namespace letro::progressview;

class TestChartScales : public QObject
{
    Q_OBJECT

private slots:
    void counts_data();
    void counts();
    void days_data();
    void days();
};

void TestChartScales::counts_data()
{
    QTest::addColumn<double>("highest");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("ticks");
    QTest::newRow("nothing yet: 0 and 1") << 0.0 << 1 << 2;
    QTest::newRow("one") << 1.0 << 1 << 2;
    QTest::newRow("three: each") << 3.0 << 3 << 4;
    QTest::newRow("five: each") << 5.0 << 5 << 6;
    QTest::newRow("six: by twos") << 6.0 << 6 << 4;
    QTest::newRow("seven: by twos to eight") << 7.0 << 8 << 5;
    QTest::newRow("eleven: by fives") << 11.0 << 15 << 4;
    QTest::newRow("twenty-six: by tens") << 26.0 << 30 << 4;
    QTest::newRow("a hundred and twenty: by fifties") << 120.0 << 150 << 4;
    QTest::newRow("a fraction rounds up") << 2.5 << 3 << 4;
}

void TestChartScales::counts()
{
    QFETCH(double, highest);
    QFETCH(int, top);
    QFETCH(int, ticks);
    const CountScale scale = countScale(highest);
    QCOMPARE(scale.top, top);
    QCOMPARE(scale.ticks, ticks);
    // Every tick a whole number.
    QCOMPARE(scale.top % (scale.ticks - 1), 0);
}

void TestChartScales::days_data()
{
    QTest::addColumn<QDateTime>("first");
    QTest::addColumn<QDateTime>("last");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("hours"); // of each name, from the first day's start

    const auto at = [](int year, int month, int day, int hour) {
        return QDateTime(QDate(year, month, day), QTime(hour, 30));
    };
    QTest::newRow("one attempt: its day and the next")
        << at(2026, 12, 8, 10) << at(2026, 12, 8, 10) << QStringList{"8/12", "9/12"}
        << QList<int>{0, 24};
    QTest::newRow("two days in a row, never a day twice")
        << at(2026, 12, 7, 9) << at(2026, 12, 8, 23) << QStringList{"7/12", "8/12", "9/12"}
        << QList<int>{0, 24, 48};
    QTest::newRow("ten days: five names")
        << at(2026, 12, 1, 12) << at(2026, 12, 10, 8)
        << QStringList{"1/12", "4/12", "6/12", "9/12", "11/12"} << QList<int>{0, 72, 120, 192, 240};
    QTest::newRow("across the new year")
        << at(2026, 12, 30, 12) << at(2027, 1, 2, 12)
        << QStringList{"30/12/26", "31/12/26", "1/1/27", "2/1/27", "3/1/27"}
        << QList<int>{0, 24, 48, 72, 96};
    QTest::newRow("the clocks go forward on the 28th: a day of 23 hours")
        << at(2027, 3, 27, 10) << at(2027, 3, 29, 10) << QStringList{"27/3", "28/3", "29/3", "30/3"}
        << QList<int>{0, 24, 47, 71};
    QTest::newRow("the clocks go back on the 31st: a day of 25 hours")
        << at(2027, 10, 30, 10) << at(2027, 11, 1, 10)
        << QStringList{"30/10", "31/10", "1/11", "2/11"} << QList<int>{0, 24, 49, 73};
}

void TestChartScales::days()
{
    QFETCH(QDateTime, first);
    QFETCH(QDateTime, last);
    QFETCH(QStringList, names);
    QFETCH(QList<int>, hours);
    const DayScale scale = dayScale(first.toMSecsSinceEpoch(), last.toMSecsSinceEpoch());
    const qint64 start = QDateTime(first.date(), QTime(0, 0)).toMSecsSinceEpoch();
    QCOMPARE(scale.fromMs, start);
    QStringList seen;
    QList<int> seenHours;
    for (const auto &[name, ms] : scale.labels) {
        seen << name;
        seenHours << int((ms - start) / 3600000);
    }
    QCOMPARE(seen, names);
    QCOMPARE(seenHours, hours);
    QCOMPARE(scale.toMs, scale.labels.last().second);
    QVERIFY(scale.fromMs <= first.toMSecsSinceEpoch() && last.toMSecsSinceEpoch() < scale.toMs);
}

QTEST_GUILESS_MAIN(TestChartScales)
#include "tst_chartscales.moc"

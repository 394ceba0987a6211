// The charts of the progress window, drawn with Qt Charts by a module of
// their own (libletroprogresscharts.so, beside the program) that is loaded
// the first time they are needed: the pupil's program starts without Qt
// Charts. Only Qt's own types cross between the window and the module.
#pragma once

#include <algorithm>
#include <cmath>

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QPointF>
#include <QString>
#include <QStringList>

class QWidget;

// What the module exports, by these names.
extern "C" {
// A line of mistakes over time: x is the time in milliseconds since the
// epoch (UTC), y the mistakes of that attempt.
using LetroLineChartFunction = QWidget *(*)(const QList<QPointF> &points, QWidget *parent);
// One bar for each category, with its value.
using LetroBarChartFunction = QWidget *(*)(const QStringList &categories,
                                           const QList<qreal> &values, QWidget *parent);
}

namespace letro::progressview {

// The scales of the charts, worked out here (inline, so that the module and
// the tests use the very same code) and only drawn by the module.

// A count axis from 0 that labels whole numbers only: its top and how many
// ticks (0 included), at most six, a step of 1, 2 or 5 times a power of ten.
struct CountScale
{
    int top = 1;
    int ticks = 2;
};
inline CountScale countScale(double highest)
{
    const qint64 top = std::max<qint64>(1, qint64(std::ceil(std::min(highest, 1e9))));
    qint64 step = 1;
    for (int i = 1; top > 5 * step; ++i) {
        qint64 power = 1;
        for (int k = 0; k < i / 3; ++k)
            power *= 10;
        step = (i % 3 == 0 ? 1 : i % 3 == 1 ? 2 : 5) * power;
    }
    const qint64 steps = (top + step - 1) / step;
    return {int(steps * step), int(steps + 1)};
}

// A date axis of whole days in local time: from the start of the first
// point's day to the start of the day after the last's, labelled "d/M"
// ("d/M/yy" across years) at the start of at most five days, never twice
// the same day.
struct DayScale
{
    qint64 fromMs = 0;
    qint64 toMs = 0;
    QList<QPair<QString, qint64>> labels; // the day's name, and where its start falls
};
inline DayScale dayScale(qint64 firstMs, qint64 lastMs)
{
    const QDate first = QDateTime::fromMSecsSinceEpoch(firstMs).date();
    const QDate last = QDateTime::fromMSecsSinceEpoch(std::max(firstMs, lastMs)).date();
    const QDate after = last.addDays(1);
    const qint64 days = first.daysTo(after);
    const QString format =
        first.year() == last.year() ? QStringLiteral("d/M") : QStringLiteral("d/M/yy");
    DayScale scale;
    scale.fromMs = first.startOfDay().toMSecsSinceEpoch();
    scale.toMs = after.startOfDay().toMSecsSinceEpoch();
    const qint64 intervals = std::min<qint64>(days, 4);
    for (qint64 k = 0; k <= intervals; ++k) {
        const QDate day = first.addDays((k * days + intervals / 2) / intervals);
        scale.labels.append({day.toString(format), day.startOfDay().toMSecsSinceEpoch()});
    }
    return scale;
}

constexpr const char *LineChartSymbol = "letro_line_chart";
constexpr const char *BarChartSymbol = "letro_bar_chart";

// The module's file name.
QString chartModuleName();

struct ChartModule
{
    LetroLineChartFunction lineChart = nullptr;
    LetroBarChartFunction barChart = nullptr;

    bool loaded() const { return lineChart && barChart; }
};

// The module, loaded at the first call (from any thread; later calls wait
// for the first) from "modulos" in the program's folder, else from where the
// package installs it, else from Qt's library paths.
// Without it, the functions are null and the tables stand alone.
const ChartModule &chartModule();

} // namespace letro::progressview

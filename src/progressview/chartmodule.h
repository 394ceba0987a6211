// The charts of the progress window, drawn with Qt Charts by a module of
// their own (libletroprogresscharts.so, beside the program) that is loaded
// the first time they are needed: the pupil's program starts without Qt
// Charts. Only Qt's own types cross between the window and the module.
#pragma once

#include <QList>
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
// for the first) from the program's folder, else from Qt's library paths.
// Without it, the functions are null and the tables stand alone.
const ChartModule &chartModule();

} // namespace letro::progressview

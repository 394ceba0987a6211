// The module that draws the progress window's charts with Qt Charts (see
// chartmodule.h). Each chart is a view with its own chart, without a
// legend: the table beside it says the same in words.
#include "chartmodule.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

namespace {

QChartView *viewOf(QChart *chart, QWidget *parent)
{
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    auto *view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    // The table beside it is what the keyboard reaches.
    view->setFocusPolicy(Qt::NoFocus);
    view->setMinimumSize(280, 200);
    return view;
}

// A whole-number axis from 0 with room for the highest value.
QValueAxis *countAxis(qreal highest)
{
    const letro::progressview::CountScale scale = letro::progressview::countScale(highest);
    auto *axis = new QValueAxis;
    axis->setRange(0, scale.top);
    axis->setTickCount(scale.ticks);
    axis->setLabelFormat(QStringLiteral("%d"));
    return axis;
}

} // namespace

extern "C" Q_DECL_EXPORT QWidget *letro_line_chart(const QList<QPointF> &points, QWidget *parent)
{
    auto *series = new QLineSeries;
    series->append(points);
    series->setPointsVisible(true);
    auto *chart = new QChart;
    chart->addSeries(series);

    qreal highest = 0;
    qreal first = points.isEmpty() ? 0 : points.first().x();
    qreal last = first;
    for (const QPointF &point : points) {
        highest = std::max(highest, point.y());
        first = std::min(first, point.x());
        last = std::max(last, point.x());
    }
    // Whole days, each named once, at the start of the day.
    const letro::progressview::DayScale days =
        letro::progressview::dayScale(qint64(first), qint64(last));
    auto *time = new QCategoryAxis;
    time->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    time->setRange(qreal(days.fromMs), qreal(days.toMs));
    for (const auto &[name, ms] : days.labels)
        time->append(name, qreal(ms));
    chart->addAxis(time, Qt::AlignBottom);
    series->attachAxis(time);
    QValueAxis *count = countAxis(highest);
    count->setTitleText(QStringLiteral("Errores"));
    chart->addAxis(count, Qt::AlignLeft);
    series->attachAxis(count);
    return viewOf(chart, parent);
}

extern "C" Q_DECL_EXPORT QWidget *letro_bar_chart(const QStringList &categories,
                                                  const QList<qreal> &values, QWidget *parent)
{
    auto *set = new QBarSet(QStringLiteral("Veces"));
    auto *series = new QHorizontalBarSeries;
    series->append(set);
    auto *chart = new QChart;
    chart->addSeries(series);
    // Horizontal bars, the first at the top, read as the table beside does.
    QStringList topFirst = categories;
    std::reverse(topFirst.begin(), topFirst.end());
    QList<qreal> reversed = values;
    std::reverse(reversed.begin(), reversed.end());
    set->append(reversed);
    auto *names = new QBarCategoryAxis;
    names->append(topFirst);
    chart->addAxis(names, Qt::AlignLeft);
    series->attachAxis(names);
    QValueAxis *count =
        countAxis(values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end()));
    chart->addAxis(count, Qt::AlignBottom);
    series->attachAxis(count);
    return viewOf(chart, parent);
}

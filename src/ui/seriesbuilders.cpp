#include "ui/seriesbuilders.h"

#include "data/dates.h"

#include <QChart>
#include <QDateTimeAxis>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <map>

using namespace progress;

namespace seriesbuilders {

namespace {

// Lines are thinned to the lowest and highest of this many stretches, about two a pixel.
constexpr int thinTo = 150;
// Values beyond an axis drawn at its edge with a label each: at most this many labels an axis.
constexpr int edgeLabels = 12;

// A pen of one pixel whatever the scale: the painter draws it with its fast stroker, dashes too.
QPen cosmetic(QPen pen) {
    pen.setCosmetic(true);
    return pen;
}

// The name of a helper line of a measure: plain for the first, with the measure's name for others.
QString helperName(const MeasureDrawing &measure, const QString &name) {
    return measure.first ? name : name + QStringLiteral(" (") + measure.info.name + u')';
}

// A line for each run of the range, the value at each point given by `valueAt` (not drawn when
// not finite): the line breaks across long gaps. Only the first is named in the legend.
template <typename ValueAt>
QList<QXYSeries *> addRunLines(const ChartAxes &chart, const MeasureDrawing &measure,
                               const QString &name, const QPen &pen, bool inLegend,
                               ValueAt valueAt) {
    QList<QXYSeries *> made;
    for (auto [begin, end] : runs(measure.points)) {
        begin = std::max(begin, measure.range.first);
        end = std::min(end, measure.range.second);
        if (begin >= end)
            continue;
        auto *line = new QLineSeries;
        line->setPen(pen);
        QList<QPointF> drawn;
        drawn.reserve(end - begin);
        for (qsizetype i = begin; i < end; ++i) {
            const double value = valueAt(std::size_t(i));
            if (std::isfinite(value))
                drawn.append({measure.days.at(measure.points[std::size_t(i)].date), value});
            measure.content.take(value);
        }
        line->replace(thinned(drawn, thinTo));
        chart.attach(line, measure.axis, name, made.isEmpty() && inLegend);
        made += line;
    }
    return made;
}

QScatterSeries *hollowDots(const QColor &colour) {
    auto *dots = new QScatterSeries;
    dots->setMarkerSize(10);
    dots->setBrush(Qt::NoBrush);
    dots->setPen(QPen(colour, 2));
    return dots;
}

} // namespace

void ChartAxes::attach(QXYSeries *series, QValueAxis *axis, const QString &name,
                       bool inLegend) const {
    series->setName(name);
    chart->addSeries(series);
    series->attachAxis(dates);
    series->attachAxis(axis);
    if (!inLegend)
        for (QLegendMarker *marker : chart->legend()->markers(series))
            marker->setVisible(false);
}

ChartAxes newChart() {
    ChartAxes made;
    QChart *chart = made.chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    // Each entry of the legend drawn as its series is: a dot, a line, a dashed line.
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    chart->setLocale(dates::spanish());
    chart->setLocalizeNumbers(true);
    made.dates = new QDateTimeAxis(chart);
    made.dates->setFormat(QStringLiteral("dd/MM/yyyy"));
    chart->addAxis(made.dates, Qt::AlignBottom);
    made.left = new QValueAxis(chart);
    chart->addAxis(made.left, Qt::AlignLeft);
    made.right = new QValueAxis(chart);
    chart->addAxis(made.right, Qt::AlignRight);
    // Weekly and monthly sums of water or hours on an axis of their own: a week's 17 litres on
    // the axis of a day's 2,5 would flatten the days. Shown as daily means instead they would
    // repeat the bars of means, and a week with days not written down would seem drier than it
    // was.
    made.sums = new QValueAxis(chart);
    chart->addAxis(made.sums, Qt::AlignRight);
    // Grid lines of the left axis alone: those of the others would cross them at other heights.
    for (QValueAxis *right : {made.right, made.sums})
        right->setGridLineVisible(false);
    return made;
}

QList<QXYSeries *> addDailyPoints(const ChartAxes &chart, const MeasureDrawing &measure) {
    const Points &points = measure.points;
    if (measure.shown() > markersUpTo) {
        const QPen thin = cosmetic(QPen(measure.colour.lighter(150), 1));
        return addRunLines(chart, measure, measure.info.name, thin, true, [&](std::size_t i) {
            return measure.outlier[i] ? std::nan("") : points[i].value;
        });
    }
    auto *dots = new QScatterSeries;
    dots->setMarkerSize(7);
    dots->setColor(measure.colour);
    dots->setBorderColor(measure.colour);
    QList<QPointF> drawn;
    for (auto i = std::size_t(measure.range.first); i < std::size_t(measure.range.second); ++i)
        if (!measure.outlier[i]) {
            drawn.append({measure.days.at(points[i].date), points[i].value});
            measure.content.take(points[i].value);
        }
    dots->replace(drawn);
    chart.attach(dots, measure.axis, measure.info.name);
    return {dots};
}

void addTrend(const ChartAxes &chart, const MeasureDrawing &measure) {
    addRunLines(chart, measure, helperName(measure, QStringLiteral("Tendencia")),
                QPen(measure.colour.darker(130), 2.5), measure.first,
                [&](std::size_t i) { return measure.smoothed.trend[i]; });
}

void addAverage(const ChartAxes &chart, const MeasureDrawing &measure, int days) {
    addRunLines(chart, measure, helperName(measure, QStringLiteral("Media De %1 Días").arg(days)),
                cosmetic(QPen(measure.colour, 1, Qt::DashLine)), measure.first,
                [&](std::size_t i) { return measure.smoothed.average[i]; });
}

void keepOutliers(const MeasureDrawing &measure) {
    // Outliers, left out of the trend, the average and the slope, and of the axis's range (a
    // typo of 900 kg does not flatten the weights), are drawn once the axis is known.
    AxisContent::Odd odd{&measure.info,
                         measure.colour,
                         helperName(measure, QStringLiteral("Fuera De Lo Normal")),
                         measure.first,
                         {}};
    for (auto i = std::size_t(measure.range.first); i < std::size_t(measure.range.second); ++i)
        if (measure.outlier[i])
            odd.points.append({measure.days.at(measure.points[i].date), measure.points[i].value});
    if (!odd.points.isEmpty())
        measure.content.odd.push_back(std::move(odd));
}

void addBars(const ChartAxes &chart, const MeasureDrawing &measure, Period period, bool summed,
             const QString &name, AxisContent &sums) {
    AxisContent &content = summed ? sums : measure.content;
    content.used = true;
    const QList<QPointF> corners =
        barOutlines(bars(measure.points, measure.range, period), period, summed, measure.days);
    for (const QPointF &corner : corners)
        content.take(corner.y());
    // Bars too narrow to tell apart at the chart's width are thinned like the lines. They are
    // drawn as outlines: a filled area of many bars costs the painter a hundred times more.
    auto *tops = new QLineSeries;
    tops->replace(thinned(corners, thinTo));
    tops->setPen(cosmetic(QPen(measure.colour.darker(110), 1)));
    chart.attach(tops, summed ? chart.sums : measure.axis, name);
}

Scale scaleAxis(QValueAxis *axis, const AxisContent &content, bool fromZero) {
    const double low = std::isfinite(content.low) ? content.low : content.goal.value_or(0);
    const double high = std::isfinite(content.high) ? content.high : content.goal.value_or(0);
    const Scale scale = niceScale(low, high, fromZero, content.goal);
    axis->setRange(scale.low, scale.high);
    axis->setTickCount(scale.ticks());
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(scale.decimals()));
    return scale;
}

void addOutliers(const ChartAxes &chart, QValueAxis *axis, const AxisContent &content,
                 const Scale &scale) {
    // Hollow, within the axis in their place, beyond it at its edge with their value written over
    // them, so that every value the figures name is seen.
    int labels = 0;
    for (const AxisContent::Odd &odd : content.odd) {
        QScatterSeries *inPlace = hollowDots(odd.colour);
        std::map<QString, QScatterSeries *> beyond;
        for (const QPointF &point : odd.points) {
            if (point.y() >= scale.low && point.y() <= scale.high) {
                inPlace->append(point);
                continue;
            }
            QString label = withUnit(point.y(), *odd.info);
            if (!beyond.count(label) && labels++ >= edgeLabels)
                label.clear(); // too many to label: drawn all the same
            QScatterSeries *&atEdge = beyond[label];
            if (!atEdge) {
                atEdge = hollowDots(odd.colour);
                atEdge->setPointLabelsFormat(label);
                atEdge->setPointLabelsVisible(!label.isEmpty());
                atEdge->setPointLabelsColor(odd.colour);
                atEdge->setPointLabelsClipping(false);
            }
            atEdge->append(point.x(), point.y() > scale.high ? scale.high : scale.low);
        }
        chart.attach(inPlace, axis, odd.name, odd.inLegend);
        for (const auto &[label, atEdge] : beyond)
            chart.attach(atEdge, axis, odd.name, false);
    }
}

QXYSeries *addGoalLine(const ChartAxes &chart, QValueAxis *axis, double goal, const Scale &scale) {
    // Far off, it is drawn at the edge, its value written in its middle.
    const double drawnAt = std::clamp(goal, scale.low, scale.high);
    auto *goalLine = new QLineSeries;
    goalLine->setPen(QPen(Qt::darkYellow, 2, Qt::DotLine));
    for (int i = 0; i < 3; ++i)
        goalLine->append(0, drawnAt); // placed on the days shown by the window
    if (drawnAt != goal) {
        goalLine->setPointLabelsFormat(QStringLiteral("Objetivo ") +
                                       withUnit(goal, measures[Weight]));
        goalLine->setPointLabelsVisible(true);
        goalLine->setPointLabelsClipping(false);
        for (const int end : {0, 2})
            goalLine->setPointConfiguration(end, QXYSeries::PointConfiguration::LabelVisibility,
                                            false);
    }
    chart.attach(goalLine, axis, QStringLiteral("Objetivo"));
    return goalLine;
}

} // namespace seriesbuilders

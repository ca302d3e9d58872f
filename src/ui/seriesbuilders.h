#pragma once

#include "charts/progress.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

class QChart;
class QDateTimeAxis;
class QValueAxis;
class QXYSeries;

// The series of the window "Progreso": one builder for each kind (daily points, trend, moving
// average, weekly or monthly bars, outliers, goal line), each making its series from what
// charts/progress.h worked out and putting them on the chart.
namespace seriesbuilders {

// More daily points than this in the range are drawn as a thin line instead of markers.
inline constexpr qsizetype markersUpTo = 400;

// The chart and its axes. The axes stay; every drawing puts new series on them.
struct ChartAxes {
    QChart *chart = nullptr;
    QDateTimeAxis *dates = nullptr;
    QValueAxis *left = nullptr;
    QValueAxis *right = nullptr; // the second measure's
    QValueAxis *sums = nullptr;  // weekly and monthly sums'
    // Puts a series on the chart, on the dates and on `axis`, named; its entry in the legend
    // hidden unless asked for.
    void attach(QXYSeries *series, QValueAxis *axis, const QString &name,
                bool inLegend = true) const;
};
// A new chart, its legend at the bottom, with the dates below, a value axis on the left and two
// on the right, the latter without grid lines.
ChartAxes newChart();

// What is drawn on one value axis: the range of its values, and what waits for its scale (the
// outliers and the goal, drawn in their place within it, at its edge with their value beyond).
struct AxisContent {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    bool used = false;
    struct Odd {
        const progress::MeasureInfo *info;
        QColor colour;
        QString name;
        bool inLegend;
        QList<QPointF> points; // at their dates, with their values
    };
    std::vector<Odd> odd;
    std::optional<double> goal;
    void take(double value) {
        if (std::isfinite(value)) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
};

// One measure as it is drawn: its points and what was worked out from them, the range shown, its
// colour, and the axis its values go on with what that axis holds so far.
struct MeasureDrawing {
    const progress::MeasureInfo &info;
    const progress::Points &points;
    const std::vector<bool> &outlier;
    const progress::Smoothed &smoothed;
    std::pair<qsizetype, qsizetype> range;
    const progress::DayAxis &days;
    QColor colour;
    bool first; // the first measure: the legend names its helpers, which others share
    QValueAxis *axis;
    AxisContent &content;
    qsizetype shown() const { return range.second - range.first; }
};

// The points of the range: markers, or a thin line broken across long gaps when there are more
// than markersUpTo of them; outliers left out. The series made, which show the points.
QList<QXYSeries *> addDailyPoints(const ChartAxes &chart, const MeasureDrawing &measure);
// The trend and the moving average, broken across long gaps.
void addTrend(const ChartAxes &chart, const MeasureDrawing &measure);
void addAverage(const ChartAxes &chart, const MeasureDrawing &measure, int days);
// The outliers of the range, kept in the axis's content until its scale is known.
void keepOutliers(const MeasureDrawing &measure);
// Weekly or monthly bars: means on the measure's axis, sums on the axis of sums.
void addBars(const ChartAxes &chart, const MeasureDrawing &measure, progress::Period period,
             bool summed, const QString &name, AxisContent &sums);

// Round ticks for what an axis holds.
progress::Scale scaleAxis(QValueAxis *axis, const AxisContent &content, bool fromZero);
// The outliers an axis holds, hollow: within its scale in their place, beyond it at its edge with
// their value written over them.
void addOutliers(const ChartAxes &chart, QValueAxis *axis, const AxisContent &content,
                 const progress::Scale &scale);
// The goal weight's line of three points, at the goal or, far off, at the axis's edge with its
// value written in its middle. Its points are to be placed on the days shown.
QXYSeries *addGoalLine(const ChartAxes &chart, QValueAxis *axis, double goal,
                       const progress::Scale &scale);

} // namespace seriesbuilders

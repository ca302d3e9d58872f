#pragma once

#include "data/dayfields.h"
#include "data/daywalk.h"

#include <QDate>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QString>
#include <array>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

// What the progress charts draw, worked out from the diary's numbers: each measure's points over
// time, the smoothed trend, the moving average, the breaks across long gaps, the outliers, the
// least-squares slope, the goal date, the weekly and monthly bars and the figures of a range.
// Plain functions, each linear in the number of days.
namespace progress {

enum Measure {
    Weight,
    Bmi,
    WaistToHeight,
    Neck,
    Chest,
    Waist,
    BicepsRight,
    BicepsLeft,
    ForearmRight,
    ForearmLeft,
    LegRight,
    LegLeft,
    CalfRight,
    CalfLeft,
    Bottom,
    Water,
    Hours,
    MeasureCount
};

struct MeasureInfo {
    QString name;       // "Peso", as the menu of measures shows it
    QString unit;       // "Kg"; empty for a ratio
    dayfields::Box box; // the box the value is read from (the weight for the BMI)
    Measure otherSide;  // the other side of a pair of girths; MeasureCount when none
    bool summable;      // water and hours: also as weekly and monthly bars
    double typedStep;   // the step in which it is typed: 0,1 kg, 0,1 cm, a quarter of a litre
    double swing;       // how far a true reading ordinarily strays from its neighbours
};
extern const std::array<MeasureInfo, MeasureCount> measures;

struct Point {
    QDate date;
    double value = 0;
};
using Points = std::vector<Point>;

// Every measure's points in date order, and how many days each measure left out: a day counts for
// a measure when its date reads as a date and its box as a number. An empty box is no point, and
// no fault either: such days are not counted; a day whose date or value cannot be read is.
struct DiaryNumbers {
    std::array<Points, MeasureCount> points;
    std::array<int, MeasureCount> leftOut{};
    // Each measure's ordinarySpread().
    std::array<double, MeasureCount> spreadFloor{};
};
// The BMI and the waist to height ratio need the height in centimetres; without it every day
// with a weight or a waist is left out of them.
DiaryNumbers readNumbers(const DayWalk &days, std::optional<double> heightCm);

// The spread that readings of a measure have even when nothing changes: the step in which they are
// typed and their ordinary swing, in the measure's own unit (for the BMI and the ratio, those of
// the weight and the waist carried through the height).
double ordinarySpread(Measure measure, std::optional<double> heightCm);

// Points far from the run of their neighbours: more than three robust deviations (1.4826 times
// the median absolute deviation, or 1.2533 times the mean one when the median one is nil) from
// the median of the fifteen points around them. The deviation is never taken below `floor`, so
// that a slowly moving series, whose deviation is tiny, keeps its true readings. None when fewer
// than five points.
std::vector<bool> outliers(const Points &points, double floor);

// The trend and the moving average at every point, the outliers left out of both.
struct Smoothed {
    // Starts at the first value and moves a tenth of the way towards each next one; an outlier
    // leaves it where it was.
    std::vector<double> trend;
    // The mean of the values of the last `days` calendar days up to the point's date; NaN when
    // there is none but outliers.
    std::vector<double> average;
};
Smoothed smooth(const Points &points, const std::vector<bool> &outlier, int days);

// Index ranges [first, last) of the runs of points with no gap of more than maxGapDays between
// neighbours: the line breaks between two runs.
std::vector<std::pair<qsizetype, qsizetype>> runs(const Points &points, int maxGapDays = 14);

// The index range [first, last) of the points dated from `from` to `to`, both included.
std::pair<qsizetype, qsizetype> within(const Points &points, QDate from, QDate to);

// The least-squares line through the points of a range, outliers left out.
struct Line {
    double slopePerDay = 0;
    double atStart = 0; // the line's value at the range's first date
    double atEnd = 0;   // and at its last
    QDate start;
    QDate end;
    double slopePerWeek() const { return slopePerDay * 7; }
};
// No line when fewer than two dates are left.
std::optional<Line> fitLine(const Points &points, const std::vector<bool> &outlier,
                            std::pair<qsizetype, qsizetype> range);

// When the line reaches a goal value.
struct GoalOutlook {
    enum class State { Reached, OnTheWay, NotHeading } state = State::NotHeading;
    QDate date; // for OnTheWay: the first day on which the line reaches the goal
};
GoalOutlook goalOutlook(const Line &line, double goal);
// "Al ritmo actual: 14/05/2027", or what else the outlook says.
QString goalText(const GoalOutlook &outlook);

// The figures of a range, outliers included as they were measured.
struct RangeFigures {
    double first = 0;
    double last = 0;
    double lowest = 0;
    double highest = 0;
    double change() const { return last - first; }
};
std::optional<RangeFigures> figures(const Points &points, std::pair<qsizetype, qsizetype> range);

// Sums and means per calendar week (from Monday) or month, of the days that have a value.
enum class Period { Week, Month };
struct Bar {
    QDate start; // the Monday or the first of the month
    double sum = 0;
    int count = 0;
    double mean() const { return count ? sum / count : 0; }
};
std::vector<Bar> bars(const Points &points, std::pair<qsizetype, qsizetype> range, Period period);

// Where days are drawn on a date axis counted in milliseconds from 1970 UTC: each day at its noon
// in local time, reckoned from its Julian day and the zone's offset at the drawing. The time zone
// machinery asks the file system every time and would take most of a redraw. The date axis names
// the day in local time, so each day's slot runs from its midnight to the next.
struct DayAxis {
    static constexpr qint64 dayMsecs = 24 * 3600 * 1000;
    static constexpr qint64 epochDay = 2440588; // the Julian day of 1 January 1970
    qint64 zoneShift = 0;                       // the local time's offset from UTC, in milliseconds
    qreal at(QDate date) const {
        return qreal((date.toJulianDay() - epochDay) * dayMsecs + dayMsecs / 2 - zoneShift);
    }
    // The day whose slot holds a place on the axis.
    QDate dayAt(qreal place) const {
        return QDate::fromJulianDay(
            qint64(std::floor((place + qreal(zoneShift)) / qreal(dayMsecs))) + epochDay);
    }
};

// The outline of each bar, drawn from zero up to its sum or mean and down again, a tenth of its
// period's slot left free on either side: four corners a bar, one line for all.
QList<QPointF> barOutlines(const std::vector<Bar> &bars, Period period, bool summed,
                           const DayAxis &days);

// A line thinned for drawing: of each of `buckets` equal stretches of x, its first point and its
// lowest and highest, in x order, and the line's last point; a line with fewer points than that
// comes back whole. Drawn at the chart's width it looks the same, at a fraction of the work.
QList<QPointF> thinned(const QList<QPointF> &line, int buckets);

// "12 días sin fecha o valor válido"; empty for none.
QString leftOutText(int count);
// A number as the charts write it: Spanish decimal comma, up to two decimals, no trailing zeros.
QString number(double value);
// "80,5 Kg"; the number alone for a ratio.
QString withUnit(double value, const MeasureInfo &info);

// One measure's line of figures under the chart, over the points of a range: first, last, lowest,
// highest, change, the slope, the goal's outlook, the values left out as outliers and the days
// that could not be read.
QString figuresLine(Measure measure, const Points &points, const std::vector<bool> &outlier,
                    std::pair<qsizetype, qsizetype> range, std::optional<double> goal, int unread);

// A value axis with round ticks: from `low` to `high`, `step` apart, every one a multiple of the
// step, the step 1, 2, 2,5 or 5 times a power of ten.
struct Scale {
    double low = 0;
    double high = 1;
    double step = 0.2;
    int ticks() const;
    int decimals() const; // of the step, so of every tick
};
// Round ticks around the values from `low` to `high` with a little room on both sides, at most
// `most` of them; from zero when asked, and never below zero for values that are not. A goal is
// taken in when that widens the scale by half at most; farther off it would squash the values,
// and is drawn at the edge instead.
Scale niceScale(double low, double high, bool fromZero, std::optional<double> goal = {},
                int most = 8);

// Where a window opens beside another (the diary, frames included) within the screen's available
// area: to the side with more room when the window fits there at least at its minimum width,
// else centred on the screen; never larger than the area.
QRect placeBeside(const QRect &available, const QRect &beside, QSize wanted, QSize minimum);

} // namespace progress

#include "charts/progress.h"

#include "data/dates.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace progress {

using namespace dayfields;

// A weight is typed to the 0,1 kg and swings by some 0,4 kg from day to day with water and meals;
// a girth is typed to the millimetre and the tape lies a couple of them either way; water and
// hours are typed in quarters and vary by about half a litre and a quarter of an hour.
const std::array<MeasureInfo, MeasureCount> measures = {{
    {QStringLiteral("Peso"), QStringLiteral("Kg"), Peski, MeasureCount, false, 0.1, 0.4},
    {QStringLiteral("Índice De Masa Corporal"), {}, Peski, MeasureCount, false, 0.1, 0.4},
    {QStringLiteral("Cintura / Altura"), {}, Dc, MeasureCount, false, 0.1, 0.2},
    {QStringLiteral("Cuello"), QStringLiteral("Cm"), Dcue, MeasureCount, false, 0.1, 0.2},
    {QStringLiteral("Pecho"), QStringLiteral("Cm"), Dp, MeasureCount, false, 0.1, 0.2},
    {QStringLiteral("Cintura"), QStringLiteral("Cm"), Dc, MeasureCount, false, 0.1, 0.2},
    {QStringLiteral("Biceps Derecho"), QStringLiteral("Cm"), Dbd, BicepsLeft, false, 0.1, 0.2},
    {QStringLiteral("Biceps Izquierdo"), QStringLiteral("Cm"), Dbi, BicepsRight, false, 0.1, 0.2},
    {QStringLiteral("Antebrazo Derecho"), QStringLiteral("Cm"), Dad, ForearmLeft, false, 0.1, 0.2},
    {QStringLiteral("Antebrazo Izquierdo"), QStringLiteral("Cm"), Dai, ForearmRight, false, 0.1,
     0.2},
    {QStringLiteral("Pierna Derecha"), QStringLiteral("Cm"), Dpd, LegLeft, false, 0.1, 0.2},
    {QStringLiteral("Pierna Izquierda"), QStringLiteral("Cm"), Dpi, LegRight, false, 0.1, 0.2},
    {QStringLiteral("Gemelo Derecho"), QStringLiteral("Cm"), Dgd, CalfLeft, false, 0.1, 0.2},
    {QStringLiteral("Gemelo Izquierdo"), QStringLiteral("Cm"), Dgi, CalfRight, false, 0.1, 0.2},
    {QStringLiteral("Culo"), QStringLiteral("Cm"), Dculo, MeasureCount, false, 0.1, 0.2},
    {QStringLiteral("Litros De Agua"), QStringLiteral("Litros"), Lagua, MeasureCount, true, 0.25,
     0.5},
    {QStringLiteral("Horas En El Gimnasio"), QStringLiteral("Horas"), Hgim, MeasureCount, true,
     0.25, 0.25},
}};

DiaryNumbers readNumbers(const DayWalk &days, std::optional<double> heightCm) {
    DiaryNumbers numbers;
    const bool hasHeight = heightCm && *heightCm > 0;
    for (int measure = 0; measure < MeasureCount; ++measure)
        numbers.spreadFloor[std::size_t(measure)] = ordinarySpread(Measure(measure), heightCm);
    days.forEach([&](const DayTexts &day) {
        const std::optional<QDate> date = dates::readDate(day[Fh]);
        for (int measure = 0; measure < MeasureCount; ++measure) {
            // Nothing measured that day: no point, and nothing wrong either.
            if (QStringView(day[measures[std::size_t(measure)].box]).trimmed().isEmpty())
                continue;
            std::optional<double> value;
            if (date && (hasHeight || (measure != Bmi && measure != WaistToHeight)))
                value = dates::readNumber(day[measures[std::size_t(measure)].box]);
            if (value && !std::isfinite(*value))
                value.reset();
            if (value && measure == Bmi)
                *value /= (*heightCm / 100) * (*heightCm / 100);
            else if (value && measure == WaistToHeight)
                *value /= *heightCm;
            if (value)
                numbers.points[std::size_t(measure)].push_back({*date, *value});
            else
                ++numbers.leftOut[std::size_t(measure)];
        }
        return true;
    });
    // The engine hands the days over in date order already; a list in another order is sorted.
    const auto byDate = [](const Point &a, const Point &b) { return a.date < b.date; };
    for (Points &points : numbers.points)
        if (!std::is_sorted(points.begin(), points.end(), byDate))
            std::stable_sort(points.begin(), points.end(), byDate);
    return numbers;
}

double ordinarySpread(Measure measure, std::optional<double> heightCm) {
    const MeasureInfo &info = measures[std::size_t(measure)];
    const double spread = info.typedStep + info.swing;
    const double metres = heightCm && *heightCm > 0 ? *heightCm / 100 : 0;
    if (measure == Bmi)
        return metres > 0 ? spread / (metres * metres) : 0;
    if (measure == WaistToHeight)
        return metres > 0 ? spread / *heightCm : 0;
    return spread;
}

namespace {

double medianOf(std::vector<double> &values) {
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2)
        return *middle;
    return (*middle + *std::max_element(values.begin(), middle)) / 2;
}

} // namespace

std::vector<bool> outliers(const Points &points, double floor) {
    constexpr qsizetype around = 7;
    const qsizetype count = qsizetype(points.size());
    std::vector<bool> outlier(points.size(), false);
    if (count < 5)
        return outlier;
    std::vector<double> residuals(points.size());
    std::vector<double> window;
    for (qsizetype i = 0; i < count; ++i) {
        window.clear();
        for (qsizetype j = std::max<qsizetype>(0, i - around); j <= std::min(count - 1, i + around);
             ++j)
            window.push_back(points[std::size_t(j)].value);
        residuals[std::size_t(i)] = points[std::size_t(i)].value - medianOf(window);
    }
    std::vector<double> deviations(residuals.size());
    std::transform(residuals.begin(), residuals.end(), deviations.begin(),
                   [](double r) { return std::abs(r); });
    const double meanDeviation =
        std::accumulate(deviations.begin(), deviations.end(), 0.0) / double(deviations.size());
    // Where most points lie exactly on their neighbours' median (a clean series), the median
    // deviation is nil and the mean deviation, scaled alike, judges instead.
    double spread = 1.4826 * medianOf(deviations);
    if (spread <= 0)
        spread = 1.2533 * meanDeviation;
    const double limit = 3 * std::max(spread, floor);
    if (limit <= 0)
        return outlier;
    for (std::size_t i = 0; i < residuals.size(); ++i)
        outlier[i] = std::abs(residuals[i]) > limit;
    return outlier;
}

Smoothed smooth(const Points &points, const std::vector<bool> &outlier, int days) {
    Smoothed smoothed;
    smoothed.trend.resize(points.size());
    smoothed.average.resize(points.size());
    // The trend starts at the first value that is no outlier.
    const auto first = std::find(outlier.begin(), outlier.end(), false);
    double trend = first == outlier.end() ? 0 : points[std::size_t(first - outlier.begin())].value;
    // The moving average keeps the sum of the values since `oldest`, outliers left out.
    double sum = 0;
    int count = 0;
    std::size_t oldest = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!outlier[i]) {
            trend += (points[i].value - trend) / 10;
            sum += points[i].value;
            ++count;
        }
        smoothed.trend[i] = trend;
        const QDate earliest = points[i].date.addDays(1 - days);
        for (; points[oldest].date < earliest; ++oldest)
            if (!outlier[oldest]) {
                sum -= points[oldest].value;
                --count;
            }
        smoothed.average[i] = count ? sum / count : std::numeric_limits<double>::quiet_NaN();
    }
    return smoothed;
}

std::vector<std::pair<qsizetype, qsizetype>> runs(const Points &points, int maxGapDays) {
    std::vector<std::pair<qsizetype, qsizetype>> found;
    qsizetype start = 0;
    for (qsizetype i = 1; i <= qsizetype(points.size()); ++i)
        if (i == qsizetype(points.size()) ||
            points[std::size_t(i - 1)].date.daysTo(points[std::size_t(i)].date) > maxGapDays) {
            found.emplace_back(start, i);
            start = i;
        }
    return found;
}

std::pair<qsizetype, qsizetype> within(const Points &points, QDate from, QDate to) {
    const auto begin = std::lower_bound(points.begin(), points.end(), from,
                                        [](const Point &p, QDate d) { return p.date < d; });
    const auto end = std::upper_bound(begin, points.end(), to,
                                      [](QDate d, const Point &p) { return d < p.date; });
    return {begin - points.begin(), end - points.begin()};
}

std::optional<Line> fitLine(const Points &points, const std::vector<bool> &outlier,
                            std::pair<qsizetype, qsizetype> range) {
    const auto [first, last] = range;
    if (last - first < 2)
        return std::nullopt;
    const QDate start = points[std::size_t(first)].date;
    double sumX = 0;
    double sumY = 0;
    int count = 0;
    for (qsizetype i = first; i < last; ++i)
        if (!outlier[std::size_t(i)]) {
            sumX += double(start.daysTo(points[std::size_t(i)].date));
            sumY += points[std::size_t(i)].value;
            ++count;
        }
    if (count < 2)
        return std::nullopt;
    const double meanX = sumX / count;
    const double meanY = sumY / count;
    double spread = 0;
    double together = 0;
    for (qsizetype i = first; i < last; ++i)
        if (!outlier[std::size_t(i)]) {
            const double dx = double(start.daysTo(points[std::size_t(i)].date)) - meanX;
            spread += dx * dx;
            together += dx * (points[std::size_t(i)].value - meanY);
        }
    if (spread <= 0)
        return std::nullopt;
    Line line;
    line.slopePerDay = together / spread;
    line.start = start;
    line.end = points[std::size_t(last - 1)].date;
    line.atStart = meanY - line.slopePerDay * meanX;
    line.atEnd = line.atStart + line.slopePerDay * double(start.daysTo(line.end));
    return line;
}

GoalOutlook goalOutlook(const Line &line, double goal) {
    constexpr double tolerance = 1e-9;
    const double ahead = goal - line.atEnd;
    // Reached when the line has come to the goal or crossed it within the range.
    if (std::abs(ahead) < tolerance || (goal - line.atStart) * ahead < 0)
        return {GoalOutlook::State::Reached, line.end};
    if (line.slopePerDay == 0 || (ahead > 0) != (line.slopePerDay > 0))
        return {GoalOutlook::State::NotHeading, {}};
    const double days = std::ceil(ahead / line.slopePerDay - tolerance);
    // Beyond the calendar the dates can show, the goal is out of reach too.
    if (days > 365.0 * 1000)
        return {GoalOutlook::State::NotHeading, {}};
    return {GoalOutlook::State::OnTheWay, line.end.addDays(qint64(days))};
}

QString goalText(const GoalOutlook &outlook) {
    switch (outlook.state) {
    case GoalOutlook::State::Reached:
        return QStringLiteral("Objetivo Alcanzado");
    case GoalOutlook::State::OnTheWay:
        return QStringLiteral("Al ritmo actual: ") + dates::shortDate(outlook.date);
    case GoalOutlook::State::NotHeading:
        break;
    }
    return QStringLiteral("Al Ritmo Actual No Se Alcanza El Objetivo");
}

std::optional<RangeFigures> figures(const Points &points, std::pair<qsizetype, qsizetype> range) {
    const auto [first, last] = range;
    if (first >= last)
        return std::nullopt;
    RangeFigures found{points[std::size_t(first)].value, points[std::size_t(last - 1)].value,
                       points[std::size_t(first)].value, points[std::size_t(first)].value};
    for (qsizetype i = first; i < last; ++i) {
        found.lowest = std::min(found.lowest, points[std::size_t(i)].value);
        found.highest = std::max(found.highest, points[std::size_t(i)].value);
    }
    return found;
}

std::vector<Bar> bars(const Points &points, std::pair<qsizetype, qsizetype> range, Period period) {
    std::vector<Bar> found;
    for (qsizetype i = range.first; i < range.second; ++i) {
        const Point &point = points[std::size_t(i)];
        const QDate start = period == Period::Week
                                ? point.date.addDays(1 - point.date.dayOfWeek())
                                : QDate(point.date.year(), point.date.month(), 1);
        if (found.empty() || found.back().start != start)
            found.push_back({start, 0, 0});
        found.back().sum += point.value;
        ++found.back().count;
    }
    return found;
}

QList<QPointF> barOutlines(const std::vector<Bar> &bars, Period period, bool summed,
                           const DayAxis &days) {
    QList<QPointF> corners;
    for (const Bar &bar : bars) {
        const QDate end = period == Period::Week ? bar.start.addDays(7) : bar.start.addMonths(1);
        const qreal left = days.at(bar.start) - 12 * 3600 * 1000.0;
        const qreal right = days.at(end) - 12 * 3600 * 1000.0;
        const qreal gap = (right - left) / 10;
        const double value = summed ? bar.sum : bar.mean();
        corners += {QPointF(left + gap, 0), QPointF(left + gap, value), QPointF(right - gap, value),
                    QPointF(right - gap, 0)};
    }
    return corners;
}

QList<QPointF> thinned(const QList<QPointF> &line, int buckets) {
    if (line.size() <= 3 * qsizetype(buckets) || buckets < 1)
        return line;
    const double start = line.first().x();
    const double width = (line.last().x() - start) / buckets;
    QList<QPointF> kept;
    kept.reserve(3 * buckets + 1);
    qsizetype i = 0;
    while (i < line.size() - 1) {
        // The points of this stretch: from i up to the first beyond its end (the last excluded).
        const int bucket = width > 0 ? int((line[i].x() - start) / width) : 0;
        const double end = start + width * (bucket + 1);
        qsizetype lowest = i;
        qsizetype highest = i;
        qsizetype next = i + 1;
        for (; next < line.size() - 1 && line[next].x() < end; ++next) {
            if (line[next].y() < line[lowest].y())
                lowest = next;
            if (line[next].y() > line[highest].y())
                highest = next;
        }
        kept.append(line[i]);
        for (qsizetype chosen : {std::min(lowest, highest), std::max(lowest, highest)})
            if (chosen != i && kept.last() != line[chosen])
                kept.append(line[chosen]);
        i = next;
    }
    kept.append(line.last());
    return kept;
}

QString leftOutText(int count) {
    if (count <= 0)
        return {};
    return QStringLiteral("%1 %2 sin fecha o valor válido")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("día") : QStringLiteral("días"));
}

QString number(double value) {
    QString text = dates::spanish().toString(value, 'f', 2);
    text.remove(QStringLiteral("."));
    while (text.contains(u',') && (text.endsWith(u'0') || text.endsWith(u',')))
        text.chop(1);
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

QString withUnit(double value, const MeasureInfo &info) {
    return info.unit.isEmpty() ? number(value) : number(value) + u' ' + info.unit;
}

QString figuresLine(Measure measure, const Points &points, const std::vector<bool> &outlier,
                    std::pair<qsizetype, qsizetype> range, std::optional<double> goal, int unread) {
    const MeasureInfo &info = measures[std::size_t(measure)];
    const std::optional<Line> fitted = fitLine(points, outlier, range);
    QString line = info.name + QStringLiteral(": ");
    if (const std::optional<RangeFigures> found = figures(points, range)) {
        line += QStringLiteral("Primero %1 · Último %2 · Mínimo %3 · Máximo %4 · Cambio %5")
                    .arg(withUnit(found->first, info), withUnit(found->last, info),
                         withUnit(found->lowest, info), withUnit(found->highest, info),
                         withUnit(found->change(), info));
        if (fitted)
            line += QStringLiteral(" · ") + withUnit(fitted->slopePerWeek(), info) +
                    QStringLiteral("/Semana");
    } else {
        line += QStringLiteral("Sin Datos En Este Periodo");
    }
    if (goal && fitted)
        line += QStringLiteral(" · ") + goalText(goalOutlook(*fitted, *goal));
    // The outliers are named, with their dates: they count among the figures as measured, but
    // not in the slope.
    QStringList odd;
    int more = 0;
    for (qsizetype i = range.first; i < range.second; ++i)
        if (outlier[std::size_t(i)] && odd.size() < 3)
            odd += withUnit(points[std::size_t(i)].value, info) + QStringLiteral(" (") +
                   dates::shortDate(points[std::size_t(i)].date) + u')';
        else if (outlier[std::size_t(i)])
            ++more;
    if (!odd.isEmpty())
        line += QStringLiteral(" · Fuera De Lo Normal, Sin Contar: ") +
                odd.join(QStringLiteral(", ")) +
                (more ? QStringLiteral(" Y %1 Más").arg(more) : QString());
    if (const QString leftOut = leftOutText(unread); !leftOut.isEmpty())
        line += QStringLiteral(" · ") + leftOut;
    return line;
}

int Scale::ticks() const {
    return int(std::lround((high - low) / step)) + 1;
}

int Scale::decimals() const {
    int count = 0;
    for (double scaled = step; count < 9 && std::abs(scaled - std::round(scaled)) > 1e-6 * scaled;
         scaled *= 10)
        ++count;
    return count;
}

Scale niceScale(double low, double high, bool fromZero, std::optional<double> goal, int most) {
    if (!std::isfinite(low) || !std::isfinite(high) || low > high)
        return {};
    if (goal) {
        const Scale without = niceScale(low, high, fromZero, std::nullopt, most);
        const double half = (without.high - without.low) / 2;
        if (*goal < without.low - half || *goal > without.high + half)
            return without;
        low = std::min(low, *goal);
        high = std::max(high, *goal);
    }
    if (fromZero) {
        low = std::min(low, 0.0);
        high = std::max(high, 0.0);
    }
    const bool positive = low >= 0;
    // Room on both sides, so that no point lies on the frame; a single value gets a tenth of it.
    const double room = high > low ? (high - low) * 0.04 : (high != 0 ? std::abs(high) / 20 : 0.5);
    low -= room;
    high += room;
    if (positive)
        low = std::max(low, 0.0);
    // The smallest round step that covers them in `most` ticks at most.
    double power = std::pow(10.0, std::floor(std::log10((high - low) / (most - 1))));
    for (;; power *= 10)
        for (const double mantissa : {1.0, 2.0, 2.5, 5.0}) {
            const double step = mantissa * power;
            const double bottom = std::floor(low / step + 1e-9) * step;
            const double top = std::ceil(high / step - 1e-9) * step;
            if (top - bottom <= step * (most - 1) * (1 + 1e-9))
                return {bottom, top, step};
        }
}

QRect placeBeside(const QRect &available, const QRect &beside, QSize wanted, QSize minimum) {
    constexpr int gap = 8;
    QSize size = wanted.expandedTo(minimum).boundedTo(available.size());
    if (beside.isValid()) {
        const int right = available.right() - beside.right() - gap;
        const int left = beside.left() - gap - available.left();
        if (std::max(right, left) >= minimum.width()) {
            size.setWidth(std::min(size.width(), std::max(right, left)));
            const int x =
                right >= left ? beside.right() + 1 + gap : beside.left() - gap - size.width();
            const int y = std::clamp(beside.top(), available.top(),
                                     available.top() + available.height() - size.height());
            return {QPoint(x, y), size};
        }
    }
    QRect centred(QPoint(), size);
    centred.moveCenter(available.center());
    return centred;
}

} // namespace progress

// The views of the exercise chosen (its history, its chart and its records) and the weekly volume.

#include "charts/progress.h"
#include "data/dates.h"
#include "trainingwindow/texttable.h"
#include "trainingwindow/trainingwindow.h"
#include "ui/seriesbuilders.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTableWidget>
#include <QValueAxis>

namespace {

// Lines are thinned to the lowest and highest of this many stretches, as the progress charts do.
constexpr int thinTo = 150;
// A training trend breaks across a longer pause than a weight's: an exercise is done once or
// twice a week, not every day.
constexpr int gapDays = 28;

QTableWidgetItem *cell(const QString &text) {
    return new QTableWidgetItem(text);
}

} // namespace

void TrainingWindow::showExercise(const QString &name) {
    m_chosen = name;
    m_chosenDays = exercisedays::daysOf(m_log.exercises.value(name));
    m_note->setText(
        name.isEmpty() ? QStringLiteral("Ningún Ejercicio Leído En \"Que Has Hecho\".")
        : m_log.exercises.value(name).exercise.bodyWeight != training::BodyWeight::No
            ? QStringLiteral("%1 Se Hace Con El Peso Del Cuerpo: Su Carga Es Tu Peso Del Diario "
                             "(El Del Día O El Anterior Más Cercano, Hasta %2 Días Antes) Más El "
                             "Lastre.")
                  .arg(traininglog::displayName(name))
                  .arg(traininglog::bodyWeightDays)
            : QString());
    showHistory(name);
    showRecords(name);
    // The chart is drawn when its page is shown.
    m_chartDrawn = false;
    if (m_tabs->currentWidget() == m_chart)
        drawChart();
}

void TrainingWindow::showHistory(const QString &name) {
    // The most recent first; the texts of a row made when it is drawn.
    auto entries = std::make_shared<const QList<training::HistoryEntry>>(
        training::history(m_chosenDays, name));
    QHash<QDate, std::optional<double>> weights;
    for (const training::TrainingDay &day : std::as_const(m_chosenDays))
        weights.insert(day.date, day.bodyWeightKg);
    const auto count = int(entries->size());
    m_historyRows->setRows(count, [entries, count, weights](int row, int column) {
        const training::HistoryEntry &entry = entries->at(count - 1 - row);
        const std::optional<double> weight = weights.value(entry.date);
        switch (column) {
        case 0:
            return dates::shortDate(entry.date);
        case 1:
            return traininglog::topSet(entry.sets, weight);
        case 2: {
            const double moved = traininglog::volume(entry.sets, weight);
            return moved > 0 ? traininglog::kilos(moved) : QString();
        }
        default:
            return traininglog::setsText(entry.sets);
        }
    });
}

void TrainingWindow::showRecords(const QString &name) {
    const auto best = training::records(m_chosenDays, name);
    m_records->setRowCount(int(best.size()));
    for (int row = 0; row < int(best.size()); ++row) {
        const std::optional<training::Record> &record = best[std::size_t(row)];
        m_records->setItem(row, 0, cell(QString::number(row + 1)));
        m_records->setItem(row, 1, cell(record ? traininglog::kilos(record->kg) : QString()));
        m_records->setItem(row, 2, cell(record ? dates::shortDate(record->date) : QString()));
    }
}

void TrainingWindow::drawChart() {
    if (m_chartDrawn)
        return;
    m_chartDrawn = true;
    const QString &name = m_chosen;
    progress::Points points;
    for (const training::HistoryEntry &entry : training::history(m_chosenDays, name))
        if (entry.bestMax)
            points.push_back({entry.date, *entry.bestMax});
    // The chart and its axes stay; each exercise puts its own series on them.
    if (!m_axes.chart) {
        m_axes = seriesbuilders::newChart();
        m_axes.right->hide();
        m_axes.sums->hide();
        QChart *first = m_chart->chart(); // the view's own, given up
        m_chart->setChart(m_axes.chart);
        delete first;
    }
    m_axes.chart->removeAllSeries();
    m_axes.chart->setTitle(
        QStringLiteral("Máximo Estimado (Kg): %1").arg(traininglog::displayName(name)));
    if (!points.empty())
        addSeries(points);
}

void TrainingWindow::addSeries(const progress::Points &points) {
    const seriesbuilders::ChartAxes &axes = m_axes;
    const std::vector<bool> noOutliers(points.size(), false);
    const progress::Smoothed smoothed = progress::smooth(points, noOutliers, 28);
    // Each day in the middle of its slot, without asking the time zone machinery at every point.
    progress::DayAxis days;
    days.zoneShift = qint64(QDateTime::currentDateTime().offsetFromUtc()) * 1000;
    // Each day a dot; so many that they would hide each other, thinned for drawing.
    QList<QPointF> dots;
    seriesbuilders::AxisContent content;
    for (const progress::Point &point : points) {
        dots += QPointF(days.at(point.date), point.value);
        content.take(point.value);
    }
    auto *daily = new QScatterSeries;
    const bool many = points.size() > std::size_t(seriesbuilders::markersUpTo);
    daily->setMarkerSize(many ? 5 : 8);
    daily->replace(many ? progress::thinned(dots, thinTo) : dots);
    axes.attach(daily, axes.left, QStringLiteral("Máximo Estimado"));
    // The trend, broken where the exercise was left for more than four weeks.
    bool named = false;
    for (const auto &[first, last] : progress::runs(points, gapDays)) {
        QList<QPointF> line;
        for (qsizetype i = first; i < last; ++i)
            line += QPointF(days.at(points[std::size_t(i)].date), smoothed.trend[std::size_t(i)]);
        auto *trend = new QLineSeries;
        trend->replace(progress::thinned(line, thinTo));
        axes.attach(trend, axes.left, QStringLiteral("Tendencia"), !named);
        named = true;
    }
    content.used = true;
    seriesbuilders::scaleAxis(axes.left, content, false);
    const QDate first = points.front().date, last = points.back().date;
    const auto edge = [&days](QDate day) {
        return QDateTime::fromMSecsSinceEpoch(qint64(days.at(day)));
    };
    axes.dates->setRange(edge(first.addDays(-1)), edge(last.addDays(1)));
    axes.dates->setTickCount(int(std::clamp<qint64>(first.daysTo(last) + 1, 2, 6)));
}

void TrainingWindow::fillWeeks() {
    const QDate kept = m_week->currentData().toDate();
    const QSignalBlocker quiet(m_week);
    m_week->clear();
    // The latest week first.
    for (auto week = m_log.totals.weeks.keyEnd(); week != m_log.totals.weeks.keyBegin();) {
        --week;
        m_week->addItem(dates::shortDate(*week), *week);
    }
    const int at = m_week->findData(kept);
    m_week->setCurrentIndex(at >= 0 ? at : 0);
    showWeek(m_week->currentIndex());
}

void TrainingWindow::showWeek(int index) {
    const QMap<QString, training::Volume> week =
        index >= 0 ? m_log.totals.weeks.value(m_week->itemData(index).toDate())
                   : QMap<QString, training::Volume>{};
    m_volume->setRowCount(0);
    // In the order of the muscle groups.
    for (int muscle = 0; muscle < int(training::Muscle::Count); ++muscle) {
        const QString name = training::muscleName(training::Muscle(muscle));
        const auto found = week.constFind(name);
        if (found == week.cend())
            continue;
        const int row = m_volume->rowCount();
        m_volume->insertRow(row);
        m_volume->setItem(row, 0, cell(name));
        m_volume->setItem(row, 1, cell(traininglog::kilos(found->kg)));
        m_volume->setItem(row, 2, cell(dates::generalNumber(found->hardSets)));
    }
}

#include "charts/progresswindow.h"

#include "data/dates.h"
#include "data/daystore.h"
#include "data/privatefile.h"
#include "data/profilestore.h"
#include "ui/besideparent.h"
#include "ui/dialogs.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDateEdit>
#include <QDateTimeAxis>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QSvgGenerator>
#include <QToolTip>
#include <QValueAxis>
#include <QXYSeries>
#include <algorithm>
#include <cmath>

using namespace progress;
using namespace seriesbuilders;

namespace {

const QString title = QStringLiteral("Progreso");

// The size the window asks for, when the screen has room.
constexpr QSize preferredSize(1000, 720);

// The colours of the first measure, of its other side and of the second measure.
const QColor colours[] = {QColor(0x1f, 0x5f, 0xb4), QColor(0x2c, 0x8c, 0x2c),
                          QColor(0xc6, 0x27, 0x28)};

// The date axis reaches this far beyond the noons of its first and last days: short of their
// midnights by more than a change to summer time, so that its end labels name those days.
constexpr qint64 edgeMsecs = 10 * 3600 * 1000;

} // namespace

ProgressWindow::ProgressWindow(DayStore &days, ProfileStore &profiles, Dialogs &dialogs,
                               QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_days(days)
    , m_profiles(profiles)
    , m_dialogs(dialogs) {
    setObjectName(QStringLiteral("progreso"));
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    m_chart = newChart();
    m_controls = makeControls(this, m_chart.chart, [this] { snapZoomToDays(); });
    connectControls();
    connect(&m_days, &DayStore::storedDaysChanged, this, &ProgressWindow::reload);
    reload();
    placeOnScreen();
}

void ProgressWindow::connectControls() {
    const ProgressControls &c = m_controls;
    for (QComboBox *box : {c.measure, c.second, c.bars, c.range})
        connect(box, &QComboBox::currentIndexChanged, this, &ProgressWindow::redraw);
    for (QCheckBox *box : {c.bothSides, c.fromZero})
        connect(box, &QCheckBox::toggled, this, &ProgressWindow::redraw);
    for (QDateEdit *edit : {c.from, c.to})
        connect(edit, &QDateEdit::dateChanged, this, [this] {
            if (m_controls.range->currentIndex() == BetweenDates) {
                m_between = {m_controls.from->date(), m_controls.to->date()};
                redraw();
            }
        });
    connect(c.averageDays, &QSpinBox::valueChanged, this, &ProgressWindow::redraw);
    connect(c.goal, &QLineEdit::returnPressed, this, &ProgressWindow::storeGoal);
    connect(c.storeGoal, &QPushButton::clicked, this, &ProgressWindow::storeGoal);
    connect(c.resetZoom, &QPushButton::clicked, this, &ProgressWindow::resetZoom);
    connect(c.saveImage, &QPushButton::clicked, this, &ProgressWindow::saveImage);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    // The figures follow the dates shown, zoomed in or not.
    connect(m_chart.dates, &QDateTimeAxis::rangeChanged, this, [this] {
        if (!m_drawing)
            updateFigures();
    });
}

void ProgressWindow::placeOnScreen() {
    besideparent::place(this, preferredSize);
}

QChart *ProgressWindow::chart() const {
    return m_chart.chart;
}

QString ProgressWindow::figuresText() const {
    return m_controls.figures->text();
}

void ProgressWindow::showMeasure(Measure measure, Measure second) {
    m_controls.measure->setCurrentIndex(measure);
    m_controls.second->setCurrentIndex(second == MeasureCount ? 0 : second + 1);
}

void ProgressWindow::showRange(Range range) {
    m_controls.range->setCurrentIndex(range);
}

void ProgressWindow::showBars(Bars bars) {
    m_controls.bars->setCurrentIndex(bars);
}

void ProgressWindow::reload() {
    const std::optional<StoredProfile> profile = m_profiles.load();
    m_numbers = readNumbers(m_days.storedDaysByDate(),
                            profile ? dates::readNumber(profile->height) : std::nullopt);
    m_outliers = {};
    m_controls.goal->setText(m_profiles.goalWeight().value_or(QString()));
    redraw();
}

void ProgressWindow::redraw() {
    QChart *chart = m_chart.chart;
    m_drawing = true;
    if (chart->isZoomed())
        chart->zoomReset();
    chart->removeAllSeries();
    const auto primary = Measure(m_controls.measure->currentIndex());
    const MeasureInfo &info = measures[std::size_t(primary)];
    enableFor(primary);
    chooseDays(m_numbers.points[std::size_t(primary)]);
    m_dayAxis.zoneShift = qint64(QDateTime::currentDateTime().offsetFromUtc()) * 1000;
    showDays(m_controls.from->date(), std::max(m_controls.from->date(), m_controls.to->date()));

    m_shown.clear();
    AxisContent left;
    AxisContent right;
    AxisContent sums;
    drawMeasure(primary, false, left, sums);
    if (m_controls.bothSides->isChecked() && info.otherSide != MeasureCount)
        drawMeasure(info.otherSide, false, left, sums);
    const int second = m_controls.second->currentIndex() - 1;
    const bool hasSecond = second >= 0 && second != primary;
    if (hasSecond)
        drawMeasure(Measure(second), true, right, sums);
    // The axes' titles name the measures. The chart has no title of its own: the room above the
    // plot is left to the values beyond the axis.
    finishAxis(m_chart.left, true, info.name, info, left);
    const MeasureInfo &secondInfo = measures[std::size_t(hasSecond ? second : primary)];
    finishAxis(m_chart.right, hasSecond, secondInfo.name, secondInfo, right);
    finishAxis(m_chart.sums, sums.used, m_controls.bars->currentText(), info, sums);
    m_drawing = false;
    updateFigures();
}

void ProgressWindow::enableFor(Measure primary) {
    const MeasureInfo &info = measures[std::size_t(primary)];
    m_controls.bothSides->setEnabled(info.otherSide != MeasureCount);
    m_controls.bars->setEnabled(info.summable);
    m_controls.goal->setEnabled(primary == Weight);
    m_controls.storeGoal->setEnabled(primary == Weight);
}

void ProgressWindow::chooseDays(const Points &points) {
    // The range ends on the last day of the measure, or today when it has none.
    const QDate last = points.empty() ? QDate::currentDate() : points.back().date;
    const int range = m_controls.range->currentIndex();
    QDateEdit *from = m_controls.from;
    QDateEdit *to = m_controls.to;
    from->setEnabled(range == BetweenDates);
    to->setEnabled(range == BetweenDates);
    if (range == BetweenDates && m_between) {
        // The dates chosen, not those of a zoom that the boxes show.
        const QSignalBlocker fromBlocked(from);
        const QSignalBlocker toBlocked(to);
        from->setDate(m_between->first);
        to->setDate(m_between->second);
    } else if (range != BetweenDates) {
        m_between.reset();
        const QDate first = points.empty() ? last : points.front().date;
        const qint64 span[] = {29, 89, 364};
        const QSignalBlocker fromBlocked(from);
        const QSignalBlocker toBlocked(to);
        from->setDate(range == Everything ? first : last.addDays(-span[range]));
        to->setDate(last);
    }
}

void ProgressWindow::drawMeasure(Measure measure, bool secondAxis, AxisContent &content,
                                 AxisContent &sums) {
    const auto index = std::size_t(measure);
    const Points &points = m_numbers.points[index];
    m_shown.push_back(measure);
    // The outliers of a measure are found once for each reading of the diary.
    std::optional<std::vector<bool>> &outlier = m_outliers[index];
    if (!outlier)
        outlier = outliers(points, m_numbers.spreadFloor[index]);
    const int averageDays = m_controls.averageDays->value();
    const Smoothed smoothed = smooth(points, *outlier, averageDays);
    // The legend names the helpers of the first measure; those of the others follow its colours.
    const bool first = measure == Measure(m_controls.measure->currentIndex());
    const MeasureDrawing drawing{measures[index],
                                 points,
                                 *outlier,
                                 smoothed,
                                 within(points, m_controls.from->date(), m_controls.to->date()),
                                 m_dayAxis,
                                 colours[secondAxis ? 2
                                         : first    ? 0
                                                    : 1],
                                 first,
                                 secondAxis ? m_chart.right : m_chart.left,
                                 content};
    // Smooth edges where the points are few; a dense chart is drawn faster without them.
    if (!secondAxis)
        m_controls.view->setRenderHint(QPainter::Antialiasing, drawing.shown() <= markersUpTo);
    tellOnHover(addDailyPoints(m_chart, drawing), measure, smoothed.trend);
    keepOutliers(drawing);
    addTrend(m_chart, drawing);
    addAverage(m_chart, drawing, averageDays);
    // Weekly or monthly bars of water and hours, under the first measure: means on its axis,
    // sums on their own.
    const int bars = m_controls.bars->currentIndex();
    if (drawing.info.summable && !secondAxis && bars != NoBars)
        addBars(m_chart, drawing,
                bars == WeeklySums || bars == WeeklyMeans ? Period::Week : Period::Month,
                bars == WeeklySums || bars == MonthlySums, m_controls.bars->currentText(), sums);
    // The goal weight, drawn once the axis is known.
    if (measure == Weight)
        if (const std::optional<double> goal = dates::readNumber(m_controls.goal->text());
            goal && *goal)
            content.goal = goal;
}

void ProgressWindow::tellOnHover(const QList<QXYSeries *> &shown, Measure measure,
                                 std::vector<double> trend) {
    const auto hover = [this, measure, &points = m_numbers.points[std::size_t(measure)],
                        trend = std::move(trend)](const QPointF &at, bool state) {
        if (!state || points.empty()) {
            QToolTip::hideText();
            return;
        }
        const QDate date = m_dayAxis.dayAt(at.x());
        const auto [i, end] = within(points, date, date);
        const auto index = std::size_t(std::min<qsizetype>(i, qsizetype(points.size()) - 1));
        const MeasureInfo &info = measures[std::size_t(measure)];
        QString text = dates::shortDate(points[index].date) + QStringLiteral(": ") +
                       withUnit(points[index].value, info);
        if (index > 0)
            text += QStringLiteral(" (Cambio ") +
                    withUnit(points[index].value - points[index - 1].value, info) + u')';
        text += QStringLiteral("\nTendencia: ") + withUnit(trend[index], info);
        QToolTip::showText(QCursor::pos(), text, m_controls.view);
    };
    for (QXYSeries *series : shown)
        connect(series, &QXYSeries::hovered, this, hover);
}

void ProgressWindow::finishAxis(QValueAxis *axis, bool shown, const QString &name,
                                const MeasureInfo &unitOf, AxisContent &content) {
    axis->setVisible(shown);
    if (!shown)
        return;
    axis->setTitleText(unitOf.unit.isEmpty() ? name
                                             : name + QStringLiteral(" (") + unitOf.unit + u')');
    const Scale scale = scaleAxis(axis, content, m_controls.fromZero->isChecked());
    addOutliers(m_chart, axis, content, scale);
    if (content.goal)
        m_goalLine = addGoalLine(m_chart, axis, *content.goal, scale);
}

void ProgressWindow::showDays(QDate first, QDate last) {
    m_chart.dates->setRange(QDateTime::fromMSecsSinceEpoch(qint64(m_dayAxis.at(first)) - edgeMsecs),
                            QDateTime::fromMSecsSinceEpoch(qint64(m_dayAxis.at(last)) + edgeMsecs));
    // A label a day at most: with more ticks than days, two would name the same day.
    m_chart.dates->setTickCount(int(std::clamp<qint64>(first.daysTo(last) + 1, 2, 6)));
}

std::pair<QDate, QDate> ProgressWindow::daysShown() const {
    const auto low = qreal(m_chart.dates->min().toMSecsSinceEpoch());
    const auto high = qreal(m_chart.dates->max().toMSecsSinceEpoch());
    // A day is shown when its point, at noon, is.
    QDate first = m_dayAxis.dayAt(low);
    QDate last = m_dayAxis.dayAt(high);
    if (m_dayAxis.at(first) < low)
        first = first.addDays(1);
    if (m_dayAxis.at(last) > high)
        last = last.addDays(-1);
    return {first, last};
}

void ProgressWindow::snapZoomToDays() {
    if (!m_chart.chart->isZoomed())
        return;
    auto [first, last] = daysShown();
    // Narrower than a day: the day under its middle.
    if (last < first)
        first = last = m_dayAxis.dayAt((qreal(m_chart.dates->min().toMSecsSinceEpoch()) +
                                        qreal(m_chart.dates->max().toMSecsSinceEpoch())) /
                                       2);
    showDays(first, last);
}

void ProgressWindow::updateFigures() {
    const auto [first, last] = daysShown();
    const std::optional<double> goal = dates::readNumber(m_controls.goal->text());
    QStringList lines;
    for (const Measure measure : m_shown) {
        const Points &points = m_numbers.points[std::size_t(measure)];
        lines += figuresLine(measure, points, *m_outliers[std::size_t(measure)],
                             within(points, first, last), measure == Weight ? goal : std::nullopt,
                             m_numbers.leftOut[std::size_t(measure)]);
    }
    m_controls.figures->setText(lines.join(u'\n'));
    // The boxes of dates show the days shown too.
    const QSignalBlocker fromBlocked(m_controls.from);
    const QSignalBlocker toBlocked(m_controls.to);
    m_controls.from->setDate(first);
    m_controls.to->setDate(last);
    // The goal's line spans the days shown, its label in their middle.
    if (m_goalLine && m_goalLine->count() == 3) {
        const qreal y = m_goalLine->at(0).y();
        const qreal left = m_dayAxis.at(first);
        const qreal right = m_dayAxis.at(last);
        m_goalLine->replace({{left, y}, {(left + right) / 2, y}, {right, y}});
    }
}

void ProgressWindow::resetZoom() {
    m_controls.view->chart()->zoomReset();
}

void ProgressWindow::saveImage() {
    const QString chosen = m_dialogs.saveFileName(
        this, QStringLiteral("Guardar Imagen De La Gráfica"), QStringLiteral("Progreso.png"),
        QStringLiteral("Imagen PNG (*.png);;Imagen SVG (*.svg)"));
    if (chosen.isEmpty())
        return;
    if (!saveImageTo(chosen))
        m_dialogs.messageBox(this,
                             QStringLiteral("ERROR. No Se Ha Podido Guardar La Gráfica En:\n%1")
                                 .arg(QDir::toNativeSeparators(chosen)),
                             title);
}

bool ProgressWindow::saveImageTo(const QString &path) {
    const bool svg = path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
    // The picture shows the diary: a file for its owner's eyes alone, replaced whole.
    privatefile::NewFile file(svg || path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)
                                  ? path
                                  : path + QLatin1String(".png"));
    if (!file.create())
        return false;
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setSize(m_controls.view->size());
        generator.setViewBox(m_controls.view->rect());
        generator.setTitle(title);
        QPainter painter;
        if (!painter.begin(&generator))
            return false;
        m_controls.view->render(&painter);
        painter.end();
    } else if (!m_controls.view->grab().save(&file, "PNG")) {
        return false;
    }
    return file.commit(privatefile::NewFile::Sync::ToDisk);
}

void ProgressWindow::storeGoal() {
    const QString typed = m_controls.goal->text().trimmed();
    const std::optional<double> goal = dates::readNumber(typed);
    if (!typed.isEmpty() && (!goal || *goal <= 0 || *goal >= 1000)) {
        m_dialogs.messageBox(
            this, QStringLiteral("ERROR. Introduce Tu Peso Objetivo En Kg, Solo Números."), title);
        return;
    }
    if (!m_profiles.setGoalWeight(typed))
        m_dialogs.messageBox(
            this, QStringLiteral("ERROR. No Se Ha Podido Guardar Tu Peso Objetivo."), title);
    redraw();
}

#include "charts/progresswindow.h"

#include "data/dates.h"
#include "data/daystore.h"
#include "data/privatefile.h"
#include "data/profilestore.h"
#include "ui/dialogs.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDateEdit>
#include <QDateTimeAxis>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QSvgGenerator>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <map>

using namespace progress;

namespace {

const QString title = QStringLiteral("Progreso");

// More daily points than this in the range are drawn as a thin line instead of markers.
constexpr qsizetype markersUpTo = 400;
// Lines are thinned to the lowest and highest of this many stretches, about two a pixel.
constexpr int thinTo = 150;
// Values beyond an axis drawn at its edge with a label each: at most this many labels an axis.
constexpr int edgeLabels = 12;
// The size the window asks for, when the screen has room.
constexpr QSize preferredSize(1000, 720);

// The colours of the first measure, of its other side and of the second measure.
const QColor colours[] = {QColor(0x1f, 0x5f, 0xb4), QColor(0x2c, 0x8c, 0x2c),
                          QColor(0xc6, 0x27, 0x28)};

constexpr qint64 dayMsecs = 24 * 3600 * 1000;
constexpr qint64 epochDay = 2440588; // the Julian day of 1 January 1970
// The date axis reaches this far beyond the noons of its first and last days: short of their
// midnights by more than a change to summer time, so that its end labels name those days.
constexpr qint64 edgeMsecs = 10 * 3600 * 1000;

// A pen of one pixel whatever the scale: the painter draws it with its fast stroker, dashes too.
QPen cosmetic(QPen pen) {
    pen.setCosmetic(true);
    return pen;
}

// A combo box announced by the name given to it, the item chosen as its value. On Linux, Qt's
// own announces the item chosen as its name, which says nothing of what the box is for.
class NamedComboBox final : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox *box)
        : QAccessibleWidget(box, QAccessible::ComboBox) {}
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? static_cast<QComboBox *>(widget())->currentText()
                                          : QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override {
        return QStringList(showMenuAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override {
        if (action == showMenuAction())
            static_cast<QComboBox *>(widget())->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }
};

// For the combo boxes of this window. Their interfaces are made as soon as they get their items,
// before their names.
QAccessibleInterface *namedComboBoxes(const QString &className, QObject *object) {
    auto *box = qobject_cast<QComboBox *>(object);
    return className == QLatin1String("QComboBox") && box &&
                   qobject_cast<ProgressWindow *>(box->window())
               ? new NamedComboBox(box)
               : nullptr;
}

// The chart's view: a drag across it zooms in on those dates; then `zoomed` is told.
class ZoomingView final : public QChartView {
public:
    using QChartView::QChartView;
    std::function<void()> zoomed;

protected:
    void mouseReleaseEvent(QMouseEvent *event) override {
        QChartView::mouseReleaseEvent(event);
        if (zoomed)
            zoomed();
    }
};

} // namespace

// What is drawn on one value axis: the range of its values, and what waits for its scale (the
// outliers and the goal, drawn in their place within it, at its edge with their value beyond).
struct ProgressWindow::AxisContent {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    bool used = false;
    struct Odd {
        const MeasureInfo *info;
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

ProgressWindow::ProgressWindow(DayStore &days, ProfileStore &profiles, Dialogs &dialogs,
                               QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_days(days)
    , m_profiles(profiles)
    , m_dialogs(dialogs) {
    static const bool namedCombos = (QAccessible::installFactory(namedComboBoxes), true);
    Q_UNUSED(namedCombos);
    setObjectName(QStringLiteral("progreso"));
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    connect(&m_days, &DayStore::storedDaysChanged, this, &ProgressWindow::reload);
    reload();
    placeOnScreen();
}

void ProgressWindow::buildControls() {
    const auto combo = [this](const char *name, const QStringList &entries) {
        auto *box = new QComboBox(this);
        box->setObjectName(QLatin1String(name));
        box->addItems(entries);
        connect(box, &QComboBox::currentIndexChanged, this, &ProgressWindow::redraw);
        return box;
    };
    const auto check = [this](const char *name, const QString &caption) {
        auto *box = new QCheckBox(caption, this);
        box->setObjectName(QLatin1String(name));
        connect(box, &QCheckBox::toggled, this, &ProgressWindow::redraw);
        return box;
    };
    const auto button = [this](const char *name, const QString &caption,
                               void (ProgressWindow::*slot)()) {
        auto *pushed = new QPushButton(caption, this);
        pushed->setObjectName(QLatin1String(name));
        connect(pushed, &QPushButton::clicked, this, slot);
        return pushed;
    };
    const auto dateEdit = [this](const char *name) {
        auto *edit = new QDateEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        edit->setCalendarPopup(true);
        connect(edit, &QDateEdit::dateChanged, this, [this] {
            if (m_range->currentIndex() == BetweenDates) {
                m_between = {m_from->date(), m_to->date()};
                redraw();
            }
        });
        return edit;
    };

    // Created in the order of the grid, which is the order of Tab.
    QStringList names;
    for (const MeasureInfo &info : measures)
        names += info.name;
    m_measure = combo("medida", names);
    m_second = combo("segundaMedida", QStringList(QStringLiteral("Ninguna")) + names);
    m_bothSides = check("ambosLados", QStringLiteral("&Ambos Lados"));
    m_bars = combo("barras", {QStringLiteral("Sin Barras"), QStringLiteral("Suma Semanal"),
                              QStringLiteral("Media Semanal"), QStringLiteral("Suma Mensual"),
                              QStringLiteral("Media Mensual")});
    m_range = combo("periodo", {QStringLiteral("Últimos 30 Días"),
                                QStringLiteral("Últimos 90 Días"), QStringLiteral("Último Año"),
                                QStringLiteral("Todo"), QStringLiteral("Entre Fechas")});
    {
        const QSignalBlocker quiet(m_range); // nothing is drawn before the chart is there
        m_range->setCurrentIndex(Last90);
    }
    m_from = dateEdit("desde");
    m_from->setAccessibleName(QStringLiteral("Desde"));
    m_to = dateEdit("hasta");
    m_to->setAccessibleName(QStringLiteral("Hasta"));
    m_averageDays = new QSpinBox(this);
    m_averageDays->setObjectName(QStringLiteral("mediaDias"));
    m_averageDays->setRange(1, 365);
    m_averageDays->setValue(7);
    m_averageDays->setSuffix(QStringLiteral(" Días"));
    connect(m_averageDays, &QSpinBox::valueChanged, this, &ProgressWindow::redraw);
    m_fromZero = check("desdeCero", QStringLiteral("&Eje Desde Cero"));
    m_goal = new QLineEdit(this);
    m_goal->setObjectName(QStringLiteral("pesoObjetivo"));
    m_goal->setMaximumWidth(70);
    connect(m_goal, &QLineEdit::returnPressed, this, &ProgressWindow::storeGoal);
    m_storeGoal =
        button("guardarObjetivo", QStringLiteral("&Guardar Objetivo"), &ProgressWindow::storeGoal);
    m_resetZoom = button("verTodo", QStringLiteral("&Ver Todo"), &ProgressWindow::resetZoom);
    m_saveImage =
        button("guardarImagen", QStringLiteral("Guardar &Imagen..."), &ProgressWindow::saveImage);

    auto *chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    // Each entry of the legend drawn as its series is: a dot, a line, a dashed line.
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    chart->setLocale(dates::spanish());
    chart->setLocalizeNumbers(true);
    // The axes stay; every drawing puts new series on them.
    m_dates = new QDateTimeAxis(chart);
    m_dates->setFormat(QStringLiteral("dd/MM/yyyy"));
    chart->addAxis(m_dates, Qt::AlignBottom);
    m_leftAxis = new QValueAxis(chart);
    chart->addAxis(m_leftAxis, Qt::AlignLeft);
    m_rightAxis = new QValueAxis(chart);
    chart->addAxis(m_rightAxis, Qt::AlignRight);
    // Weekly and monthly sums of water or hours on an axis of their own: a week's 17 litres on
    // the axis of a day's 2,5 would flatten the days. Shown as daily means instead they would
    // repeat the bars of means, and a week with days not written down would seem drier than it
    // was.
    m_sumsAxis = new QValueAxis(chart);
    chart->addAxis(m_sumsAxis, Qt::AlignRight);
    // Grid lines of the left axis alone: those of the others would cross them at other heights.
    for (QValueAxis *right : {m_rightAxis, m_sumsAxis})
        right->setGridLineVisible(false);
    // The figures follow the dates shown, zoomed in or not.
    connect(m_dates, &QDateTimeAxis::rangeChanged, this, [this] {
        if (!m_drawing)
            updateFigures();
    });
    auto *view = new ZoomingView(chart, this);
    view->zoomed = [this] { snapZoomToDays(); };
    m_view = view;
    m_view->setObjectName(QStringLiteral("grafica"));
    m_view->setAccessibleName(QStringLiteral("Gráfica De Progreso"));
    m_view->setAccessibleDescription(
        QStringLiteral("Arrastra Sobre La Gráfica Para Ver De Cerca Esas Fechas."));
    m_view->viewport()->setAccessibleName(QStringLiteral("Área De La Gráfica"));
    m_view->viewport()->setAccessibleDescription(m_view->accessibleDescription());
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    m_view->setRenderHint(QPainter::Antialiasing);
    // Dragging across the chart zooms in on those dates; "Ver Todo" goes back.
    m_view->setRubberBand(QChartView::HorizontalRubberBand);
    // Wide enough for the legend's entries written whole, narrow enough for a scaled screen.
    m_view->setMinimumSize(560, 220);
    m_figures = new QLabel(this);
    m_figures->setObjectName(QStringLiteral("cifras"));
    m_figures->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Long figures wrap instead of widening the window.
    m_figures->setWordWrap(true);

    // Two columns of labelled controls, narrow enough for a small or scaled screen.
    auto *controls = new QGridLayout;
    const auto labelled = [this, controls](int row, int column, const QString &caption,
                                           QWidget *field) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        // Announced by what its label says, whatever it holds.
        field->setAccessibleName(QString(caption).remove(u'&').remove(u':'));
        controls->addWidget(label, row, column);
    };
    const auto together = [controls](int row, int column,
                                     std::initializer_list<QWidget *> widgets) {
        auto *line = new QHBoxLayout;
        for (QWidget *widget : widgets)
            line->addWidget(widget);
        line->addStretch();
        controls->addLayout(line, row, column);
    };
    labelled(0, 0, QStringLiteral("&Medida:"), m_measure);
    together(0, 1, {m_measure});
    labelled(0, 2, QStringLiteral("&Segunda Medida:"), m_second);
    together(0, 3, {m_second});
    together(1, 1, {m_bothSides});
    labelled(1, 2, QStringLiteral("&Barras:"), m_bars);
    together(1, 3, {m_bars});
    labelled(2, 0, QStringLiteral("&Periodo:"), m_range);
    together(2, 1, {m_range});
    together(2, 3, {m_from, m_to});
    labelled(3, 0, QStringLiteral("Media &De:"), m_averageDays);
    together(3, 1, {m_averageDays});
    together(3, 3, {m_fromZero});
    labelled(4, 0, QStringLiteral("Peso &Objetivo:"), m_goal);
    together(4, 1, {m_goal, m_storeGoal});
    together(4, 3, {m_resetZoom, m_saveImage});
    controls->setColumnStretch(4, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_figures);
}

void ProgressWindow::placeOnScreen() {
    const QWidget *diary = parentWidget() ? parentWidget()->window() : nullptr;
    const bool beside = diary && diary->isVisible();
    const QScreen *shownOn = beside ? diary->screen() : screen();
    if (!shownOn)
        return;
    // The window's frame is not known before it is shown: the diary's stands for it.
    const QSize frame = beside ? diary->frameGeometry().size() - diary->size() : QSize(0, 0);
    const QRect place =
        placeBeside(shownOn->availableGeometry(), beside ? diary->frameGeometry() : QRect(),
                    preferredSize + frame, minimumSizeHint() + frame);
    resize(place.size() - frame);
    move(place.topLeft());
}

QChart *ProgressWindow::chart() const {
    return m_view->chart();
}

QString ProgressWindow::figuresText() const {
    return m_figures->text();
}

void ProgressWindow::showMeasure(Measure measure, Measure second) {
    m_measure->setCurrentIndex(measure);
    m_second->setCurrentIndex(second == MeasureCount ? 0 : second + 1);
}

void ProgressWindow::showRange(Range range) {
    m_range->setCurrentIndex(range);
}

void ProgressWindow::showBars(Bars bars) {
    m_bars->setCurrentIndex(bars);
}

void ProgressWindow::reload() {
    const std::optional<StoredProfile> profile = m_profiles.load();
    m_numbers = readNumbers(m_days.storedDaysByDate(),
                            profile ? dates::readNumber(profile->height) : std::nullopt);
    m_outliers = {};
    m_goal->setText(m_profiles.goalWeight().value_or(QString()));
    redraw();
}

void ProgressWindow::redraw() {
    QChart *chart = m_view->chart();
    m_drawing = true;
    if (chart->isZoomed())
        chart->zoomReset();
    chart->removeAllSeries();
    const auto primary = Measure(m_measure->currentIndex());
    const MeasureInfo &info = measures[std::size_t(primary)];
    m_bothSides->setEnabled(info.otherSide != MeasureCount);
    m_bars->setEnabled(info.summable);
    m_goal->setEnabled(primary == Weight);
    m_storeGoal->setEnabled(primary == Weight);

    // The range ends on the last day of the measure, or today when it has none.
    const Points &points = m_numbers.points[std::size_t(primary)];
    const QDate last = points.empty() ? QDate::currentDate() : points.back().date;
    const int range = m_range->currentIndex();
    m_from->setEnabled(range == BetweenDates);
    m_to->setEnabled(range == BetweenDates);
    if (range == BetweenDates && m_between) {
        // The dates chosen, not those of a zoom that the boxes show.
        const QSignalBlocker fromBlocked(m_from);
        const QSignalBlocker toBlocked(m_to);
        m_from->setDate(m_between->first);
        m_to->setDate(m_between->second);
    } else if (range != BetweenDates) {
        m_between.reset();
        const QDate first = points.empty() ? last : points.front().date;
        const qint64 span[] = {29, 89, 364};
        const QSignalBlocker fromBlocked(m_from);
        const QSignalBlocker toBlocked(m_to);
        m_from->setDate(range == Everything ? first : last.addDays(-span[range]));
        m_to->setDate(last);
    }

    m_zoneShift = qint64(QDateTime::currentDateTime().offsetFromUtc()) * 1000;
    showDays(m_from->date(), std::max(m_from->date(), m_to->date()));

    m_shown.clear();
    AxisContent left;
    AxisContent right;
    AxisContent sums;
    drawMeasure(primary, false, left, sums);
    if (m_bothSides->isChecked() && info.otherSide != MeasureCount)
        drawMeasure(info.otherSide, false, left, sums);
    const int second = m_second->currentIndex() - 1;
    const bool hasSecond = second >= 0 && second != primary;
    if (hasSecond)
        drawMeasure(Measure(second), true, right, sums);
    // The axes' titles name the measures. The chart has no title of its own: the room above the
    // plot is left to the values beyond the axis.
    const auto titleOf = [](const QString &name, const MeasureInfo &shown) {
        return shown.unit.isEmpty() ? name : name + QStringLiteral(" (") + shown.unit + u')';
    };
    m_leftAxis->setTitleText(titleOf(info.name, info));
    finishAxis(m_leftAxis, left);
    m_rightAxis->setVisible(hasSecond);
    if (hasSecond) {
        m_rightAxis->setTitleText(
            titleOf(measures[std::size_t(second)].name, measures[std::size_t(second)]));
        finishAxis(m_rightAxis, right);
    }
    m_sumsAxis->setVisible(sums.used);
    if (sums.used) {
        m_sumsAxis->setTitleText(titleOf(m_bars->currentText(), info));
        finishAxis(m_sumsAxis, sums);
    }
    m_drawing = false;
    updateFigures();
}

qreal ProgressWindow::atDay(QDate date) const {
    // Noon of the day in local time, reckoned from its Julian day and the zone's offset of the
    // drawing: the time zone machinery asks the file system every time and would take most of a
    // redraw. The date axis names the day in local time, so each day's slot runs from its
    // midnight to the next.
    return qreal((date.toJulianDay() - epochDay) * dayMsecs + dayMsecs / 2 - m_zoneShift);
}

QDate ProgressWindow::dayAt(qreal at) const {
    return QDate::fromJulianDay(qint64(std::floor((at + qreal(m_zoneShift)) / qreal(dayMsecs))) +
                                epochDay);
}

void ProgressWindow::showDays(QDate first, QDate last) {
    m_dates->setRange(QDateTime::fromMSecsSinceEpoch(qint64(atDay(first)) - edgeMsecs),
                      QDateTime::fromMSecsSinceEpoch(qint64(atDay(last)) + edgeMsecs));
    // A label a day at most: with more ticks than days, two would name the same day.
    m_dates->setTickCount(int(std::clamp<qint64>(first.daysTo(last) + 1, 2, 6)));
}

std::pair<QDate, QDate> ProgressWindow::daysShown() const {
    const auto low = qreal(m_dates->min().toMSecsSinceEpoch());
    const auto high = qreal(m_dates->max().toMSecsSinceEpoch());
    // A day is shown when its point, at noon, is.
    QDate first = dayAt(low);
    QDate last = dayAt(high);
    if (atDay(first) < low)
        first = first.addDays(1);
    if (atDay(last) > high)
        last = last.addDays(-1);
    return {first, last};
}

void ProgressWindow::snapZoomToDays() {
    if (!m_view->chart()->isZoomed())
        return;
    auto [first, last] = daysShown();
    // Narrower than a day: the day under its middle.
    if (last < first)
        first = last = dayAt((qreal(m_dates->min().toMSecsSinceEpoch()) +
                              qreal(m_dates->max().toMSecsSinceEpoch())) /
                             2);
    showDays(first, last);
}

void ProgressWindow::updateFigures() {
    const auto [first, last] = daysShown();
    const std::optional<double> goal = dates::readNumber(m_goal->text());
    QStringList lines;
    for (const Measure measure : m_shown) {
        const Points &points = m_numbers.points[std::size_t(measure)];
        lines += figuresLine(measure, points, *m_outliers[std::size_t(measure)],
                             within(points, first, last), measure == Weight ? goal : std::nullopt,
                             m_numbers.leftOut[std::size_t(measure)]);
    }
    m_figures->setText(lines.join(u'\n'));
    // The boxes of dates show the days shown too.
    const QSignalBlocker fromBlocked(m_from);
    const QSignalBlocker toBlocked(m_to);
    m_from->setDate(first);
    m_to->setDate(last);
    // The goal's line spans the days shown, its label in their middle.
    if (m_goalLine && m_goalLine->count() == 3) {
        const qreal y = m_goalLine->at(0).y();
        m_goalLine->replace(
            {{atDay(first), y}, {(atDay(first) + atDay(last)) / 2, y}, {atDay(last), y}});
    }
}

void ProgressWindow::attach(QXYSeries *series, QValueAxis *axis, const QString &name,
                            bool inLegend) {
    QChart *chart = m_view->chart();
    series->setName(name);
    chart->addSeries(series);
    series->attachAxis(m_dates);
    series->attachAxis(axis);
    if (!inLegend)
        for (QLegendMarker *marker : chart->legend()->markers(series))
            marker->setVisible(false);
}

void ProgressWindow::drawMeasure(Measure measure, bool secondAxis, AxisContent &content,
                                 AxisContent &sums) {
    const MeasureInfo &info = measures[std::size_t(measure)];
    const Points &points = m_numbers.points[std::size_t(measure)];
    const std::pair<qsizetype, qsizetype> range = within(points, m_from->date(), m_to->date());
    m_shown.push_back(measure);
    // The outliers of a measure are found once for each reading of the diary.
    std::optional<std::vector<bool>> &cached = m_outliers[std::size_t(measure)];
    if (!cached)
        cached = outliers(points, m_numbers.spreadFloor[std::size_t(measure)]);
    const std::vector<bool> &outlier = *cached;
    const Smoothed smoothed = smooth(points, outlier, m_averageDays->value());
    const QColor colour = colours[secondAxis                                      ? 2
                                  : measure == Measure(m_measure->currentIndex()) ? 0
                                                                                  : 1];

    QValueAxis *axis = secondAxis ? m_rightAxis : m_leftAxis;
    // A line for each run of the range: the line breaks across long gaps.
    const auto lines = [&](const QString &name, const QPen &pen, bool inLegend, auto valueAt) {
        bool first = true;
        for (auto [begin, end] : runs(points)) {
            begin = std::max(begin, range.first);
            end = std::min(end, range.second);
            if (begin >= end)
                continue;
            auto *line = new QLineSeries;
            line->setPen(pen);
            QList<QPointF> drawn;
            drawn.reserve(end - begin);
            for (qsizetype i = begin; i < end; ++i) {
                const double value = valueAt(i);
                if (std::isfinite(value))
                    drawn.append({atDay(points[std::size_t(i)].date), value});
                content.take(value);
            }
            line->replace(thinned(drawn, thinTo));
            attach(line, axis, name, first && inLegend);
            first = false;
        }
        return !first;
    };

    const qsizetype shown = range.second - range.first;
    // Smooth edges where the points are few; a dense chart is drawn faster without them.
    if (!secondAxis)
        m_view->setRenderHint(QPainter::Antialiasing, shown <= markersUpTo);
    const auto hover = [this, measure, &points = m_numbers.points[std::size_t(measure)],
                        trend = smoothed.trend](const QPointF &at, bool state) {
        if (!state || points.empty()) {
            QToolTip::hideText();
            return;
        }
        const QDate date = dayAt(at.x());
        const auto [i, end] = within(points, date, date);
        const qsizetype index = std::min<qsizetype>(i, qsizetype(points.size()) - 1);
        const MeasureInfo &shownInfo = measures[std::size_t(measure)];
        QString text = dates::shortDate(points[std::size_t(index)].date) + QStringLiteral(": ") +
                       withUnit(points[std::size_t(index)].value, shownInfo);
        if (index > 0)
            text +=
                QStringLiteral(" (Cambio ") +
                withUnit(points[std::size_t(index)].value - points[std::size_t(index - 1)].value,
                         shownInfo) +
                u')';
        text += QStringLiteral("\nTendencia: ") + withUnit(trend[std::size_t(index)], shownInfo);
        QToolTip::showText(QCursor::pos(), text, m_view);
    };
    if (shown <= markersUpTo) {
        auto *dots = new QScatterSeries;
        dots->setMarkerSize(7);
        dots->setColor(colour);
        dots->setBorderColor(colour);
        QList<QPointF> drawn;
        for (qsizetype i = range.first; i < range.second; ++i)
            if (!outlier[std::size_t(i)]) {
                drawn.append({atDay(points[std::size_t(i)].date), points[std::size_t(i)].value});
                content.take(points[std::size_t(i)].value);
            }
        dots->replace(drawn);
        attach(dots, axis, info.name);
        connect(dots, &QXYSeries::hovered, this, hover);
    } else {
        const QPen thin = cosmetic(QPen(colour.lighter(150), 1));
        lines(info.name, thin, true, [&](qsizetype i) {
            return outlier[std::size_t(i)] ? std::nan("") : points[std::size_t(i)].value;
        });
        for (QAbstractSeries *series : m_view->chart()->series())
            if (series->name() == info.name)
                connect(static_cast<QXYSeries *>(series), &QXYSeries::hovered, this, hover);
    }

    // The legend names the helpers of the first measure; those of the others follow its colours.
    const bool first = measure == Measure(m_measure->currentIndex());
    const auto helper = [&](const QString &name) {
        return first ? name : name + QStringLiteral(" (") + info.name + u')';
    };
    // Outliers, left out of the trend, the average and the slope, and of the axis's range (a
    // typo of 900 kg does not flatten the weights), are drawn once the axis is known.
    AxisContent::Odd odd{&info, colour, helper(QStringLiteral("Fuera De Lo Normal")), first, {}};
    for (qsizetype i = range.first; i < range.second; ++i)
        if (outlier[std::size_t(i)])
            odd.points.append({atDay(points[std::size_t(i)].date), points[std::size_t(i)].value});
    if (!odd.points.isEmpty())
        content.odd.push_back(std::move(odd));
    lines(helper(QStringLiteral("Tendencia")), QPen(colour.darker(130), 2.5), first,
          [&](qsizetype i) { return smoothed.trend[std::size_t(i)]; });
    lines(helper(QStringLiteral("Media De %1 Días").arg(m_averageDays->value())),
          cosmetic(QPen(colour, 1, Qt::DashLine)), first,
          [&](qsizetype i) { return smoothed.average[std::size_t(i)]; });

    // Weekly or monthly bars of water and hours, under the first measure: means on its axis,
    // sums on their own.
    if (info.summable && !secondAxis && m_bars->currentIndex() != NoBars) {
        const int chosen = m_bars->currentIndex();
        const bool weekly = chosen == WeeklySums || chosen == WeeklyMeans;
        const bool summed = chosen == WeeklySums || chosen == MonthlySums;
        AxisContent &barsContent = summed ? sums : content;
        barsContent.used = true;
        auto *tops = new QLineSeries;
        for (const Bar &bar : bars(points, range, weekly ? Period::Week : Period::Month)) {
            const QDate end = weekly ? bar.start.addDays(7) : bar.start.addMonths(1);
            const qreal left = atDay(bar.start) - 12 * 3600 * 1000.0;
            const qreal right = atDay(end) - 12 * 3600 * 1000.0;
            const qreal gap = (right - left) / 10;
            const double value = summed ? bar.sum : bar.mean();
            for (const QPointF &corner : {QPointF(left + gap, 0), QPointF(left + gap, value),
                                          QPointF(right - gap, value), QPointF(right - gap, 0)})
                tops->append(corner);
            barsContent.take(value);
            barsContent.take(0);
        }
        // Bars too narrow to tell apart at the chart's width are thinned like the lines. They
        // are drawn as outlines: a filled area of many bars costs the painter a hundred times
        // more.
        tops->replace(thinned(tops->points(), thinTo));
        tops->setPen(cosmetic(QPen(colour.darker(110), 1)));
        attach(tops, summed ? m_sumsAxis : axis, m_bars->currentText());
    }

    // The goal weight, drawn once the axis is known.
    if (measure == Weight)
        if (const std::optional<double> goal = dates::readNumber(m_goal->text()); goal && *goal)
            content.goal = goal;
}

void ProgressWindow::finishAxis(QValueAxis *axis, AxisContent &content) {
    const bool fromZero = m_fromZero->isChecked();
    const double low = std::isfinite(content.low) ? content.low : content.goal.value_or(0);
    const double high = std::isfinite(content.high) ? content.high : content.goal.value_or(0);
    const Scale scale = niceScale(low, high, fromZero, content.goal);
    axis->setRange(scale.low, scale.high);
    axis->setTickCount(scale.ticks());
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(scale.decimals()));

    // Outliers hollow, within the axis in their place, beyond it at its edge with their value
    // written over them, so that every value the figures name is seen.
    int labels = 0;
    for (const AxisContent::Odd &odd : content.odd) {
        const auto hollow = [&odd] {
            auto *dots = new QScatterSeries;
            dots->setMarkerSize(10);
            dots->setBrush(Qt::NoBrush);
            dots->setPen(QPen(odd.colour, 2));
            return dots;
        };
        QScatterSeries *inPlace = hollow();
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
                atEdge = hollow();
                atEdge->setPointLabelsFormat(label);
                atEdge->setPointLabelsVisible(!label.isEmpty());
                atEdge->setPointLabelsColor(odd.colour);
                atEdge->setPointLabelsClipping(false);
            }
            atEdge->append(point.x(), point.y() > scale.high ? scale.high : scale.low);
        }
        attach(inPlace, axis, odd.name, odd.inLegend);
        for (const auto &[label, atEdge] : beyond)
            attach(atEdge, axis, odd.name, false);
    }

    if (content.goal) {
        // Far off, it is drawn at the edge, its value written in its middle.
        const double drawnAt = std::clamp(*content.goal, scale.low, scale.high);
        auto *goalLine = new QLineSeries;
        goalLine->setPen(QPen(Qt::darkYellow, 2, Qt::DotLine));
        for (int i = 0; i < 3; ++i)
            goalLine->append(0, drawnAt); // placed on the days shown by updateFigures()
        if (drawnAt != *content.goal) {
            goalLine->setPointLabelsFormat(QStringLiteral("Objetivo ") +
                                           withUnit(*content.goal, measures[Weight]));
            goalLine->setPointLabelsVisible(true);
            goalLine->setPointLabelsClipping(false);
            for (const int end : {0, 2})
                goalLine->setPointConfiguration(end, QXYSeries::PointConfiguration::LabelVisibility,
                                                false);
        }
        attach(goalLine, axis, QStringLiteral("Objetivo"));
        m_goalLine = goalLine;
    }
}

void ProgressWindow::resetZoom() {
    m_view->chart()->zoomReset();
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
        generator.setSize(m_view->size());
        generator.setViewBox(m_view->rect());
        generator.setTitle(title);
        QPainter painter;
        if (!painter.begin(&generator))
            return false;
        m_view->render(&painter);
        painter.end();
    } else if (!m_view->grab().save(&file, "PNG")) {
        return false;
    }
    return file.commit(privatefile::NewFile::Sync::ToDisk);
}

void ProgressWindow::storeGoal() {
    const QString typed = m_goal->text().trimmed();
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

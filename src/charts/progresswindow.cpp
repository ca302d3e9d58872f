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
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QSvgGenerator>
#include <QToolTip>
#include <QValueAxis>
#include <QXYSeries>
#include <algorithm>
#include <cmath>
#include <functional>

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

    m_chart = newChart();
    // The figures follow the dates shown, zoomed in or not.
    connect(m_chart.dates, &QDateTimeAxis::rangeChanged, this, [this] {
        if (!m_drawing)
            updateFigures();
    });
    auto *view = new ZoomingView(m_chart.chart, this);
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
    return m_chart.chart;
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
    QChart *chart = m_chart.chart;
    m_drawing = true;
    if (chart->isZoomed())
        chart->zoomReset();
    chart->removeAllSeries();
    const auto primary = Measure(m_measure->currentIndex());
    const MeasureInfo &info = measures[std::size_t(primary)];
    enableFor(primary);
    chooseDays(m_numbers.points[std::size_t(primary)]);
    m_dayAxis.zoneShift = qint64(QDateTime::currentDateTime().offsetFromUtc()) * 1000;
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
    finishAxis(m_chart.left, true, info.name, info, left);
    const MeasureInfo &secondInfo = measures[std::size_t(hasSecond ? second : primary)];
    finishAxis(m_chart.right, hasSecond, secondInfo.name, secondInfo, right);
    finishAxis(m_chart.sums, sums.used, m_bars->currentText(), info, sums);
    m_drawing = false;
    updateFigures();
}

void ProgressWindow::enableFor(Measure primary) {
    const MeasureInfo &info = measures[std::size_t(primary)];
    m_bothSides->setEnabled(info.otherSide != MeasureCount);
    m_bars->setEnabled(info.summable);
    m_goal->setEnabled(primary == Weight);
    m_storeGoal->setEnabled(primary == Weight);
}

void ProgressWindow::chooseDays(const Points &points) {
    // The range ends on the last day of the measure, or today when it has none.
    const QDate last = points.empty() ? QDate::currentDate() : points.back().date;
    const int range = m_range->currentIndex();
    QDateEdit *from = m_from;
    QDateEdit *to = m_to;
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
    const int averageDays = m_averageDays->value();
    const Smoothed smoothed = smooth(points, *outlier, averageDays);
    // The legend names the helpers of the first measure; those of the others follow its colours.
    const bool first = measure == Measure(m_measure->currentIndex());
    const MeasureDrawing drawing{measures[index],
                                 points,
                                 *outlier,
                                 smoothed,
                                 within(points, m_from->date(), m_to->date()),
                                 m_dayAxis,
                                 colours[secondAxis ? 2
                                         : first    ? 0
                                                    : 1],
                                 first,
                                 secondAxis ? m_chart.right : m_chart.left,
                                 content};
    // Smooth edges where the points are few; a dense chart is drawn faster without them.
    if (!secondAxis)
        m_view->setRenderHint(QPainter::Antialiasing, drawing.shown() <= markersUpTo);
    tellOnHover(addDailyPoints(m_chart, drawing), measure, smoothed.trend);
    keepOutliers(drawing);
    addTrend(m_chart, drawing);
    addAverage(m_chart, drawing, averageDays);
    // Weekly or monthly bars of water and hours, under the first measure: means on its axis,
    // sums on their own.
    const int bars = m_bars->currentIndex();
    if (drawing.info.summable && !secondAxis && bars != NoBars)
        addBars(m_chart, drawing,
                bars == WeeklySums || bars == WeeklyMeans ? Period::Week : Period::Month,
                bars == WeeklySums || bars == MonthlySums, m_bars->currentText(), sums);
    // The goal weight, drawn once the axis is known.
    if (measure == Weight)
        if (const std::optional<double> goal = dates::readNumber(m_goal->text()); goal && *goal)
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
        QToolTip::showText(QCursor::pos(), text, m_view);
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
    const Scale scale = scaleAxis(axis, content, m_fromZero->isChecked());
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
        const qreal left = m_dayAxis.at(first);
        const qreal right = m_dayAxis.at(last);
        m_goalLine->replace({{left, y}, {(left + right) / 2, y}, {right, y}});
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

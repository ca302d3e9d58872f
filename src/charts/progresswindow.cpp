#include "progresswindow.h"

#include "dates.h"
#include "daystore.h"
#include "dialogs.h"
#include "profilestore.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDateEdit>
#include <QDateTimeAxis>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QScatterSeries>
#include <QShortcut>
#include <QSpinBox>
#include <QSvgGenerator>
#include <QToolTip>
#include <QValueAxis>
#include <cmath>
#include <limits>

using namespace progress;

namespace {

const QString title = QStringLiteral("Progreso");

// More daily points than this in the range are drawn as a thin line instead of markers.
constexpr qsizetype markersUpTo = 400;
// Lines are thinned to the lowest and highest of this many stretches, about two a pixel.
constexpr int thinTo = 150;

// The colours of the first measure, of its other side and of the second measure.
const QColor colours[] = {QColor(0x1f, 0x5f, 0xb4), QColor(0x2c, 0x8c, 0x2c),
                          QColor(0xc6, 0x27, 0x28)};

// Noon of the day in milliseconds since the epoch, in UTC, reckoned without the time zone
// machinery, which asks the file system every time and would take most of a redraw.
constexpr qint64 dayMsecs = 24 * 3600 * 1000;
constexpr qint64 epochDay = 2440588; // the Julian day of 1 January 1970

qreal msecs(QDate date) {
    return qreal((date.toJulianDay() - epochDay) * dayMsecs + dayMsecs / 2);
}

QDate dateAt(qreal msecs) {
    return QDate::fromJulianDay(qint64(std::floor(msecs / qreal(dayMsecs))) + epochDay);
}

// A pen of one pixel whatever the scale: the painter draws it with its fast stroker, dashes too.
QPen cosmetic(QPen pen) {
    pen.setCosmetic(true);
    return pen;
}

} // namespace

// The lowest and highest value drawn on an axis.
struct ProgressWindow::Bounds {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    void take(double value) {
        if (std::isfinite(value)) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    // Sets the axis to what was drawn on it, from zero if asked; no measure goes below zero.
    void applyTo(QValueAxis *axis, bool fromZero) const {
        if (!std::isfinite(low))
            return axis->setRange(0, 1);
        const double margin = std::max((high - low) * 0.05, 0.5);
        const double bottom = low >= 0 ? std::max(0.0, low - margin) : low - margin;
        axis->setRange(fromZero ? std::min(0.0, bottom) : bottom, high + margin);
    }
};

ProgressWindow::ProgressWindow(DayStore &days, ProfileStore &profiles, Dialogs &dialogs,
                               QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_days(days)
    , m_profiles(profiles)
    , m_dialogs(dialogs) {
    setObjectName(QStringLiteral("progreso"));
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    connect(&m_days, &DayStore::storedDaysChanged, this, &ProgressWindow::reload);
    reload();
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
            if (m_range->currentIndex() == BetweenDates)
                redraw();
        });
        return edit;
    };

    QStringList names;
    for (const MeasureInfo &info : measures)
        names += info.name;
    m_measure = combo("medida", names);
    m_bothSides = check("ambosLados", QStringLiteral("Ambos Lados"));
    m_second = combo("segundaMedida", QStringList(QStringLiteral("Ninguna")) + names);
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
    m_fromZero = check("desdeCero", QStringLiteral("Eje Desde Cero"));
    m_bars = combo("barras", {QStringLiteral("Sin Barras"), QStringLiteral("Suma Semanal"),
                              QStringLiteral("Media Semanal"), QStringLiteral("Suma Mensual"),
                              QStringLiteral("Media Mensual")});
    m_goal = new QLineEdit(this);
    m_goal->setObjectName(QStringLiteral("pesoObjetivo"));
    m_goal->setMaximumWidth(70);
    connect(m_goal, &QLineEdit::returnPressed, this, &ProgressWindow::storeGoal);
    m_storeGoal =
        button("guardarObjetivo", QStringLiteral("Guardar Objetivo"), &ProgressWindow::storeGoal);
    m_resetZoom = button("verTodo", QStringLiteral("Ver Todo"), &ProgressWindow::resetZoom);
    m_saveImage =
        button("guardarImagen", QStringLiteral("Guardar Imagen..."), &ProgressWindow::saveImage);

    auto *chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
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
    m_view = new QChartView(chart, this);
    m_view->setObjectName(QStringLiteral("grafica"));
    m_view->setAccessibleName(QStringLiteral("Gráfica De Progreso"));
    m_view->setAccessibleDescription(
        QStringLiteral("Arrastra Sobre La Gráfica Para Ver De Cerca Esas Fechas."));
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    m_view->setRenderHint(QPainter::Antialiasing);
    // Dragging across the chart zooms in on those dates; "Ver Todo" goes back.
    m_view->setRubberBand(QChartView::HorizontalRubberBand);
    m_view->setMinimumSize(760, 420);
    m_figures = new QLabel(this);
    m_figures->setObjectName(QStringLiteral("cifras"));
    m_figures->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *grid = new QGridLayout(this);
    const auto labelled = [this](const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        return label;
    };
    const auto placeRow = [grid](int row, std::initializer_list<QWidget *> widgets) {
        int column = 0;
        for (QWidget *widget : widgets)
            grid->addWidget(widget, row, column++);
    };
    placeRow(0, {labelled(QStringLiteral("&Medida:"), m_measure), m_measure, m_bothSides,
                 labelled(QStringLiteral("&Segunda Medida:"), m_second), m_second,
                 labelled(QStringLiteral("&Barras:"), m_bars), m_bars});
    placeRow(1, {labelled(QStringLiteral("&Periodo:"), m_range), m_range, m_from, m_to,
                 labelled(QStringLiteral("Media &De:"), m_averageDays), m_averageDays, m_fromZero});
    placeRow(2, {labelled(QStringLiteral("Peso &Objetivo:"), m_goal), m_goal, m_storeGoal,
                 m_resetZoom, m_saveImage});
    grid->addWidget(m_view, 3, 0, 1, 7);
    grid->addWidget(m_figures, 4, 0, 1, 7);
    grid->setRowStretch(3, 1);
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
    if (range != BetweenDates) {
        const QDate first = points.empty() ? last : points.front().date;
        const qint64 span[] = {29, 89, 364};
        const QSignalBlocker fromBlocked(m_from);
        const QSignalBlocker toBlocked(m_to);
        m_from->setDate(range == Everything ? first : last.addDays(-span[range]));
        m_to->setDate(last);
    }

    m_dates->setRange(QDateTime::fromMSecsSinceEpoch(qint64(msecs(m_from->date())) - dayMsecs / 2),
                      QDateTime::fromMSecsSinceEpoch(qint64(msecs(m_to->date())) + dayMsecs / 2));
    chart->setTitle(info.name);

    QStringList figures;
    Bounds left;
    Bounds right;
    drawMeasure(primary, false, figures, left);
    if (m_bothSides->isChecked() && info.otherSide != MeasureCount)
        drawMeasure(info.otherSide, false, figures, left);
    const int second = m_second->currentIndex() - 1;
    const bool hasSecond = second >= 0 && second != primary;
    if (hasSecond)
        drawMeasure(Measure(second), true, figures, right);
    m_figures->setText(figures.join(u'\n'));
    const auto titleOf = [](const MeasureInfo &shown) {
        return shown.unit.isEmpty() ? shown.name
                                    : shown.name + QStringLiteral(" (") + shown.unit + u')';
    };
    m_leftAxis->setTitleText(titleOf(info));
    left.applyTo(m_leftAxis, m_fromZero->isChecked());
    m_rightAxis->setVisible(hasSecond);
    if (hasSecond) {
        m_rightAxis->setTitleText(titleOf(measures[std::size_t(second)]));
        right.applyTo(m_rightAxis, m_fromZero->isChecked());
    }
}

void ProgressWindow::drawMeasure(Measure measure, bool secondAxis, QStringList &figures,
                                 Bounds &bounds) {
    QChart *chart = m_view->chart();
    const MeasureInfo &info = measures[std::size_t(measure)];
    const Points &points = m_numbers.points[std::size_t(measure)];
    const std::pair<qsizetype, qsizetype> range = within(points, m_from->date(), m_to->date());
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
    const auto add = [&](QXYSeries *series, const QString &name, bool keepInLegend = true) {
        series->setName(name);
        chart->addSeries(series);
        series->attachAxis(m_dates);
        series->attachAxis(axis);
        if (!keepInLegend)
            for (QLegendMarker *marker : chart->legend()->markers(series))
                marker->setVisible(false);
    };
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
                    drawn.append({msecs(points[std::size_t(i)].date), value});
                bounds.take(value);
            }
            line->replace(thinned(drawn, thinTo));
            add(line, name, first && inLegend);
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
        const QDate date = dateAt(at.x());
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
                drawn.append({msecs(points[std::size_t(i)].date), points[std::size_t(i)].value});
                bounds.take(points[std::size_t(i)].value);
            }
        dots->replace(drawn);
        add(dots, info.name);
        connect(dots, &QXYSeries::hovered, this, hover);
    } else {
        const QPen thin = cosmetic(QPen(colour.lighter(150), 1));
        lines(info.name, thin, true, [&](qsizetype i) {
            return outlier[std::size_t(i)] ? std::nan("") : points[std::size_t(i)].value;
        });
        for (QAbstractSeries *series : chart->series())
            if (series->name() == info.name)
                connect(static_cast<QXYSeries *>(series), &QXYSeries::hovered, this, hover);
    }

    // Outliers drawn hollow, left out of the trend, the average and the slope, and of the axis's
    // range: a typo of 900 kg does not flatten the weights.
    auto *odd = new QScatterSeries;
    odd->setMarkerSize(10);
    odd->setBrush(Qt::NoBrush);
    odd->setPen(QPen(colour, 2));
    for (qsizetype i = range.first; i < range.second; ++i)
        if (outlier[std::size_t(i)])
            odd->append(msecs(points[std::size_t(i)].date), points[std::size_t(i)].value);
    // The legend names the helpers of the first measure; those of the others follow its colours.
    const bool first = measure == Measure(m_measure->currentIndex());
    const auto helper = [&](const QString &name) {
        return first ? name : name + QStringLiteral(" (") + info.name + u')';
    };
    if (odd->count())
        add(odd, helper(QStringLiteral("Fuera De Lo Normal")), first);
    else
        delete odd;
    lines(helper(QStringLiteral("Tendencia")), QPen(colour.darker(130), 2.5), first,
          [&](qsizetype i) { return smoothed.trend[std::size_t(i)]; });
    lines(helper(QStringLiteral("Media De %1 Días").arg(m_averageDays->value())),
          cosmetic(QPen(colour, 1, Qt::DashLine)), first,
          [&](qsizetype i) { return smoothed.average[std::size_t(i)]; });

    // Weekly or monthly bars of water and hours, under the first measure.
    if (info.summable && !secondAxis && m_bars->currentIndex() != NoBars) {
        const int chosen = m_bars->currentIndex();
        const bool weekly = chosen == WeeklySums || chosen == WeeklyMeans;
        const bool sums = chosen == WeeklySums || chosen == MonthlySums;
        auto *tops = new QLineSeries;
        for (const Bar &bar : bars(points, range, weekly ? Period::Week : Period::Month)) {
            const QDate end = weekly ? bar.start.addDays(7) : bar.start.addMonths(1);
            const qreal left = msecs(bar.start) - 12 * 3600 * 1000.0;
            const qreal right = msecs(end) - 12 * 3600 * 1000.0;
            const qreal gap = (right - left) / 10;
            const double value = sums ? bar.sum : bar.mean();
            for (const QPointF &corner : {QPointF(left + gap, 0), QPointF(left + gap, value),
                                          QPointF(right - gap, value), QPointF(right - gap, 0)})
                tops->append(corner);
            bounds.take(value);
            bounds.take(0);
        }
        // Bars too narrow to tell apart at the chart's width are thinned like the lines. They
        // are drawn as outlines: a filled area of many bars costs the painter a hundred times
        // more.
        tops->replace(thinned(tops->points(), thinTo));
        tops->setPen(cosmetic(QPen(colour.darker(110), 1)));
        add(tops, m_bars->currentText());
    }

    // The goal weight, and when the line of the range reaches it.
    const std::optional<std::optional<double>> goal =
        measure == Weight ? std::optional(dates::readNumber(m_goal->text())) : std::nullopt;
    const std::optional<Line> fitted = fitLine(points, outlier, range);
    if (goal && *goal) {
        auto *goalLine = new QLineSeries;
        goalLine->setPen(QPen(Qt::darkYellow, 2, Qt::DotLine));
        goalLine->append(msecs(m_from->date()), **goal);
        goalLine->append(msecs(m_to->date()), **goal);
        bounds.take(**goal);
        add(goalLine, QStringLiteral("Objetivo"));
    }

    // The figures of the range.
    QString line = info.name + QStringLiteral(": ");
    if (const std::optional<RangeFigures> found = progress::figures(points, range)) {
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
    if (goal && *goal && fitted)
        line += QStringLiteral(" · ") + goalText(goalOutlook(*fitted, **goal));
    if (const QString leftOut = leftOutText(m_numbers.leftOut[std::size_t(measure)]);
        !leftOut.isEmpty())
        line += QStringLiteral(" · ") + leftOut;
    figures += line;
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
    QSaveFile file(svg || path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)
                       ? path
                       : path + QLatin1String(".png"));
    if (!file.open(QIODevice::WriteOnly))
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
    return file.commit();
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

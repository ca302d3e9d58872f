#pragma once

#include "charts/progress.h"
#include "charts/progresscontrols.h"
#include "ui/seriesbuilders.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <optional>
#include <vector>

class DayStore;
class Dialogs;
class ProfileStore;
class QValueAxis;
class QXYSeries;

// The window "Progreso": one measure of the diary over time (and its other side, and a second
// measure on an axis of its own), with its daily points, trend, moving average, breaks across
// long gaps, outliers, goal line and the figures of the days shown, zoomed in or not. It reads
// the stored days and never writes them; it follows every save and delete of the store. Given
// the diary window as parent, it opens beside it.
class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    // Ranges of the menu of periods, in its order.
    enum Range { Last30, Last90, LastYear, Everything, BetweenDates };
    // Bars of the menu of bars, in its order.
    enum Bars { NoBars, WeeklySums, WeeklyMeans, MonthlySums, MonthlyMeans };

    ProgressWindow(DayStore &days, ProfileStore &profiles, Dialogs &dialogs,
                   QWidget *parent = nullptr);

    QChart *chart() const;
    // The figures and notes under the chart, as shown.
    QString figuresText() const;

    void showMeasure(progress::Measure measure, progress::Measure second = progress::MeasureCount);
    void showRange(Range range);
    void showBars(Bars bars);

public slots:
    // Reads the stored days again and draws them.
    void reload();
    // Draws what the controls choose from the days read.
    void redraw();
    void resetZoom();
    // Asks for a file and saves the chart there, as PNG or SVG by its name.
    void saveImage();
    bool saveImageTo(const QString &path);
    void storeGoal();

private:
    void connectControls();
    void placeOnScreen();
    // The controls that apply to the first measure, enabled.
    void enableFor(progress::Measure primary);
    // The date boxes set to the range chosen, which ends on the first measure's last day.
    void chooseDays(const progress::Points &points);
    void drawMeasure(progress::Measure measure, bool secondAxis,
                     seriesbuilders::AxisContent &content, seriesbuilders::AxisContent &sums);
    // Each point's date, value, change and trend shown while the pointer is over it.
    void tellOnHover(const QList<QXYSeries *> &shown, progress::Measure measure,
                     std::vector<double> trend);
    // An axis shown or hidden; when shown, titled by what it draws and scaled.
    void finishAxis(QValueAxis *axis, bool shown, const QString &title,
                    const progress::MeasureInfo &unitOf, seriesbuilders::AxisContent &content);
    // The dates axis over these days, whole.
    void showDays(QDate first, QDate last);
    // The first and last day whose point lies within the date axis as it is, zoomed in or not.
    std::pair<QDate, QDate> daysShown() const;
    void snapZoomToDays();
    // The figures of the days shown.
    void updateFigures();

    DayStore &m_days;
    ProfileStore &m_profiles;
    Dialogs &m_dialogs;
    progress::DiaryNumbers m_numbers;
    std::array<std::optional<std::vector<bool>>, progress::MeasureCount> m_outliers;
    std::vector<progress::Measure> m_shown; // the measures drawn, in the order of their figures
    std::optional<std::pair<QDate, QDate>> m_between; // the dates chosen for "Entre Fechas"
    progress::DayAxis m_dayAxis;
    bool m_drawing = false;

    seriesbuilders::ChartAxes m_chart;
    ProgressControls m_controls;
    QPointer<QXYSeries> m_goalLine; // spans the days shown, its value labelled in the middle
};

#pragma once

#include "progress.h"

#include <QWidget>
#include <array>
#include <optional>
#include <vector>

class DayStore;
class Dialogs;
class ProfileStore;
class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QDateTimeAxis;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QValueAxis;

// The window "Progreso": one measure of the diary over time (and its other side, and a second
// measure on an axis of its own), with its daily points, trend, moving average, breaks across
// long gaps, outliers, goal line and the figures of the range shown. It reads the stored days
// and never writes them; it follows every save and delete of the store.
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
    void buildControls();
    struct Bounds;
    void drawMeasure(progress::Measure measure, bool secondAxis, QStringList &figures,
                     Bounds &bounds);

    DayStore &m_days;
    ProfileStore &m_profiles;
    Dialogs &m_dialogs;
    progress::DiaryNumbers m_numbers;
    std::array<std::optional<std::vector<bool>>, progress::MeasureCount> m_outliers;

    QComboBox *m_measure = nullptr;
    QCheckBox *m_bothSides = nullptr;
    QComboBox *m_second = nullptr; // "Ninguna", then the measures
    QComboBox *m_range = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QSpinBox *m_averageDays = nullptr;
    QCheckBox *m_fromZero = nullptr;
    QComboBox *m_bars = nullptr;
    QLineEdit *m_goal = nullptr;
    QPushButton *m_storeGoal = nullptr;
    QPushButton *m_resetZoom = nullptr;
    QPushButton *m_saveImage = nullptr;
    QChartView *m_view = nullptr;
    QDateTimeAxis *m_dates = nullptr;
    QValueAxis *m_leftAxis = nullptr;
    QValueAxis *m_rightAxis = nullptr; // the second measure's
    QLabel *m_figures = nullptr;
};

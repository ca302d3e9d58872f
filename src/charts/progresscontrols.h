#pragma once

#include <functional>

class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QWidget;

// The widgets of the window "Progreso": two columns of labelled controls, narrow enough for a
// small or scaled screen, above the chart's view, and the figures under it. Made in the order of
// the grid, which is the order of Tab, each announced by its label; connected by the window.
struct ProgressControls {
    // The choice of measures.
    QComboBox *measure = nullptr;
    QComboBox *second = nullptr; // "Ninguna", then the measures
    QCheckBox *bothSides = nullptr;
    QComboBox *bars = nullptr;
    // The range of days.
    QComboBox *range = nullptr;
    QDateEdit *from = nullptr;
    QDateEdit *to = nullptr;
    // How the lines are drawn.
    QSpinBox *averageDays = nullptr;
    QCheckBox *fromZero = nullptr;
    // The goal weight.
    QLineEdit *goal = nullptr;
    QPushButton *storeGoal = nullptr;
    // The zoom and the picture.
    QPushButton *resetZoom = nullptr;
    QPushButton *saveImage = nullptr;

    QChartView *view = nullptr;
    QLabel *figures = nullptr;
};

// Makes the controls on the window given (a ProgressWindow) and lays them out with a view of the
// chart, across which a drag zooms in on those dates and then tells `zoomed`. The period chosen
// is the last 90 days.
ProgressControls makeControls(QWidget *window, QChart *chart, std::function<void()> zoomed);

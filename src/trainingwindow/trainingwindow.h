#pragma once

#include "data/trainingcorrections.h"
#include "trainingwindow/traininglog.h"
#include "ui/seriesbuilders.h"

#include <QMap>
#include <QWidget>

class DayStore;
class DiaryDatabase;
class Dialogs;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;
class QTableWidget;
class TextTable;

// The window "Entrenamiento": what "Que Has Hecho" says was done. On the left the exercises, with
// their days, last day and best estimated maximum; for the one chosen, its history, a chart of the
// estimated maximum over time with its trend, and its records for 1 to 12 repetitions; the weekly
// volume per muscle group; and "Sin Leer", the texts the reader could not read alone, where the
// user says which exercise a text names or that it is no training (kept in the diary, the text
// never changed). It follows every save and delete of the store. Given the diary window as
// parent, it opens beside it.
class TrainingWindow : public QWidget {
    Q_OBJECT
public:
    TrainingWindow(DiaryDatabase &database, DayStore &days, Dialogs &dialogs,
                   QWidget *parent = nullptr);
    ~TrainingWindow() override;

    QTableWidget *exercises() const { return m_exercises; }
    const traininglog::Log &log() const { return m_log; }

public slots:
    // Reads the diary and the corrections again and shows them, the chosen exercise kept.
    void reload();
    // Shows the exercise of a row of the list.
    void chooseRow(int row);
    // "Sin Leer": the chosen text names the exercise chosen in the catalogue, or is no training.
    void correctExercise();
    void correctNoTraining();
    // "Quitar Corrección": the chosen correction forgotten, its text read alone again.
    void undoCorrection();

private:
    QWidget *buildList();
    QWidget *buildHistory();
    QWidget *buildVolume();
    QWidget *buildUnread();
    void layOut();
    void fillList(const QString &keep);
    void showExercise(const QString &name);
    void showHistory(const QString &name);
    void showRecords(const QString &name);
    void drawChart();
    void addSeries(const progress::Points &points);
    void fillWeeks();
    void showWeek(int index);
    void fillUnread();
    void fillCorrected(const QList<TrainingCorrections::Entry> &stored);
    bool storeCorrection(const TrainingCorrections::Entry &entry);
    // Shows the corrections after a change of them, or says that the diary refused it.
    bool afterCorrection(bool changed);

    Dialogs &m_dialogs;
    DiaryDatabase &m_database;
    TrainingCorrections m_corrections;
    traininglog::Log m_log;
    QList<training::TrainingDay> m_chosenDays; // the days of the exercise chosen
    QString m_chosen;
    bool m_chartDrawn = false;

    QTableWidget *m_exercises;
    QLabel *m_note;
    QTabWidget *m_tabs;
    TextTable *m_historyRows;
    QTableView *m_history;
    QChartView *m_chart;
    seriesbuilders::ChartAxes m_axes;
    QTableWidget *m_records;
    QComboBox *m_week;
    QTableWidget *m_volume;
    TextTable *m_unreadRows;
    QTableView *m_unread;
    QComboBox *m_catalogue;
    QPushButton *m_isExercise;
    QPushButton *m_notTraining;
    QComboBox *m_corrected; // the corrections stored: "text → exercise"
    QPushButton *m_undoCorrection;
};

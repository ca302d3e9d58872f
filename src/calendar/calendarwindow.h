#pragma once

#include "calendar/calendardays.h"
#include "data/calendarsettings.h"

#include <QSet>
#include <QSqlDatabase>
#include <QWidget>

class Clock;
class DayStore;
class DiaryDatabase;
class Dialogs;
class QAction;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;
class QTimer;
class YearModel;

// The window "Calendario": a year of the diary at a glance, a row a week from Monday to Sunday,
// each day shaded by the hours at the gym, the litres of water or the exercises read, with the
// number written in the cell and the whole of it said to a screen reader. Above it, the current
// and the longest runs of weeks with at least the chosen number of gym days, and of gym days;
// a week put in pause neither breaks nor extends them. Arrow keys move from day to day (and on
// into the next or last year), Page Up and Page Down change the year, Return or a double click
// asks the diary window to show the day. It follows every save and delete of the store. Given the
// diary window as parent, it opens beside it.
class CalendarWindow : public QWidget {
    Q_OBJECT
public:
    CalendarWindow(DiaryDatabase &database, DayStore &days, Dialogs &dialogs, const Clock &clock,
                   QWidget *parent = nullptr);
    ~CalendarWindow() override;

    QTableView *grid() const { return m_grid; }

public slots:
    // Reads the stored days, the weeks in pause and the days a week again, and shows them.
    void reload();
    // Shows the year of a date with that day current.
    void showDate(QDate date);
    void showYear(int year);
    // Puts the week of the current day in pause, or takes it out of it.
    void togglePause();

signals:
    void dayChosen(qint64 id);

private:
    void buildControls();
    void buildGrid();
    void buildSettings();
    void layOut();
    void refresh();
    void showStreaks();
    void showLegend();
    void showPauseCaption();
    void storeDaysPerWeek();

    DayStore &m_days;
    Dialogs &m_dialogs;
    const Clock &m_clock;
    QSqlDatabase m_db;
    CalendarSettings m_settings;
    calendar::DiaryDays m_diary;
    QSet<QDate> m_paused;
    QDate m_current;

    YearModel *m_model;
    QTableView *m_grid;
    QLabel *m_currentStreak;
    QLabel *m_bestStreak;
    QSpinBox *m_year;
    QComboBox *m_shading;
    QSpinBox *m_daysPerWeek;
    QPushButton *m_pauseButton;
    QAction *m_pauseAction;
    QGridLayout *m_legend;
    QLabel *m_undated;
    QTimer *m_storeDays;
};

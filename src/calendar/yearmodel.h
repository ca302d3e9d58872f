#pragma once

#include "calendar/calendardays.h"
#include "calendar/yeargrid.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QSet>
#include <vector>

// A year of the diary as a table: a row a week, a column a day from Monday to Sunday. A day of the
// year shows its number and the amount shaded, its background the amount's level, and tells a
// screen reader its date and amount in words; the days of the first and last weeks that belong
// to another year are empty and cannot be chosen. A week in pause is marked "Pausa" in its header
// and hatched.
class YearModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role { DateRole = Qt::UserRole, IdRole };

    explicit YearModel(QObject *parent = nullptr);

    // What it shows: the days (which must outlive the model), the year, the measure, the weeks
    // in pause and the day of today.
    void show(const calendar::DiaryDays *days, int year, calendar::Shading shading,
              const QSet<QDate> &pausedMondays, QDate today);
    int year() const { return m_weeks.year; }
    QModelIndex indexOf(QDate date) const;

    // The background of each level, from none (0) to the top one.
    static QColor levelColour(int level);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct Cell {
        QDate date;
        calendar::Shade shade;
        qint64 id = 0;
        bool paused = false;
    };
    const Cell *cellAt(const QModelIndex &index) const;

    calendar::YearWeeks m_weeks;
    std::vector<Cell> m_cells;
    QSet<QDate> m_paused;
    QDate m_today;
};

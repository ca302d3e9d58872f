#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QStringList>
#include <QStringView>
#include <map>
#include <optional>
#include <vector>

// What the calendar knows of the diary: for each date, its records taken together.
namespace calendar {

struct DayTotals {
    qint64 firstId = 0; // the first record typed for the date: the one the calendar opens
    int records = 0;
    std::optional<double> hours; // the sum of the hours that read as numbers; none when none do
    std::optional<double> water; // the same of the litres of water
    QStringList training;        // the "Que Has Hecho" texts that are not empty
};

struct DiaryDays {
    std::map<QDate, DayTotals> days;
    int undated = 0; // records whose date box reads as no date

    // One record, its boxes as typed; records come in the order in which they were typed.
    void add(qint64 id, QStringView date, QStringView hours, QStringView water,
             QStringView training);
    const DayTotals *at(QDate date) const;
    // The dates with hours at the gym (more than zero), in date order.
    std::vector<QDate> gymDays() const;
};

// The stored days, read straight from the engine; none when it refuses.
std::optional<DiaryDays> readDays(const QSqlDatabase &db);

// How many exercises the training texts read, leaving out those read two ways.
int exercisesIn(const QStringList &texts);

} // namespace calendar

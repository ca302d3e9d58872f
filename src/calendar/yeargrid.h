#pragma once

#include "calendar/calendardays.h"

#include <QDate>
#include <QString>
#include <QStringList>

// The calendar's cells worked out without widgets: a year as rows of weeks from Monday to Sunday,
// each day shaded by one measure in levels, its number written in the cell and its whole reading
// in words for a screen reader ("Lunes 3 De Marzo De 2025: 1,5 Horas").
namespace calendar {

enum class Shading { Hours, Water, Training };

// How a day is shaded.
struct Shade {
    int level = -1; // -1 no record; 0 a record without any; 1 to 4 more and more
    QString amount; // the number written in the cell ("1,5"); empty when there is none
    QString spoken; // "1,5 Horas", "Sin Horas", "Sin Registro"
    bool operator==(const Shade &) const = default;
};
inline constexpr int topLevel = 4;
Shade shadeOf(const DayTotals *day, Shading shading);
// What levels 1 to 4 mean, in order ("Menos De 1 Hora", ...).
QStringList legend(Shading shading);
// What a screen reader says for a day's cell.
QString cellName(QDate date, const Shade &shade, bool paused, bool today);

// A year's weeks: from the one of January 1st to the one of December 31st.
struct YearWeeks {
    int year = 0;
    QDate firstMonday;
    int weeks = 0;
    QDate dateAt(int week, int weekday) const { return firstMonday.addDays(7 * week + weekday); }
    // The week of a date of the year, -1 for any other.
    int weekOf(QDate date) const;
    // The months that begin in a week, named ("Marzo"); empty when none does.
    QString monthsBeginning(int week) const;
};
YearWeeks yearWeeks(int year);

} // namespace calendar

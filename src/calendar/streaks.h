#pragma once

#include <QDate>
#include <QSet>
#include <vector>

// Runs of gym days and of weeks with enough of them. Weeks start on Monday. A week counts when it
// has at least daysPerWeek gym days. A week in pause (holidays, an injury), named by its Monday,
// neither breaks a run nor extends it, and neither do its days. The week of today and today
// itself are not over: they extend a run when they count and do not break it when they do not
// (yet). Days after today are not counted.
namespace calendar {

struct Streaks {
    int currentWeeks = 0;
    int longestWeeks = 0;
    int currentDays = 0;
    int longestDays = 0;
    bool operator==(const Streaks &) const = default;
};

QDate mondayOf(QDate date);

// gymDays: the dates with hours at the gym, in any order, repeated or not.
Streaks streaks(std::vector<QDate> gymDays, const QSet<QDate> &pausedMondays, int daysPerWeek,
                QDate today);

} // namespace calendar

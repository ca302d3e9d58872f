#include "calendar/streaks.h"

#include <algorithm>
#include <map>

namespace calendar {

QDate mondayOf(QDate date) {
    return date.addDays(1 - date.dayOfWeek());
}

Streaks streaks(std::vector<QDate> gymDays, const QSet<QDate> &pausedMondays, int daysPerWeek,
                QDate today) {
    std::erase_if(gymDays, [today](QDate day) { return !day.isValid() || day > today; });
    std::sort(gymDays.begin(), gymDays.end());
    gymDays.erase(std::unique(gymDays.begin(), gymDays.end()), gymDays.end());
    Streaks found;
    if (gymDays.empty())
        return found;
    const auto paused = [&pausedMondays](QDate day) {
        return pausedMondays.contains(mondayOf(day));
    };

    // Days: a run goes on through paused days and through today.
    int run = 0;
    auto gym = gymDays.begin();
    for (QDate day = gymDays.front(); day <= today; day = day.addDays(1)) {
        const bool wentToGym = gym != gymDays.end() && *gym == day;
        if (wentToGym)
            ++gym;
        if (paused(day))
            continue;
        if (wentToGym)
            found.longestDays = std::max(found.longestDays, ++run);
        else if (day != today)
            run = 0;
    }
    found.currentDays = run;

    // Weeks: the gym days of each, from the first week to this one.
    std::map<QDate, int> perWeek;
    for (const QDate day : gymDays)
        ++perWeek[mondayOf(day)];
    const QDate thisWeek = mondayOf(today);
    run = 0;
    for (QDate week = mondayOf(gymDays.front()); week <= thisWeek; week = week.addDays(7)) {
        if (pausedMondays.contains(week))
            continue;
        const auto days = perWeek.find(week);
        if (days != perWeek.end() && days->second >= std::clamp(daysPerWeek, 1, 7))
            found.longestWeeks = std::max(found.longestWeeks, ++run);
        else if (week != thisWeek)
            run = 0;
    }
    found.currentWeeks = run;
    return found;
}

} // namespace calendar

#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

// What the profile window's clock fields show at one moment, worked out from the stored dates as
// typed. A stored date that does not read as a date leaves its fields empty.
struct ClockTexts {
    QString time;         // current time of day
    QString date;         // today's short date
    QString timeInGym;    // "2 Años, 3 Meses Y 4 Días" since the gym start date
    QString ageYears;     // "2 Años"
    QString ageMonths;    // "11 Meses"
    QString ageDays;      // "20 Días"
    QString birthLong;    // birth date in its long form
    QString gymStartLong; // gym start date in its long form
};

ClockTexts clockTexts(const QDateTime &now, QStringView gymStart, QStringView birthDate);

#include "ui/clocktexts.h"

#include "data/dates.h"

namespace {

QString count(QDate from, QDate to, QStringView unit) {
    const std::optional<int> value = dates::perendat(from, to, unit);
    return value ? QString::number(*value) : QString();
}

} // namespace

ClockTexts clockTexts(const QDateTime &now, QStringView gymStart, QStringView birthDate) {
    // One reading of the clock serves every field, so that a tick at midnight cannot mix two days.
    const QDate today = now.date();
    ClockTexts texts;
    texts.time = dates::timeOfDay(now.time());
    texts.date = dates::shortDate(today);
    if (const std::optional<QDate> start = dates::readDate(gymStart)) {
        texts.timeInGym = count(*start, today, u"a") + QStringLiteral(" Años, ") +
                          count(*start, today, u"m") + QStringLiteral(" Meses Y ") +
                          count(*start, today, u"d") + QStringLiteral(" Días");
        texts.gymStartLong = dates::longDate(*start);
    }
    if (const std::optional<QDate> birth = dates::readDate(birthDate)) {
        texts.ageYears = count(*birth, today, u"a") + QStringLiteral(" Años");
        texts.ageMonths = count(*birth, today, u"m") + QStringLiteral(" Meses");
        texts.ageDays = count(*birth, today, u"d") + QStringLiteral(" Días");
        texts.birthLong = dates::longDate(*birth);
    }
    return texts;
}

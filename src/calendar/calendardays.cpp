#include "calendar/calendardays.h"

#include "data/dates.h"
#include "data/dayfields.h"
#include "data/sqlfunctions.h"
#include "training/reader.h"

#include <QSqlQuery>

namespace calendar {

void DiaryDays::add(qint64 id, QStringView date, QStringView hours, QStringView water,
                    QStringView training) {
    const std::optional<QDate> read = dates::readDate(date);
    if (!read) {
        ++undated;
        return;
    }
    DayTotals &day = days[*read];
    if (day.records++ == 0)
        day.firstId = id;
    const auto addTo = [](std::optional<double> &sum, QStringView text) {
        if (const std::optional<double> number = dates::readNumber(text))
            sum = sum.value_or(0) + *number;
    };
    addTo(day.hours, hours);
    addTo(day.water, water);
    if (!training.trimmed().isEmpty())
        day.training += training.toString();
}

const DayTotals *DiaryDays::at(QDate date) const {
    const auto found = days.find(date);
    return found == days.end() ? nullptr : &found->second;
}

std::vector<QDate> DiaryDays::gymDays() const {
    std::vector<QDate> dates;
    for (const auto &[date, day] : days)
        if (day.hours.value_or(0) > 0)
            dates.push_back(date);
    return dates;
}

std::optional<DiaryDays> readDays(const QSqlDatabase &db) {
    using namespace dayfields;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString select =
        QStringLiteral("SELECT %1, %2, %3, %4, %5 FROM %6 ORDER BY %1")
            .arg(quotedIdentifier(keyColumn), quotedIdentifier(fields[Fh].column),
                 quotedIdentifier(fields[Hgim].column), quotedIdentifier(fields[Lagua].column),
                 quotedIdentifier(fields[Qhash].column), quotedIdentifier(tableName));
    if (!query.exec(select))
        return std::nullopt;
    DiaryDays days;
    while (query.next())
        days.add(query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toString(),
                 query.value(3).toString(), query.value(4).toString());
    return days;
}

int exercisesIn(const QStringList &texts) {
    int count = 0;
    for (const QString &text : texts)
        for (const training::Exercise &exercise : training::read(text).exercises)
            count += !exercise.doubtful;
    return count;
}

} // namespace calendar

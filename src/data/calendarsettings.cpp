#include "data/calendarsettings.h"

#include "data/diarychange.h"
#include "data/diarydatabase.h"
#include "data/sqlfunctions.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

const QString settingsTable = QStringLiteral("Ajustes");
const QString settingName = QStringLiteral("Nombre");
const QString settingValue = QStringLiteral("Valor");
const QString pausedTable = QStringLiteral("Semanas En Pausa");
const QString pausedWeek = QStringLiteral("Semana");
const QString daysPerWeekName = QStringLiteral("dias_por_semana");
const QString weekForm = QStringLiteral("yyyy-MM-dd");

} // namespace

CalendarSettings::CalendarSettings(DiaryDatabase &database)
    : m_database(database) {}

QStringList CalendarSettings::tableStatements() {
    return {QStringLiteral("CREATE TABLE %1 (%2 TEXT PRIMARY KEY, %3 TEXT)")
                .arg(quotedIdentifier(settingsTable), quotedIdentifier(settingName),
                     quotedIdentifier(settingValue)),
            QStringLiteral("CREATE TABLE %1 (%2 TEXT PRIMARY KEY)")
                .arg(quotedIdentifier(pausedTable), quotedIdentifier(pausedWeek))};
}

int CalendarSettings::daysPerWeek() const {
    QSqlQuery query(m_database.connection());
    query.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                      .arg(quotedIdentifier(settingValue), quotedIdentifier(settingsTable),
                           quotedIdentifier(settingName)));
    query.addBindValue(daysPerWeekName);
    if (!query.exec()) {
        m_lastError = query.lastError().text();
        return defaultDaysPerWeek;
    }
    bool read = false;
    const int days = query.next() ? query.value(0).toString().toInt(&read) : 0;
    return read && days >= 1 && days <= 7 ? days : defaultDaysPerWeek;
}

bool CalendarSettings::setDaysPerWeek(int days) {
    return change(QStringLiteral("INSERT OR REPLACE INTO %1 (%2, %3) VALUES (?, ?)")
                      .arg(quotedIdentifier(settingsTable), quotedIdentifier(settingName),
                           quotedIdentifier(settingValue)),
                  {daysPerWeekName, QString::number(days)});
}

QSet<QDate> CalendarSettings::pausedWeeks() const {
    QSqlQuery query(m_database.connection());
    QSet<QDate> weeks;
    if (!query.exec(QStringLiteral("SELECT %1 FROM %2")
                        .arg(quotedIdentifier(pausedWeek), quotedIdentifier(pausedTable)))) {
        m_lastError = query.lastError().text();
        return weeks;
    }
    while (query.next())
        if (const QDate monday = QDate::fromString(query.value(0).toString(), weekForm);
            monday.isValid())
            weeks.insert(monday);
    return weeks;
}

bool CalendarSettings::setPaused(QDate monday, bool paused) {
    const QString statement = paused ? QStringLiteral("INSERT OR IGNORE INTO %1 (%2) VALUES (?)")
                                     : QStringLiteral("DELETE FROM %1 WHERE %2 = ?");
    return change(statement.arg(quotedIdentifier(pausedTable), quotedIdentifier(pausedWeek)),
                  {monday.toString(weekForm)});
}

bool CalendarSettings::change(const QString &statement, const QVariantList &values) {
    return diarychange::runThenSave(m_database, statement, values, &m_lastError);
}

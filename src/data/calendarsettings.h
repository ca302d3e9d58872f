#pragma once

#include <QDate>
#include <QSet>
#include <QString>
#include <QStringList>

class DiaryDatabase;

// What the calendar keeps in the diary since schema version 6: how many gym days a week makes a
// week of a streak, and the weeks the user put in pause (holidays, an injury), by their Monday.
// Each change is one committed transaction, then written sealed as every change is.
class CalendarSettings {
public:
    static constexpr int defaultDaysPerWeek = 3;

    explicit CalendarSettings(DiaryDatabase &database);

    // The days a week asks; the default when none is stored or what is stored is no day count.
    int daysPerWeek() const;
    bool setDaysPerWeek(int days);

    // The Mondays of the weeks in pause; empty when the engine refuses.
    QSet<QDate> pausedWeeks() const;
    // Puts the week of that Monday in pause, or takes it out.
    bool setPaused(QDate monday, bool paused);

    // The engine's words for the last refusal.
    QString lastError() const { return m_lastError; }

    // The statements that make its two tables.
    static QStringList tableStatements();

private:
    bool change(const QString &statement, const QVariantList &values);

    DiaryDatabase &m_database;
    mutable QString m_lastError;
};

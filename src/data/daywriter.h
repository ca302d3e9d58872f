#pragma once

#include "data/dayfields.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

// Adds days to the day table: the one way a new day reaches the engine, for the day typed in the
// diary window (its record set hands the row here, see dayrecordset.h) and for the days of an
// import alike. The statement is prepared once and bound for each day: every column of the
// description, in the order of the walk.
class DayWriter {
public:
    explicit DayWriter(const QSqlDatabase &db);

    // Whether the statement could be prepared; lastError() says why not.
    bool isReady() const { return m_ready; }
    // Adds a day with these texts (a null text is stored as NULL); false, with the engine's words
    // in lastError(), when it refuses.
    bool add(const dayfields::DayTexts &texts);
    QSqlError lastError() const { return m_insert.lastError(); }

private:
    QSqlQuery m_insert;
    bool m_ready = false;
};

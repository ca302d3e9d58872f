#pragma once

class QSqlDatabase;
class QString;
struct sqlite3;

// The functions and collations that the diary's tables and record sources rely on:
//  - val(x): the number at the start of x (a number passes through), NULL when there is none; the
//    girth indexes of older diaries were made on it;
//  - pair_sum(a, b): the sum of those of a and b that read as numbers, NULL when neither does;
//  - collation calendar_date: day/month/year texts in calendar order, texts that are no date after;
//  - collation spanish_number: texts by their value (decimal comma or point), texts that are no
//    number before every number, so that they come last in the descending orders;
//  - collation natural_text: runs of digits compared by value ("9:00" before "18:00").
// Must be registered on every connection before the tables are touched.
bool registerDiaryFunctions(sqlite3 *db);

// An identifier quoted for the engine: "name", inner quotes doubled.
QString quotedIdentifier(const QString &identifier);

// The engine's own handle behind a Qt connection; nullptr when it is closed or no SQLite one.
sqlite3 *engineHandle(const QSqlDatabase &db);

#pragma once

#include "dayfields.h"

#include <QByteArray>
#include <QDate>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <vector>

// Days read from a CSV file, as "Exportar CSV..." writes it or as a spreadsheet writes it back:
// a byte order mark and the separator (semicolon, comma or tab) found by themselves, UTF-8 or else
// Windows-1252, quoted fields with line breaks, columns matched by their ASCII names or by the
// diary's own column names in any order, dates as dd/MM/yyyy, d/M/yy or yyyy-MM-dd. Every text is
// kept as it is but an ISO date, which becomes dd/MM/yyyy. A row that cannot be a day is rejected
// with its line, column, value and reason; the others are imported in one transaction.
namespace csvimport {

struct Rejected {
    int line = 0;
    QString column;
    QString value;
    QString reason;
};

struct Read {
    QString error; // why the whole file cannot be read; empty when it can
    std::vector<dayfields::DayTexts> days;
    std::vector<QDate> dates; // the date of each day
    std::vector<Rejected> rejected;
};
Read read(const QByteArray &bytes);

// What becomes of a day whose date is already in the diary.
enum class Existing { Skip, Replace, FillEmpty };

// How many days read are new and how many have a date already stored.
struct Plan {
    int newDays = 0;
    int existingDays = 0;
};
Plan plan(const Read &read, const QSet<qint64> &storedJulianDays);

// The rejected rows as the preview lists them, at most `shown` of them.
QString rejectedText(const std::vector<Rejected> &rejected, int shown);

// Stores the days read in one transaction: the new ones added, the others as `existing` says.
// False, with the engine's words in *error, when anything fails; nothing is stored then.
bool apply(const QSqlDatabase &db, const Read &read, Existing existing, QString *error);

} // namespace csvimport

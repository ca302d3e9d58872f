#pragma once

#include "data/dayfields.h"
#include "data/dayimport.h"

#include <QByteArray>
#include <QDate>
#include <QSet>
#include <QString>
#include <functional>
#include <vector>

class QIODevice;

// Days read from a CSV file, as "Exportar CSV..." writes it or as a spreadsheet writes it back:
// a byte order mark and the separator (semicolon, comma or tab) found by themselves, UTF-8 or else
// Windows-1252, quoted fields with line breaks, columns matched by their ASCII names or by the
// diary's own column names in any order, dates as dd/MM/yyyy, d/M/yy or yyyy-MM-dd. Every text is
// kept as it is but a date with a two-digit year or an ISO date, which becomes dd/MM/yyyy. A row
// that cannot be a day is rejected with its line, column, value and reason; the others are
// stored by DayStore::importDays() in one transaction.
namespace csvimport {

struct Rejected {
    int line = 0;
    QString column;
    QString value;
    QString reason;
};

// Told how much of the work is done, of how much; answers false to stop it (the user cancelled).
using Progress = std::function<bool(qint64 done, qint64 total)>;

// What a file gave: the days read, in the file's order (dates and packed texts: the preview keeps
// a file of any size in about the memory of the file itself), which DayStore::importDays()
// stores, and the rows rejected.
struct Read : dayimport::Days {
    QString error;          // why the whole file cannot be read; empty when it can
    bool cancelled = false; // the reading was stopped by its progress; nothing else holds then
    std::vector<Rejected> rejected; // the first rejected rows (keptRejected at most), in order
    qint64 rejectedCount = 0;       // every rejected row
};
inline constexpr int keptRejected = 200;

// Counts a rejected row, and keeps it when it is among the first keptRejected.
void keepRejected(Read &read, Rejected rejected);

// Reads the header first, and refuses a file without a date column before reading on; then the
// rest a megabyte at a time, telling progress the bytes read of the device's size. A two-digit
// year is the one nearest to `today`'s.
Read read(QIODevice &device, QDate today, const Progress &progress = {});
Read read(const QByteArray &bytes, QDate today);

// How many days read are new and how many have a date already stored.
struct Plan {
    int newDays = 0;
    int existingDays = 0;
};
Plan plan(const Read &read, const QSet<qint64> &storedJulianDays);

// The rejected rows as the preview lists them, at most `shown` of them, then how many more.
QString rejectedText(const Read &read, int shown);

} // namespace csvimport

#pragma once

#include "data/dayfields.h"

#include <QByteArray>
#include <QDate>
#include <QSet>
#include <QSqlDatabase>
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
// imported in one transaction.
namespace csvimport {

struct Rejected {
    int line = 0;
    QString column;
    QString value;
    QString reason;
};

// Told how much of the work is done, of how much; answers false to stop it (the user cancelled).
using Progress = std::function<bool(qint64 done, qint64 total)>;

struct Read {
    QString error;            // why the whole file cannot be read; empty when it can
    bool cancelled = false;   // the reading was stopped by its progress; nothing else holds then
    std::vector<QDate> dates; // the date of each day, in the file's order
    std::vector<Rejected> rejected; // the first rejected rows (keptRejected at most), in order
    qint64 rejectedCount = 0;       // every rejected row
    // Each day's texts in UTF-8, each text after its length: the preview keeps a file of any size
    // in about the memory of the file itself.
    std::vector<QByteArray> packed;

    std::size_t dayCount() const { return dates.size(); }
    dayfields::DayTexts day(std::size_t index) const;
};
inline constexpr int keptRejected = 200;

// Reads the header first, and refuses a file without a date column before reading on; then the
// rest a megabyte at a time, telling progress the bytes read of the device's size. A two-digit
// year is the one nearest to `today`'s.
Read read(QIODevice &device, QDate today, const Progress &progress = {});
Read read(const QByteArray &bytes, QDate today);

// What becomes of a day whose date is already in the diary.
enum class Existing { Skip, Replace, FillEmpty };

// How many days read are new and how many have a date already stored.
struct Plan {
    int newDays = 0;
    int existingDays = 0;
};
Plan plan(const Read &read, const QSet<qint64> &storedJulianDays);

// The rejected rows as the preview lists them, at most `shown` of them, then how many more.
QString rejectedText(const Read &read, int shown);

// What an import did, day by day of the file: every day read is counted once.
struct Applied {
    bool done = false;      // committed
    bool cancelled = false; // stopped by its progress and rolled back
    QString error;          // the engine's words when neither
    int added = 0;          // new dates
    int replaced = 0;       // stored days whose texts it changed
    int filled = 0;         // stored days with empty boxes it filled
    int skipped = 0;        // stored dates left alone, as asked
    int unchanged = 0;      // stored days that were already as the file has them
};

// Stores the days read in one transaction: the new ones added, the others as `existing` says. A
// stored day keeps its own date text. Nothing is stored unless it is done; progress is told the
// days stored of those read.
Applied apply(const QSqlDatabase &db, const Read &read, Existing existing,
              const Progress &progress = {});

} // namespace csvimport

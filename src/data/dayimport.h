#pragma once

#include "data/dayfields.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

class QSqlDatabase;

// Days brought into the diary from outside (a CSV file, see report/csvimport.h), and how they are
// stored: the new ones added, those of a date already stored as the user chooses. DayStore
// imports them in one transaction.
namespace dayimport {

// Told how much of the work is done, of how much; answers false to stop it (the user cancelled).
using Progress = std::function<bool(qint64 done, qint64 total)>;

// The days to import, in the order they were read: the date of each day, and its texts in UTF-8,
// each text after its length, so that days of any number are held in about the memory of the
// file they came from.
struct Days {
    std::vector<QDate> dates;
    std::vector<QByteArray> packed;

    std::size_t dayCount() const { return dates.size(); }
    dayfields::DayTexts day(std::size_t index) const;
};
// Appends a text to a packed day.
void pack(QByteArray &packed, QByteArrayView text);
// The texts of a packed day, as bytes.
std::array<QByteArrayView, dayfields::BoxCount> unpacked(const QByteArray &packed);

// What becomes of a day whose date is already in the diary: left alone, its texts replaced, its
// empty texts filled, or each text added after its own on a line of its own, unless the stored
// text already holds it as whole lines (so that the same import twice changes nothing).
enum class Existing { Skip, Replace, FillEmpty, Append };

// The boxes an import writes: every one (a diary's own CSV), or one alone (workouts, which write
// "Que Has Hecho" and leave every other box of a stored day as it is).
struct Written {
    std::optional<dayfields::Box> only;
    bool includes(std::size_t box) const {
        return box != dayfields::Fh && (!only || box == std::size_t(*only));
    }
};

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
    int appended = 0;       // stored days whose texts it added to
};

// Stores the days within the transaction open on db: the new ones added, the others as
// `existing` says in the boxes `written` names; a stored day keeps its own date text. Progress is
// told the days stored of those read. The counts go to *applied; false when the engine refuses
// (its words in *error) or the progress stops it (applied->cancelled). Committing is the
// caller's.
bool store(const QSqlDatabase &db, const Days &days, Existing existing, Written written,
           const Progress &progress, Applied *applied, QString *error);

} // namespace dayimport

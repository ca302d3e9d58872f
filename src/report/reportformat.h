#pragma once

#include "data/dayfields.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

struct ReportProfile;

// The text format of the statistics reports, written straight into Windows-1252 bytes with
// CR LF line ends: the profile block, the day block and the two totals lines.
namespace reportformat {

// The span that the profile block states: the gym start date and the last recorded day.
struct Span {
    std::optional<QDate> start; // the start date as typed, when it reads as a date
    std::optional<QDate> last;  // the last day in the list whose date box reads as a date
};
// lastDate is that of the last day in the list whose date box reads as a date.
Span spanOf(const ReportProfile &profile, std::optional<QDate> lastDate);

// The eleven lines of the profile block. A date of the span that is missing is written empty,
// and then the years, months and days of the span are empty too.
void appendProfileBlock(QByteArray &out, const ReportProfile &profile, const Span &span);

// The day block of one day, from "Fecha" to the empty line after the diary text. A date box that
// does not read as a date leaves its long date empty.
void appendDayBlock(QByteArray &out, const dayfields::DayTexts &day);

// The hours or litres a box adds to its total: its text read as a number, 0 when it is none.
double amountOf(QStringView boxText);

// The day count at the start of the day count caption ("12 Días" gives 12), 0 when the caption
// does not start with one.
double countOf(QStringView dayCountCaption);

// The two totals lines; the averages divide by count, and are 0 when count is 0.
void appendTotalsLines(QByteArray &out, double totalHours, double totalLitres, double count);

// The long date form of a date (dates::longDate()) in Windows-1252; nothing for an invalid date.
void appendLongDate(QByteArray &out, QDate date);

// Writes text in slices of 78 characters, each on a line of its own; an empty text writes no
// line. A surrogate pair is one character and is never cut.
void appendPieces(QByteArray &out, QStringView text);

// The name of a day's own statistics file, without folder: the long date of its date box with
// full stops, commas, colons, slashes and blanks removed, + ".TxT". A date box that does not read
// as a date gives its own text cleaned the same way; control characters are dropped as well, and
// a name left empty becomes "SinFecha". A name too long for the file system is cut to the first
// 245 bytes of its UTF-8 form, at a character's end.
QString dayFileName(const dayfields::DayTexts &day);

} // namespace reportformat

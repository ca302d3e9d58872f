#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <optional>

// Dates and numbers in the program's fixed Spanish forms, whatever the machine's locale.
namespace dates {

// The Spanish locale whose long date form the program shows ("sábado, 5 de diciembre de 2026").
const QLocale &spanish();

// A text reads as a date when it is a real calendar day written day/month/year: one or two digits
// for the day and the month, a four-digit year (or two digits, read 1930-2029), separated by '/',
// '-' or '.', with blanks allowed around the whole text. 31/02/2003 is no date.
std::optional<QDate> readDate(QStringView text);
// The same reader over UTF-8 bytes, for the database's collations; agrees with readDate().
std::optional<QDate> readDateUtf8(const char *text, qsizetype length);

QString shortDate(QDate date); // 05/12/2026
QString longDate(QDate date);  // sábado, 5 de diciembre de 2026
QString timeOfDay(QTime time); // 14:05:09

// The long form of a typed date, or an empty text when it does not read as a date.
QString longDateOf(QStringView typed);

// A text reads as a number when, blanks around it aside, it is an optional sign, digits and at
// most one decimal separator (a comma or a point, both read as decimals) with digits on at least
// one side of it. "1,5" and "1.5" are one and a half; "1.500,2", "abc" and "" are no number.
std::optional<double> readNumber(QStringView text);
std::optional<double> readNumberUtf8(const char *text, qsizetype length);

// The general number form: no grouping, a decimal comma, at most 15 significant digits and no
// trailing zeros (1,5 and 3 and 0,333333333333333).
QString generalNumber(double value);

// Whole years ("a"), months ("m") or days ("d") between two moments, counted as an age is
// counted; the order of the two arguments does not matter and only their calendar dates count.
// Any other unit gives no value. Never negative.
std::optional<int> perendat(const QDateTime &fecha1, const QDateTime &fecha2, QStringView tipo);
std::optional<int> perendat(QDate fecha1, QDate fecha2, QStringView tipo);

} // namespace dates

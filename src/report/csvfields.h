#pragma once

#include "data/dayfields.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <optional>
#include <utility>

// The texts of a CSV file of days: their encoding, the column a header names, and the date a
// spreadsheet gave back.
namespace csvfields {

// The bytes but a UTF-8 sequence that their end cuts short.
qsizetype wholeUtf8(QByteArrayView bytes);

// A text of the file: UTF-8 when its bytes are, Windows-1252 otherwise.
QString decodedField(QByteArrayView bytes);

// The beginning of a text of the file, to show a rejected row by: its first 60 characters.
QString beginning(QByteArrayView bytes);

// The box a header names, by its ASCII name or the diary's own column name; BoxCount for none.
dayfields::Box boxNamed(QString name);

// The date a spreadsheet gave back: kept as typed when the diary reads it the same, written
// dd/MM/yyyy when it is an ISO date or has a two-digit year. The diary itself reads two digits as
// 1930-2029, which would put a day of 2030 a century back; a spreadsheet writes the days of the
// diary, which lie around the present, so the year nearest to today's is taken (the earlier on
// a tie), and the day is stored with its four digits so that the diary reads it the same.
std::optional<std::pair<QByteArray, QDate>> importedDate(const QByteArray &text, QDate today);

} // namespace csvfields

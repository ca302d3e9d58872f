#pragma once

#include <QDate>
#include <QString>

// The names of days and months in the words the windows use, capitalised as every caption is.
namespace datewords {

QString weekdayName(int dayOfWeek); // 1 is "Lunes"; empty outside 1 to 7
QString monthName(int month);       // 1 is "Enero"; empty outside 1 to 12
QString spokenDate(QDate date);     // "Lunes 3 De Marzo De 2025"

} // namespace datewords

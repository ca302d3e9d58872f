#include "ui/datewords.h"

#include <array>

namespace datewords {
namespace {

const std::array<const char16_t *, 7> weekdays = {u"Lunes",   u"Martes", u"Miércoles", u"Jueves",
                                                  u"Viernes", u"Sábado", u"Domingo"};
const std::array<const char16_t *, 12> months = {
    u"Enero", u"Febrero", u"Marzo",      u"Abril",   u"Mayo",      u"Junio",
    u"Julio", u"Agosto",  u"Septiembre", u"Octubre", u"Noviembre", u"Diciembre"};

} // namespace

QString weekdayName(int dayOfWeek) {
    return dayOfWeek >= 1 && dayOfWeek <= 7 ? QString::fromUtf16(weekdays[dayOfWeek - 1])
                                            : QString();
}

QString monthName(int month) {
    return month >= 1 && month <= 12 ? QString::fromUtf16(months[month - 1]) : QString();
}

QString spokenDate(QDate date) {
    return QStringLiteral("%1 %2 De %3 De %4")
        .arg(weekdayName(date.dayOfWeek()))
        .arg(date.day())
        .arg(monthName(date.month()))
        .arg(date.year());
}

} // namespace datewords

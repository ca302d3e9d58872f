#include "report/csvfields.h"

#include "data/dates.h"
#include "report/csvexport.h"
#include "report/windows1252.h"

#include <algorithm>

namespace csvfields {

qsizetype wholeUtf8(QByteArrayView bytes) {
    for (qsizetype i = bytes.size() - 1; i >= 0 && i >= bytes.size() - 3; --i) {
        const auto byte = uchar(bytes[i]);
        if (byte >= 0xC0)
            return i + (byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2) > bytes.size() ? i : bytes.size();
        if (byte < 0x80)
            break;
    }
    return bytes.size();
}

QString decodedField(QByteArrayView bytes) {
    return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : windows1252::decode(bytes);
}

QString beginning(QByteArrayView bytes) {
    if (bytes.size() > 240) {
        bytes = bytes.first(240);
        if (const QByteArrayView whole = bytes.first(wholeUtf8(bytes)); whole.isValidUtf8())
            bytes = whole;
    }
    return decodedField(bytes).left(60);
}

dayfields::Box boxNamed(QString name) {
    name = name.trimmed();
    for (int box = 0; box < dayfields::BoxCount; ++box)
        if (name.compare(QLatin1String(csvexport::columnNames[std::size_t(box)]),
                         Qt::CaseInsensitive) == 0 ||
            name.compare(dayfields::fields[std::size_t(box)].column, Qt::CaseInsensitive) == 0)
            return dayfields::Box(box);
    return dayfields::BoxCount;
}

std::optional<std::pair<QByteArray, QDate>> importedDate(const QByteArray &text, QDate today) {
    if (const std::optional<QDate> date = dates::readDateUtf8(text.constData(), text.size())) {
        const QByteArray trimmed = text.trimmed();
        const qsizetype yearDigits = trimmed.size() - 1 -
                                     std::max({trimmed.lastIndexOf('/'), trimmed.lastIndexOf('-'),
                                               trimmed.lastIndexOf('.')});
        if (yearDigits != 2)
            return std::pair{text, *date};
        int year = today.year() - today.year() % 100 + date->year() % 100;
        if (year >= today.year() + 50)
            year -= 100;
        else if (year < today.year() - 50)
            year += 100;
        const QDate nearest(year, date->month(), date->day());
        if (!nearest.isValid())
            return std::nullopt;
        return std::pair{nearest.toString(u"dd/MM/yyyy").toLatin1(), nearest};
    }
    const QDate iso = QDate::fromString(QString::fromLatin1(text.trimmed()), u"yyyy-MM-dd");
    if (iso.isValid())
        return std::pair{iso.toString(u"dd/MM/yyyy").toLatin1(), iso};
    return std::nullopt;
}

} // namespace csvfields

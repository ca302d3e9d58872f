#include "csvimport.h"

#include "csvexport.h"
#include "dates.h"
#include "sqlfunctions.h"
#include "windows1252.h"

#include <QBuffer>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <array>

namespace csvimport {
namespace {

constexpr qint64 chunkSize = 1024 * 1024;
// A header longer than this is no header of a diary: the file is refused without reading on.
constexpr qsizetype longestHeader = 1024 * 1024;
// A row longer than this is rejected; a diary text of ten million characters still fits.
constexpr qsizetype longestRow = 64 * 1024 * 1024;

// A text of the file: UTF-8 when its bytes are, Windows-1252 otherwise.
QString decodedField(QByteArrayView bytes) {
    return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : windows1252::decode(bytes);
}

// The box a header names, by its ASCII name or the diary's own column name; BoxCount for none.
dayfields::Box boxNamed(QString name) {
    name = name.trimmed();
    for (int box = 0; box < dayfields::BoxCount; ++box)
        if (name.compare(QLatin1String(csvexport::columnNames[std::size_t(box)]),
                         Qt::CaseInsensitive) == 0 ||
            name.compare(dayfields::fields[std::size_t(box)].column, Qt::CaseInsensitive) == 0)
            return dayfields::Box(box);
    return dayfields::BoxCount;
}

// The date a spreadsheet gave back: kept as typed when the diary reads it the same, written
// dd/MM/yyyy when it is an ISO date or has a two-digit year. The diary itself reads two digits as
// 1930-2029, which would put a day of 2030 a century back; a spreadsheet writes the days of the
// diary, which lie around the present, so the year nearest to today's is taken (the earlier on
// a tie), and the day is stored with its four digits so that the diary reads it the same.
std::optional<std::pair<QByteArray, QDate>> importedDate(const QByteArray &text, QDate today) {
    if (const std::optional<QDate> date = dates::readDateUtf8(text.constData(), text.size())) {
        const QByteArray trimmed = text.trimmed();
        const qsizetype yearDigits =
            trimmed.size() - 1 - std::max({trimmed.lastIndexOf('/'), trimmed.lastIndexOf('-'),
                                           trimmed.lastIndexOf('.')});
        if (yearDigits != 2)
            return std::pair{text, *date};
        int year = today.year() - today.year() % 100 + date->year() % 100;
        if (year > today.year() + 50)
            year -= 100;
        else if (year <= today.year() - 50)
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

void appendLength(QByteArray &out, qsizetype length) {
    for (; length >= 0x80; length >>= 7)
        out += char(0x80 | (length & 0x7F));
    out += char(length);
}

// The texts of a packed day, as bytes.
std::array<QByteArrayView, dayfields::BoxCount> unpacked(const QByteArray &packed) {
    std::array<QByteArrayView, dayfields::BoxCount> texts;
    qsizetype at = 0;
    for (QByteArrayView &text : texts) {
        qsizetype length = 0;
        for (int shift = 0; at < packed.size(); shift += 7) {
            const auto byte = uchar(packed[at++]);
            length |= qsizetype(byte & 0x7F) << shift;
            if (!(byte & 0x80))
                break;
        }
        text = QByteArrayView(packed).sliced(at, length);
        at += length;
    }
    return texts;
}

@@READER@@
QString columnList(const QString &format, bool fillEmpty) {
    QStringList parts;
    for (const dayfields::DayField &field : dayfields::fields) {
        const QString column = quotedIdentifier(field.column);
        parts += fillEmpty ? QStringLiteral("%1 = CASE WHEN ifnull(%1, '') = '' THEN ? ELSE %1 END")
                                 .arg(column)
                           : format.arg(column);
    }
    return parts.join(u", ");
}

} // namespace

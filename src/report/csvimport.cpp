#include "report/csvimport.h"

#include "report/csvreader.h"

#include <QBuffer>
#include <QStringList>

namespace csvimport {

Read read(QIODevice &device, QDate today, const Progress &progress) {
    Read result;
    readDays(device, today, progress, &result);
    return result;
}

Read read(const QByteArray &bytes, QDate today) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return read(buffer, today);
}

void keepRejected(Read &read, Rejected rejected) {
    ++read.rejectedCount;
    if (read.rejected.size() < std::size_t(keptRejected))
        read.rejected.push_back(std::move(rejected));
}

Plan plan(const Read &read, const QSet<qint64> &storedJulianDays) {
    Plan counted;
    for (const QDate &date : read.dates)
        ++(storedJulianDays.contains(date.toJulianDay()) ? counted.existingDays : counted.newDays);
    return counted;
}

QString rejectedText(const Read &read, int shown) {
    QStringList lines;
    for (const Rejected &row : read.rejected) {
        if (lines.size() == shown)
            break;
        lines += QStringLiteral("Línea %1%2: \"%3\": %4")
                     .arg(row.line)
                     .arg(row.column.isEmpty() ? QString() : QStringLiteral(", ") + row.column,
                          row.value, row.reason);
    }
    if (read.rejectedCount > lines.size())
        lines += QStringLiteral("Y %1 Más.").arg(read.rejectedCount - lines.size());
    return lines.join(u'\n');
}

} // namespace csvimport

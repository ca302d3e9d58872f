#include "data/dayimport.h"

#include "data/dates.h"
#include "data/daywriter.h"
#include "data/sqlfunctions.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace dayimport {
namespace {

using StoredByDate = QHash<qint64, QList<qint64>>;

// How a stored day's text in `column` becomes the imported one (bound `binds` times), and when
// that changes it (bound `changeBinds` times).
struct Assignment {
    QString set;
    QString change;
    int binds = 1;
    int changeBinds = 1;
};

Assignment assignment(Existing existing, const QString &column) {
    switch (existing) {
    case Existing::FillEmpty:
        return {QStringLiteral("%1 = CASE WHEN ifnull(%1, '') = '' THEN ? ELSE %1 END").arg(column),
                QStringLiteral("(ifnull(%1, '') = '' AND ? <> '')").arg(column)};
    case Existing::Append: {
        // Whether the stored text holds the imported one as whole lines.
        const QString holds =
            QStringLiteral("instr(char(10) || ifnull(%1, '') || char(10), char(10) || ? || "
                           "char(10))")
                .arg(column);
        return {QStringLiteral("%1 = CASE WHEN ? = '' OR %2 > 0 THEN %1 WHEN ifnull(%1, '') = '' "
                               "THEN ? ELSE %1 || char(10) || ? END")
                    .arg(column, holds),
                QStringLiteral("(? <> '' AND %1 = 0)").arg(holds), 4, 2};
    }
    case Existing::Skip:
    case Existing::Replace:
        break;
    }
    return {QStringLiteral("%1 = ?").arg(column), QStringLiteral("%1 IS NOT ?").arg(column)};
}

// The UPDATE of a stored day by the texts of an imported one in the boxes written, its date text
// left as stored. It changes the day only where the texts would change it, so that its count of
// rows tells whether they did. Bound: each text as often as assignment() says, the day's key,
// each text again for the changes.
QString updateStatement(Existing existing, Written written) {
    QStringList set;
    QStringList changes;
    for (std::size_t box = 0; box < dayfields::BoxCount; ++box) {
        if (!written.includes(box))
            continue;
        const Assignment assigned =
            assignment(existing, quotedIdentifier(dayfields::fields[box].column));
        set += assigned.set;
        changes += assigned.change;
    }
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ? AND (%4)")
        .arg(quotedIdentifier(dayfields::tableName), set.join(u", "),
             quotedIdentifier(dayfields::keyColumn), changes.join(QStringLiteral(" OR ")));
}

// The keys of the stored days of each date, by the calendar: "5/12/2026" is "05/12/2026".
bool readStoredByDate(const QSqlDatabase &db, StoredByDate *byDate, QString *error) {
    QSqlQuery stored(db);
    if (!stored.exec(QStringLiteral("SELECT %1, %2 FROM %3")
                         .arg(quotedIdentifier(dayfields::keyColumn),
                              quotedIdentifier(dayfields::fields[dayfields::Fh].column),
                              quotedIdentifier(dayfields::tableName)))) {
        *error = stored.lastError().text();
        return false;
    }
    while (stored.next())
        if (const std::optional<QDate> date = dates::readDate(stored.value(1).toString()))
            (*byDate)[date->toJulianDay()] += stored.value(0).toLongLong();
    return true;
}

// Gives the stored days of these keys the texts of an imported day by the prepared UPDATE;
// whether any of them changed goes to *changed.
bool merge(QSqlQuery &update, const QList<qint64> &keys, const dayfields::DayTexts &texts,
           Existing existing, Written written, bool *changed, QString *error) {
    const Assignment binding = assignment(existing, {});
    for (const qint64 key : keys) {
        for (int round = 0; round < 2; ++round) {
            for (std::size_t box = 0; box < texts.size(); ++box)
                for (int b = 0; written.includes(box) &&
                                b < (round == 0 ? binding.binds : binding.changeBinds);
                     ++b)
                    update.addBindValue(texts[box]);
            if (round == 0)
                update.addBindValue(key);
        }
        if (!update.exec()) {
            *error = update.lastError().text();
            return false;
        }
        *changed = *changed || update.numRowsAffected() > 0;
    }
    return true;
}

} // namespace

void pack(QByteArray &packed, QByteArrayView text) {
    qsizetype length = text.size();
    for (; length >= 0x80; length >>= 7)
        packed += char(0x80 | (length & 0x7F));
    packed += char(length);
    packed += text;
}

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

dayfields::DayTexts Days::day(std::size_t index) const {
    dayfields::DayTexts texts;
    const auto bytes = unpacked(packed[index]);
    for (std::size_t box = 0; box < texts.size(); ++box)
        texts[box] = QString::fromUtf8(bytes[box]);
    return texts;
}

bool store(const QSqlDatabase &db, const Days &days, Existing existing, Written written,
           const Progress &progress, Applied *applied, QString *error) {
    StoredByDate storedByDate;
    if (!readStoredByDate(db, &storedByDate, error))
        return false;
    DayWriter writer(db);
    QSqlQuery update(db);
    if (!writer.isReady()) {
        *error = writer.lastError().text();
        return false;
    }
    if (existing != Existing::Skip && !update.prepare(updateStatement(existing, written))) {
        *error = update.lastError().text();
        return false;
    }
    const qint64 total = qint64(days.dayCount());
    for (std::size_t d = 0; d < days.dayCount(); ++d) {
        if (progress && d % 1000 == 0 && !progress(qint64(d), total)) {
            applied->cancelled = true;
            return false;
        }
        const QList<qint64> keys = storedByDate.value(days.dates[d].toJulianDay());
        const dayfields::DayTexts texts = days.day(d);
        if (keys.isEmpty()) {
            if (!writer.add(texts)) {
                *error = writer.lastError().text();
                return false;
            }
            ++applied->added;
        } else if (existing == Existing::Skip) {
            ++applied->skipped;
        } else {
            bool changed = false;
            if (!merge(update, keys, texts, existing, written, &changed, error))
                return false;
            ++(!changed                          ? applied->unchanged
               : existing == Existing::FillEmpty ? applied->filled
               : existing == Existing::Append    ? applied->appended
                                                 : applied->replaced);
        }
    }
    return true;
}

} // namespace dayimport

#include "data/conflictlist.h"

#include "data/dayfields.h"
#include "data/diarychange.h"
#include "data/diarydatabase.h"
#include "data/mergerules.h"
#include "data/sqlfunctions.h"
#include "data/syncschema.h"

#include <QSqlQuery>

namespace conflictlist {
namespace {

// The statement that reads a field of the conflict's day, or of the profile.
QString fieldOf(const QString &uid, const QString &column) {
    const QString key = quotedIdentifier(dayfields::keyColumn);
    if (uid.isEmpty())
        return QStringLiteral("SELECT %1 FROM %2 ORDER BY %3 LIMIT 1")
            .arg(quotedIdentifier(column), quotedIdentifier(profilefields::tableName), key);
    return QStringLiteral("SELECT d.%1, d.%2 FROM %3 d JOIN %4 s ON s.day = d.%5 WHERE s.uid = ?")
        .arg(quotedIdentifier(column), quotedIdentifier(dayfields::fields[dayfields::Fh].column),
             quotedIdentifier(dayfields::tableName), syncschema::dayTable, key);
}

bool knownColumn(const QString &uid, const QString &column) {
    if (uid.isEmpty())
        return column != profilefields::password;
    for (const dayfields::DayField &field : dayfields::fields)
        if (field.column == column)
            return true;
    return false;
}

} // namespace

std::vector<Entry> list(const DiaryDatabase &database) {
    std::vector<Entry> entries;
    QSqlQuery query(database.connection());
    QSqlQuery field(database.connection());
    if (!query.exec(QStringLiteral("SELECT id, uid, field, value FROM %1 ORDER BY stamp DESC")
                        .arg(syncschema::conflictTable)))
        return entries;
    while (query.next()) {
        const QString uid = query.value(1).toString();
        Entry entry{query.value(0).toLongLong(), {}, query.value(2).toString(), query.value(3), {}};
        if (!knownColumn(uid, entry.column) || !field.prepare(fieldOf(uid, entry.column)))
            continue;
        if (!uid.isEmpty())
            field.addBindValue(uid);
        if (field.exec() && field.next()) {
            entry.kept = field.value(0);
            entry.date = uid.isEmpty() ? QString() : field.value(1).toString();
        }
        entries.push_back(entry);
    }
    return entries;
}

bool takeBack(DiaryDatabase &database, qint64 id) {
    const auto change = [&](QString *) {
        QSqlQuery query(database.connection());
        query.prepare(QStringLiteral("SELECT uid, field, value, stamp, node FROM %1 WHERE id = ?")
                          .arg(syncschema::conflictTable));
        query.addBindValue(id);
        if (!query.exec() || !query.next())
            return false;
        const QString uid = query.value(0).toString();
        const QString column = query.value(1).toString();
        const QVariant value = query.value(2);
        if (!knownColumn(uid, column))
            return false;
        const QString key = quotedIdentifier(dayfields::keyColumn);
        const QString table =
            quotedIdentifier(uid.isEmpty() ? profilefields::tableName : dayfields::tableName);
        const QString where =
            uid.isEmpty()
                ? QStringLiteral("(SELECT %1 FROM %2 ORDER BY %1 LIMIT 1)").arg(key, table)
                : QStringLiteral("(SELECT day FROM %1 WHERE uid = ?)").arg(syncschema::dayTable);
        QSqlQuery update(database.connection());
        update.prepare(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = %4")
                           .arg(table, quotedIdentifier(column), key, where));
        update.addBindValue(value);
        if (!uid.isEmpty())
            update.addBindValue(uid);
        if (!update.exec() || update.numRowsAffected() != 1)
            return false;
        // Remembered as taken back, so that no merge brings it back from the other computer.
        const QString taken = mergerules::takenBackKey(
            {uid, column, value, {query.value(3).toLongLong(), query.value(4).toLongLong()}, 0});
        query.prepare(QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(syncschema::conflictTable));
        query.addBindValue(id);
        QSqlQuery gone(database.connection());
        gone.prepare(QStringLiteral("INSERT OR REPLACE INTO %1 (uid, stamp, node) VALUES (?, "
                                    "sync_tick(), sync_node())")
                         .arg(syncschema::goneTable));
        gone.addBindValue(taken);
        return query.exec() && gone.exec();
    };
    QString error;
    return diarychange::commitThenSave(database, change, &error);
}

} // namespace conflictlist

#include "data/syncsides.h"

#include "data/sqlfunctions.h"
#include "data/syncschema.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

namespace syncsides {
namespace {

using mergerules::Day;
using mergerules::Field;
using mergerules::Stamp;

QString days() {
    return quotedIdentifier(dayfields::tableName);
}

QString key() {
    return quotedIdentifier(dayfields::keyColumn);
}

QString dayColumns(const QString &prefix, const QString &suffix) {
    QStringList columns;
    for (const dayfields::DayField &field : dayfields::fields)
        columns += prefix + quotedIdentifier(field.column) + suffix;
    return columns.join(u", ");
}

QString stampColumns(const QString &suffix) {
    QStringList columns;
    for (int field = 0; field < dayfields::BoxCount; ++field)
        columns << syncschema::stampColumn(field) + suffix << syncschema::nodeColumn(field) + suffix
                << syncschema::previousColumn(field) + suffix;
    return columns.join(u", ");
}

bool fail(const QSqlQuery &query, QString *error) {
    *error = query.lastError().text();
    return false;
}

QVariant valueOf(sqlite3_stmt *statement, int column) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, column)),
                          sqlite3_column_bytes(statement, column));
    default:
        return QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
            sqlite3_column_bytes(statement, column));
    }
}

// The statements that read the days, prepared on the engine itself: ten thousand days of 93
// stamps each are too many for the driver's values one at a time. Every day's key, identity, date
// and stamps are read in one pass; the values of a day only when asked, by its key.
class DayRows {
public:
    // Over every day, or one day at a time by its identity (day()).
    explicit DayRows(const QSqlDatabase &db, bool byUid = false)
        : m_handle(engineHandle(db)) {
        const QString stamps = stampColumns(QString())
                                   .replace(QLatin1String(", "), QLatin1String(", s."))
                                   .prepend(u"s.");
        prepare(QStringLiteral("SELECT s.day, s.uid, d.%1, %2 FROM %3 s JOIN %4 d ON d.%5 = s.day")
                        .arg(quotedIdentifier(dayfields::fields[dayfields::Fh].column), stamps,
                             syncschema::dayTable, days(), key()) +
                    (byUid ? QStringLiteral(" WHERE s.uid = ?") : QString()),
                &m_stamps);
        prepare(
            QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(dayColumns({}, {}), days(), key()),
            &m_values);
    }
    ~DayRows() {
        sqlite3_finalize(m_stamps);
        sqlite3_finalize(m_values);
    }
    DayRows(const DayRows &) = delete;
    DayRows &operator=(const DayRows &) = delete;

    bool next() { return m_ok && (m_step = sqlite3_step(m_stamps)) == SQLITE_ROW; }
    // After the last row: whether every row was read; if not, the engine's words.
    bool done(QString *error) const {
        if (m_ok && m_step == SQLITE_DONE)
            return true;
        *error = m_handle ? QString::fromUtf8(sqlite3_errmsg(m_handle)) : QString();
        return false;
    }
    // The row's key, identity, date and stamps.
    Day stamps() const {
        Day day;
        day.id = sqlite3_column_int64(m_stamps, 0);
        day.uid = valueOf(m_stamps, 1).toString();
        day.fields[dayfields::Fh].value = valueOf(m_stamps, 2);
        for (int box = 0; box < dayfields::BoxCount; ++box) {
            Field &field = day.fields[std::size_t(box)];
            const int stamps = 3 + 3 * box;
            field.stamp = {sqlite3_column_int64(m_stamps, stamps),
                           sqlite3_column_int64(m_stamps, stamps + 1)};
            field.previous = sqlite3_column_int64(m_stamps, stamps + 2);
        }
        return day;
    }
    // The key, identity, date and stamps of the day of that identity; false when it is not there
    // or the engine refuses.
    bool day(const QString &uid, Day *day) {
        const QByteArray text = uid.toUtf8();
        m_ok = m_ok &&
               sqlite3_bind_text(m_stamps, 1, text.constData(), int(text.size()),
                                 SQLITE_TRANSIENT) == SQLITE_OK &&
               (m_step = sqlite3_step(m_stamps)) == SQLITE_ROW;
        if (m_ok)
            *day = stamps();
        sqlite3_reset(m_stamps);
        return m_ok;
    }
    // Reads the values of the day of that key; false when it is not there or the engine refuses.
    bool values(Day *day) {
        m_ok = m_ok && sqlite3_bind_int64(m_values, 1, day->id) == SQLITE_OK &&
               (m_step = sqlite3_step(m_values)) == SQLITE_ROW;
        for (int box = 0; m_ok && box < dayfields::BoxCount; ++box)
            day->fields[std::size_t(box)].value = valueOf(m_values, box);
        sqlite3_reset(m_values);
        return m_ok;
    }

private:
    void prepare(const QString &statement, sqlite3_stmt **prepared) {
        const QByteArray text = statement.toUtf8();
        m_ok = m_ok && m_handle &&
               sqlite3_prepare_v2(m_handle, text.constData(), int(text.size()), prepared,
                                  nullptr) == SQLITE_OK;
    }

    sqlite3 *m_handle = nullptr;
    sqlite3_stmt *m_stamps = nullptr;
    sqlite3_stmt *m_values = nullptr;
    bool m_ok = true;
    int m_step = SQLITE_ERROR;
};

bool readDays(const QSqlDatabase &db, const Wanted &wanted, std::vector<Day> *out, QString *error) {
    DayRows rows(db);
    while (rows.next()) {
        Day day = rows.stamps();
        if ((!wanted || wanted(day)) && !rows.values(&day))
            break;
        out->push_back(std::move(day));
    }
    return rows.done(error);
}

bool readProfile(const QSqlDatabase &db, mergerules::Side *side, QString *error) {
    QSqlQuery query(db);
    QStringList columns;
    for (const QString &column : profileColumns())
        columns += quotedIdentifier(column);
    if (!query.exec(
            QStringLiteral("SELECT %1 FROM %2 ORDER BY %3 LIMIT 1")
                .arg(columns.join(u", "), quotedIdentifier(profilefields::tableName), key())))
        return fail(query, error);
    if (!query.next())
        return true;
    QSqlQuery stamps(db);
    if (!stamps.prepare(QStringLiteral("SELECT stamp, node, prev FROM %1 WHERE field = ?")
                            .arg(syncschema::profileTable)))
        return fail(stamps, error);
    for (int index = 0; index < profileColumns().size(); ++index) {
        mergerules::ProfileField field{profileColumns()[index], {query.value(index), {}, 0}};
        stamps.addBindValue(field.column);
        if (!stamps.exec())
            return fail(stamps, error);
        if (stamps.next())
            field.field = {field.field.value,
                           {stamps.value(0).toLongLong(), stamps.value(1).toLongLong()},
                           stamps.value(2).toLongLong()};
        side->profile.push_back(field);
    }
    return true;
}

bool readRest(const QSqlDatabase &db, mergerules::Side *side, QString *error) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT uid, stamp, node FROM %1").arg(syncschema::goneTable)))
        return fail(query, error);
    while (query.next())
        side->gone.insert(query.value(0).toString(),
                          {query.value(1).toLongLong(), query.value(2).toLongLong()});
    if (!query.exec(
            QStringLiteral("SELECT uid, field, value, stamp, node, kept FROM %1 ORDER BY id")
                .arg(syncschema::conflictTable)))
        return fail(query, error);
    while (query.next())
        side->conflicts +=
            mergerules::Conflict{query.value(0).toString(),
                                 query.value(1).toString(),
                                 query.value(2),
                                 {query.value(3).toLongLong(), query.value(4).toLongLong()},
                                 query.value(5).toLongLong()};
    if (!query.exec(
            QStringLiteral("SELECT value FROM %1 WHERE key = 'diary'").arg(syncschema::metaTable)))
        return fail(query, error);
    side->diary = query.next() ? query.value(0).toString() : QString();
    return true;
}

// The statements that write a day and its stamps, prepared once.
struct DayStatements {
    QSqlDatabase db;
    QSqlQuery insert, updateStamps, insertStamps;
    QHash<quint32, QSqlQuery> updates; // by the fields they set: the indexes of the others stay

    explicit DayStatements(const QSqlDatabase &connection)
        : db(connection)
        , insert(db)
        , updateStamps(db)
        , insertStamps(db) {}

    QSqlQuery *update(quint32 changed) {
        if (const auto found = updates.find(changed); found != updates.end())
            return &*found;
        QStringList set;
        for (int box = 0; box < dayfields::BoxCount; ++box)
            if (changed & (1u << box))
                set += quotedIdentifier(dayfields::fields[std::size_t(box)].column) +
                       QLatin1String(" = ?");
        QSqlQuery query(db);
        if (!query.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                               .arg(days(), set.join(u", "), key())))
            return nullptr;
        return &*updates.insert(changed, query);
    }

    bool prepare() {
        QStringList marks;
        for (int field = 0; field < dayfields::BoxCount; ++field)
            marks << QStringLiteral("?") << QStringLiteral("?") << QStringLiteral("?");
        const QString dayMarks = QStringList(marks.mid(0, dayfields::BoxCount)).join(u", ");
        return insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(days(), dayColumns({}, {}), dayMarks)) &&
               updateStamps.prepare(
                   QStringLiteral("UPDATE %1 SET %2 WHERE day = ?")
                       .arg(syncschema::dayTable, stampColumns(QStringLiteral(" = ?")))) &&
               insertStamps.prepare(
                   QStringLiteral("INSERT OR REPLACE INTO %1 (day, uid, %2) "
                                  "VALUES (?, ?, %3)")
                       .arg(syncschema::dayTable, stampColumns({}), marks.join(u", ")));
    }
};

void bindStamps(QSqlQuery &query, const Day &day) {
    for (const Field &field : day.fields) {
        query.addBindValue(field.stamp.time);
        query.addBindValue(field.stamp.node);
        query.addBindValue(field.previous);
    }
}

bool writeDay(DayStatements &statements, const Day &day, QString *error) {
    QSqlQuery *values =
        day.id != 0 ? (day.changed ? statements.update(day.changed) : nullptr) : &statements.insert;
    if (!values && day.changed) {
        *error = statements.db.lastError().text();
        return false;
    }
    if (values) {
        for (int box = 0; box < dayfields::BoxCount; ++box)
            if (day.id == 0 || (day.changed & (1u << box)))
                values->addBindValue(day.fields[std::size_t(box)].value);
        if (day.id != 0)
            values->addBindValue(day.id);
        if (!values->exec())
            return fail(*values, error);
    }
    if (day.id != 0) {
        bindStamps(statements.updateStamps, day);
        statements.updateStamps.addBindValue(day.id);
        return statements.updateStamps.exec() || fail(statements.updateStamps, error);
    }
    statements.insertStamps.addBindValue(values->lastInsertId());
    statements.insertStamps.addBindValue(day.uid);
    bindStamps(statements.insertStamps, day);
    return statements.insertStamps.exec() || fail(statements.insertStamps, error);
}

bool applyDays(const QSqlDatabase &db, const mergerules::Outcome &outcome, QString *error) {
    QSqlQuery remove(db);
    QSqlQuery removeStamps(db);
    if (!remove.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(days(), key())) ||
        !removeStamps.prepare(
            QStringLiteral("DELETE FROM %1 WHERE day = ?").arg(syncschema::dayTable)))
        return fail(remove, error);
    for (const qint64 id : outcome.removed) {
        remove.addBindValue(id);
        removeStamps.addBindValue(id);
        if (!remove.exec() || !removeStamps.exec())
            return fail(remove, error);
    }
    DayStatements statements(db);
    if (!statements.prepare())
        return fail(statements.insert, error);
    for (const Day &day : outcome.days)
        if (!writeDay(statements, day, error))
            return false;
    return true;
}

bool applyGone(const QSqlDatabase &db, const mergerules::Outcome &outcome, QString *error) {
    QSqlQuery gone(db);
    QSqlQuery revived(db);
    if (!gone.prepare(
            QStringLiteral("INSERT OR REPLACE INTO %1 (uid, stamp, node) VALUES (?, ?, ?)")
                .arg(syncschema::goneTable)) ||
        !revived.prepare(QStringLiteral("DELETE FROM %1 WHERE uid = ?").arg(syncschema::goneTable)))
        return fail(gone, error);
    for (auto it = outcome.gone.begin(); it != outcome.gone.end(); ++it) {
        gone.addBindValue(it.key());
        gone.addBindValue(it->time);
        gone.addBindValue(it->node);
        if (!gone.exec())
            return fail(gone, error);
    }
    for (const QString &uid : outcome.revived) {
        revived.addBindValue(uid);
        if (!revived.exec())
            return fail(revived, error);
    }
    return true;
}

bool applyProfile(const QSqlDatabase &db, const mergerules::Outcome &outcome, QString *error) {
    QSqlQuery query(db);
    const QString table = quotedIdentifier(profilefields::tableName);
    for (const mergerules::ProfileField &field : outcome.profile) {
        if (!query.prepare(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = (SELECT %3 FROM %1 "
                                          "ORDER BY %3 LIMIT 1)")
                               .arg(table, quotedIdentifier(field.column), key())))
            return fail(query, error);
        query.addBindValue(field.field.value);
        if (!query.exec() || !query.prepare(QStringLiteral("INSERT OR REPLACE INTO %1 (field, "
                                                           "stamp, node, prev) VALUES (?, ?, ?, ?)")
                                                .arg(syncschema::profileTable)))
            return fail(query, error);
        query.addBindValue(field.column);
        query.addBindValue(field.field.stamp.time);
        query.addBindValue(field.field.stamp.node);
        query.addBindValue(field.field.previous);
        if (!query.exec())
            return fail(query, error);
    }
    return true;
}

// A conflict's day, or the profile's empty text: never NULL, which the table refuses.
QVariant uidValue(const QString &uid) {
    return uid.isNull() ? QVariant(QStringLiteral("")) : QVariant(uid);
}

bool applyConflicts(const QSqlDatabase &db, const mergerules::Outcome &outcome, QString *error) {
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("DELETE FROM %1 WHERE uid = ? AND field = ? AND stamp = ? "
                                      "AND node = ?")
                           .arg(syncschema::conflictTable)))
        return fail(query, error);
    for (const mergerules::Conflict &conflict : outcome.dropped) {
        for (const QVariant &value : {uidValue(conflict.uid), QVariant(conflict.column),
                                      QVariant(conflict.stamp.time), QVariant(conflict.stamp.node)})
            query.addBindValue(value);
        if (!query.exec())
            return fail(query, error);
    }
    if (!query.prepare(QStringLiteral("INSERT OR IGNORE INTO %1 (uid, field, value, stamp, node, "
                                      "kept) VALUES (?, ?, ?, ?, ?, ?)")
                           .arg(syncschema::conflictTable)))
        return fail(query, error);
    for (const mergerules::Conflict &conflict : outcome.conflicts) {
        for (const QVariant &value : {uidValue(conflict.uid), QVariant(conflict.column),
                                      conflict.value, QVariant(conflict.stamp.time),
                                      QVariant(conflict.stamp.node), QVariant(conflict.kept)})
            query.addBindValue(value);
        if (!query.exec())
            return fail(query, error);
    }
    return true;
}

} // namespace

QStringList profileColumns() {
    QStringList columns(profilefields::textColumns.begin(), profilefields::textColumns.end());
    return columns << profilefields::photo << profilefields::goalWeight;
}

bool read(const QSqlDatabase &db, mergerules::Side *side, QString *error, const Wanted &wanted) {
    return readDays(db, wanted, &side->days, error) && readProfile(db, side, error) &&
           readRest(db, side, error);
}

bool readValues(const QSqlDatabase &db, mergerules::Side *side, const Wanted &wanted,
                QString *error) {
    DayRows rows(db);
    for (Day &day : side->days)
        if (wanted(day) && !rows.values(&day))
            return rows.done(error);
    return true;
}

bool follow(const QSqlDatabase &db, const mergerules::Outcome &outcome, mergerules::Side *side,
            QString *error) {
    const QSet<qint64> removed(outcome.removed.begin(), outcome.removed.end());
    QSet<QString> written;
    for (const Day &day : outcome.days)
        written.insert(day.uid);
    std::erase_if(side->days, [&](const Day &day) {
        return removed.contains(day.id) || written.contains(day.uid);
    });
    DayRows rows(db, true);
    for (const QString &uid : std::as_const(written)) {
        Day day;
        if (!rows.day(uid, &day))
            return rows.done(error);
        side->days.push_back(std::move(day));
    }
    side->gone.clear();
    side->profile.clear();
    side->conflicts.clear();
    return readProfile(db, side, error) && readRest(db, side, error);
}

bool apply(const QSqlDatabase &db, const mergerules::Outcome &outcome, QString *error) {
    return applyDays(db, outcome, error) && applyGone(db, outcome, error) &&
           applyProfile(db, outcome, error) && applyConflicts(db, outcome, error);
}

} // namespace syncsides

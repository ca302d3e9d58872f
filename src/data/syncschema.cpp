#include "data/syncschema.h"

#include "data/dayfields.h"
#include "data/hybridclock.h"
#include "data/sqlfunctions.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <sqlite3.h>

namespace syncschema {
namespace {

QString days() {
    return QLatin1String("main.") + quotedIdentifier(dayfields::tableName);
}

QString column(int field) {
    return quotedIdentifier(dayfields::fields[std::size_t(field)].column);
}

QStringList profileColumns() {
    QStringList columns(profilefields::textColumns.begin(), profilefields::textColumns.end());
    return columns << profilefields::photo << profilefields::goalWeight;
}

QString dayTableStatement() {
    QStringList columns{QStringLiteral("day INTEGER PRIMARY KEY"),
                        QStringLiteral("uid TEXT NOT NULL UNIQUE")};
    for (int field = 0; field < dayfields::BoxCount; ++field)
        for (const QString &name : {stampColumn(field), nodeColumn(field), previousColumn(field)})
            columns += name + QLatin1String(" INTEGER NOT NULL DEFAULT 0");
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(dayTable, columns.join(u", "));
}

void call(sqlite3_context *context, int, sqlite3_value **, qint64 (*what)(HybridClock &)) {
    auto *clock = static_cast<HybridClock *>(sqlite3_user_data(context));
    sqlite3_result_int64(context, what(*clock));
}

void tick(sqlite3_context *context, int count, sqlite3_value **values) {
    call(context, count, values, [](HybridClock &clock) { return clock.tick(); });
}

void node(sqlite3_context *context, int count, sqlite3_value **values) {
    call(context, count, values, [](HybridClock &clock) { return clock.node(); });
}

void stamping(sqlite3_context *context, int count, sqlite3_value **values) {
    call(context, count, values, [](HybridClock &clock) { return qint64(!clock.isPaused()); });
}

bool registerClock(sqlite3 *handle, HybridClock *clock) {
    const auto add = [&](const char *name,
                         void (*function)(sqlite3_context *, int, sqlite3_value **)) {
        return sqlite3_create_function_v2(handle, name, 0, SQLITE_UTF8, clock, function, nullptr,
                                          nullptr, nullptr) == SQLITE_OK;
    };
    return handle && add("sync_tick", tick) && add("sync_node", node) &&
           add("sync_stamping", stamping);
}

QStringList dayTriggers() {
    QStringList stamps;
    QStringList values;
    QStringList changes;
    for (int field = 0; field < dayfields::BoxCount; ++field) {
        stamps << stampColumn(field) << nodeColumn(field);
        values << QStringLiteral("sync_tick()") << QStringLiteral("sync_node()");
        const QString changed = QStringLiteral("old.%1 IS NOT new.%1").arg(column(field));
        changes << QStringLiteral("%1 = CASE WHEN %2 THEN sync_tick() ELSE %1 END")
                       .arg(stampColumn(field), changed)
                << QStringLiteral("%1 = CASE WHEN %2 THEN sync_node() ELSE %1 END")
                       .arg(nodeColumn(field), changed)
                << QStringLiteral("%1 = CASE WHEN %2 THEN %3 ELSE %1 END")
                       .arg(previousColumn(field), changed, stampColumn(field));
    }
    const QString key = quotedIdentifier(dayfields::keyColumn);
    return {QStringLiteral("CREATE TEMP TRIGGER sync_day_added AFTER INSERT ON %1 WHEN "
                           "sync_stamping() BEGIN INSERT OR REPLACE INTO %2 (day, uid, %3) VALUES "
                           "(new.%4, lower(hex(randomblob(16))), %5); END")
                .arg(days(), dayTable, stamps.join(u", "), key, values.join(u", ")),
            QStringLiteral("CREATE TEMP TRIGGER sync_day_changed AFTER UPDATE ON %1 WHEN "
                           "sync_stamping() BEGIN UPDATE %2 SET %3 WHERE day = old.%4; END")
                .arg(days(), dayTable, changes.join(u", "), key),
            QStringLiteral("CREATE TEMP TRIGGER sync_day_deleted AFTER DELETE ON %1 WHEN "
                           "sync_stamping() BEGIN INSERT OR REPLACE INTO %2 (uid, stamp, node) "
                           "SELECT uid, sync_tick(), sync_node() FROM %3 WHERE day = old.%4; "
                           "DELETE FROM %3 WHERE day = old.%4; END")
                .arg(days(), goneTable, dayTable, key)};
}

QStringList profileTriggers() {
    const QString stamp = QStringLiteral(
        "INSERT OR REPLACE INTO %1 (field, stamp, node, prev) SELECT '%2', sync_tick(), "
        "sync_node(), coalesce((SELECT stamp FROM %1 WHERE field = '%2'), 0)");
    QStringList added;
    QStringList changed;
    for (const QString &name : profileColumns()) {
        added += stamp.arg(profileTable, name) + u';';
        changed += stamp.arg(profileTable, name) +
                   QStringLiteral(" WHERE old.%1 IS NOT new.%1;").arg(quotedIdentifier(name));
    }
    const QString table = QLatin1String("main.") + quotedIdentifier(profilefields::tableName);
    return {QStringLiteral("CREATE TEMP TRIGGER sync_profile_added AFTER INSERT ON %1 WHEN "
                           "sync_stamping() BEGIN %2 END")
                .arg(table, added.join(u' ')),
            QStringLiteral("CREATE TEMP TRIGGER sync_profile_changed AFTER UPDATE ON %1 WHEN "
                           "sync_stamping() BEGIN %2 END")
                .arg(table, changed.join(u' '))};
}

} // namespace

QString stampColumn(int field) {
    return QStringLiteral("s%1").arg(field);
}

QString nodeColumn(int field) {
    return QStringLiteral("n%1").arg(field);
}

QString previousColumn(int field) {
    return QStringLiteral("p%1").arg(field);
}

QStringList migrationStatements() {
    const QString profile = quotedIdentifier(profilefields::tableName);
    return {
        QStringLiteral("CREATE TABLE %1 (key TEXT PRIMARY KEY, value) WITHOUT ROWID")
            .arg(metaTable),
        dayTableStatement(),
        QStringLiteral("CREATE TABLE %1 (uid TEXT PRIMARY KEY, stamp INTEGER NOT NULL, node "
                       "INTEGER NOT NULL) WITHOUT ROWID")
            .arg(goneTable),
        QStringLiteral("CREATE TABLE %1 (field TEXT PRIMARY KEY, stamp INTEGER NOT NULL, node "
                       "INTEGER NOT NULL, prev INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID")
            .arg(profileTable),
        QStringLiteral("CREATE TABLE %1 (id INTEGER PRIMARY KEY, uid TEXT NOT NULL, field TEXT NOT "
                       "NULL, value, stamp INTEGER NOT NULL, node INTEGER NOT NULL, kept INTEGER "
                       "NOT NULL, UNIQUE (uid, field, stamp, node))")
            .arg(conflictTable),
        QStringLiteral("INSERT INTO %1 (day, uid) SELECT %2, 'old-' || %2 || '-' || "
                       "lower(hex(coalesce(%3, ''))) FROM %4")
            .arg(dayTable, quotedIdentifier(dayfields::keyColumn), column(dayfields::Fh),
                 quotedIdentifier(dayfields::tableName)),
        QStringLiteral("INSERT INTO %1 VALUES ('diary', coalesce((SELECT 'old-' || "
                       "lower(hex(coalesce(%2, '') || '|' || coalesce(%3, ''))) FROM %4 ORDER BY "
                       "%5 LIMIT 1), lower(hex(randomblob(16)))))")
            .arg(metaTable, quotedIdentifier(profilefields::name),
                 quotedIdentifier(profilefields::birth), profile,
                 quotedIdentifier(dayfields::keyColumn)),
    };
}

bool install(const QSqlDatabase &db, HybridClock *clock) {
    if (!registerClock(engineHandle(db), clock))
        return false;
    QSqlQuery query(db);
    for (const QString &statement : dayTriggers() + profileTriggers())
        if (!query.exec(statement))
            return false;
    clock->observe(latestStamp(db));
    return true;
}

qint64 latestStamp(const QSqlDatabase &db) {
    QStringList stamps;
    for (int field = 0; field < dayfields::BoxCount; ++field)
        stamps += stampColumn(field);
    QSqlQuery query(db);
    const QString select =
        QStringLiteral("SELECT max(coalesce((SELECT max(max(%1)) FROM %2), 0), coalesce((SELECT "
                       "max(stamp) FROM %3), 0), coalesce((SELECT max(stamp) FROM %4), 0))")
            .arg(stamps.join(u", "), dayTable, goneTable, profileTable);
    return query.exec(select) && query.next() ? query.value(0).toLongLong() : 0;
}

} // namespace syncschema

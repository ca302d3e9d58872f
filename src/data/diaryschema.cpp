#include "data/diaryschema.h"

#include "data/calendarsettings.h"
#include "data/dayfields.h"
#include "data/engineimage.h"
#include "data/sqlfunctions.h"
#include "data/syncschema.h"
#include "data/trainingcorrections.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

namespace diaryschema {
namespace {

QStringList profileColumns() {
    QStringList columns(profilefields::textColumns.begin(), profilefields::textColumns.end());
    return columns << profilefields::photo;
}

QStringList dayColumns() {
    QStringList columns;
    for (const dayfields::DayField &field : dayfields::fields)
        columns += field.column;
    return columns;
}

// The two tables, every column as the description gives it.
QStringList tableStatements() {
    const QString key =
        quotedIdentifier(dayfields::keyColumn) + QLatin1String(" INTEGER PRIMARY KEY");
    QStringList profile{key};
    for (const QString &column : profilefields::textColumns)
        profile += quotedIdentifier(column) + QLatin1String(" TEXT");
    profile += quotedIdentifier(profilefields::photo) + QLatin1String(" BLOB");
    profile += quotedIdentifier(profilefields::goalWeight) + QLatin1String(" TEXT");
    QStringList day{key};
    for (const dayfields::DayField &field : dayfields::fields) {
        QString definition = quotedIdentifier(field.column) + QLatin1String(" TEXT");
        if (field.collation)
            definition += QLatin1String(" COLLATE ") + QLatin1String(field.collation);
        day += definition;
    }
    const auto table = [](const QString &name, const QStringList &columns) {
        return QStringLiteral("CREATE TABLE %1 (%2)")
            .arg(quotedIdentifier(name), columns.join(u", "));
    };
    return {table(profilefields::tableName, profile), table(dayfields::tableName, day)};
}

// Every order of the menu has an index on the very expression it sorts by, so that a sort, and
// the first day shown again after a save, read the first days in order instead of sorting the
// whole diary. Indexes already there are kept.
QStringList indexStatements() {
    QStringList statements;
    for (int order = 0; order < dayfields::OrderCount; ++order)
        statements += QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                          .arg(quotedIdentifier(dayfields::orderKeys[order].indexName),
                               quotedIdentifier(dayfields::tableName),
                               dayfields::sortExpression(dayfields::Order(order)));
    return statements;
}

// Version 5 keeps the goal weight in the profile; the column comes last, as a new table has it.
QString addGoalWeight() {
    return QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 TEXT")
        .arg(quotedIdentifier(profilefields::tableName),
             quotedIdentifier(profilefields::goalWeight));
}

// Version 3 indexed the pairs of girths on val() of the two texts joined; version 4 sorts them by
// the sum of their numbers, and those indexes are made anew.
QStringList dropOldPairIndexes() {
    QStringList statements;
    for (const dayfields::OrderKey &key : dayfields::orderKeys)
        if (key.second != dayfields::BoxCount)
            statements += QLatin1String("DROP INDEX IF EXISTS ") + quotedIdentifier(key.indexName);
    return statements;
}

bool hasColumns(const QSqlDatabase &db, const QString &table, const QStringList &columns) {
    const QSqlRecord record = db.record(table);
    if (record.indexOf(dayfields::keyColumn) < 0)
        return false;
    for (const QString &column : columns)
        if (record.indexOf(column) < 0)
            return false;
    return true;
}

QString setVersion() {
    return QStringLiteral("PRAGMA user_version = %1").arg(version);
}

bool runInTransaction(QSqlDatabase db, const QStringList &statements, Failure *failure) {
    if (!db.transaction()) {
        *failure = Failure::said(db.lastError().text());
        return false;
    }
    QSqlQuery query(db);
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            *failure = Failure::said(query.lastError().text());
            query.finish();
            db.rollback();
            return false;
        }
    }
    query.finish();
    if (!db.commit()) {
        *failure = Failure::said(db.lastError().text());
        db.rollback();
        return false;
    }
    return true;
}

// The image as it was goes aside first, to be set aside sealed beside the diary, so that nothing
// is lost whatever happens. The whole migration is one transaction in memory; the file on disk is
// replaced only when the migrated diary is written sealed.
bool migrate(const QSqlDatabase &db, Migration *migration, Failure *failure) {
    std::size_t size = 0;
    const unsigned char *image = engineimage::view(db, &size);
    if (!image)
        return false;
    migration->before = QByteArray(reinterpret_cast<const char *>(image), qsizetype(size));
    QStringList statements = dropOldPairIndexes() + indexStatements();
    if (migration->from < 5)
        statements += addGoalWeight();
    if (migration->from < 6)
        statements += CalendarSettings::tableStatements();
    if (migration->from < 7)
        statements += TrainingCorrections::tableStatements();
    if (migration->from < 8)
        statements += syncschema::migrationStatements();
    return runInTransaction(db, statements << setVersion(), failure);
}

// The engine's quick check of a diary read from a file.
DiaryStatus quickCheck(QSqlQuery &query, Failure *failure) {
    if (!query.exec(QStringLiteral("PRAGMA quick_check"))) {
        *failure = Failure::said(query.lastError().text());
        const QString code = query.lastError().nativeErrorCode();
        return code == QLatin1String("26") ? DiaryStatus::NotADatabase : DiaryStatus::Damaged;
    }
    if (!query.next() || query.value(0).toString() != QLatin1String("ok")) {
        *failure = Failure::said(query.value(0).toString());
        return DiaryStatus::Damaged;
    }
    query.finish();
    return DiaryStatus::Ready;
}

} // namespace

DiaryStatus check(const QSqlDatabase &db, bool fresh, Migration *migration, Failure *failure) {
    QSqlQuery query(db);
    if (!fresh)
        if (const DiaryStatus checked = quickCheck(query, failure); checked != DiaryStatus::Ready)
            return checked;
    // The rollback journal and the engine's scratch tables stay in memory: nothing of the diary
    // reaches the disk but the sealed file.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = MEMORY")) ||
        !query.exec(QStringLiteral("PRAGMA temp_store = MEMORY")) ||
        !query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        *failure = Failure::said(query.lastError().text());
        return DiaryStatus::CannotOpen;
    }
    const int found = query.value(0).toInt();
    query.finish();
    if (found > version)
        return DiaryStatus::NewerVersion;
    if (found == 0) {
        if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_schema")) || !query.next())
            return DiaryStatus::CannotOpen;
        const bool empty = query.value(0).toInt() == 0;
        query.finish();
        if (!empty)
            return DiaryStatus::WrongSchema;
        if (!runInTransaction(db,
                              tableStatements() + indexStatements() +
                                  CalendarSettings::tableStatements() +
                                  TrainingCorrections::tableStatements() +
                                  syncschema::migrationStatements() + QStringList{setVersion()},
                              failure))
            return DiaryStatus::CannotCreate;
    }
    // Every table and column the program reaches must be there, before anything is migrated.
    if (!hasColumns(db, profilefields::tableName, profileColumns()) ||
        !hasColumns(db, dayfields::tableName, dayColumns()))
        return DiaryStatus::WrongSchema;
    if (found > 0 && found < version) {
        migration->from = found;
        if (!migrate(db, migration, failure))
            return DiaryStatus::MigrationFailed;
    }
    return DiaryStatus::Ready;
}

} // namespace diaryschema

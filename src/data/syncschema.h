#pragma once

#include <QString>
#include <QStringList>

class HybridClock;
class QSqlDatabase;

// What two computers need to merge one diary, kept in tables beside the day table, whose columns
// stay as they are: each day's identity and, per field, the stamp of its last change, the
// computer that made it and the stamp of the value it replaced (sync_day); the days deleted
// (sync_gone); the profile's fields (sync_profile); the values that lost a merge (sync_conflict);
// the diary's own identity (sync_meta). Temporary triggers of the diary's connection stamp every
// change with the diary's clock; nothing of them is stored.
namespace syncschema {

inline const QString dayTable = QStringLiteral("sync_day");
inline const QString goneTable = QStringLiteral("sync_gone");
inline const QString profileTable = QStringLiteral("sync_profile");
inline const QString conflictTable = QStringLiteral("sync_conflict");
inline const QString metaTable = QStringLiteral("sync_meta");

// The tables, and the identities of the days a diary already holds: a day of an older diary is
// known by its key and date, and the diary by its owner's name and birth date, so that the same
// older diary brought up to date on two computers gives the same identities. A new day's identity
// is 128 random bits.
QStringList migrationStatements();

// Registers the clock's functions on the diary's connection and makes the triggers that stamp
// every change of a day or of the profile; false when the engine refuses. The clock must outlive
// the connection; it is set to the newest stamp the diary holds.
bool install(const QSqlDatabase &db, HybridClock *clock);

// The newest stamp of a diary; 0 when it holds none.
qint64 latestStamp(const QSqlDatabase &db);

// The day table's stamp columns of a field: "s<n>", "n<n>", "p<n>".
QString stampColumn(int field);
QString nodeColumn(int field);
QString previousColumn(int field);

} // namespace syncschema

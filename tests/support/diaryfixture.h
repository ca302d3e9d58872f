#pragma once

#include "data/dayfields.h"
#include "data/diarydatabase.h"
#include "data/profilestore.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <initializer_list>
#include <utility>

namespace fixture {

// A day whose named boxes hold the given texts and every other box an empty text.
dayfields::DayTexts day(std::initializer_list<std::pair<dayfields::Box, QString>> values);

// Stores days straight into the day table, in the given order; false on any failure.
bool insertDays(const QSqlDatabase &db, const QList<dayfields::DayTexts> &days);

// The texts of one column over the rows of a query, in the query's order.
QStringList columnInOrder(const QSqlDatabase &db, const QString &select, const QString &column);

// The whole file, to prove that a refused file was not touched.
QByteArray fileBytes(const QString &path);
// Changes a byte of a file near its end, where a sealed diary's last chunk lies; false on failure.
bool damage(const QString &path);

// Turns a diary of the current schema into one of an older schema version: version 1 has the
// tables alone, version 2 adds the date index, version 3 every order's index with the pairs of
// girths on val() of the joined texts, version 4 the indexes of today without the goal weight,
// version 5 without the calendar's tables, version 6 without the training corrections, version
// 7 without the tables that merge two computers' diaries.
// False on failure.
bool makeOlderVersion(const QSqlDatabase &db, int version);

// Drops the connection's triggers that stamp changes, so that columns can be dropped under them.
bool dropStampTriggers(const QSqlDatabase &db);

// The names of the indexes of a diary, sorted.
QStringList indexNames(const QSqlDatabase &db);

// Makes a file or folder unwritable even for root (chattr +i there, file modes otherwise), and
// writable again; false when this machine cannot do it.
bool setWritable(const QString &path, bool writable);

// The profile that addProfile() stores; its password is "secreto1".
inline const StoredProfile profile{QStringLiteral("Zorvend"), QStringLiteral("20/05/1990"),
                                   QStringLiteral("180"), QStringLiteral("01/01/2000")};
inline const QString password = QStringLiteral("secreto1");

// Writes the diary open on db as a plain, unsealed file, as earlier versions kept it.
bool writePlain(const QSqlDatabase &db, const QString &path);

// Opens a diary file as the login does, with the password given; the first status not Ready.
DiaryDatabase::Status openWith(DiaryDatabase &database, const QString &path,
                               const QString &with = password);

// A new diary in a temporary folder of its own, open in memory; the file is written when it is
// first reopened.
class TempDiary {
public:
    TempDiary();
    QString folder() const { return m_dir.path(); }
    QString path() const { return m_path; }
    QSqlDatabase db() const { return m_database.connection(); }
    DiaryDatabase &database() { return m_database; }
    ProfileStore &profiles() { return m_profiles; }

    bool addProfile();
    bool addDays(const QList<dayfields::DayTexts> &days) { return insertDays(db(), days); }
    // Seals the diary with the fixture's password, or writes it when sealed, and closes it.
    bool close();
    // Closes the diary and opens it again with the password.
    DiaryDatabase::Status reopen(const QString &with = password) {
        return close() ? openWith(m_database, m_path, with) : DiaryDatabase::Status::CannotWrite;
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    DiaryDatabase m_database;
    ProfileStore m_profiles{m_database};
};

} // namespace fixture

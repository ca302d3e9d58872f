#pragma once

#include "dayfields.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
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

// Turns a diary of the current schema into one of an older schema version: version 1 has the
// tables alone, version 2 adds the date index. False on failure.
bool makeOlderVersion(const QSqlDatabase &db, int version);

// The names of the indexes of a diary, sorted.
QStringList indexNames(const QSqlDatabase &db);

// Makes a file or folder unwritable even for root (chattr +i there, file modes otherwise), and
// writable again; false when this machine cannot do it.
bool setWritable(const QString &path, bool writable);

} // namespace fixture

#pragma once

#include "data/mergerules.h"

#include <QString>
#include <functional>

class QSqlDatabase;

// The merge's sides read from a diary's connection, and its outcome written into one: the day
// table and the tables of syncschema.h, with the stamps the merge brings (the connection's clock
// must be paused, and the transaction is the caller's).
namespace syncsides {

// Which days' values a read brings: every day's key, identity, stamps and date are read, and the
// other values of the days this picks (of every day when it is empty). Values are most of the
// time, and a merge needs only those of the days whose stamps differ.
using Wanted = std::function<bool(const mergerules::Day &)>;

// Reads every day with its stamps, the days deleted, the profile and the conflicts kept; false,
// with the engine's words, when it refuses.
bool read(const QSqlDatabase &db, mergerules::Side *side, QString *error,
          const Wanted &wanted = {});
// Reads the values of the days of *side, read before without them, that `wanted` picks.
bool readValues(const QSqlDatabase &db, mergerules::Side *side, const Wanted &wanted,
                QString *error);

// Brings a side read without values up to the outcome written over it: the days written read
// again, the removed ones gone, the other tables read again. False, with the engine's words, when
// the engine refuses; the side is then to be read again.
bool follow(const QSqlDatabase &db, const mergerules::Outcome &outcome, mergerules::Side *side,
            QString *error);

// Writes the outcome over the side it was merged from; false, with the engine's words, when the
// engine refuses, and then the caller rolls back.
bool apply(const QSqlDatabase &db, const mergerules::Outcome &outcome, QString *error);

// The profile columns that are merged: the texts, the photo and the goal weight.
QStringList profileColumns();

} // namespace syncsides

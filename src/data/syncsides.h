#pragma once

#include "data/mergerules.h"

#include <QString>

class QSqlDatabase;

// The merge's sides read from a diary's connection, and its outcome written into one: the day
// table and the tables of syncschema.h, with the stamps the merge brings (the connection's clock
// must be paused, and the transaction is the caller's).
namespace syncsides {

// Reads every day with its stamps, the days deleted, the profile and the conflicts kept; false,
// with the engine's words, when it refuses.
bool read(const QSqlDatabase &db, mergerules::Side *side, QString *error);

// Writes the outcome over the side it was merged from; false, with the engine's words, when the
// engine refuses, and then the caller rolls back.
bool apply(const QSqlDatabase &db, const mergerules::Outcome &outcome, QString *error);

// The profile columns that are merged: the texts, the photo and the goal weight.
QStringList profileColumns();

} // namespace syncsides

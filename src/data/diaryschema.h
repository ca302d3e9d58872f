#pragma once

#include "data/diarystatus.h"
#include "data/failure.h"

#include <QByteArray>

class QSqlDatabase;

// The diary's tables, as the description of its fields gives them (dayfields.h): made for a new
// diary, checked for every other, and brought up to date from an older version.
namespace diaryschema {

inline constexpr int version = 8;

// An older diary brought up to date in memory: the version it had, and its image as it was, to be
// set aside sealed beside it (sealedcopies.h) before the migrated diary replaces the file.
struct Migration {
    int from = 0; // 0 for none
    QByteArray before;
};

// Checks the diary open on db as the program reaches it: the engine's quick check (but for a new
// diary, `fresh`), the version, and every table and column. The rollback journal and the
// engine's scratch tables stay in memory. An empty diary is given its tables; an older one is
// brought up to date in one transaction, after its image as it was is kept in *migration (whose
// `from` is set even when the migration then fails). The engine's words, when it gave any, go to
// *failure.
DiaryStatus check(const QSqlDatabase &db, bool fresh, Migration *migration, Failure *failure);

} // namespace diaryschema

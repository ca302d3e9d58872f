#pragma once

#include "data/diarystatus.h"
#include "data/diarysync.h"

#include <QList>
#include <QString>
#include <QStringList>

class DiaryDatabase;

// The copies that sync tools set beside the diary when both computers changed it between two
// syncs, found by the names each tool gives them:
//   Syncthing  "<name>.sync-conflict-<yyyyMMdd>-<HHmmss>-<device>.db"
//   Nextcloud  "<name> (conflicted copy [<user> ]<yyyy-MM-dd> <HHmmss>).db"
//   Dropbox    "<name> (<someone>'s conflicted copy <yyyy-MM-dd>).db"
// Merged copies are moved into the folder of the backups, never deleted.
namespace conflictcopies {

// Whether `candidate` is a conflict copy of the diary named `diaryName` (both file names).
bool isCopyOf(const QString &diaryName, const QString &candidate);
// The conflict copies beside the diary, by name.
QStringList find(const QString &diaryPath);

struct Refused {
    QString path;
    DiaryStatus status;
};

struct Merged {
    QStringList merged;     // merged and moved into the backups' folder
    QList<Refused> refused; // left where they were
    diarysync::Report report;
    bool written = false; // the merged diary was written and checked
};

// Merges every copy into the diary in one step, writes the merged diary checked whole, and only
// then moves each merged copy into the backups' folder. A copy that is damaged, of another diary,
// of another password not given or of a newer version is refused and stays.
Merged mergeAll(DiaryDatabase &database, const QStringList &copies);

} // namespace conflictcopies

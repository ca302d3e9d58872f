#pragma once

#include "data/failure.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class DiaryDatabase;

// The diary's backups: sealed copies in the folder "Copias" beside it, each verified before it
// counts, named after the moment they were made and why. Those made at the end of a run are
// rotated: the newest of each of the last 7 days, 4 weeks and 12 months that have one are kept,
// and the others go once a newer backup has been verified. Those made by hand, before an import
// or before a restore are kept whole for 30 days first.
namespace backups {

// Why a backup was made; its name tells it.
enum class Kind {
    AtExit,        // at the end of a run that changed the diary: "Copia 2026-12-06 223005.db"
    ByHand,        // "Copia De Seguridad Ahora": "Copia 2026-12-06 223005 A Mano.db"
    BeforeImport,  // before a CSV import: "Copia 2026-12-06 223005 Antes De Importar.db"
    BeforeRestore, // before a restore or an undo: "Copia 2026-12-06 223005 Antes De Restaurar.db"
};
// How long a backup not made at exit is kept whatever the rotation says.
inline constexpr int keptDays = 30;

// "<folder of the diary>/Copias".
QString folderOf(const QString &diaryPath);
// "Copia 2026-12-06 223005 A Mano.db", in local time.
QString fileNameFor(const QDateTime &made, Kind kind);
// The moment a backup's name tells; none for any other name.
std::optional<QDateTime> madeOf(const QString &fileName);
// The kind a backup's name tells (a name without one is of a backup made at exit); none for any
// other name.
std::optional<Kind> kindOf(const QString &fileName);

struct Backup {
    QString path;
    QDateTime made;
    Kind kind = Kind::AtExit;
    qint64 size = 0;
};
// The backups in a folder, newest first.
std::vector<Backup> list(const QString &folder);

// Which of the backups, newest first, are kept at `now`: those whose paths are `needed` (the one
// the undo of the last import restores, one about to be restored), those not made at exit for
// their first 30 days, and of the others the newest of each of the last 7 days, 4 weeks and 12
// months that have one.
std::vector<bool> kept(const std::vector<Backup> &newestFirst, const QDateTime &now,
                       const QStringList &needed = {});

// Makes a verified backup of the diary at `now` in its folder, then removes the backups no longer
// kept, but for the one the undo of the last import needs and `spared` (a backup about to be
// restored). False, with the reason in *failure, when the backup cannot be made; nothing is
// removed then. The path of the backup goes to *made when asked for.
bool makeBackup(DiaryDatabase &database, const QDateTime &now, Kind kind, Failure *failure,
                const QString &spared = {}, QString *made = nullptr);

// "07/12/2026 06:29:12".
QString madeText(const QDateTime &made);

// Where a diary that cannot be opened is set aside, beside it and never deleted:
// "<diary>.dañado-20261207-062912", a name no file has yet.
QString setAsidePath(const QString &diaryPath, const QDateTime &now);

// The backup made before the last import, which "Deshacer Última Importación" restores; kept
// by name in the folder of the backups.
void noteBeforeImport(const QString &diaryPath, const QString &backupPath);
std::optional<QString> beforeLastImport(const QString &diaryPath);

// An automatic backup that failed is told at the next start: the reason, as the user reads it, is
// kept in the folder of the backups until then. takeFailure() gives it once and forgets it.
void noteFailure(const QString &diaryPath, const QString &reason);
std::optional<QString> takeFailure(const QString &diaryPath);

} // namespace backups

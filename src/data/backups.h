#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

class DiaryDatabase;

// The diary's backups: sealed copies in the folder "Copias" beside it, each verified before it
// counts, named after the moment they were made, and rotated: the newest of each of the last 7
// days, 4 weeks and 12 months that have one are kept, and the others go once a newer backup has
// been verified.
namespace backups {

// "<folder of the diary>/Copias".
QString folderOf(const QString &diaryPath);
// "Copia 2026-12-06 223005.db", in local time.
QString fileNameFor(const QDateTime &made);
// The moment a backup's name tells; none for any other name.
std::optional<QDateTime> madeOf(const QString &fileName);

struct Backup {
    QString path;
    QDateTime made;
    qint64 size = 0;
};
// The backups in a folder, newest first.
std::vector<Backup> list(const QString &folder);

// Which of the backups made at these moments, newest first, the rotation keeps.
std::vector<bool> kept(const std::vector<QDateTime> &newestFirst);

// Makes a verified backup of the diary at `now` in its folder, then removes the backups the
// rotation no longer keeps, but for `spared` (a backup about to be restored). False, with the
// reason in *error, when the backup cannot be made; nothing is removed then.
// The path of the backup goes to *made when asked for.
bool makeBackup(DiaryDatabase &database, const QDateTime &now, QString *error,
                const QString &spared = {}, QString *made = nullptr);

// The state the diary's menu shows: "Última copia: 06/12/2026 22:30 (hace 2 días)", or
// "Sin copias todavía".
QString stateText(const std::optional<QDateTime> &last, const QDateTime &now);

// The backup made before the last import, which "Deshacer Última Importación" restores; kept
// by name in the folder of the backups.
void noteBeforeImport(const QString &diaryPath, const QString &backupPath);
std::optional<QString> beforeLastImport(const QString &diaryPath);

// An automatic backup that failed is told at the next start: the reason is kept in the folder of
// the backups until then. takeFailure() gives it once and forgets it.
void noteFailure(const QString &diaryPath, const QString &reason);
std::optional<QString> takeFailure(const QString &diaryPath);

} // namespace backups

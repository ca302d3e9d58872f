#pragma once

#include "data/backups.h"
#include "data/diarydatabase.h"
#include "data/failure.h"

#include <QDateTime>
#include <QString>
#include <optional>

// What the user is told about the diary, its file and its backups, in Spanish: the data layer
// gives statuses and facts, and these put them into words.
namespace messages {

// Why something failed: a reason of the program's own for a full disk, a read-only disk or
// folder, a missing folder and its own checks; the system's or the engine's words otherwise.
// Empty for no failure.
QString reason(const Failure &failure);

// What went wrong, for a status that an open, a login, a seal or a restore of the diary
// returned, with its last failure; empty for Ready.
QString openFailure(const DiaryDatabase &database, DiaryDatabase::Status status);

// A save of the diary could not reach the disk (its writeFailed()).
QString saveFailure(const DiaryDatabase &database);

// Another computer's diary could not be merged: the file stays as it is.
QString mergeFailure(const DiaryDatabase &database, DiaryDatabase::Status status);

// The question at the end when the latest changes could not be written.
QString unwrittenQuestion();

// The state the diary's menu shows: "Última copia: 06/12/2026 22:30 (hace 2 días)", or
// "Sin copias todavía".
QString backupState(const std::optional<QDateTime> &last, const QDateTime &now);

// "Al Salir", "A Mano", "Antes De Importar", "Antes De Restaurar".
QString backupKind(backups::Kind kind);

// A line of the list of backups: "07/12/2026 06:29:12 · 96,17 KiB · 293 Días · A Mano", with
// what is known of its contents ("293 Días", "Dañada"), left out when empty.
QString backupLine(const backups::Backup &backup, const QString &contents);

} // namespace messages

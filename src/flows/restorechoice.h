#pragma once

#include "data/backups.h"
#include "data/diarydatabase.h"

#include <optional>
#include <vector>

class Dialogs;
class QWidget;

// Choosing a backup to restore, as "Restaurar Copia...", "Deshacer Última Importación" and the
// start of a diary that cannot be opened all do it: a list of the backups, each opened once, and
// the chosen one opened and checked once more before it is used, with the password it was made
// with when it needs one. Every box goes through the dialogs given, parented to `parent`.
namespace restorechoice {

// A backup in the list and what opening it with the key of today found (its header alone when
// no diary is open).
struct Listed {
    backups::Backup backup;
    DiaryDatabase::CopyInfo info;
};

// The backups given, each opened once, in a list to choose from: the one chosen, or none when
// the list is cancelled. `needsPassword` tells a backup that asks for a password of its own.
std::optional<Listed> choose(DiaryDatabase &database, Dialogs &dialogs, QWidget *parent,
                             const std::vector<backups::Backup> &found, const QString &title,
                             const QString &needsPassword);

// The backup at path opened and checked for a restore. `known` is what was found of it already:
// Ready opens it with the key of today, WrongPassword asks first for its own password under
// `prompt`; any other is told at once. A backup that cannot be restored is told, and comes back
// with the reason; none comes back when the password box is cancelled.
std::optional<DiaryDatabase::CopyImage> open(DiaryDatabase &database, Dialogs &dialogs,
                                             QWidget *parent, const QString &title,
                                             const QString &path, DiaryDatabase::Status known,
                                             const QString &prompt);

} // namespace restorechoice

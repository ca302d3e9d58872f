#pragma once

#include "data/diarydatabase.h"

#include <QString>
#include <memory>

class Clock;
class Dialogs;
class QWidget;

// The copies of the diary, from the menu "Diario": a backup now, a copy where the user chooses,
// the choice of a backup to restore or of the import to undo, and the plain copy. A restore or an
// undo ends with the checked copy and the diary of now backed up; putting the copy in the diary's
// place is the application's, which closes and opens the windows around it.
class CopiesFlow {
public:
    CopiesFlow(DiaryDatabase &database, Dialogs &dialogs, const Clock &clock);

    using Restore = std::shared_ptr<DiaryDatabase::CopyImage>;

    // The menu's first line: "Última copia: 06/12/2026 22:30 (hace 2 días)" or "Sin copias
    // todavía".
    QString stateLine() const;
    // "Copia De Seguridad Ahora": a verified backup among the others, at once.
    void backUpNow(QWidget *parent);
    // "Guardar Copia En...": a verified backup in a file the user chooses.
    void saveCopyTo(QWidget *parent);
    // "Restaurar Copia...": a backup chosen from the list and checked; none when the user stopped
    // or the diary of now could not be backed up first (the user has been told).
    Restore chooseRestore(QWidget *parent);
    // "Deshacer Última Importación": the backup made before the last import, checked.
    Restore chooseUndoImport(QWidget *parent);
    // "Exportar Copia Sin Cifrar...": a plain SQLite copy, after a warning.
    void exportPlainCopy(QWidget *parent);

private:
    // The question, then the backup of now that comes before every restore: the copy to restore,
    // or none.
    Restore confirmed(QWidget *parent, DiaryDatabase::CopyImage copy, const QString &title,
                      const QString &question, const QString &spared, const QString &refused);

    DiaryDatabase &m_database;
    Dialogs &m_dialogs;
    const Clock &m_clock;
};

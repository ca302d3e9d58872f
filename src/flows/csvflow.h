#pragma once

#include "data/dayimport.h"
#include "report/csvimport.h"

#include <QSet>
#include <functional>
#include <optional>

class Clock;
class DayStore;
class Dialogs;
class DiaryDatabase;
class QIODevice;
class QWidget;

// The days in and out of CSV files, from the menu "Diario": the export in either form after a
// word that the file is not encrypted, and the imports (the diary's own CSV, and the workouts of
// other apps) with their preview, the choice for the dates already stored, a backup and one
// transaction.
class CsvFlow {
public:
    CsvFlow(DiaryDatabase &database, DayStore &days, Dialogs &dialogs, const Clock &clock);

    // "Exportar CSV...".
    void exportCsv(QWidget *parent);
    // "Importar CSV...": true when days were stored.
    bool importCsv(QWidget *parent);
    // "Importar Entrenamientos...": the workouts of Strong, Hevy or FitNotes written into "Que Has
    // Hecho" and nowhere else; true when days were stored.
    bool importWorkouts(QWidget *parent);

private:
    using Reading = std::function<void(QIODevice &file, const csvimport::Progress &progress)>;

    // Whether an import may begin: not while a day is being added (the user has been told).
    bool mayImport(QWidget *parent, const QString &title);
    // The file chosen, given to `reading` behind a progress box, which fills `read`; false when
    // the user stopped or the file cannot be read (the user has been told).
    bool readChosen(QWidget *parent, const QString &title, const Reading &reading,
                    const csvimport::Read &read);
    // The dates of the stored days, or of those whose box `withText` holds a text.
    QSet<qint64> storedDays(std::optional<dayfields::Box> withText = {}) const;
    // The preview, its rejected rows and the question; the choice, or none when cancelled.
    std::optional<int> askChoice(QWidget *parent, const QString &title, const QString &preview,
                                 const csvimport::Read &read, const QString &question,
                                 const QStringList &choices);
    // After a backup, the days stored in one transaction and what was done told by `outcome`.
    bool storeDays(QWidget *parent, const QString &title, const csvimport::Read &read,
                   dayimport::Existing existing, dayimport::Written written,
                   const std::function<QStringList(const dayimport::Applied &)> &outcome);

    DiaryDatabase &m_database;
    DayStore &m_days;
    Dialogs &m_dialogs;
    const Clock &m_clock;
};

#pragma once

#include "data/dayimport.h"
#include "report/csvimport.h"

#include <optional>

class Clock;
class DayStore;
class Dialogs;
class DiaryDatabase;
class QWidget;

// The days in and out of CSV files, from the menu "Diario": the export in either form after a
// word that the file is not encrypted, and the import with its preview, the choice for the dates
// already stored, a backup and one transaction.
class CsvFlow {
public:
    CsvFlow(DiaryDatabase &database, DayStore &days, Dialogs &dialogs, const Clock &clock);

    // "Exportar CSV...".
    void exportCsv(QWidget *parent);
    // "Importar CSV...": true when days were stored.
    bool importCsv(QWidget *parent);

private:
    // The file chosen, read behind a progress box; none when the user stopped or the file cannot
    // be read (the user has been told).
    std::optional<csvimport::Read> readChosen(QWidget *parent, const QString &title);
    // The preview and the choice for the dates already stored; none when cancelled.
    std::optional<dayimport::Existing> askExisting(QWidget *parent, const QString &title,
                                                   const csvimport::Read &read);

    DiaryDatabase &m_database;
    DayStore &m_days;
    Dialogs &m_dialogs;
    const Clock &m_clock;
};

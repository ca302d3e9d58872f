#include "flows/csvflow.h"

#include "data/backups.h"
#include "data/clock.h"
#include "data/dates.h"
#include "data/daystore.h"
#include "data/diarydatabase.h"
#include "report/csvexport.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSet>
#include <QStandardPaths>

namespace {

// What the user is told once the days of a CSV file are stored.
QString importOutcome(const dayimport::Applied &applied, qint64 rejected) {
    return QStringLiteral("Importación Hecha: %1 Días Nuevos, %2 Reemplazados, %3 Rellenados, %4 "
                          "Saltados, %5 Sin Cambios Y %6 Filas Rechazadas. \"Deshacer "
                          "Última Importación\" Vuelve Al Diario De Antes.")
        .arg(applied.added)
        .arg(applied.replaced)
        .arg(applied.filled)
        .arg(applied.skipped)
        .arg(applied.unchanged)
        .arg(rejected);
}

const QString importCancelled = QStringLiteral("Importación Cancelada. No Se Ha Importado Nada.");

} // namespace

CsvFlow::CsvFlow(DiaryDatabase &database, DayStore &days, Dialogs &dialogs, const Clock &clock)
    : m_database(database)
    , m_days(days)
    , m_dialogs(dialogs)
    , m_clock(clock) {}

void CsvFlow::exportCsv(QWidget *parent) {
    const QString title = QStringLiteral("Exportar CSV");
    if (!m_dialogs.askYesNo(
            parent,
            QStringLiteral("El Archivo CSV No Está Cifrado: Cualquiera Que Lo Tenga "
                           "Puede Leer Todo Tu Diario. ¿Quieres Exportarlo?"),
            title))
        return;
    const QString spreadsheet = QStringLiteral("Hoja de cálculo (*.csv)");
    const QString standard = QStringLiteral("Estándar (*.csv)");
    QString chosenFilter;
    QString chosen = m_dialogs.saveFileName(
        parent, title,
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(QStringLiteral("Diario De Gimnasio.csv")),
        spreadsheet + QStringLiteral(";;") + standard, &chosenFilter);
    if (chosen.isEmpty())
        return;
    if (!chosen.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        chosen += QLatin1String(".csv");
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const csvexport::Written written = csvexport::writeFile(
        chosen,
        chosenFilter == standard ? csvexport::Preset::Standard : csvexport::Preset::Spreadsheet,
        m_days.storedDaysByDate());
    QGuiApplication::restoreOverrideCursor();
    m_dialogs.messageBox(
        parent,
        written.written
            ? QStringLiteral("Diario Exportado En:\n%1").arg(QDir::toNativeSeparators(chosen))
            : QStringLiteral("ERROR. No Se Ha Podido Exportar El Diario En:\n%1\n%2")
                  .arg(QDir::toNativeSeparators(chosen), messages::reason(written.failure)),
        title);
}

std::optional<csvimport::Read> CsvFlow::readChosen(QWidget *parent, const QString &title) {
    const QString chosen = m_dialogs.openFileName(
        parent, title, QStringLiteral("Archivos CSV (*.csv *.txt);;Todos Los Archivos (*)"));
    if (chosen.isEmpty())
        return std::nullopt;
    QFile file(chosen);
    // A CSV of a lifetime of days is a few megabytes; anything far larger is no diary.
    constexpr qint64 largest = 512LL * 1024 * 1024;
    if (!file.open(QIODevice::ReadOnly) || file.size() > largest) {
        m_dialogs.messageBox(parent,
                             QStringLiteral("ERROR. No Se Ha Podido Leer El Archivo:\n%1")
                                 .arg(QDir::toNativeSeparators(chosen)),
                             title);
        return std::nullopt;
    }
    csvimport::Read read;
    {
        const std::unique_ptr<ProgressBox> progress = m_dialogs.progressBox(
            parent, QStringLiteral("Leyendo El Archivo..."), title, file.size());
        read = csvimport::read(file, m_clock.now().date(),
                               [&](qint64 done, qint64) { return progress->advance(done); });
    }
    if (read.cancelled) {
        m_dialogs.messageBox(parent, importCancelled, title);
        return std::nullopt;
    }
    if (!read.error.isEmpty()) {
        m_dialogs.messageBox(parent, QStringLiteral("ERROR. ") + read.error, title);
        return std::nullopt;
    }
    return read;
}

std::optional<dayimport::Existing> CsvFlow::askExisting(QWidget *parent, const QString &title,
                                                        const csvimport::Read &read) {
    QSet<qint64> stored;
    m_days.storedDaysByDate().forEach([&](const dayfields::DayTexts &day) {
        if (const std::optional<QDate> date = dates::readDate(day[dayfields::Fh]))
            stored.insert(date->toJulianDay());
        return true;
    });
    const csvimport::Plan plan = csvimport::plan(read, stored);
    QString preview = QStringLiteral("Días Nuevos: %1\nDías Con Una Fecha Que Ya Está En El "
                                     "Diario: %2\nFilas Rechazadas: %3")
                          .arg(plan.newDays)
                          .arg(plan.existingDays)
                          .arg(read.rejectedCount);
    if (read.rejectedCount > 0)
        preview += u'\n' + csvimport::rejectedText(read, 30);
    const int choice = m_dialogs.chooseItem(
        parent, title, preview + QStringLiteral("\n\n¿Qué Hago Con Los Días Que Ya Están?"),
        {QStringLiteral("Saltarlos"), QStringLiteral("Reemplazarlos"),
         QStringLiteral("Rellenar Solo Sus Casillas Vacías")});
    if (choice < 0)
        return std::nullopt;
    return dayimport::Existing(choice);
}

bool CsvFlow::importCsv(QWidget *parent) {
    const QString title = QStringLiteral("Importar CSV");
    if (m_days.isPending()) {
        m_dialogs.messageBox(
            parent, QStringLiteral("Graba O Deja El Día Que Estás Añadiendo Antes De Importar."),
            title);
        return false;
    }
    const std::optional<csvimport::Read> read = readChosen(parent, title);
    if (!read)
        return false;
    const std::optional<dayimport::Existing> existing = askExisting(parent, title, *read);
    if (!existing)
        return false;
    Failure error;
    QString backup;
    if (!backups::makeBackup(m_database, m_clock.now(), backups::Kind::BeforeImport, &error, {},
                             &backup)) {
        m_dialogs.messageBox(parent,
                             QStringLiteral("ERROR. No Se Ha Podido Hacer La Copia De Seguridad, "
                                            "Así Que No Se Ha Importado Nada:\n%1")
                                 .arg(messages::reason(error)),
                             title);
        return false;
    }
    // The days are stored, the backup noted as the one to go back to and the diary written, or
    // nothing is.
    dayimport::Applied applied;
    {
        const std::unique_ptr<ProgressBox> progress = m_dialogs.progressBox(
            parent, QStringLiteral("Importando Los Días..."), title, qint64(read->dayCount()));
        applied = m_days.importDays(*read, *existing, backup,
                                    [&](qint64 done, qint64) { return progress->advance(done); });
    }
    m_dialogs.messageBox(parent,
                         applied.done        ? importOutcome(applied, read->rejectedCount)
                         : applied.cancelled ? importCancelled
                                             : QStringLiteral("ERROR. No Se Ha Importado "
                                                              "Nada:\n%1")
                                                   .arg(applied.error),
                         title);
    return applied.done;
}

#include "flows/csvflow.h"

#include "data/backups.h"
#include "data/clock.h"
#include "data/dates.h"
#include "data/daystore.h"
#include "data/diarydatabase.h"
#include "report/csvexport.h"
#include "report/workoutimport.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSet>
#include <QStandardPaths>

namespace {

// What the user is told once the days of a file are stored: the counts of what was done.
QString importOutcome(const QStringList &counts, qint64 rejected) {
    return QStringLiteral("Importación Hecha: %1 Y %2 Filas Rechazadas. \"Deshacer Última "
                          "Importación\" Vuelve Al Diario De Antes.")
        .arg(counts.join(QStringLiteral(", ")))
        .arg(rejected);
}

const QString importCancelled = QStringLiteral("Importación Cancelada. No Se Ha Importado Nada.");

// What the preview of workouts says of the file.
QString workoutPreview(const workoutimport::Read &read, const csvimport::Plan &plan) {
    return QStringLiteral("Archivo De %1: %2 Series\nDías Sin Texto En \"Que Has Hecho\": %3\n"
                          "Días Que Ya Tienen Texto: %4\nSeries De Calentamiento Sin Contar: "
                          "%5\nSeries Sin Repeticiones Sin Contar: %6\nNotas De Cardio: %7\n"
                          "Filas Rechazadas: %8")
        .arg(read.app)
        .arg(read.sets)
        .arg(plan.newDays)
        .arg(plan.existingDays)
        .arg(read.warmUps)
        .arg(read.withoutReps)
        .arg(read.cardio)
        .arg(read.rejectedCount);
}

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

bool CsvFlow::mayImport(QWidget *parent, const QString &title) {
    if (!m_days.isPending())
        return true;
    m_dialogs.messageBox(
        parent, QStringLiteral("Graba O Deja El Día Que Estás Añadiendo Antes De Importar."),
        title);
    return false;
}

bool CsvFlow::readChosen(QWidget *parent, const QString &title, const Reading &reading,
                         const csvimport::Read &read) {
    const QString chosen = m_dialogs.openFileName(
        parent, title, QStringLiteral("Archivos CSV (*.csv *.txt);;Todos Los Archivos (*)"));
    if (chosen.isEmpty())
        return false;
    QFile file(chosen);
    // A CSV of a lifetime of days is a few megabytes; anything far larger is no diary.
    constexpr qint64 largest = 512LL * 1024 * 1024;
    if (!file.open(QIODevice::ReadOnly) || file.size() > largest) {
        m_dialogs.messageBox(parent,
                             QStringLiteral("ERROR. No Se Ha Podido Leer El Archivo:\n%1")
                                 .arg(QDir::toNativeSeparators(chosen)),
                             title);
        return false;
    }
    {
        const std::unique_ptr<ProgressBox> progress = m_dialogs.progressBox(
            parent, QStringLiteral("Leyendo El Archivo..."), title, file.size());
        reading(file, [&](qint64 done, qint64) { return progress->advance(done); });
    }
    if (read.cancelled) {
        m_dialogs.messageBox(parent, importCancelled, title);
        return false;
    }
    if (!read.error.isEmpty()) {
        m_dialogs.messageBox(parent, QStringLiteral("ERROR. ") + read.error, title);
        return false;
    }
    return true;
}

QSet<qint64> CsvFlow::storedDays(std::optional<dayfields::Box> withText) const {
    QSet<qint64> stored;
    m_days.storedDaysByDate().forEach([&](const dayfields::DayTexts &day) {
        if (withText && day[*withText].isEmpty())
            return true;
        if (const std::optional<QDate> date = dates::readDate(day[dayfields::Fh]))
            stored.insert(date->toJulianDay());
        return true;
    });
    return stored;
}

std::optional<int> CsvFlow::askChoice(QWidget *parent, const QString &title, const QString &preview,
                                      const csvimport::Read &read, const QString &question,
                                      const QStringList &choices) {
    QString prompt = preview;
    if (read.rejectedCount > 0)
        prompt += u'\n' + csvimport::rejectedText(read, 30);
    prompt += QStringLiteral("\n\n") + question;
    const int choice = m_dialogs.chooseItem(parent, title, prompt, choices);
    if (choice < 0)
        return std::nullopt;
    return choice;
}

bool CsvFlow::storeDays(QWidget *parent, const QString &title, const csvimport::Read &read,
                        dayimport::Existing existing, dayimport::Written written,
                        const std::function<QStringList(const dayimport::Applied &)> &outcome) {
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
            parent, QStringLiteral("Importando Los Días..."), title, qint64(read.dayCount()));
        applied = m_days.importDays(
            read, existing, backup, [&](qint64 done, qint64) { return progress->advance(done); },
            written);
    }
    m_dialogs.messageBox(parent,
                         applied.done        ? importOutcome(outcome(applied), read.rejectedCount)
                         : applied.cancelled ? importCancelled
                                             : QStringLiteral("ERROR. No Se Ha Importado "
                                                              "Nada:\n%1")
                                                   .arg(applied.error),
                         title);
    return applied.done;
}

bool CsvFlow::importCsv(QWidget *parent) {
    const QString title = QStringLiteral("Importar CSV");
    const QDate today = m_clock.now().date();
    csvimport::Read read;
    const Reading reading = [&](QIODevice &file, const csvimport::Progress &progress) {
        read = csvimport::read(file, today, progress);
    };
    if (!mayImport(parent, title) || !readChosen(parent, title, reading, read))
        return false;
    const csvimport::Plan plan = csvimport::plan(read, storedDays());
    const QString preview =
        QStringLiteral("Días Nuevos: %1\nDías Con Una Fecha Que Ya Está En El Diario: %2\nFilas "
                       "Rechazadas: %3")
            .arg(plan.newDays)
            .arg(plan.existingDays)
            .arg(read.rejectedCount);
    const std::optional<int> choice = askChoice(
        parent, title, preview, read, QStringLiteral("¿Qué Hago Con Los Días Que Ya Están?"),
        {QStringLiteral("Saltarlos"), QStringLiteral("Reemplazarlos"),
         QStringLiteral("Rellenar Solo Sus Casillas Vacías")});
    const auto outcome = [](const dayimport::Applied &applied) {
        return QStringList{QStringLiteral("%1 Días Nuevos").arg(applied.added),
                           QStringLiteral("%1 Reemplazados").arg(applied.replaced),
                           QStringLiteral("%1 Rellenados").arg(applied.filled),
                           QStringLiteral("%1 Saltados").arg(applied.skipped),
                           QStringLiteral("%1 Sin Cambios").arg(applied.unchanged)};
    };
    return choice && storeDays(parent, title, read, dayimport::Existing(*choice), {}, outcome);
}

bool CsvFlow::importWorkouts(QWidget *parent) {
    const QString title = QStringLiteral("Importar Entrenamientos");
    workoutimport::Read read;
    const Reading reading = [&](QIODevice &file, const csvimport::Progress &progress) {
        read = workoutimport::read(file, progress);
    };
    if (!mayImport(parent, title) || !readChosen(parent, title, reading, read))
        return false;
    // Only "Que Has Hecho" is written; keeping a day's text still fills it when it is empty.
    using E = dayimport::Existing;
    const QList<E> ways = {E::FillEmpty, E::Append, E::Replace};
    const std::optional<int> choice = askChoice(
        parent, title, workoutPreview(read, csvimport::plan(read, storedDays(dayfields::Qhash))),
        read, QStringLiteral("¿Qué Hago Con Los Días Que Ya Tienen Texto?"),
        {QStringLiteral("Dejar Su Texto Como Está"),
         QStringLiteral("Añadir El Entrenamiento Después De Su Texto"),
         QStringLiteral("Reemplazar Su Texto Por El Entrenamiento")});
    const auto outcome = [](const dayimport::Applied &applied) {
        return QStringList{QStringLiteral("%1 Días Nuevos").arg(applied.added),
                           QStringLiteral("%1 Rellenados").arg(applied.filled),
                           QStringLiteral("%1 Con El Entrenamiento Añadido").arg(applied.appended),
                           QStringLiteral("%1 Reemplazados").arg(applied.replaced),
                           QStringLiteral("%1 Sin Cambios").arg(applied.unchanged)};
    };
    return choice &&
           storeDays(parent, title, read, ways.value(*choice), {dayfields::Qhash}, outcome);
}

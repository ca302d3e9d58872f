#pragma once

#include "data/dayfields.h"
#include "data/daywalk.h"
#include "data/failure.h"

#include <QByteArray>
#include <QString>
#include <vector>

class QIODevice;

// The values of the profile block, as the two windows show them.
struct ReportProfile {
    QString name;          // profile window `nombre`
    QString birthLong;     // profile window `Label20`
    QString gymStartLong;  // diary window `fco`
    QString height;        // profile window `alturacm`
    QString age;           // diary window `Label8`
    QString dayCount;      // diary window `Label33`, "12 Días"
    QString gymStartTyped; // profile window `fechacom`, the start date as typed
};

// What an export did: written, or the file that could not be saved. An empty list of days gives
// written == false with no failed file: nothing was to be written.
struct ExportOutcome {
    bool written = false;
    QString failedFile; // full path of the file that could not be written
    Failure failure;    // why: the system's error, or the days could not be read
};

// The two statistics reports. Days come in date order, dated days first (as the date-ordered
// record source gives them); an empty list writes nothing.
//
// Every file is written whole or not at all, for its owner's eyes alone: it is written under a
// hidden name beside it and only then takes the place of the file before it (a link there is
// replaced, never followed), so a failed export never leaves a half-written report and keeps the
// previous one. The single report is also forced to disk
// before it takes its place; the per-day files are not, one by one, as that would make the
// export of thousands of days many times slower. Folders are never created.
namespace statsexport {

// The single report, "Estadísticas.TxT" in folder: the profile block, then every day block
// followed by the running totals of litres and hours and their averages.
ExportOutcome writeSingleFile(const QString &folder, const ReportProfile &profile,
                              const DayWalk &days);
// One file per day in folder, named by dayFileName(); a later day with the same name replaces
// the file of an earlier one. Stops at the first file that cannot be saved; the files saved
// before it stay complete.
ExportOutcome writePerDayFiles(const QString &folder, const ReportProfile &profile,
                               const DayWalk &days);
// The same for days held in memory.
ExportOutcome writeSingleFile(const QString &folder, const ReportProfile &profile,
                              const std::vector<dayfields::DayTexts> &days);
ExportOutcome writePerDayFiles(const QString &folder, const ReportProfile &profile,
                               const std::vector<dayfields::DayTexts> &days);

inline const QString singleFileName = QStringLiteral("Estadísticas.TxT");
// The name of a day's own file ("sábado5dediciembrede2026.TxT"); see reportformat.h.
QString dayFileName(const dayfields::DayTexts &day);

// The bytes of the single report written to device in large chunks; false when the device takes
// fewer bytes than it is given (its errorString() says why). Writes nothing for no days.
// The walk failing part way is a failure as well.
bool writeSingleReport(QIODevice &device, const ReportProfile &profile, const DayWalk &days);
bool writeSingleReport(QIODevice &device, const ReportProfile &profile,
                       const std::vector<dayfields::DayTexts> &days);
// The profile block that heads every per-day file of these days.
QByteArray profileBlock(const ReportProfile &profile, const DayWalk::Summary &summary);
QByteArray profileBlock(const ReportProfile &profile, const std::vector<dayfields::DayTexts> &days);
// The bytes of one per-day file: the given profile block, then the day's block.
bool writeDayReport(QIODevice &device, const QByteArray &profileBlock,
                    const dayfields::DayTexts &day);

inline const QString singleFileDone =
    QStringLiteral("Estadísticas En TxT Guardadas En El Directorio De Trabajo Del Programa... ");
inline const QString perDayFilesDone = QStringLiteral(
    "Estadísticas En TxT Guardadas En El Directorio De Trabajo Del Programa En Varios Archivos, En "
    "Tantos Como Días Tengas Apuntados En El Diario De Gimnasio... ");
// The message that tells which file could not be saved; empty when no file failed.
QString cannotSaveMessage(const ExportOutcome &outcome);

} // namespace statsexport

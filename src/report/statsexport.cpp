#include "report/statsexport.h"

#include "data/privatefile.h"
#include "report/reportformat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

namespace statsexport {
namespace {

// The single report is handed to the device in pieces of about this size.
constexpr qsizetype chunkSize = qsizetype(1) << 20;

// Hands all bytes to the device, again after a partial write, so that a device that stops taking
// them says why; false when it takes no more.
bool writeAll(QIODevice &device, const QByteArray &bytes) {
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const qint64 written = device.write(data, left);
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

ExportOutcome failure(const QString &path, const Failure &why) {
    return ExportOutcome{false, path, why};
}

// Why an export stopped when the days themselves could not be read.
const Failure unreadable = Failure::of(Failure::Kind::DaysUnreadable);

ExportOutcome success() {
    return ExportOutcome{true, {}, {}};
}

// The bytes of one per-day file into scratch: the profile block, then the day's block.
void dayReportBytes(QByteArray &scratch, const QByteArray &profileBytes,
                    const dayfields::DayTexts &day) {
    scratch.resize(0);
    scratch.append(profileBytes);
    reportformat::appendDayBlock(scratch, day);
}

// Saves one file through write(device): written under a hidden name beside it (see
// privatefile.h), which takes the file's place only when every byte was taken, so a failure
// leaves the old file as it was and no half-written file behind. Only the single report waits for
// the disk to confirm it: for the per-day files that would make thousands of small files take a
// thousand times longer.
template <typename Write>
ExportOutcome saveFile(const QString &folder, const QString &name, bool toDisk, Write write) {
    const QString path = folder + u'/' + name;
    privatefile::NewFile file(path, folder + QStringLiteral("/.") + name + QStringLiteral(".part"));
    if (!file.create())
        return failure(path, file.failure());
    if (!write(file)) {
        // A device that refused says why; otherwise the days could not be read.
        const Failure reason =
            file.errorNumber() != 0 ? file.failure() : Failure::of(Failure::Kind::DaysUnreadable);
        file.cancel();
        return failure(path, reason);
    }
    if (!file.commit(toDisk ? privatefile::NewFile::Sync::ToDisk : privatefile::NewFile::Sync::No))
        return failure(path, file.failure());
    return success();
}

} // namespace

QString dayFileName(const dayfields::DayTexts &day) {
    return reportformat::dayFileName(day);
}

QByteArray profileBlock(const ReportProfile &profile, const DayWalk::Summary &summary) {
    QByteArray bytes;
    reportformat::appendProfileBlock(bytes, profile,
                                     reportformat::spanOf(profile, summary.lastDate));
    return bytes;
}

QByteArray profileBlock(const ReportProfile &profile,
                        const std::vector<dayfields::DayTexts> &days) {
    return profileBlock(profile, DayList(days).summary());
}

namespace {

bool writeSingleReport(QIODevice &device, const ReportProfile &profile, const DayWalk &days,
                       const DayWalk::Summary &summary) {
    if (summary.count == 0)
        return summary.complete;
    const double count = reportformat::countOf(profile.dayCount);
    QByteArray buffer;
    // Grows to about one chunk and is reused from then on; a short report stays small.
    reportformat::appendProfileBlock(buffer, profile,
                                     reportformat::spanOf(profile, summary.lastDate));
    double totalHours = 0;
    double totalLitres = 0;
    bool deviceTookAll = true;
    const bool walked = days.forEach([&](const dayfields::DayTexts &day) {
        reportformat::appendDayBlock(buffer, day);
        totalHours += reportformat::amountOf(day[dayfields::Hgim]);
        totalLitres += reportformat::amountOf(day[dayfields::Lagua]);
        reportformat::appendTotalsLines(buffer, totalHours, totalLitres, count);
        if (buffer.size() >= chunkSize) {
            deviceTookAll = writeAll(device, buffer);
            buffer.resize(0);
        }
        return deviceTookAll;
    });
    return walked && deviceTookAll && writeAll(device, buffer);
}

} // namespace

bool writeSingleReport(QIODevice &device, const ReportProfile &profile, const DayWalk &days) {
    return writeSingleReport(device, profile, days, days.summary());
}

bool writeSingleReport(QIODevice &device, const ReportProfile &profile,
                       const std::vector<dayfields::DayTexts> &days) {
    return writeSingleReport(device, profile, DayList(days));
}

bool writeDayReport(QIODevice &device, const QByteArray &profileBytes,
                    const dayfields::DayTexts &day) {
    QByteArray bytes;
    dayReportBytes(bytes, profileBytes, day);
    return writeAll(device, bytes);
}

ExportOutcome writeSingleFile(const QString &folder, const ReportProfile &profile,
                              const DayWalk &days) {
    const QString path = QDir(folder).filePath(singleFileName);
    const DayWalk::Summary summary = days.summary();
    if (!summary.complete)
        return failure(path, unreadable);
    if (summary.count == 0)
        return {};
    return saveFile(QDir(folder).path(), singleFileName, true, [&](QIODevice &file) {
        return writeSingleReport(file, profile, days, summary);
    });
}

ExportOutcome writePerDayFiles(const QString &folder, const ReportProfile &profile,
                               const DayWalk &days) {
    const QDir dir(folder);
    const DayWalk::Summary summary = days.summary();
    if (!summary.complete)
        return failure(dir.path(), unreadable);
    if (summary.count == 0)
        return {};
    const QByteArray profileBytes = profileBlock(profile, summary);
    const QString folderPath = dir.path();
    QByteArray scratch;
    scratch.reserve(64 * 1024);
    ExportOutcome outcome = success();
    const bool walked = days.forEach([&](const dayfields::DayTexts &day) {
        dayReportBytes(scratch, profileBytes, day);
        outcome = saveFile(folderPath, dayFileName(day), false,
                           [&](QIODevice &file) { return writeAll(file, scratch); });
        return outcome.written;
    });
    // The files written before a day that could not be read stay complete.
    return walked ? outcome : failure(dir.path(), unreadable);
}

ExportOutcome writeSingleFile(const QString &folder, const ReportProfile &profile,
                              const std::vector<dayfields::DayTexts> &days) {
    return writeSingleFile(folder, profile, DayList(days));
}

ExportOutcome writePerDayFiles(const QString &folder, const ReportProfile &profile,
                               const std::vector<dayfields::DayTexts> &days) {
    return writePerDayFiles(folder, profile, DayList(days));
}

QString cannotSaveMessage(const ExportOutcome &outcome) {
    if (outcome.failedFile.isEmpty())
        return {};
    return QStringLiteral("No Se Ha Podido Guardar El Archivo ") +
           QDir::toNativeSeparators(outcome.failedFile) +
           QStringLiteral(". Comprueba Que La Carpeta Existe, Que Se Puede Escribir En Ella Y Que "
                          "Hay Sitio En El Disco.");
}

} // namespace statsexport

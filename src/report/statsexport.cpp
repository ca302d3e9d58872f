#include "statsexport.h"

#include "reportformat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

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

ExportOutcome failure(const QString &path, const QString &reason) {
    return ExportOutcome{false, path, reason};
}

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

// Saves one file through write(device) with QSaveFile; nothing replaces the old file unless every
// byte was taken. The file is unbuffered so that each write reaches the disk at once and a refusal
// shows in its result: a refusal while QSaveFile flushes its own buffer in commit() would go
// unnoticed and put a truncated file in place of the old one.
template <typename Write> ExportOutcome saveFile(const QString &path, Write write) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(path, file.errorString());
    if (!write(file) || !file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(path, reason);
    }
    if (!file.commit())
        return failure(path, file.errorString());
    return success();
}

// Puts bytes in the file at path. They are written to a hidden file beside it first, which
// takes the file's place only when every byte was taken, so a failure leaves the old file as it
// was and no half-written file behind. Unlike QSaveFile it does not wait for the disk to confirm
// each file, which would make thousands of small files take a thousand times longer.
ExportOutcome replaceFile(const QString &path, const QByteArray &bytes) {
    const QFileInfo target(path);
    const QString partPath =
        target.dir().filePath(u'.' + target.fileName() + QStringLiteral(".part"));
    QFile part(partPath);
    const auto openMode = QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered;
    // A part left by an interrupted export is taken over.
    if (!part.open(openMode) && !(QFile::remove(partPath) && part.open(openMode)))
        return failure(path, part.errorString());
    bool complete = writeAll(part, bytes);
    QString reason = part.errorString();
    part.close();
    if (complete && part.error() != QFileDevice::NoError) {
        complete = false;
        reason = part.errorString();
    }
    if (!complete) {
        part.remove();
        return failure(path, reason);
    }
    if (std::rename(QFile::encodeName(partPath).constData(), QFile::encodeName(path).constData()) !=
        0) {
        reason = QString::fromLocal8Bit(std::strerror(errno));
        part.remove();
        return failure(path, reason);
    }
    return success();
}

} // namespace

QString dayFileName(const dayfields::DayTexts &day) {
    return reportformat::dayFileName(day);
}

QByteArray profileBlock(const ReportProfile &profile,
                        const std::vector<dayfields::DayTexts> &days) {
    QByteArray bytes;
    reportformat::appendProfileBlock(bytes, profile, reportformat::spanOf(profile, days));
    return bytes;
}

bool writeSingleReport(QIODevice &device, const ReportProfile &profile,
                       const std::vector<dayfields::DayTexts> &days) {
    if (days.empty())
        return true;
    const double count = reportformat::countOf(profile.dayCount);
    QByteArray buffer;
    buffer.reserve(chunkSize + chunkSize / 4);
    reportformat::appendProfileBlock(buffer, profile, reportformat::spanOf(profile, days));
    double totalHours = 0;
    double totalLitres = 0;
    for (const auto &day : days) {
        reportformat::appendDayBlock(buffer, day);
        totalHours += reportformat::amountOf(day[dayfields::Hgim]);
        totalLitres += reportformat::amountOf(day[dayfields::Lagua]);
        reportformat::appendTotalsLines(buffer, totalHours, totalLitres, count);
        if (buffer.size() >= chunkSize) {
            if (!writeAll(device, buffer))
                return false;
            buffer.resize(0);
        }
    }
    return writeAll(device, buffer);
}

bool writeDayReport(QIODevice &device, const QByteArray &profileBytes,
                    const dayfields::DayTexts &day) {
    QByteArray bytes;
    dayReportBytes(bytes, profileBytes, day);
    return writeAll(device, bytes);
}

ExportOutcome writeSingleFile(const QString &folder, const ReportProfile &profile,
                              const std::vector<dayfields::DayTexts> &days) {
    if (days.empty())
        return {};
    return saveFile(QDir(folder).filePath(singleFileName),
                    [&](QIODevice &file) { return writeSingleReport(file, profile, days); });
}

ExportOutcome writePerDayFiles(const QString &folder, const ReportProfile &profile,
                               const std::vector<dayfields::DayTexts> &days) {
    if (days.empty())
        return {};
    const QDir dir(folder);
    const QByteArray profileBytes = profileBlock(profile, days);
    QByteArray scratch;
    scratch.reserve(64 * 1024);
    for (const auto &day : days) {
        dayReportBytes(scratch, profileBytes, day);
        const ExportOutcome outcome = replaceFile(dir.filePath(dayFileName(day)), scratch);
        if (!outcome.written)
            return outcome;
    }
    return success();
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

#include "backups.h"

#include "atomicfile.h"
#include "dates.h"
#include "diarydatabase.h"
#include "privatefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace backups {
namespace {

const QString prefix = QStringLiteral("Copia ");
const QString suffix = QStringLiteral(".db");
const QString nameFormat = QStringLiteral("yyyy-MM-dd HHmmss");
const QString failureName = QStringLiteral("Copia Fallida.txt");
const QString importName = QStringLiteral("Antes De La Última Importación.txt");

// The newest backup of each of the last `count` periods that have one.
void keepNewestOf(const std::vector<QDateTime> &newestFirst, int count,
                  qint64 (*period)(const QDate &), std::vector<bool> &keep) {
    QSet<qint64> seen;
    for (std::size_t i = 0; i < newestFirst.size() && seen.size() < count; ++i) {
        const qint64 which = period(newestFirst[i].date());
        if (!seen.contains(which)) {
            seen.insert(which);
            keep[i] = true;
        }
    }
}

} // namespace

QString folderOf(const QString &diaryPath) {
    return QFileInfo(diaryPath).absoluteDir().filePath(QStringLiteral("Copias"));
}

QString fileNameFor(const QDateTime &made) {
    return prefix + made.toString(nameFormat) + suffix;
}

std::optional<QDateTime> madeOf(const QString &fileName) {
    if (!fileName.startsWith(prefix) || !fileName.endsWith(suffix))
        return std::nullopt;
    const QDateTime made = QDateTime::fromString(
        fileName.mid(prefix.size(), fileName.size() - prefix.size() - suffix.size()), nameFormat);
    return made.isValid() ? std::optional(made) : std::nullopt;
}

std::vector<Backup> list(const QString &folder) {
    std::vector<Backup> found;
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Files))
        if (const std::optional<QDateTime> made = madeOf(info.fileName()))
            found.push_back({info.absoluteFilePath(), *made, info.size()});
    std::sort(found.begin(), found.end(),
              [](const Backup &a, const Backup &b) { return a.made > b.made; });
    return found;
}

std::vector<bool> kept(const std::vector<QDateTime> &newestFirst) {
    std::vector<bool> keep(newestFirst.size(), false);
    keepNewestOf(
        newestFirst, 7, [](const QDate &d) { return d.toJulianDay(); }, keep);
    keepNewestOf(
        newestFirst, 4,
        [](const QDate &d) {
            int year = 0;
            const int week = d.weekNumber(&year);
            return qint64(year) * 100 + week;
        },
        keep);
    keepNewestOf(
        newestFirst, 12, [](const QDate &d) { return qint64(d.year()) * 12 + d.month(); }, keep);
    return keep;
}

bool makeBackup(DiaryDatabase &database, const QDateTime &now, QString *error,
                const QString &spared, QString *made) {
    const QString folder = folderOf(database.filePath());
    if (!privatefile::makeFolder(folder)) {
        *error =
            QStringLiteral("No Se Puede Crear La Carpeta:\n") + QDir::toNativeSeparators(folder);
        return false;
    }
    // A backup cut short left its pending copy; the next one takes it away.
    for (const QString &left : QDir(folder).entryList(
             {prefix + QLatin1String("*") + suffix + QLatin1String(".new")}, QDir::Files))
        QFile::remove(QDir(folder).filePath(left));
    // Two backups in one second: the later one takes the next second's name.
    QDateTime moment = now;
    while (QFileInfo::exists(QDir(folder).filePath(fileNameFor(moment))))
        moment = moment.addSecs(1);
    const QString path = QDir(folder).filePath(fileNameFor(moment));
    if (!database.writeCopy(path)) {
        *error = database.lastEngineError();
        return false;
    }
    if (made)
        *made = path;
    // Only now that a newer backup is verified do the expired ones go.
    const std::vector<Backup> found = list(folder);
    std::vector<QDateTime> moments;
    for (const Backup &backup : found)
        moments.push_back(backup.made);
    const std::vector<bool> keep = kept(moments);
    for (std::size_t i = 0; i < found.size(); ++i)
        if (!keep[i] && found[i].path != QFileInfo(spared).absoluteFilePath())
            QFile::remove(found[i].path);
    return true;
}

QString stateText(const std::optional<QDateTime> &last, const QDateTime &now) {
    if (!last)
        return QStringLiteral("Sin copias todavía");
    const qint64 days = last->date().daysTo(now.date());
    const QString ago = days <= 0   ? QStringLiteral("hoy")
                        : days == 1 ? QStringLiteral("hace 1 día")
                                    : QStringLiteral("hace %1 días").arg(days);
    return QStringLiteral("Última copia: %1 %2 (%3)")
        .arg(dates::shortDate(last->date()), last->time().toString(QStringLiteral("HH:mm")), ago);
}

void noteBeforeImport(const QString &diaryPath, const QString &backupPath) {
    QString ignored;
    atomicfile::write(QDir(folderOf(diaryPath)).filePath(importName),
                      QFileInfo(backupPath).fileName().toUtf8(), &ignored);
}

std::optional<QString> beforeLastImport(const QString &diaryPath) {
    const QDir folder(folderOf(diaryPath));
    QFile file(folder.filePath(importName));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString path = folder.filePath(QString::fromUtf8(file.readAll()).trimmed());
    return madeOf(QFileInfo(path).fileName()) && QFileInfo::exists(path) ? std::optional(path)
                                                                         : std::nullopt;
}

void noteFailure(const QString &diaryPath, const QString &reason) {
    const QString folder = folderOf(diaryPath);
    QString ignored;
    if (privatefile::makeFolder(folder))
        atomicfile::write(QDir(folder).filePath(failureName), reason.toUtf8(), &ignored);
}

std::optional<QString> takeFailure(const QString &diaryPath) {
    QFile file(QDir(folderOf(diaryPath)).filePath(failureName));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString reason = QString::fromUtf8(file.readAll());
    file.close();
    file.remove();
    return reason;
}

} // namespace backups

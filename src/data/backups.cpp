#include "data/backups.h"

#include "data/atomicfile.h"
#include "data/dates.h"
#include "data/diarydatabase.h"
#include "data/privatefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace backups {
namespace {

const QString prefix = QStringLiteral("Copia ");
const QString suffix = QStringLiteral(".db");
const QString nameFormat = QStringLiteral("yyyy-MM-dd HHmmss");
const QString failureName = QStringLiteral("Copia Fallida.txt");
const QString importName = QStringLiteral("Antes De La Última Importación.txt");

// What follows the moment in a backup's name, in the order of Kind; nothing for a backup made at
// exit. ASCII alone, so that a name reads the same on any disk.
const struct {
    Kind kind;
    const char16_t *name;
} kinds[] = {
    {Kind::AtExit, u""},
    {Kind::ByHand, u" A Mano"},
    {Kind::BeforeImport, u" Antes De Importar"},
    {Kind::BeforeRestore, u" Antes De Restaurar"},
};

// The moment and the kind a backup's name tells.
std::optional<std::pair<QDateTime, Kind>> readName(const QString &fileName) {
    if (!fileName.startsWith(prefix) || !fileName.endsWith(suffix))
        return std::nullopt;
    const QString middle =
        fileName.mid(prefix.size(), fileName.size() - prefix.size() - suffix.size());
    const QDateTime made = QDateTime::fromString(middle.left(nameFormat.size()), nameFormat);
    for (const auto &kind : kinds)
        if (made.isValid() && QStringView(middle).mid(nameFormat.size()) == kind.name)
            return std::pair(made, kind.kind);
    return std::nullopt;
}

// The newest of the backups at `rotating` in each of the last `count` periods that have one.
void keepNewestOf(const std::vector<Backup> &newestFirst, const std::vector<std::size_t> &rotating,
                  int count, qint64 (*period)(const QDate &), std::vector<bool> &keep) {
    QSet<qint64> seen;
    for (std::size_t i = 0; i < rotating.size() && seen.size() < count; ++i) {
        const qint64 which = period(newestFirst[rotating[i]].made.date());
        if (!seen.contains(which)) {
            seen.insert(which);
            keep[rotating[i]] = true;
        }
    }
}

} // namespace

QString folderOf(const QString &diaryPath) {
    return QFileInfo(diaryPath).absoluteDir().filePath(QStringLiteral("Copias"));
}

QString fileNameFor(const QDateTime &made, Kind kind) {
    return prefix + made.toString(nameFormat) + QString::fromUtf16(kinds[std::size_t(kind)].name) +
           suffix;
}

std::optional<QDateTime> madeOf(const QString &fileName) {
    const auto read = readName(fileName);
    return read ? std::optional(read->first) : std::nullopt;
}

std::optional<Kind> kindOf(const QString &fileName) {
    const auto read = readName(fileName);
    return read ? std::optional(read->second) : std::nullopt;
}

std::vector<Backup> list(const QString &folder) {
    std::vector<Backup> found;
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Files))
        if (const auto read = readName(info.fileName()))
            found.push_back({info.absoluteFilePath(), read->first, read->second, info.size()});
    std::sort(found.begin(), found.end(), [](const Backup &a, const Backup &b) {
        return a.made != b.made ? a.made > b.made : a.path < b.path;
    });
    return found;
}

std::vector<bool> kept(const std::vector<Backup> &newestFirst, const QDateTime &now,
                       const QStringList &needed) {
    std::vector<bool> keep(newestFirst.size(), false);
    std::vector<std::size_t> rotating;
    for (std::size_t i = 0; i < newestFirst.size(); ++i) {
        const Backup &backup = newestFirst[i];
        keep[i] = needed.contains(backup.path) ||
                  (backup.kind != Kind::AtExit && backup.made.addDays(keptDays) > now);
        if (!keep[i])
            rotating.push_back(i);
    }
    keepNewestOf(
        newestFirst, rotating, 7, [](const QDate &d) { return d.toJulianDay(); }, keep);
    keepNewestOf(
        newestFirst, rotating, 4,
        [](const QDate &d) {
            int year = 0;
            const int week = d.weekNumber(&year);
            return qint64(year) * 100 + week;
        },
        keep);
    keepNewestOf(
        newestFirst, rotating, 12, [](const QDate &d) { return qint64(d.year()) * 12 + d.month(); },
        keep);
    return keep;
}

bool makeBackup(DiaryDatabase &database, const QDateTime &now, Kind kind, Failure *failure,
                const QString &spared, QString *made) {
    const QString folder = folderOf(database.filePath());
    if (!privatefile::makeFolder(folder)) {
        *failure = Failure::noFolder(folder);
        return false;
    }
    // A backup cut short left its pending copy; the next one takes it away.
    for (const QString &left : QDir(folder).entryList(
             {prefix + QLatin1String("*") + suffix + QLatin1String(".new")}, QDir::Files))
        QFile::remove(QDir(folder).filePath(left));
    // Two backups in one second, of any kinds: the later one takes the next second's name, so
    // that no two show alike in the list.
    QDateTime moment = now;
    const std::vector<Backup> before = list(folder);
    while (std::any_of(before.begin(), before.end(),
                       [&](const Backup &backup) { return backup.made == moment; }))
        moment = moment.addSecs(1);
    const QString path = QDir(folder).filePath(fileNameFor(moment, kind));
    if (!database.writeCopy(path)) {
        *failure = database.lastFailure();
        return false;
    }
    if (made)
        *made = path;
    // Only now that a newer backup is verified do the expired ones go.
    QStringList needed;
    if (!spared.isEmpty())
        needed += QFileInfo(spared).absoluteFilePath();
    if (const std::optional<QString> undo = beforeLastImport(database.filePath()))
        needed += QFileInfo(*undo).absoluteFilePath();
    const std::vector<Backup> found = list(folder);
    const std::vector<bool> keep = kept(found, now, needed);
    for (std::size_t i = 0; i < found.size(); ++i)
        if (!keep[i])
            QFile::remove(found[i].path);
    return true;
}

QString madeText(const QDateTime &made) {
    return dates::shortDate(made.date()) + u' ' + made.time().toString(QStringLiteral("HH:mm:ss"));
}

QString setAsidePath(const QString &diaryPath, const QDateTime &now) {
    const QString stem =
        diaryPath + QStringLiteral(".dañado-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = stem;
    for (int copy = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++copy)
        path = stem + QStringLiteral("-%1").arg(copy);
    return path;
}

void noteBeforeImport(const QString &diaryPath, const QString &backupPath) {
    Failure ignored;
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
    Failure ignored;
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

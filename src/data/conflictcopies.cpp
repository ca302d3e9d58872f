#include "data/conflictcopies.h"

#include "data/backups.h"
#include "data/diarydatabase.h"
#include "data/privatefile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace conflictcopies {

bool isCopyOf(const QString &diaryName, const QString &candidate) {
    const QString name = QRegularExpression::escape(QFileInfo(diaryName).completeBaseName());
    const QString suffix = QRegularExpression::escape(u'.' + QFileInfo(diaryName).suffix());
    static const QString date = QStringLiteral(R"(\d{4}-\d{2}-\d{2})");
    const QStringList patterns = {
        name + QStringLiteral(R"(\.sync-conflict-\d{8}-\d{6}-[A-Za-z0-9]+)") + suffix,
        name + QStringLiteral(R"( \(conflicted copy (.+ )?)") + date +
            QStringLiteral(R"( \d{6}\))") + suffix,
        name + QStringLiteral(R"( \(.+'s conflicted copy )") + date + QStringLiteral(R"(\))") +
            suffix,
    };
    for (const QString &pattern : patterns)
        if (QRegularExpression(QRegularExpression::anchoredPattern(pattern))
                .match(candidate)
                .hasMatch())
            return true;
    return false;
}

QStringList find(const QString &diaryPath) {
    const QFileInfo diary(diaryPath);
    QStringList copies;
    for (const QString &name : diary.dir().entryList(QDir::Files, QDir::Name))
        if (isCopyOf(diary.fileName(), name))
            copies += diary.dir().filePath(name);
    return copies;
}

Merged mergeAll(DiaryDatabase &database, const QStringList &copies) {
    Merged result;
    bool changedOurs = false;
    for (const QString &copy : copies) {
        diarysync::Report report;
        const DiaryStatus status = database.mergeFile(copy, false, &report);
        if (status != DiaryStatus::Ready) {
            result.refused += {copy, status};
            continue;
        }
        result.merged += copy;
        changedOurs = changedOurs || report.changedOurs ||
                      report.password == diarysync::Report::Password::Theirs;
        result.report.added += report.added;
        result.report.changed += report.changed;
        result.report.removed += report.removed;
        result.report.conflicts += report.conflicts;
        result.report.sameDate += report.sameDate;
        if (report.password != diarysync::Report::Password::Same)
            result.report.password = report.password;
    }
    // Copies that brought nothing new leave a file that already holds the diary as it is.
    if (result.merged.isEmpty() ||
        ((changedOurs || !database.fileIsCurrent()) && !database.saveVerified()))
        return result;
    result.written = true;
    // The merged diary is on disk and checked: the copies go to the backups, under their names.
    const QString folder = backups::folderOf(database.filePath());
    privatefile::makeFolder(folder);
    for (const QString &copy : std::as_const(result.merged)) {
        QString target = QDir(folder).filePath(QFileInfo(copy).fileName());
        for (int again = 2; QFileInfo::exists(target); ++again)
            target = QDir(folder).filePath(
                QStringLiteral("%1 (%2)").arg(QFileInfo(copy).fileName()).arg(again));
        QFile::rename(copy, target);
    }
    return result;
}

} // namespace conflictcopies

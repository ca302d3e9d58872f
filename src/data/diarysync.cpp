#include "data/diarysync.h"

#include "data/diaryschema.h"
#include "data/engineimage.h"
#include "data/hybridclock.h"
#include "data/sealedfile.h"
#include "data/syncsides.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QUuid>

namespace diarysync {
namespace {

// The sealed header and the stream's header after it.
constexpr qsizetype headLength = qsizetype(sealedfile::headerSize) + 24;

// Reads the other diary's side; the connection goes when this returns.
DiaryStatus readOther(unsigned char *image, std::size_t size, mergerules::Side *side,
                      Failure *failure) {
    const QString name =
        QLatin1String("diary-other-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    DiaryStatus status = DiaryStatus::Damaged;
    if (engineimage::load(name, image, size, failure)) {
        diaryschema::Migration migration;
        const QSqlDatabase db = QSqlDatabase::database(name, false);
        status = diaryschema::check(db, false, &migration, failure);
        engineimage::wipe(migration.before);
        QString error;
        if (status == DiaryStatus::Ready && !syncsides::read(db, side, &error)) {
            *failure = Failure::said(error);
            status = DiaryStatus::WrongSchema;
        }
    }
    engineimage::drop(name);
    return status;
}

Report reportOf(const mergerules::Outcome &outcome) {
    Report report;
    report.added = outcome.added;
    report.changed = int(outcome.days.size()) - outcome.added;
    report.removed = int(outcome.removed.size());
    report.sameDate = outcome.sameDate;
    report.theirsLacks = outcome.theirsLacks;
    report.changedOurs = outcome.changesOurs();
    report.password = !outcome.passwordsDiffer ? Report::Password::Same
                      : outcome.theirPassword  ? Report::Password::Theirs
                                               : Report::Password::Ours;
    return report;
}

} // namespace

FileMark FileMark::of(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return {file.size(), QFileInfo(file).lastModified().toMSecsSinceEpoch(), file.read(headLength)};
}

FileMark FileMark::ofBytes(const QByteArray &bytes, qint64 modified) {
    return {bytes.size(), modified, bytes.left(headLength)};
}

DiaryStatus mergeImage(const QSqlDatabase &db, HybridClock &clock, unsigned char *image,
                       std::size_t size, bool anyDiary, Report *report, Failure *failure) {
    mergerules::Side theirs;
    if (const DiaryStatus read = readOther(image, size, &theirs, failure);
        read != DiaryStatus::Ready)
        return read == DiaryStatus::MigrationFailed ? DiaryStatus::Damaged : read;
    mergerules::Side ours;
    QString error;
    if (!syncsides::read(db, &ours, &error)) {
        *failure = Failure::said(error);
        return DiaryStatus::CannotWrite;
    }
    if (!anyDiary && ours.diary != theirs.diary)
        return DiaryStatus::OtherDiary;
    const mergerules::Outcome outcome = mergerules::merge(ours, theirs);
    *report = reportOf(outcome);
    clock.observe(outcome.latest);
    if (!outcome.changesOurs())
        return DiaryStatus::Ready;
    QSqlDatabase connection = db;
    clock.setPaused(true);
    const bool written =
        connection.transaction() && syncsides::apply(db, outcome, &error) && connection.commit();
    clock.setPaused(false);
    if (!written) {
        *failure = Failure::said(error.isEmpty() ? connection.lastError().text() : error);
        connection.rollback();
        return DiaryStatus::CannotWrite;
    }
    report->conflicts = int(outcome.conflicts.size());
    return DiaryStatus::Ready;
}

} // namespace diarysync

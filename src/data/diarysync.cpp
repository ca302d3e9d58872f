#include "data/diarysync.h"

#include "data/diaryschema.h"
#include "data/engineimage.h"
#include "data/hybridclock.h"
#include "data/sealedfile.h"
#include "data/syncsides.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QUuid>

namespace diarysync {
namespace {

// The sealed header and the stream's header after it.
constexpr qsizetype headLength = qsizetype(sealedfile::headerSize) + 24;

// Reads the other diary's side, the values of the days `wanted` picks; the connection goes when
// this returns.
DiaryStatus readOther(unsigned char *image, std::size_t size, const syncsides::Wanted &wanted,
                      mergerules::Side *side, Failure *failure) {
    const QString name =
        QLatin1String("diary-other-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    DiaryStatus status = DiaryStatus::Damaged;
    if (engineimage::load(name, image, size, failure)) {
        diaryschema::Migration migration;
        const QSqlDatabase db = QSqlDatabase::database(name, false);
        status = diaryschema::check(db, false, &migration, failure);
        engineimage::wipe(migration.before);
        QString error;
        if (status == DiaryStatus::Ready && !syncsides::read(db, side, &error, wanted)) {
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

// Both sides read: ours first without its values, then theirs with the values of the days that
// differ from ours, then ours' values of those days. A merge of a file that changed a thousand
// days of ten thousand reads the values of a thousand.
DiaryStatus readSides(const QSqlDatabase &db, unsigned char *image, std::size_t size,
                      mergerules::Side *ours, mergerules::Side *theirs, Failure *failure) {
    QString error;
    const auto none = [](const mergerules::Day &) { return false; };
    if (!syncsides::read(db, ours, &error, none)) {
        engineimage::release(image);
        *failure = Failure::said(error);
        return DiaryStatus::CannotWrite;
    }
    QHash<QString, const mergerules::Day *> byUid;
    for (const mergerules::Day &day : ours->days)
        byUid.insert(day.uid, &day);
    QSet<QString> differing;
    const auto differs = [&](const mergerules::Day &day) {
        const mergerules::Day *mine = byUid.value(day.uid);
        if (mine && !mergerules::sameStamps(*mine, day))
            differing.insert(day.uid);
        return !mine || differing.contains(day.uid);
    };
    if (const DiaryStatus read = readOther(image, size, differs, theirs, failure);
        read != DiaryStatus::Ready)
        return read == DiaryStatus::MigrationFailed ? DiaryStatus::Damaged : read;
    const auto wanted = [&](const mergerules::Day &day) { return differing.contains(day.uid); };
    if (!differing.isEmpty() && !syncsides::readValues(db, ours, wanted, &error)) {
        *failure = Failure::said(error);
        return DiaryStatus::CannotWrite;
    }
    return DiaryStatus::Ready;
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
    mergerules::Side ours;
    mergerules::Side theirs;
    if (const DiaryStatus read = readSides(db, image, size, &ours, &theirs, failure);
        read != DiaryStatus::Ready)
        return read;
    if (!anyDiary && ours.diary != theirs.diary)
        return DiaryStatus::OtherDiary;
    const mergerules::Outcome outcome = mergerules::merge(ours, theirs);
    *report = reportOf(outcome);
    clock.observe(outcome.latest);
    if (!outcome.changesOurs())
        return DiaryStatus::Ready;
    QString error;
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

#include "data/diarysync.h"

#include "data/diaryschema.h"
#include "data/engineimage.h"
#include "data/hybridclock.h"
#include "data/sealedfile.h"
#include "data/sqlfunctions.h"
#include "data/syncsides.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QUuid>
#include <sqlite3.h>

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

// Keeps our side for the next merge, brought up to what was written.
void keep(const QSqlDatabase &db, const mergerules::Outcome &outcome, OurSide *kept) {
    QString error;
    if (outcome.changesOurs() && !syncsides::follow(db, outcome, &kept->side, &error))
        return;
    sqlite3 *handle = engineHandle(db);
    kept->connection = handle;
    kept->changes = handle ? sqlite3_total_changes64(handle) : -1;
}

// Both sides read: ours first without its values (or as kept), then theirs with the values of the
// days that differ from ours, then ours' values of those days. A merge of a file that changed a
// thousand days of ten thousand reads the values of a thousand.
DiaryStatus readSides(const QSqlDatabase &db, unsigned char *image, std::size_t size, OurSide *kept,
                      mergerules::Side *theirs, Failure *failure) {
    sqlite3 *handle = engineHandle(db);
    const bool current =
        handle && kept->connection == handle && kept->changes == sqlite3_total_changes64(handle);
    kept->connection = nullptr; // until the merge is done
    mergerules::Side *ours = &kept->side;
    QString error;
    const auto none = [](const mergerules::Day &) { return false; };
    if (!current && (*ours = {}, !syncsides::read(db, ours, &error, none))) {
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
        read != DiaryStatus::Ready) {
        keep(db, {}, kept); // ours as it was
        return read == DiaryStatus::MigrationFailed ? DiaryStatus::Damaged : read;
    }
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
                       std::size_t size, bool anyDiary, OurSide *ours, Report *report,
                       Failure *failure) {
    mergerules::Side theirs;
    if (const DiaryStatus read = readSides(db, image, size, ours, &theirs, failure);
        read != DiaryStatus::Ready)
        return read;
    if (!anyDiary && ours->side.diary != theirs.diary) {
        keep(db, {}, ours);
        return DiaryStatus::OtherDiary;
    }
    const mergerules::Outcome outcome = mergerules::merge(ours->side, theirs);
    *report = reportOf(outcome);
    clock.observe(outcome.latest);
    if (!outcome.changesOurs()) {
        keep(db, outcome, ours);
        return DiaryStatus::Ready;
    }
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
    keep(db, outcome, ours);
    return DiaryStatus::Ready;
}

} // namespace diarysync

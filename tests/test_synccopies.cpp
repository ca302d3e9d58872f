// Conflict copies and conflicts of one diary on two computers, through real files: a folder of
// a hundred copies merged in one step, and values taken back that stay taken back.
#include "data/conflictcopies.h"
#include "data/conflictlist.h"
#include "data/diarychange.h"
#include "data/sqlfunctions.h"
#include "flows/syncflow.h"
#include "support/diaryfixture.h"
#include "support/manualclock.h"
#include "support/scripteddialogs.h"
#include "support/tablerows.h"

#include <QDir>
#include <QSqlQuery>
#include <QTest>
#include <functional>
#include <memory>

using namespace dayfields;

namespace {

QString date() {
    return quotedIdentifier(fields[Fh].column);
}

// One statement as a change of its own, written.
bool run(DiaryDatabase &database, const QString &statement, const QVariantList &values = {}) {
    QString error;
    return diarychange::runThenSave(database, statement, values, &error);
}

// Sets a field of the day of 01/01/2026.
bool setField(DiaryDatabase &database, Box box, const QString &value) {
    return run(database,
               QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = '01/01/2026'")
                   .arg(quotedIdentifier(tableName), quotedIdentifier(fields[box].column), date()),
               {value});
}

QString fieldOfFirstDay(DiaryDatabase &database, Box box) {
    return fixture::columnInOrder(
               database.connection(),
               QStringLiteral("SELECT %1 AS v FROM %2 WHERE %3 = '01/01/2026'")
                   .arg(quotedIdentifier(fields[box].column), quotedIdentifier(tableName), date()),
               QStringLiteral("v"))
        .value(0);
}

// The other computer's copies D10 to D109 of its file at `path`, each with one day more: D10
// damaged, D20 and D21 of another password, D30 of a newer version, D40 of another diary.
bool writeCopies(DiaryDatabase &other, const QString &path, const QString &diaryId,
                 const std::function<QString(int)> &copy) {
    QSqlQuery query(other.connection());
    for (int n = 10; n < 110; ++n)
        if (!query.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES ('%3/%4/2025')")
                            .arg(quotedIdentifier(tableName), date())
                            .arg(n % 28 + 1)
                            .arg(n / 28 + 1)) ||
            !query.exec(QStringLiteral("PRAGMA user_version = %1").arg(n == 30 ? 99 : 8)) ||
            !query.exec(QStringLiteral("UPDATE sync_meta SET value = '%1' WHERE key = 'diary'")
                            .arg(n == 40 ? QStringLiteral("otro") : diaryId)) ||
            !other.save() || !QFile::copy(path, copy(n)))
            return false;
    return fixture::damage(copy(10)) &&
           other.seal(QStringLiteral("otra clave")) == DiaryStatus::Ready &&
           QFile::remove(copy(20)) && QFile::copy(path, copy(20)) && QFile::remove(copy(21)) &&
           QFile::copy(path, copy(21));
}

} // namespace

class TestSyncCopies : public QObject {
    Q_OBJECT
private slots:
    // A hundred conflict copies: the bad ones (damaged, of another password, of a newer version,
    // of another diary) told and refused one by one and left where they are, the others merged in
    // one step and moved into Copias, none deleted, nothing stored lost.
    void hundredCopies() {
        fixture::TempDiary diary;
        QVERIFY(diary.addProfile());
        QCOMPARE(diary.reopen(), DiaryStatus::Ready);
        QTemporaryDir elsewhere;
        const QString theirs = elsewhere.filePath(DiaryDatabase::defaultFileName());
        QVERIFY(QFile::copy(diary.path(), theirs));
        DiaryDatabase other;
        QCOMPARE(fixture::openWith(other, theirs), DiaryStatus::Ready);
        other.clock().setNode(diary.database().clock().node() + 1);
        const QString diaryId = fixture::columnInOrder(
            diary.db(), QStringLiteral("SELECT value FROM sync_meta WHERE key = 'diary'"),
            QStringLiteral("value"))[0];
        const QString stem = QFileInfo(diary.path()).completeBaseName();
        const auto copy = [&](int n) {
            return QDir(diary.folder())
                .filePath(stem + QStringLiteral(".sync-conflict-20261207-153012-D%1.db").arg(n));
        };
        QVERIFY(writeCopies(other, theirs, diaryId, copy));
        QVERIFY(diary.addDays({fixture::day({{Fh, QStringLiteral("01/01/2026")}})}));

        ScriptedDialogs dialogs;
        dialogs.queueAnswers({true});
        dialogs.queueInputs({QString()}); // no password given for the copy of another one
        const ManualClock clock(QDateTime::currentDateTime());
        SyncFlow flow(diary.database(), dialogs, clock);
        diary.database().setPasswordAsker([&] { return flow.askOtherPassword(nullptr); });
        QSet<QString> refused;
        QVERIFY(flow.offerCopies(nullptr, &refused));
        QCOMPARE(dialogs.passwordTitles.size(), 1); // not asked again once not given
        QCOMPARE(dialogs.messages.size(), 6);
        const QList<std::pair<int, QString>> told = {{10, QStringLiteral("Dañada")},
                                                     {20, QStringLiteral("Otra Clave")},
                                                     {21, QStringLiteral("Otra Clave")},
                                                     {30, QStringLiteral("Versión Más Nueva")},
                                                     {40, QStringLiteral("De Otro Diario")}};
        for (qsizetype i = 0; i < told.size(); ++i) {
            const QString refusedCopy = copy(told[i].first);
            QVERIFY(refused.contains(refusedCopy) && QFileInfo::exists(refusedCopy));
            QVERIFY(dialogs.messages[i].contains(QFileInfo(refusedCopy).fileName()));
            QVERIFY(dialogs.messages[i].contains(told[i].second));
        }
        QVERIFY(dialogs.messages[5].startsWith(QStringLiteral("95 Copias Combinadas")));
        QCOMPARE(conflictcopies::find(diary.path()).size(), 5);
        QCOMPARE(QDir(diary.folder() + QStringLiteral("/Copias")).entryList(QDir::Files).size(),
                 95);
        QCOMPARE(
            fixture::columnInOrder(
                diary.db(),
                QStringLiteral("SELECT count(*) AS n FROM %1").arg(quotedIdentifier(tableName)),
                QStringLiteral("n")),
            QStringList{QStringLiteral("101")});
    }

    // A copy that brings nothing new is put away without writing the diary again: were both
    // computers to write after merging the same copy, the sync tool would make a new conflict
    // copy of the two, again and again.
    void copyOfNothingNewLeavesTheFile() {
        fixture::TempDiary diary;
        QVERIFY(diary.addProfile());
        QCOMPARE(diary.reopen(), DiaryStatus::Ready);
        const QString copy = QDir(diary.folder())
                                 .filePath(QFileInfo(diary.path()).completeBaseName() +
                                           QStringLiteral(".sync-conflict-20261207-153012-OLD.db"));
        QVERIFY(QFile::copy(diary.path(), copy));
        QVERIFY(diary.addDays({fixture::day({{Fh, QStringLiteral("01/01/2026")}})}));
        const QByteArray written = fixture::fileBytes(diary.path());
        const conflictcopies::Merged merged =
            conflictcopies::mergeAll(diary.database(), QStringList{copy});
        QVERIFY(merged.written && !QFileInfo::exists(copy));
        QCOMPARE(fixture::fileBytes(diary.path()), written);
    }

    // A value taken back from the conflicts stays, and its conflict is not listed again, when
    // the same file is merged again or the other computer's next version that listed it too; and
    // a day deleted stays deleted when an old copy is merged.
    void takenBackStays_data() {
        columns<bool>("nextVersion");
        row("the same file again", false);
        row("the other computer's next version", true);
    }
    void takenBackStays() {
        const auto [nextVersion] = fetch<bool>("nextVersion");
        fixture::TempDiary diary;
        QVERIFY(diary.addProfile());
        QVERIFY(diary.addDays({fixture::day({{Fh, QStringLiteral("01/01/2026")}}),
                               fixture::day({{Fh, QStringLiteral("02/01/2026")}})}));
        QCOMPARE(diary.reopen(), DiaryStatus::Ready);
        DiaryDatabase &ours = diary.database();
        const QString old = diary.folder() + QStringLiteral("/antigua.db");
        const QString first = diary.folder() + QStringLiteral("/primera.db");
        QTemporaryDir elsewhere;
        const QString path = elsewhere.filePath(DiaryDatabase::defaultFileName());
        QVERIFY(QFile::copy(diary.path(), old) && QFile::copy(diary.path(), path));
        DiaryDatabase theirs;
        QCOMPARE(fixture::openWith(theirs, path), DiaryStatus::Ready);
        theirs.clock().setNode(ours.clock().node() + 1);
        QVERIFY(setField(ours, Desa, QStringLiteral("pan")) &&
                setField(theirs, Desa, QStringLiteral("leche")) && QFile::copy(path, first));
        diarysync::Report report;
        QCOMPARE(ours.mergeFile(path, false, &report), DiaryStatus::Ready);
        QVERIFY(ours.save());
        if (nextVersion) // the other takes ours in, listing the conflict too, and writes again
            QVERIFY(theirs.mergeFile(diary.path(), false, &report) == DiaryStatus::Ready &&
                    setField(theirs, Peski, QStringLiteral("80")));
        const std::vector<conflictlist::Entry> listed = conflictlist::list(ours);
        QCOMPARE(listed.size(), std::size_t(1));
        QVERIFY(conflictlist::takeBack(ours, listed[0].id));
        QCOMPARE(ours.mergeFile(nextVersion ? path : first, false, &report), DiaryStatus::Ready);
        QVERIFY(ours.save());
        QCOMPARE(theirs.mergeFile(diary.path(), false, &report), DiaryStatus::Ready);
        for (DiaryDatabase *side : {&ours, &theirs}) {
            QCOMPARE(fieldOfFirstDay(*side, Desa), QStringLiteral("pan"));
            QVERIFY(conflictlist::list(*side).empty());
        }
        QVERIFY(run(ours, QStringLiteral("DELETE FROM %1 WHERE %2 = '02/01/2026'")
                              .arg(quotedIdentifier(tableName), date())));
        QCOMPARE(ours.mergeFile(old, false, &report), DiaryStatus::Ready);
        QCOMPARE(report.added, 0);
    }

    // A profile field changed on both computers: the value that lost is kept and listed with no
    // date (it was once dropped unseen), and taken back.
    void profileConflictIsTakenBack() {
        fixture::TempDiary diary;
        QVERIFY(diary.addProfile());
        QCOMPARE(diary.reopen(), DiaryStatus::Ready);
        DiaryDatabase &ours = diary.database();
        QTemporaryDir elsewhere;
        const QString path = elsewhere.filePath(DiaryDatabase::defaultFileName());
        QVERIFY(QFile::copy(diary.path(), path));
        DiaryDatabase theirs;
        QCOMPARE(fixture::openWith(theirs, path), DiaryStatus::Ready);
        theirs.clock().setNode(ours.clock().node() + 1);
        const QString rename = QStringLiteral("UPDATE %1 SET %2 = ?")
                                   .arg(quotedIdentifier(profilefields::tableName),
                                        quotedIdentifier(profilefields::name));
        QVERIFY(run(ours, rename, {QStringLiteral("Ana")}) &&
                run(theirs, rename, {QStringLiteral("Eva")}));
        diarysync::Report report;
        QCOMPARE(ours.mergeFile(path, false, &report), DiaryStatus::Ready);
        const std::vector<conflictlist::Entry> listed = conflictlist::list(ours);
        QCOMPARE(listed.size(), std::size_t(1));
        QCOMPARE(
            (QStringList{listed[0].date, listed[0].lost.toString(), listed[0].kept.toString()}),
            (QStringList{QString(), QStringLiteral("Ana"), QStringLiteral("Eva")}));
        QVERIFY(conflictlist::takeBack(ours, listed[0].id));
        QCOMPARE(fixture::columnInOrder(ours.connection(),
                                        QStringLiteral("SELECT %1 AS n FROM %2")
                                            .arg(quotedIdentifier(profilefields::name),
                                                 quotedIdentifier(profilefields::tableName)),
                                        QStringLiteral("n")),
                 QStringList{QStringLiteral("Ana")});
    }

    // Two copies of the program on one machine, each with a data folder of its own, kept in step
    // as two computers are, by a sync tool that puts one folder's file in the other's: changes
    // made in the same millisecond are told apart, so that both end with the same value and the
    // other one listed.
    void twoFoldersOfOneMachine() {
        fixture::TempDiary diary;
        QVERIFY(diary.addProfile());
        QVERIFY(diary.addDays({fixture::day({{Fh, QStringLiteral("01/01/2026")}})}) &&
                diary.close());
        QTemporaryDir homes;
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        QString paths[2];
        std::unique_ptr<DiaryDatabase> copies[2];
        for (int i : {0, 1}) {
            qputenv("XDG_DATA_HOME", homes.filePath(QStringLiteral("datos%1").arg(i)).toUtf8());
            paths[i] = homes.filePath(QStringLiteral("sync%1/diario.db").arg(i));
            copies[i] = std::make_unique<DiaryDatabase>();
            QVERIFY(QDir().mkpath(QFileInfo(paths[i]).path()) &&
                    QFile::copy(diary.path(), paths[i]));
            QCOMPARE(fixture::openWith(*copies[i], paths[i]), DiaryStatus::Ready);
            copies[i]->clock().setWallClock([] { return qint64(1900000000000); });
        }
        dataHome.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", dataHome);
        QVERIFY(setField(*copies[0], Desa, QStringLiteral("pan")) &&
                setField(*copies[1], Desa, QStringLiteral("leche")));
        for (int to : {1, 0}) {
            QVERIFY(QFile::copy(paths[1 - to], paths[to] + QStringLiteral(".tmp")) &&
                    QFile::remove(paths[to]) &&
                    QFile::rename(paths[to] + QStringLiteral(".tmp"), paths[to]));
            QCOMPARE(copies[to]->refresh(), DiaryStatus::Ready);
        }
        QCOMPARE(fieldOfFirstDay(*copies[0], Desa), fieldOfFirstDay(*copies[1], Desa));
        for (const auto &copy : copies)
            QCOMPARE(conflictlist::list(*copy).size(), std::size_t(1));
    }
};

QTEST_GUILESS_MAIN(TestSyncCopies)
#include "test_synccopies.moc"

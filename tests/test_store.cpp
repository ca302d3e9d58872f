// The diary file, its orders, the day store, the profile store and the diary window's state,
// all without windows.

#include "data/atomicfile.h"
#include "data/backups.h"
#include "data/calendarsettings.h"
#include "data/daystore.h"
#include "data/daywriter.h"
#include "data/diarychange.h"
#include "data/diaryschema.h"
#include "data/password.h"
#include "data/privatefile.h"
#include "data/processguard.h"
#include "data/sealedfile.h"
#include "data/trainingcorrections.h"
#include "diary/diarystate.h"
#include "report/csvexport.h"
#include "report/csvimport.h"
#include "report/statsexport.h"
#include "support/diaryfixture.h"
#include "support/tablerows.h"
#include "ui/messages.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QScopeGuard>
#include <QSet>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <sodium.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace dayfields;
using Status = DiaryDatabase::Status;

namespace {

// True when the engine reads the order's own index instead of sorting the whole diary.
bool readsItsIndex(const QSqlDatabase &db, Order order) {
    const QStringList steps =
        fixture::columnInOrder(db, QStringLiteral("EXPLAIN QUERY PLAN ") + orderStatement(order),
                               QStringLiteral("detail"));
    return steps.size() == 1 && steps.first().contains(orderKeys[order].indexName);
}

// The modes of a file or folder itself, not of what a link points at.
int modeOf(const QString &path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777)
                                                                    : -1;
}

// Everything the program writes about a diary with a day, in its folder: the diary itself, a
// backup, both statistics reports, a CSV, a plain copy and a sealed copy. False on any failure.
bool writeEverything(DiaryDatabase &database, const QString &folder) {
    const std::vector<DayTexts> list{fixture::day({{Fh, "05/12/2026"}, {Eldiario, "hoy"}})};
    const DayList days(list);
    Failure error;
    return database.save() &&
           backups::makeBackup(database, QDateTime(QDate(2026, 12, 5), QTime(22, 0)),
                               backups::Kind::AtExit, &error) &&
           statsexport::writeSingleFile(folder, {}, days).written &&
           statsexport::writePerDayFiles(folder, {}, days).written &&
           csvexport::writeFile(folder + "/diario.csv", csvexport::Preset::Standard, days)
               .written &&
           database.writePlainCopy(folder + "/plano.db") &&
           database.writeCopy(folder + "/copia.db");
}

} // namespace

class TestStore : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void refusedFilesAreNeverTouched_data();
    void refusedFilesAreNeverTouched();
    void secondCopyIsRefusedAndStaleLockIsTaken();
    void olderSchemaIsBackedUpAndMigrated_data();
    void olderSchemaIsBackedUpAndMigrated();
    void ordersGiveWhatAUserExpects_data();
    void ordersGiveWhatAUserExpects();
    void dayStoreSavesDeletesAndMoves();
    void refusedSaveKeepsTheTypedDay();
    void changesAreCommittedWholeOrNotAtAll();
    void profileStoreKeepsThePasswordInside();
    void backupsRotateOverTwoYears();
    void backupsKeptAreThoseAUserNeeds_data();
    void backupsKeptAreThoseAUserNeeds();
    void backupIsAVerifiedSealedCopy();
    void restoreRefusesDamageAndAsksForOlderPasswords();
    void diaryStateDecides_data();
    void diaryStateDecides();
    void filesAreTheOwnersAlone_data();
    void filesAreTheOwnersAlone();
    void plantedLinksAreReplacedNeverFollowed_data();
    void plantedLinksAreReplacedNeverFollowed();
    void diaryKeptElsewhereThroughALink();
    void writeFailuresTellTheirReason_data();
    void writeFailuresTellTheirReason();
    void noCoreFileHoldsTheDiary();
    void passwordsAreWipedAfterUse();
};

void TestStore::refusedFilesAreNeverTouched_data() {
    columns<QString, Status>("damage", "expected");
    row("zero length", QStringLiteral("empty"), Status::Damaged);
    row("text file", QStringLiteral("text"), Status::NotADatabase);
    row("header cut short", QStringLiteral("short"), Status::Damaged);
    row("flipped byte in the salt", QStringLiteral("salt"), Status::Damaged);
    row("flipped byte in the key check", QStringLiteral("check"), Status::Damaged);
    row("cut in half", QStringLiteral("half"), Status::Damaged);
    row("cut after a whole chunk", QStringLiteral("chunk"), Status::Damaged);
    row("flipped byte in the body", QStringLiteral("flip"), Status::Damaged);
    row("wrong password", QStringLiteral("password"), Status::WrongPassword);
    row("plain diary cut in half", QStringLiteral("plainhalf"), Status::Damaged);
    row("foreign database", QStringLiteral("foreign"), Status::WrongSchema);
    row("day table renamed", QStringLiteral("renamed"), Status::WrongSchema);
    row("missing column", QStringLiteral("column"), Status::WrongSchema);
    row("newer version", QStringLiteral("newer"), Status::NewerVersion);
    row("a folder in its place", QStringLiteral("folder"), Status::CannotOpen);
    row("read-only file", QStringLiteral("readonly"), Status::ReadOnly);
    row("read-only folder", QStringLiteral("readonlyfolder"), Status::ReadOnly);
    row("read-only folder with a killed copy's lock", QStringLiteral("readonlystale"),
        Status::ReadOnly);
    row("header asking for 1 GiB and 4 passes", QStringLiteral("forged"), Status::Damaged);
    row("header asking for 8 KiB and 1 pass", QStringLiteral("tiny"), Status::Damaged);
}

void TestStore::refusedFilesAreNeverTouched() {
    const auto [damage, expected] = fetch<QString, Status>("damage", "expected");
    fixture::TempDiary diary;
    QList<DayTexts> days;
    for (int i = 0; i < 300; ++i)
        days += fixture::day({{Fh, QStringLiteral("%1/01/2026").arg(i % 28 + 1)},
                              {Eldiario, QString(200, QChar(u'a' + i % 26))}});
    QVERIFY(diary.addDays(days));
    const QMap<QString, QString> statements = {
        {"renamed", "ALTER TABLE \"El Día A Día En El Gimnasio\" RENAME TO agenda"},
        {"column", "ALTER TABLE \"El Día A Día En El Gimnasio\" DROP COLUMN \"Diario\""},
        {"newer", "PRAGMA user_version = 99"}};
    QVERIFY(!statements.contains(damage) || (fixture::dropStampTriggers(diary.db()) &&
                                             QSqlQuery(diary.db()).exec(statements[damage])));
    const QString path = diary.path();
    QVERIFY(damage == "plainhalf" ? fixture::writePlain(diary.db(), path) : diary.close());
    diary.database().close();
    QByteArray bytes = fixture::fileBytes(path);
    const auto flipped = [&](qsizetype at) {
        return QByteArray(bytes).replace(at, 1, QByteArray(1, char(bytes[at] ^ 0x5a)));
    };
    // Limits no version wrote, under a checksum made anew as anyone can make it.
    const auto forged = [&](quint64 ops, quint64 memory) {
        QByteArray forgery = bytes;
        auto *header = reinterpret_cast<unsigned char *>(forgery.data());
        qToLittleEndian(ops, header + 24);
        qToLittleEndian(memory, header + 32);
        crypto_generichash(header + 112, 32, header, 112, nullptr, 0);
        return forgery;
    };
    const QMap<QString, QByteArray> contents = {{"empty", {}},
                                                {"forged", forged(4, quint64(1) << 30)},
                                                {"tiny", forged(1, 8192)},
                                                {"text", "Esto no es un diario.\n"},
                                                {"short", bytes.left(50)},
                                                {"salt", flipped(45)},
                                                {"check", flipped(100)},
                                                {"half", bytes.left(bytes.size() / 2)},
                                                {"plainhalf", bytes.left(bytes.size() / 2)},
                                                {"chunk", bytes.left(144 + 65536 + 17)},
                                                {"flip", flipped(bytes.size() * 3 / 4)}};
    QFile file(path);
    if (contents.contains(damage))
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                file.write(contents[damage]) == contents[damage].size());
    file.close();
    if (damage == "folder" || damage == "foreign")
        QVERIFY(file.remove() &&
                (damage == "folder"
                     ? QDir().mkpath(path)
                     : QProcess::execute("sqlite3", {path, "CREATE TABLE a(x)"}) == 0));
    if (damage == "readonlystale") {
        QFile lock(path + ".lock");
        QVERIFY(lock.open(QIODevice::WriteOnly) && lock.write("999999999\ngimnasio\n") > 0);
    }
    const QString locked = damage == "readonly" ? path : diary.folder();
    if (damage.startsWith(u"readonly") && !fixture::setWritable(locked, false))
        QSKIP("this machine cannot make a file unwritable");
    const QByteArray before = fixture::fileBytes(path);
    const Status status = fixture::openWith(diary.database(), path,
                                            damage == "password" ? "secreto2" : fixture::password);
    fixture::setWritable(locked, true);
    QCOMPARE(status, expected);
    QVERIFY(!messages::openFailure(diary.database(), status).isEmpty());
    if (damage.startsWith(u"readonly") && damage != u"readonly")
        QVERIFY(messages::openFailure(diary.database(), status).contains(u"Solo Lectura"));
    QCOMPARE(fixture::fileBytes(path), before);
    QStringList left = QDir(diary.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    left.removeAll(QFileInfo(path).fileName() + ".lock");
    QCOMPARE(left, QStringList(QFileInfo(path).fileName()));
}

void TestStore::secondCopyIsRefusedAndStaleLockIsTaken() {
    fixture::TempDiary diary;
    DiaryDatabase second;
    QCOMPARE(second.open(diary.path()), Status::AlreadyRunning);
    QVERIFY(diary.close());
    QCOMPARE(second.open(diary.path()), Status::Ready);
    second.close();
    // A lock left behind by a copy that was killed (its process no longer exists).
    QFile lock(diary.path() + QLatin1String(".lock"));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write("999999999\ngimnasio\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    QCOMPARE(second.open(diary.path()), Status::Ready);
}

void TestStore::olderSchemaIsBackedUpAndMigrated_data() {
    columns<int>("version");
    row("tables alone", 1);
    row("with the date index", 2);
    row("girth pairs indexed on val", 3);
    row("no goal weight", 4);
    row("no calendar settings", 5);
    row("no training corrections", 6);
    row("no tables that merge two computers' diaries", 7);
}

void TestStore::olderSchemaIsBackedUpAndMigrated() {
    const auto [version] = fetch<int>("version");
    fixture::TempDiary diary;
    const QStringList currentIndexes = fixture::indexNames(diary.db());
    QCOMPARE(currentIndexes.size(), int(OrderCount));
    QVERIFY(diary.addDays({fixture::day({{Fh, "05/12/2026"}, {Dbd, "36"}, {Dbi, "35"}}),
                           fixture::day({{Fh, "04/12/2026"}, {Dbd, "35,9"}, {Dbi, "35,9"}})}));
    QVERIFY(diary.profiles().create({fixture::profile, password::hash(fixture::password)}));
    // A plain diary of that version, with a plain copy an earlier migration set aside.
    QVERIFY(fixture::makeOlderVersion(diary.db(), version));
    const QString earlierCopy = diary.path() + ".v1-20200101000000.bak";
    QVERIFY(fixture::writePlain(diary.db(), diary.path()) &&
            fixture::writePlain(diary.db(), earlierCopy));
    diary.database().close();
    const QByteArray plain = fixture::fileBytes(diary.path());

    // Read and migrated in memory; the file stays plain until the login seals it.
    QCOMPARE(fixture::openWith(diary.database(), diary.path()), Status::Ready);
    QCOMPARE(diary.database().source(), DiaryDatabase::Source::Plain);
    QCOMPARE(fixture::fileBytes(diary.path()), plain);
    QVERIFY(!diary.profiles().checkPassword("secreto2"));
    QVERIFY(diary.profiles().checkPassword(fixture::password));
    QCOMPARE(diary.database().seal(fixture::password), Status::Ready);
    QCOMPARE(diary.reopen(), Status::Ready);
    QSqlQuery query(diary.db());
    QVERIFY(query.exec(QStringLiteral("PRAGMA user_version")) && query.next());
    QCOMPARE(query.value(0).toInt(), DiaryDatabase::schemaVersion);
    QCOMPARE(fixture::indexNames(diary.db()), currentIndexes);
    QCOMPARE(fixture::columnInOrder(diary.db(), orderStatement(ByBiceps), fields[Dbd].column),
             (QStringList{"35,9", "36"}));
    QVERIFY(readsItsIndex(diary.db(), ByBiceps));
    QVERIFY(diary.profiles().setGoalWeight(QStringLiteral("75,5")));
    QVERIFY(CalendarSettings(diary.database()).setDaysPerWeek(4));
    const TrainingCorrections::Entry rest{TrainingCorrections::Kind::NoTraining, "descanso", {}};
    QVERIFY(TrainingCorrections(diary.database()).set(rest));
    QCOMPARE(diary.reopen(), Status::Ready);
    QCOMPARE(TrainingCorrections(diary.database()).entries(), QList{rest});
    QCOMPARE(diary.profiles().goalWeight(), std::optional<QString>(QStringLiteral("75,5")));
    QCOMPARE(CalendarSettings(diary.database()).daysPerWeek(), 4);

    // No plain copy is left: the diary as it was is set aside sealed, and so is the earlier one.
    const QStringList backups = QDir(diary.folder()).entryList({QStringLiteral("*.bak")});
    QCOMPARE(backups.size(), 2);
    QCOMPARE(backups.filter(QStringLiteral(".v%1-").arg(version)).size(), version == 1 ? 2 : 1);
    for (const QString &name : backups)
        QVERIFY(sealedfile::looksSealed(fixture::fileBytes(diary.folder() + u'/' + name)));
    QVERIFY(!fixture::fileBytes(diary.path()).contains("05/12/2026"));
}

void TestStore::ordersGiveWhatAUserExpects_data() {
    columns<int, Box, QStringList>("order", "box", "expected");
    row("date", int(ByDate), Fh,
        QStringList{"20/11/2026", "5/12/2026", "10/01/2027", "no sé", "x"});
    row("hours", int(ByHours), Hgim, QStringList{"10", "9,5", "2", "abc", ""});
    row("water", int(ByWater), Lagua, QStringList{"10", "2", "1.5", "", ""});
    row("weight", int(ByWeight), Peski, QStringList{"100", "95", "80", "", ""});
    row("bottom", int(ByBottom), Dculo, QStringList{"100", "95", "80", "x", ""});
    row("chest", int(ByChest), Dp, QStringList{"100,5", "100", "80", "", ""});
    // Pairs sort by the sum of their numbers: 35,9 + 35,9 above 36 + 35; a side that is no
    // number adds nothing; a day where neither side is a number comes last.
    row("biceps", int(ByBiceps), Dbd, QStringList{"35,9", "36", "abc", "30", ""});
    row("forearm", int(ByForearm), Dad, QStringList{"28", "27", "25", "", ""});
    row("leg", int(ByLeg), Dpd, QStringList{"100", "60", "55", "", ""});
    row("calf", int(ByCalf), Dgd, QStringList{"40", "38", "9", "", ""});
    // Runs of digits by value, whatever zeros lead them: "9" and "09:00" before "10:30".
    row("timetable", int(ByTimetable), Horahoy, QStringList{"9", "09:00", "10:30", "18:00", ""});
}

void TestStore::ordersGiveWhatAUserExpects() {
    const auto [order, box, expected] = fetch<int, Box, QStringList>("order", "box", "expected");
    fixture::TempDiary diary;
    // Entered out of order; numbers that cross text order (80, 95, 100). Each line gives the
    // boxes below in this order.
    const Box boxes[] = {Fh,  Hgim, Lagua, Peski, Dculo, Dp,  Dbd,    Dbi,
                         Dad, Dai,  Dpd,   Dpi,   Dgd,   Dgi, Horahoy};
    QList<DayTexts> days;
    for (const char *line : {"10/01/2027|2|1.5|80|100|100|abc|40,5|25|25|55|55|38|38|18:00",
                             "5/12/2026|10|2|100|80|100,5|36|35|28|28|100|100|9|9|10:30",
                             "no sé|abc|||||30||||x||y||9", "x||||x||||||||||",
                             "20/11/2026|9,5|10|95|95|80|35,9|35,9|27|27|60|60|40|40|09:00"}) {
        DayTexts day;
        const QStringList texts = QString::fromUtf8(line).split(u'|');
        for (std::size_t i = 0; i < std::size(boxes); ++i)
            day[boxes[i]] = texts[qsizetype(i)];
        days += day;
    }
    QVERIFY(diary.addDays(days));
    QStringList shown =
        fixture::columnInOrder(diary.db(), orderStatement(Order(order)), fields[box].column);
    // Ties among the days left out keep no order; only where each one ends up matters.
    for (qsizetype i = 0; i < shown.size(); ++i)
        if (expected[i].isEmpty())
            shown[i].clear();
    QCOMPARE(shown, expected);
    QVERIFY(readsItsIndex(diary.db(), Order(order)));
}

void TestStore::dayStoreSavesDeletesAndMoves() {
    fixture::TempDiary diary;
    QVERIFY(diary.addDays({fixture::day({{Fh, "01/12/2026"}}), fixture::day({{Fh, "02/12/2026"}}),
                           fixture::day({{Fh, "02/12/2026"}})}));
    DayStore store(diary.database());
    QList<int> shown;
    connect(&store, &DayStore::currentRowChanged, this, [&shown](int row) { shown += row; });
    QVERIFY(store.open());
    store.toPrevious(); // stays on the first
    store.toLast();
    store.toNext(); // stays on the last
    store.toPrevious();
    store.toNext(); // onto the last again
    QCOMPARE(shown, (QList<int>{0, 2, 1, 2}));
    QTRY_VERIFY(!store.isReadingAhead()); // once every day is read, the idle reading stops

    QVERIFY(store.beginDay());
    QCOMPARE(store.currentRow(), 3);
    QVERIFY(!store.setOrder(ByHours)); // the set does not move while a day is pending
    QVERIFY(store.storePending(fixture::day({{Fh, "03/12/2026"}})));
    QVERIFY(!store.isPending());
    QCOMPARE(store.storedCount(), 4);

    // One of two identical days goes; the next day takes its place on display.
    QVERIFY(store.setOrder(ByDate));
    store.toNext();
    QVERIFY(store.deleteCurrent());
    QCOMPARE(store.storedCount(), 3);
    QCOMPARE(store.textsAt(store.currentRow())[Fh], QStringLiteral("02/12/2026"));
    store.toLast();
    QVERIFY(store.deleteCurrent());
    QCOMPARE(store.currentRow(), 0);
    QCOMPARE(fixture::columnInOrder(diary.db(), orderStatement(ByDate), fields[Fh].column),
             (QStringList{"01/12/2026", "02/12/2026"}));
}

void TestStore::refusedSaveKeepsTheTypedDay() {
    fixture::TempDiary diary;
    QSqlQuery(diary.db())
        .exec(QStringLiteral(
            "CREATE TRIGGER refuse BEFORE INSERT ON \"El Día A Día En El Gimnasio\" "
            "WHEN NEW.\"Diario\" = 'no' BEGIN SELECT RAISE(ABORT, 'disco lleno'); END"));
    DayStore store(diary.database());
    QVERIFY(store.open());
    QVERIFY(store.beginDay());
    const DayTexts typed = fixture::day({{Fh, "05/12/2026"}, {Eldiario, "no"}});
    QVERIFY(!store.storePending(typed));
    QVERIFY(store.lastError().contains(u"disco lleno"));
    QVERIFY(store.isPending());
    QCOMPARE(store.textsAt(store.currentRow()), typed);
    QCOMPARE(store.storedCount(), 0);
    QVERIFY(store.storePending(fixture::day({{Fh, "05/12/2026"}, {Eldiario, "sí"}})));
    QCOMPARE(store.storedCount(), 1);

    // A disk that refuses the file: the day is in the diary, the file stays as it was, the user is
    // told, and the next save writes every change.
    QVERIFY(diary.database().seal(fixture::password) == Status::Ready);
    const QByteArray before = fixture::fileBytes(diary.path());
    QSignalSpy told(&diary.database(), &DiaryDatabase::writeFailed);
    if (!fixture::setWritable(diary.folder(), false))
        QSKIP("this machine cannot make a folder unwritable");
    QVERIFY(store.beginDay() && store.storePending(fixture::day({{Fh, "06/12/2026"}})));
    fixture::setWritable(diary.folder(), true);
    QCOMPARE(told.count(), 1);
    QVERIFY(messages::saveFailure(diary.database()).contains(u"La Carpeta Es De Solo Lectura"));
    QVERIFY(!diary.database().isWritten());
    QCOMPARE(fixture::fileBytes(diary.path()), before);
    QCOMPARE(QDir(diary.folder()).entryList(QDir::Files).size(), 2); // the diary and its lock
    QVERIFY(diary.database().save() && diary.database().isWritten());
    QTemporaryDir elsewhere;
    const QString copy = elsewhere.filePath(QStringLiteral("diario.db"));
    DiaryDatabase reader;
    QVERIFY(QFile::copy(diary.path(), copy) && fixture::openWith(reader, copy) == Status::Ready);
    QCOMPARE(fixture::columnInOrder(reader.connection(), orderStatement(ByDate), fields[Fh].column),
             (QStringList{"05/12/2026", "06/12/2026"}));
}

// A change that is not whole leaves the diary and its file as they were; an import cancelled or
// refused halfway stores and counts nothing; one that is done notes its backup and is written.
void TestStore::changesAreCommittedWholeOrNotAtAll() {
    fixture::TempDiary diary;
    QCOMPARE(diary.reopen(), Status::Ready);
    const QByteArray before = fixture::fileBytes(diary.path());
    QString error;
    const auto halfDone = [&](QString *why) {
        DayWriter(diary.db()).add(fixture::day({{Fh, "01/12/2026"}}));
        *why = QStringLiteral("a medias");
        return false;
    };
    QVERIFY(!diarychange::commitThenSave(diary.database(), halfDone, &error));
    QCOMPARE(error, QStringLiteral("a medias"));
    DayStore store(diary.database());
    const csvimport::Read read = csvimport::read("fecha\n01/12/2026\n02/12/2026\n", {2026, 12, 8});
    const dayimport::Applied cancelled =
        store.importDays(read, dayimport::Existing::Skip, {}, [](qint64, qint64) { return false; });
    QVERIFY(cancelled.cancelled && !cancelled.done && cancelled.error.isEmpty());
    QVERIFY(
        QSqlQuery(diary.db())
            .exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON \"%1\" WHEN NEW.\"%2\" = "
                                 "'02/12/2026' BEGIN SELECT RAISE(ABORT, 'disco lleno'); END")
                      .arg(tableName, fields[Fh].column)));
    const dayimport::Applied refused = store.importDays(read, dayimport::Existing::Skip);
    QVERIFY(!refused.done && refused.added == 0 && refused.error.contains(u"disco lleno"));
    QCOMPARE(store.storedCount(), 0);
    QCOMPARE(fixture::fileBytes(diary.path()), before);

    QVERIFY(QSqlQuery(diary.db()).exec(QStringLiteral("DROP TRIGGER refuse")));
    Failure failure;
    QString backup;
    QVERIFY(backups::makeBackup(diary.database(), QDateTime(QDate(2026, 12, 8), QTime(9, 0)),
                                backups::Kind::BeforeImport, &failure, {}, &backup));
    const dayimport::Applied done = store.importDays(read, dayimport::Existing::Skip, backup);
    QVERIFY(done.done && done.added == 2 && store.storedCount() == 2);
    QCOMPARE(backups::beforeLastImport(diary.path()), std::optional(backup));
    QVERIFY(diary.database().isWritten() && fixture::fileBytes(diary.path()) != before);
}

void TestStore::profileStoreKeepsThePasswordInside() {
    fixture::TempDiary diary;
    ProfileStore &profiles = diary.profiles();
    QCOMPARE(profiles.exists(), std::optional<bool>(false));
    QVERIFY(!profiles.load());
    QVERIFY(!profiles.create({fixture::profile, QString()})); // a failed hash stores nothing
    QCOMPARE(profiles.exists(), std::optional<bool>(false));
    QVERIFY(!profiles.setPhoto("x"));
    QVERIFY(diary.addProfile());
    QCOMPARE(profiles.exists(), std::optional<bool>(true));
    QVERIFY(profiles.checkPassword(fixture::password));
    QCOMPARE(profiles.photo(), std::optional<QByteArray>(QByteArray()));
    QVERIFY(profiles.setPhoto(QByteArray("\x89PNG\0x", 6)));
    QCOMPARE(diary.reopen(), Status::Ready);
    QCOMPARE(profiles.photo(), std::optional<QByteArray>(QByteArray("\x89PNG\0x", 6)));
    QVERIFY(!fixture::fileBytes(diary.path()).contains("PNG"));
    // A wrong current password changes nothing: the diary still opens with its own.
    const QByteArray sealed = fixture::fileBytes(diary.path());
    QCOMPARE(profiles.changePassword("otra-clave", "secreto9"),
             ProfileStore::PasswordChange::WrongCurrent);
    QVERIFY(profiles.checkPassword(fixture::password) && !profiles.checkPassword("secreto9"));
    QCOMPARE(fixture::fileBytes(diary.path()), sealed);
}

void TestStore::backupsRotateOverTwoYears() {
    // A backup every evening for two years, the rotation after each.
    std::vector<backups::Backup> made;
    const QDateTime start(QDate(2025, 1, 1), QTime(22, 30));
    for (int day = 0; day < 730; ++day) {
        made.insert(made.begin(), {{}, start.addDays(day)});
        const std::vector<bool> keep = backups::kept(made, start.addDays(day));
        std::vector<backups::Backup> left;
        for (std::size_t i = 0; i < made.size(); ++i)
            if (keep[i])
                left.push_back(made[i]);
        made = left;
    }
    const QDate today = start.addDays(729).date();
    QVERIFY(made.size() <= 23);
    for (int day = 0; day < 7; ++day) // the last seven days, each
        QCOMPARE(made[std::size_t(day)].made.date(), today.addDays(-day));
    QSet<int> months;
    for (const backups::Backup &backup : made) {
        QVERIFY(backup.made.date() > today.addMonths(-12).addDays(-31));
        months.insert(backup.made.date().year() * 12 + backup.made.date().month());
    }
    QCOMPARE(months.size(), 12); // one of each of the last twelve months
    QCOMPARE(backups::kept(made, start.addDays(729)), std::vector<bool>(made.size(), true));

    const QDateTime now(QDate(2026, 12, 8), QTime(9, 0));
    QCOMPARE(messages::backupState(std::nullopt, now), QStringLiteral("Sin copias todavía"));
    QCOMPARE(messages::backupState(QDateTime(QDate(2026, 12, 6), QTime(22, 30)), now),
             QStringLiteral("Última copia: 06/12/2026 22:30 (hace 2 días)"));
    QCOMPARE(messages::backupState(now.addSecs(-60), now),
             QStringLiteral("Última copia: 08/12/2026 "
                            "08:59 (hoy)"));
}

void TestStore::backupsKeptAreThoseAUserNeeds_data() {
    // Newest first, each "<kind><days ago>": A at exit, H by hand, I before an import, R before a
    // restore; "!" marks the one the undo or a restore needs. On 31 December 2026 the days 28 and
    // 29 ago share a week and a month, and so do the days 33 and 34 ago.
    columns<QString, QString>("backups", "kept");
    const QString week = QStringLiteral("A0 A1 A2 A3 A4 A5 A6 ");
    row("two at exit the same day", QStringLiteral("A0 A0"), QStringLiteral("+-"));
    row("by hand a minute before leaving", QStringLiteral("A0 H0"), QStringLiteral("++"));
    row("before an import, then leaving", QStringLiteral("A0 I0"), QStringLiteral("++"));
    row("before a restore, then leaving", QStringLiteral("A0 R0"), QStringLiteral("++"));
    row("at exit, thinned", week + "A28 A29", QStringLiteral("++++++++-"));
    row("by hand, kept 30 days", week + "A28 H29", QStringLiteral("+++++++++"));
    row("by hand, thinned after", week + "A33 H34", QStringLiteral("++++++++-"));
    row("the undo's, kept while it may", week + "A33 I34!", QStringLiteral("+++++++++"));
    row("about to be restored", week + "A28 A29!", QStringLiteral("+++++++++"));
}

void TestStore::backupsKeptAreThoseAUserNeeds() {
    const auto [listed, expected] = fetch<QString, QString>("backups", "kept");
    const QDateTime now(QDate(2026, 12, 31), QTime(12, 0));
    const QString kinds = QStringLiteral("AHIR");
    std::vector<backups::Backup> found;
    QStringList needed;
    for (const QString &item : listed.split(u' ')) {
        const QString path = QString::number(found.size());
        if (item.endsWith(u'!'))
            needed += path;
        found.push_back(
            {path,
             now.addDays(-item.mid(1).remove(u'!').toInt()).addSecs(-60 * qint64(found.size())),
             backups::Kind(kinds.indexOf(item[0]))});
    }
    QString shown;
    for (bool keep : backups::kept(found, now, needed))
        shown += keep ? u'+' : u'-';
    QCOMPARE(shown, expected);

    // Each kind's name tells its moment and kind; names of earlier versions are made at exit, and
    // any other name is no backup of ours.
    for (const backups::Backup &backup : found) {
        const QString name = backups::fileNameFor(backup.made, backup.kind);
        QCOMPARE(backups::madeOf(name), std::optional(backup.made));
        QCOMPARE(backups::kindOf(name), std::optional(backup.kind));
    }
    QCOMPARE(backups::kindOf("Copia 2026-12-07 062912.db"), std::optional(backups::Kind::AtExit));
    for (const char *other : {"Copia 2026-12-07 062912 (2).db", "Copia 2026-12-07 062912.db.new",
                              "Copia 2026-12-07 0629 A Mano.db"})
        QVERIFY2(!backups::madeOf(other) && !backups::kindOf(other), other);
}

void TestStore::backupIsAVerifiedSealedCopy() {
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile() && diary.addDays({fixture::day({{Fh, "05/12/2026"}})}));
    QCOMPARE(diary.reopen(), Status::Ready);
    // Nine evenings from Monday 30 November: 1 December goes, 30 November stays for its month.
    // The backup before an import of 21 October stays while the undo needs it, though a newer one
    // of its day was made on leaving.
    Failure error;
    const QDateTime first(QDate(2026, 11, 30), QTime(22, 0));
    QString undo;
    QVERIFY(
        backups::makeBackup(diary.database(), first.addDays(-40).addSecs(-3600),
                            backups::Kind::BeforeImport, &error, {}, &undo) &&
        backups::makeBackup(diary.database(), first.addDays(-40), backups::Kind::AtExit, &error));
    backups::noteBeforeImport(diary.path(), undo);
    for (int day = 0; day < 9; ++day)
        QVERIFY2(backups::makeBackup(diary.database(), first.addDays(day), backups::Kind::AtExit,
                                     &error),
                 qPrintable(messages::reason(error)));
    const std::vector<backups::Backup> found = backups::list(backups::folderOf(diary.path()));
    QCOMPARE(found.size(), std::size_t(10)); // seven days, November, October and the undo's
    QCOMPARE(found.front().made, first.addDays(8));
    QCOMPARE(found[7].made, first);
    QCOMPARE(backups::beforeLastImport(diary.path()), std::optional(undo));
    // Each opens with the password alone and holds the diary's day; none shows it plainly.
    QTemporaryDir elsewhere;
    const QString copy = elsewhere.filePath(QStringLiteral("diario.db"));
    DiaryDatabase reader;
    QVERIFY(QFile::copy(found.front().path, copy) &&
            fixture::openWith(reader, copy) == Status::Ready);
    QCOMPARE(fixture::columnInOrder(reader.connection(), orderStatement(ByDate), fields[Fh].column),
             QStringList{"05/12/2026"});
    QVERIFY(!fixture::fileBytes(found.front().path).contains("05/12/2026"));

    // A folder that refuses the copy: told, nothing removed, nothing left half-written.
    if (!fixture::setWritable(backups::folderOf(diary.path()), false))
        QSKIP("this machine cannot make a folder unwritable");
    const bool made =
        backups::makeBackup(diary.database(), first.addDays(40), backups::Kind::AtExit, &error);
    fixture::setWritable(backups::folderOf(diary.path()), true);
    QVERIFY(!made && !messages::reason(error).isEmpty());
    QCOMPARE(backups::list(backups::folderOf(diary.path())).size(), std::size_t(10));
    QCOMPARE(QDir(backups::folderOf(diary.path())).entryList(QDir::Files).size(), 11);
}

void TestStore::restoreRefusesDamageAndAsksForOlderPasswords() {
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile() && diary.addDays({fixture::day({{Fh, "05/12/2026"}})}));
    QCOMPARE(diary.reopen(), Status::Ready);
    Failure error;
    const QDateTime made(QDate(2026, 12, 5), QTime(22, 0));
    QVERIFY(backups::makeBackup(diary.database(), made, backups::Kind::ByHand, &error));
    const QString backup = backups::list(backups::folderOf(diary.path())).front().path;
    const auto dates = [&] {
        return fixture::columnInOrder(diary.db(), orderStatement(ByDate), fields[Fh].column);
    };
    // A day more, then a new password: the backup needs the old one.
    QVERIFY(diary.addDays({fixture::day({{Fh, "06/12/2026"}})}) && diary.database().save());
    QCOMPARE(diary.profiles().changePassword(fixture::password, "secreto9"),
             ProfileStore::PasswordChange::Changed);
    QCOMPARE(diary.database().inspectCopy(backup).status, Status::WrongPassword);
    QCOMPARE(diary.database().restoreFrom(diary.database().openCopy(backup, "secreto7")),
             Status::WrongPassword);

    // A damaged copy is refused and the diary stays as it was.
    const QString damaged = backups::folderOf(diary.path()) + "/dañada.db";
    QVERIFY(QFile::copy(backup, damaged) && fixture::damage(damaged));
    QCOMPARE(diary.database().restoreFrom(diary.database().openCopy(damaged, fixture::password)),
             Status::Damaged);
    QCOMPARE(dates(), (QStringList{"05/12/2026", "06/12/2026"}));
    // So is a copy of a newer version, which the diary had already taken in memory: the diary is
    // read again from its file.
    QSqlQuery engine(diary.db());
    QVERIFY(engine.exec("PRAGMA user_version = 99"));
    QVERIFY(backups::makeBackup(diary.database(), made.addDays(1), backups::Kind::ByHand, &error));
    QVERIFY(engine.exec(QStringLiteral("PRAGMA user_version = %1").arg(diaryschema::version)));
    const QString newer = backups::list(backups::folderOf(diary.path())).front().path;
    QVERIFY(newer != backup);
    QCOMPARE(diary.database().restoreFrom(diary.database().openCopy(newer)), Status::NewerVersion);
    QCOMPARE(dates(), (QStringList{"05/12/2026", "06/12/2026"}));

    // With its own password it opens, takes the diary's place and is sealed with today's key.
    const DiaryDatabase::CopyInfo info = diary.database().inspectCopy(backup, fixture::password);
    QCOMPARE(info.status, Status::Ready);
    QCOMPARE(info.days, 1);
    QCOMPARE(diary.database().restoreFrom(diary.database().openCopy(backup, fixture::password)),
             Status::Ready);
    QCOMPARE(dates(), QStringList{"05/12/2026"});
    QCOMPARE(diary.reopen("secreto9"), Status::Ready);
    QCOMPARE(dates(), QStringList{"05/12/2026"});
}

void TestStore::diaryStateDecides_data() {
    // Buttons: add, save, remove, single export, per-day export.
    columns<bool, bool, QString>("adding", "exporting", "enabled");
    row("viewing", false, false, QStringLiteral("+-+++"));
    row("adding", true, false, QStringLiteral("-+--+"));
    row("exporting", false, true, QStringLiteral("+-+--"));
}

void TestStore::diaryStateDecides() {
    const auto [adding, exporting, enabled] =
        fetch<bool, bool, QString>("adding", "exporting", "enabled");
    const diarystate::Buttons b = diarystate::buttonsFor({adding, exporting, false});
    QString shown;
    for (bool on : {b.add, b.save, b.remove, b.exportSingle, b.exportPerDay})
        shown += on ? u'+' : u'-';
    QCOMPARE(shown, enabled);

    // A pending day before a move, then on closing.
    using diarystate::Step;
    const DayTexts begun = fixture::day({{Fh, "05/12/2026"}});
    const DayTexts typed = fixture::day({{Fh, "05/12/2026"}, {Peski, "80"}});
    const DayTexts undatedText = fixture::day({{Eldiario, "hoy"}});
    const DayTexts otherDate = fixture::day({{Fh, "04/12/2026"}});
    QCOMPARE(diarystate::beforeMoving(begun, begun), Step::Drop);
    QCOMPARE(diarystate::beforeMoving(typed, begun), Step::Store);
    QCOMPARE(diarystate::beforeMoving(otherDate, begun), Step::Store);
    QCOMPARE(diarystate::beforeMoving(fixture::day({}), begun), Step::Drop);
    QCOMPARE(diarystate::beforeMoving(undatedText, begun), Step::Keep);
    QCOMPARE(diarystate::onClosing(begun, begun), Step::Drop);
    QCOMPARE(diarystate::onClosing(typed, begun), Step::Store);
    QCOMPARE(diarystate::onClosing(undatedText, begun), Step::Drop);
}

void TestStore::filesAreTheOwnersAlone_data() {
    columns<int, bool>("umask", "earlier");
    row("umask 022", 022, false);
    row("umask 002, open to the group", 002, false);
    row("an earlier version's files open to all", 0, true);
}

// Whatever the umask, every file the program writes is 0600 from the moment it exists, every
// folder 0700; what an earlier version left open is narrowed at the next start.
void TestStore::filesAreTheOwnersAlone() {
    const auto [mask, earlier] = fetch<int, bool>("umask", "earlier");
    const mode_t before = ::umask(mode_t(mask));
    const auto restore = qScopeGuard([before] { ::umask(before); });
    QTemporaryDir dir;
    const QString folder = dir.filePath("Mi Diario ñ €\nde gimnasio");
    DiaryDatabase database;
    ProfileStore profiles(database);
    QCOMPARE(database.open(folder + "/diario.db"), Status::Ready);
    QVERIFY(profiles.create({fixture::profile, password::hash(fixture::password)}));
    QCOMPARE(database.seal(fixture::password), Status::Ready);
    QVERIFY(writeEverything(database, folder));
    int pendingMode = -1;
    Failure error;
    QVERIFY(atomicfile::write(folder + "/nota.txt", "nota", &error, [&](const QString &written) {
        pendingMode = modeOf(written);
        return true;
    }));
    QCOMPARE(pendingMode, 0600);
    QDirIterator::IteratorFlag deep = QDirIterator::Subdirectories;
    const auto filter = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    if (earlier) {
        database.close();
        for (QDirIterator entry(folder, filter, deep); entry.hasNext();) {
            const QString name = entry.next();
            QVERIFY(::chmod(QFile::encodeName(name), entry.fileInfo().isDir() ? 0777 : 0666) == 0);
        }
        QVERIFY(::chmod(QFile::encodeName(folder), 0777) == 0);
        // Reached this time through a link of the owner's to the folder.
        QVERIFY(QFile::link(folder, dir.filePath("enlace")));
        QCOMPARE(database.open(dir.filePath("enlace/diario.db")), Status::Ready);
    }
    QStringList open;
    if (modeOf(folder) != 0700)
        open += folder;
    int seen = 0;
    for (QDirIterator entry(folder, filter, deep); entry.hasNext(); ++seen) {
        const int mode = modeOf(entry.next());
        if (mode != (entry.fileInfo().isDir() ? 0700 : 0600))
            open += entry.fileName() + QStringLiteral(" %1").arg(mode, 0, 8);
    }
    QCOMPARE(open, QStringList());
    QCOMPARE(seen, 10); // diary, lock, Copias and a backup, two reports, CSV, two copies, note
}

void TestStore::plantedLinksAreReplacedNeverFollowed_data() {
    columns<QString, QStringList>("operation", "links");
    const QString backup = "Copias/" + backups::fileNameFor(QDateTime(QDate(2026, 12, 5), {22, 0}),
                                                            backups::Kind::AtExit);
    const QString pending = DiaryDatabase::defaultFileName() + ".new";
    row("save", QStringLiteral("save"), QStringList{pending});
    row("password change", QStringLiteral("password"), QStringList{pending});
    row("backup", QStringLiteral("backup"), QStringList{backup + ".new", backup});
    row("single report", QStringLiteral("single"),
        QStringList{".Estadísticas.TxT.part", "Estadísticas.TxT"});
    row("per-day reports", QStringLiteral("perday"),
        QStringList{".sábado5dediciembrede2026.TxT.part", "sábado5dediciembrede2026.TxT"});
    row("CSV", QStringLiteral("csv"), QStringList{"diario.csv.new", "diario.csv"});
    row("plain copy", QStringLiteral("plain"),
        QStringList{"plano.db.new", "plano.db.new-journal", "plano.db"});
    row("sealed copy", QStringLiteral("copy"), QStringList{"copia.db.new", "copia.db"});
}

// A link that someone planted at a name the program writes, for a moment or for good, is
// replaced by the program's own file: its target outside the folder stays as it was.
void TestStore::plantedLinksAreReplacedNeverFollowed() {
    const auto [operation, links] = fetch<QString, QStringList>("operation", "links");
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile() && diary.addDays({fixture::day({{Fh, "05/12/2026"}})}));
    QCOMPARE(diary.reopen(), Status::Ready);
    QTemporaryDir outside;
    const QString target = outside.filePath("ajeno.txt");
    QFile file(target);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("ajeno") == 5);
    file.close();
    QVERIFY(QDir().mkpath(backups::folderOf(diary.path())));
    for (const QString &name : links)
        QVERIFY(QFile::link(target, diary.folder() + u'/' + name));

    const std::vector<DayTexts> list{fixture::day({{Fh, "05/12/2026"}})};
    const DayList days(list);
    const QString folder = diary.folder();
    DiaryDatabase &database = diary.database();
    Failure error;
    const QMap<QString, std::function<bool()>> run = {
        {"save", [&] { return database.save(); }},
        {"password",
         [&] {
             return diary.profiles().changePassword(fixture::password, "secreto9") ==
                    ProfileStore::PasswordChange::Changed;
         }},
        {"backup",
         [&] {
             return backups::makeBackup(database, QDateTime(QDate(2026, 12, 5), {22, 0}),
                                        backups::Kind::AtExit, &error);
         }},
        {"single", [&] { return statsexport::writeSingleFile(folder, {}, days).written; }},
        {"perday", [&] { return statsexport::writePerDayFiles(folder, {}, days).written; }},
        {"csv",
         [&] {
             return csvexport::writeFile(folder + "/diario.csv", csvexport::Preset::Standard, days)
                 .written;
         }},
        {"plain", [&] { return database.writePlainCopy(folder + "/plano.db"); }},
        {"copy", [&] { return database.writeCopy(folder + "/copia.db"); }}};
    QVERIFY(run[operation]());
    QCOMPARE(fixture::fileBytes(target), QByteArray("ajeno"));
    for (const QString &name : links)
        QVERIFY2(!QFileInfo(folder + u'/' + name).isSymLink(), qPrintable(name));
    QVERIFY(!QFileInfo(diary.path()).isSymLink());
    QCOMPARE(diary.reopen(operation == "password" ? "secreto9" : fixture::password), Status::Ready);
}

// A diary that its owner keeps on another disk through a link: read and written beside the
// link's target, and the link stays.
void TestStore::diaryKeptElsewhereThroughALink() {
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile() && diary.close());
    QTemporaryDir otherDisk;
    const QString real = otherDisk.filePath("diario.db");
    QVERIFY(QFile::rename(diary.path(), real) && QFile::link(real, diary.path()));
    QCOMPARE(fixture::openWith(diary.database(), diary.path()), Status::Ready);
    QVERIFY(QFileInfo::exists(real + ".lock"));
    QVERIFY(diary.addDays({fixture::day({{Fh, "05/12/2026"}})}) && diary.database().save());
    QVERIFY(QFileInfo(diary.path()).isSymLink());
    DiaryDatabase reader;
    QVERIFY(diary.close());
    QCOMPARE(fixture::openWith(reader, real), Status::Ready);
    QCOMPARE(fixture::columnInOrder(reader.connection(), orderStatement(ByDate), fields[Fh].column),
             QStringList{"05/12/2026"});
}

void TestStore::writeFailuresTellTheirReason_data() {
    columns<QString, int, QString>("operation", "error", "told");
    const QString full = QStringLiteral("No Queda Sitio En El Disco.");
    const QString readOnly = QStringLiteral("El Disco Es De Solo Lectura.");
    row("save, disk full", QStringLiteral("save"), ENOSPC, full);
    row("save, read-only disk", QStringLiteral("save"), EROFS, readOnly);
    row("backup, disk full", QStringLiteral("backup"), ENOSPC, full);
    row("backup, quota reached", QStringLiteral("backup"), EDQUOT, full);
    row("password change, disk full", QStringLiteral("password"), ENOSPC, full);
    row("password change, read-only disk", QStringLiteral("password"), EROFS, readOnly);
    row("single report, disk full", QStringLiteral("single"), ENOSPC, full);
    row("anything else, in the system's words", QStringLiteral("save"), EIO,
        "Error Del Sistema: " + QString::fromLocal8Bit(std::strerror(EIO)));
}

// What the user is told when the disk refuses a write: the reason in Spanish, never "Error
// desconocido" nor the system's English for the usual ones.
void TestStore::writeFailuresTellTheirReason() {
    const auto [operation, error, told] =
        fetch<QString, int, QString>("operation", "error", "told");
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile());
    QCOMPARE(diary.reopen(), Status::Ready);
    QSignalSpy failed(&diary.database(), &DiaryDatabase::writeFailed);
    QString reason;
    privatefile::failNextWrite(error);
    if (operation == "save") {
        QVERIFY(!diary.database().save() && failed.count() == 1);
        reason = messages::saveFailure(diary.database());
    } else if (operation == "backup") {
        Failure failure;
        QVERIFY(!backups::makeBackup(diary.database(), QDateTime::currentDateTime(),
                                     backups::Kind::ByHand, &failure));
        reason = messages::reason(failure);
    } else if (operation == "password") {
        QCOMPARE(diary.profiles().changePassword(fixture::password, "secreto9"),
                 ProfileStore::PasswordChange::NotWritten);
        reason = messages::reason(diary.profiles().lastFailure());
    } else {
        reason = messages::reason(
            statsexport::writeSingleFile(diary.folder(), {}, {fixture::day({})}).failure);
    }
    QVERIFY2(reason.contains(told), qPrintable(reason));
    QCOMPARE(QDir(diary.folder()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

// The limit of core files and the dumpable mark read back as the start sets them, in a process
// of their own: this one stays open to debuggers.
void TestStore::noCoreFileHoldsTheDiary() {
    int channel[2];
    QVERIFY(::pipe(channel) == 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dumpableBefore = processguard::current().dumpable;
        const bool set = processguard::protect();
        const processguard::State state = processguard::current();
        const unsigned long long answer[] = {dumpableBefore,      set,
                                             state.coreSoftLimit, state.coreHardLimit,
                                             state.dumpable,      state.umask};
        ::_exit(::write(channel[1], answer, sizeof answer) == sizeof answer ? 0 : 1);
    }
    ::close(channel[1]);
    unsigned long long answer[6] = {};
    const bool read = ::read(channel[0], answer, sizeof answer) == sizeof answer;
    ::close(channel[0]);
    int status = 1;
    QVERIFY(::waitpid(child, &status, 0) == child && read);
    QCOMPARE(QList<unsigned long long>(std::begin(answer), std::end(answer)),
             (QList<unsigned long long>{1, 1, 0, 0, 0, 077}));
}

// A password is overwritten once used; a copy that someone else still holds is left whole.
void TestStore::passwordsAreWipedAfterUse() {
    QString typed = QString::fromUtf8("secreto1");
    const QChar *characters = typed.constData();
    QByteArray bytes = typed.toUtf8();
    const char *utf8 = bytes.constData();
    QString shared = QString::fromUtf8("secreto2");
    const QString kept = shared;
    password::wipe(typed);
    password::wipe(bytes);
    password::wipe(shared);
    QVERIFY(typed.isEmpty() && bytes.isEmpty() && shared.isEmpty());
    QCOMPARE(QStringView(characters, 8), QString(8, QChar(0)));
    QCOMPARE(QByteArrayView(utf8, 8), QByteArray(8, '\0'));
    QCOMPARE(kept, QStringLiteral("secreto2"));
    password::wipeEverywhere(kept);
    QCOMPARE(kept, QString(8, QChar(0)));
    QString literal = QStringLiteral("secreto3");
    password::wipe(literal); // a literal is only emptied
    QVERIFY(literal.isEmpty());
}

QTEST_GUILESS_MAIN(TestStore)
#include "test_store.moc"

// The diary file, its orders, the day store, the profile store and the diary window's state,
// all without windows.

#include "daystore.h"
#include "diaryfixture.h"
#include "diarystate.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>
#include <sqlite3.h>

using namespace dayfields;
using Status = DiaryDatabase::Status;

namespace {

// Writes a file with plain SQLite, outside the program's own checks.
bool writeWithSqlite(const QString &path, const char *sql) {
    sqlite3 *db = nullptr;
    const bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

bool rewrite(const QString &path, const QByteArray &content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
}

// True when the engine reads the order's own index instead of sorting the whole diary.
bool readsItsIndex(const QSqlDatabase &db, Order order) {
    QSqlQuery plan(db);
    QStringList steps;
    if (plan.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + orderStatement(order)))
        while (plan.next())
            steps += plan.value(3).toString();
    const bool read = steps.size() == 1 && steps.first().contains(orderKeys[order].indexName);
    if (!read)
        qWarning("%s", qPrintable(steps.join(u"; ")));
    return read;
}

QStringList shownColumn(DayStore &store, Box box) {
    QStringList texts;
    store.toFirst();
    for (int row = -1; store.currentRow() != row; store.toNext()) {
        row = store.currentRow();
        texts += store.textsAt(row)[box];
    }
    return texts;
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
    void profileStoreKeepsThePasswordInside();
    void buttonsFollowTheState_data();
    void buttonsFollowTheState();
    void pendingDayIsSettledSafely_data();
    void pendingDayIsSettledSafely();
};

void TestStore::refusedFilesAreNeverTouched_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<Status>("expected");
    QTest::newRow("zero length") << "empty" << Status::NotADatabase;
    QTest::newRow("text file") << "text" << Status::NotADatabase;
    QTest::newRow("zeroed header") << "header" << Status::NotADatabase;
    QTest::newRow("truncated to half") << "half" << Status::Damaged;
    QTest::newRow("flipped byte in a page") << "flip" << Status::Damaged;
    QTest::newRow("foreign schema") << "foreign" << Status::WrongSchema;
    QTest::newRow("missing column") << "column" << Status::WrongSchema;
    QTest::newRow("newer version") << "newer" << Status::NewerVersion;
    QTest::newRow("a folder in its place") << "folder" << Status::CannotOpen;
    QTest::newRow("read-only file") << "readonly" << Status::ReadOnly;
    QTest::newRow("read-only folder") << "readonlyfolder" << Status::ReadOnly;
}

void TestStore::refusedFilesAreNeverTouched() {
    QFETCH(QString, damage);
    QFETCH(Status, expected);
    fixture::TempDiary diary;
    QList<DayTexts> days;
    for (int i = 0; i < 300; ++i)
        days += fixture::day({{Fh, QStringLiteral("%1/01/2026").arg(i % 28 + 1)},
                              {Eldiario, QString(200, QChar(u'a' + i % 26))}});
    QVERIFY(diary.addDays(days));
    diary.database().close();
    const QString path = diary.path();
    QByteArray bytes = fixture::fileBytes(path);
    if (damage == "empty" || damage == "text" || damage == "header" || damage == "half") {
        const QByteArray content = damage == "text"     ? QByteArray("Esto no es un diario.\n")
                                   : damage == "header" ? QByteArray(100, '\0') + bytes.mid(100)
                                   : damage == "half"   ? bytes.left(bytes.size() / 2)
                                                        : QByteArray();
        QVERIFY(rewrite(path, content));
    } else if (damage == "flip") {
        // The cell count in the header of a table page in the middle of the file.
        const qsizetype at = 4096 * (bytes.size() / 4096 / 2) + 3;
        bytes[at] = char(bytes[at] ^ 0x5a);
        QVERIFY(rewrite(path, bytes));
    } else if (damage == "foreign" || damage == "column" || damage == "folder") {
        QVERIFY(QFile::remove(path));
        if (damage == "folder")
            QVERIFY(QDir().mkpath(path));
        else
            QVERIFY(writeWithSqlite(
                path, damage == "foreign"
                          ? "CREATE TABLE agenda(x);"
                          : "CREATE TABLE \"Datos Del Usuario\" (\"Id\" INTEGER PRIMARY KEY, "
                            "\"Nombre Usuario\", \"Fecha De Nacimiento\", \"Altura Del Usuario "
                            "Cm\", \"Fecha De Comienzo En El Gimnasio\", \"Clave\", \"Foto Del "
                            "Usuario\"); CREATE TABLE \"El Día A Día En El Gimnasio\" (\"Id\" "
                            "INTEGER PRIMARY KEY, \"Fecha Del Día\"); PRAGMA user_version = 2;"));
    } else if (damage == "newer") {
        QVERIFY(writeWithSqlite(path, "PRAGMA user_version = 99;"));
    }
    const QString locked = damage == "readonlyfolder" ? diary.folder() : path;
    if (damage.startsWith(u"readonly") && !fixture::setWritable(locked, false))
        QSKIP("this machine cannot make a file unwritable");
    const QByteArray before = fixture::fileBytes(path);
    const Status status = diary.reopen();
    fixture::setWritable(locked, true);
    QCOMPARE(status, expected);
    QVERIFY(!diary.database().errorMessage(status).isEmpty());
    QVERIFY(!diary.db().isOpen());
    QCOMPARE(fixture::fileBytes(path), before);
    QVERIFY(!QFile::exists(path + QLatin1String("-journal")));
}

void TestStore::secondCopyIsRefusedAndStaleLockIsTaken() {
    fixture::TempDiary diary;
    QVERIFY(diary.isValid());
    DiaryDatabase second;
    QCOMPARE(second.open(diary.path()), Status::AlreadyRunning);
    QVERIFY(second.errorMessage(Status::AlreadyRunning).contains(u"Ya Está Abierto"));
    diary.database().close();
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
    QTest::addColumn<int>("version");
    QTest::newRow("tables alone") << 1;
    QTest::newRow("with the date index") << 2;
    QTest::newRow("girth pairs indexed on val") << 3;
}

void TestStore::olderSchemaIsBackedUpAndMigrated() {
    QFETCH(int, version);
    fixture::TempDiary diary;
    const QStringList currentIndexes = fixture::indexNames(diary.db());
    QCOMPARE(currentIndexes.size(), int(OrderCount));
    QVERIFY(diary.addDays({fixture::day({{Fh, "05/12/2026"}, {Dbd, "36"}, {Dbi, "35"}}),
                           fixture::day({{Fh, "04/12/2026"}, {Dbd, "35,9"}, {Dbi, "35,9"}})}));
    QVERIFY(fixture::makeOlderVersion(diary.db(), version));
    QCOMPARE(diary.reopen(), Status::Ready);
    QSqlQuery query(diary.db());
    QVERIFY(query.exec(QStringLiteral("PRAGMA user_version")) && query.next());
    QCOMPARE(query.value(0).toInt(), DiaryDatabase::schemaVersion);
    QCOMPARE(fixture::indexNames(diary.db()), currentIndexes);
    QCOMPARE(fixture::columnInOrder(diary.db(), orderStatement(ByBiceps), fields[Dbd].column),
             (QStringList{"35,9", "36"}));
    QVERIFY(readsItsIndex(diary.db(), ByBiceps));

    // The copy set aside first is the old diary, with its version and its days.
    const QStringList backups =
        QDir(diary.folder()).entryList({QStringLiteral("*.v%1-*.bak").arg(version)});
    QCOMPARE(backups.size(), 1);
    {
        QSqlDatabase copy = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), backups.first());
        copy.setDatabaseName(diary.folder() + u'/' + backups.first());
        QVERIFY(copy.open());
        QCOMPARE(fixture::columnInOrder(copy, QStringLiteral("PRAGMA user_version"),
                                        QStringLiteral("user_version")),
                 QStringList{QString::number(version)});
        QCOMPARE(fixture::columnInOrder(copy,
                                        QStringLiteral("SELECT * FROM \"El Día A Día En El "
                                                       "Gimnasio\" NOT INDEXED"),
                                        fields[Fh].column),
                 (QStringList{"05/12/2026", "04/12/2026"}));
    }
    QSqlDatabase::removeDatabase(backups.first());
}

void TestStore::ordersGiveWhatAUserExpects_data() {
    QTest::addColumn<int>("order");
    QTest::addColumn<Box>("box");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("date") << int(ByDate) << Fh
                          << QStringList{"20/11/2026", "5/12/2026", "10/01/2027", "no sé", "x"};
    QTest::newRow("hours") << int(ByHours) << Hgim << QStringList{"10", "9,5", "2", "abc", ""};
    QTest::newRow("water") << int(ByWater) << Lagua << QStringList{"10", "2", "1.5", "", ""};
    QTest::newRow("weight") << int(ByWeight) << Peski << QStringList{"100", "95", "80", "", ""};
    QTest::newRow("bottom") << int(ByBottom) << Dculo << QStringList{"100", "95", "80", "x", ""};
    QTest::newRow("chest") << int(ByChest) << Dp << QStringList{"100,5", "100", "80", "", ""};
    // Pairs sort by the sum of their numbers: 35,9 + 35,9 above 36 + 35; a side that is no
    // number adds nothing; a day where neither side is a number comes last.
    QTest::newRow("biceps") << int(ByBiceps) << Dbd << QStringList{"35,9", "36", "abc", "30", ""};
    QTest::newRow("forearm") << int(ByForearm) << Dad << QStringList{"28", "27", "25", "", ""};
    QTest::newRow("leg") << int(ByLeg) << Dpd << QStringList{"100", "60", "55", "", ""};
    QTest::newRow("calf") << int(ByCalf) << Dgd << QStringList{"40", "38", "9", "", ""};
    QTest::newRow("timetable") << int(ByTimetable) << Horahoy
                               << QStringList{"9:00", "10:30", "18:00", "", ""};
}

void TestStore::ordersGiveWhatAUserExpects() {
    QFETCH(int, order);
    QFETCH(Box, box);
    QFETCH(QStringList, expected);
    fixture::TempDiary diary;
    // Entered out of order; numbers that cross text order (80, 95, 100).
    QVERIFY(diary.addDays({
        fixture::day({{Fh, "10/01/2027"},
                      {Hgim, "2"},
                      {Lagua, "1.5"},
                      {Peski, "80"},
                      {Dculo, "100"},
                      {Dp, "100"},
                      {Dbd, "abc"},
                      {Dbi, "40,5"},
                      {Dad, "25"},
                      {Dai, "25"},
                      {Dpd, "55"},
                      {Dpi, "55"},
                      {Dgd, "38"},
                      {Dgi, "38"},
                      {Horahoy, "18:00"}}),
        fixture::day({{Fh, "5/12/2026"},
                      {Hgim, "10"},
                      {Lagua, "2"},
                      {Peski, "100"},
                      {Dculo, "80"},
                      {Dp, "100,5"},
                      {Dbd, "36"},
                      {Dbi, "35"},
                      {Dad, "28"},
                      {Dai, "28"},
                      {Dpd, "100"},
                      {Dpi, "100"},
                      {Dgd, "9"},
                      {Dgi, "9"},
                      {Horahoy, "10:30"}}),
        fixture::day({{Fh, "no sé"}, {Hgim, "abc"}, {Dbd, "30"}, {Dpd, "x"}, {Dgd, "y"}}),
        fixture::day({{Fh, "x"}, {Dculo, "x"}}),
        fixture::day({{Fh, "20/11/2026"},
                      {Hgim, "9,5"},
                      {Lagua, "10"},
                      {Peski, "95"},
                      {Dculo, "95"},
                      {Dp, "80"},
                      {Dbd, "35,9"},
                      {Dbi, "35,9"},
                      {Dad, "27"},
                      {Dai, "27"},
                      {Dpd, "60"},
                      {Dpi, "60"},
                      {Dgd, "40"},
                      {Dgi, "40"},
                      {Horahoy, "9:00"}}),
    }));
    // Ties among the days left out keep no order; only where each one ends up matters.
    const auto known = [&expected](QStringList texts) {
        for (qsizetype i = 0; i < texts.size(); ++i)
            if (expected[i].isEmpty())
                texts[i].clear();
        return texts;
    };
    DayStore store(diary.database());
    QVERIFY(store.open() && store.setOrder(Order(order)));
    QCOMPARE(known(shownColumn(store, box)), expected);

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
    QCOMPARE(shown, (QList<int>{0, 2}));
    QCOMPARE(store.storedCount(), 3);

    // A typed text comes back byte for byte, quotes and all.
    const DayTexts typed = fixture::day({{Fh, "03/12/2026"},
                                         {Desa, "pan y 'aceite'\n\"café\"; DROP TABLE x;--"},
                                         {Eldiario, QString(5000, u'ñ') + QChar(0x1F4AA)}});
    QVERIFY(store.beginDay());
    QVERIFY(store.isPending());
    QCOMPARE(store.currentRow(), 3);
    QVERIFY(!store.setOrder(ByHours)); // the set does not move while a day is pending
    QVERIFY(store.storePending(typed));
    QVERIFY(!store.isPending());
    QCOMPARE(store.storedCount(), 4);
    QCOMPARE(
        fixture::columnInOrder(diary.db(), orderStatement(ByDate), fields[Eldiario].column).last(),
        typed[Eldiario]);

    // A dropped day leaves nothing behind and shows the day shown before.
    store.toFirst();
    QVERIFY(store.beginDay());
    store.dropPending();
    QCOMPARE(store.currentRow(), 0);
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
}

void TestStore::profileStoreKeepsThePasswordInside() {
    fixture::TempDiary diary;
    ProfileStore &profiles = diary.profiles();
    QCOMPARE(profiles.exists(), std::optional<bool>(false));
    QVERIFY(!profiles.load());
    QVERIFY(!profiles.checkPassword(QString()));
    QVERIFY(!profiles.create({fixture::profile, QString()})); // a failed hash stores nothing
    QCOMPARE(profiles.exists(), std::optional<bool>(false));
    QVERIFY(!profiles.setPhoto("x"));
    QVERIFY(diary.addProfile());
    QCOMPARE(profiles.exists(), std::optional<bool>(true));
    const std::optional<StoredProfile> loaded = profiles.load();
    QVERIFY(loaded);
    QCOMPARE(loaded->name, fixture::profile.name);
    QCOMPARE(loaded->birthDate, fixture::profile.birthDate);
    QCOMPARE(loaded->height, fixture::profile.height);
    QCOMPARE(loaded->gymStart, fixture::profile.gymStart);
    QVERIFY(profiles.checkPassword(fixture::password));
    QVERIFY(!profiles.checkPassword(QStringLiteral("secreto2")));
    QCOMPARE(profiles.photo(), std::optional<QByteArray>(QByteArray()));
    QVERIFY(profiles.setPhoto(QByteArray("\x89PNG\0x", 6)));
    QCOMPARE(profiles.photo(), std::optional<QByteArray>(QByteArray("\x89PNG\0x", 6)));
    // The password is never kept as typed.
    QVERIFY(!fixture::fileBytes(diary.path()).contains(fixture::password.toUtf8()));
}

void TestStore::buttonsFollowTheState_data() {
    QTest::addColumn<bool>("adding");
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<QString>("enabled"); // add, save, remove, single export, per-day export
    QTest::newRow("viewing") << false << false << "+-+++";
    QTest::newRow("adding") << true << false << "-+--+";
    QTest::newRow("exporting") << false << true << "+-+--";
}

void TestStore::buttonsFollowTheState() {
    QFETCH(bool, adding);
    QFETCH(bool, exporting);
    QFETCH(QString, enabled);
    const diarystate::Buttons b = diarystate::buttonsFor({adding, exporting, false});
    QString shown;
    for (bool on : {b.add, b.save, b.remove, b.exportSingle, b.exportPerDay})
        shown += on ? u'+' : u'-';
    QCOMPARE(shown, enabled);
}

void TestStore::pendingDayIsSettledSafely_data() {
    QTest::addColumn<DayTexts>("shown");
    QTest::addColumn<DayTexts>("asBegun");
    QTest::addColumn<int>("beforeMoving");
    QTest::addColumn<int>("onClosing");
    using diarystate::Step;
    const DayTexts begun = fixture::day({{Fh, "05/12/2026"}});
    QTest::newRow("as begun") << begun << begun << int(Step::Store) << int(Step::Drop);
    QTest::newRow("typed into") << fixture::day({{Fh, "05/12/2026"}, {Peski, "80"}}) << begun
                                << int(Step::Store) << int(Step::Store);
    QTest::newRow("date cleared, empty")
        << fixture::day({}) << begun << int(Step::Drop) << int(Step::Drop);
    QTest::newRow("date cleared, text typed")
        << fixture::day({{Eldiario, "hoy"}}) << begun << int(Step::Keep) << int(Step::Drop);
}

void TestStore::pendingDayIsSettledSafely() {
    QFETCH(DayTexts, shown);
    QFETCH(DayTexts, asBegun);
    QFETCH(int, beforeMoving);
    QFETCH(int, onClosing);
    QCOMPARE(int(diarystate::beforeMoving(shown)), beforeMoving);
    QCOMPARE(int(diarystate::onClosing(shown, asBegun)), onClosing);
}

QTEST_GUILESS_MAIN(TestStore)
#include "test_store.moc"

#include "dayrecordset.h"
#include "daywalk.h"
#include "diarydatabase.h"
#include "diaryfixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace dayfields;
using Status = DiaryDatabase::Status;

namespace {

QSqlQuery run(const QSqlDatabase &db, const QString &sql) {
    QSqlQuery query(db);
    if (!query.exec(sql))
        qWarning("%s", qPrintable(sql));
    return query;
}

// Writes a file with plain SQLite, outside the program's own checks.
bool writeWithSqlite(const QString &path, const char *sql) {
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        return false;
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

} // namespace

class TestDatabase : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();

    void firstStartCreatesFolderAndSchema();
    void typedTextComesBackByteForByte();
    void ordersGiveWhatAUserExpects_data();
    void ordersGiveWhatAUserExpects();
    void sqliteShellReadsTheFile();
    void recordSetDeletesOneOfTwoIdenticalDays();
    void storedDaysWalkInTheOrderOfTheirStatement();

    void refusedFilesAreNeverTouched_data();
    void refusedFilesAreNeverTouched();
    void secondCopyIsRefusedAndStaleLockIsTaken();
    void readOnlyFileIsRefused();
    void olderSchemaIsBackedUpAndMigrated_data();
    void olderSchemaIsBackedUpAndMigrated();
    void everyOrderReadsItsIndex_data();
    void everyOrderReadsItsIndex();

private:
    QString path() const {
        return m_dir->filePath(QStringLiteral("sub/Gimnasio Por ^Zorvend^.db"));
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDatabase::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestDatabase::firstStartCreatesFolderAndSchema() {
    QVERIFY(!QFile::exists(path()));
    DiaryDatabase database;
    QCOMPARE(database.open(path()), Status::Ready);
    QVERIFY(QFile::exists(path()));
    QCOMPARE(database.folder(), QFileInfo(path()).absolutePath());
    {

        QSqlDatabase db = database.connection();
        QSqlQuery version = run(db, QStringLiteral("PRAGMA user_version"));
        QVERIFY(version.next());
        QCOMPARE(version.value(0).toInt(), DiaryDatabase::schemaVersion);
        const QSqlRecord days = db.record(tableName);
        for (const DayField &field : fields)
            QVERIFY2(days.indexOf(field.column) >= 0, qPrintable(field.column));
        QCOMPARE(days.count(), BoxCount + 1);
        QVERIFY(db.record(profileTableName).indexOf(photoColumn) >= 0);
        QSqlQuery journal = run(db, QStringLiteral("PRAGMA journal_mode"));
        QVERIFY(journal.next());
        QCOMPARE(journal.value(0).toString(), QStringLiteral("delete"));
        QSqlQuery sync = run(db, QStringLiteral("PRAGMA synchronous"));
        QVERIFY(sync.next());
        QCOMPARE(sync.value(0).toInt(), 2); // FULL
    }
    database.close();

    // Opened again, the same file is taken as it is.
    DiaryDatabase again;
    QCOMPARE(again.open(path()), Status::Ready);
}

void TestDatabase::typedTextComesBackByteForByte() {
    DiaryDatabase database;
    QCOMPARE(database.open(path()), Status::Ready);
    const QString hostile =
        QStringLiteral("'); DROP TABLE x; -- 💪 e\u0301 \u05e9\u05dc\u05d5\u05dd ") + QChar(u'\0') +
        QStringLiteral(" fin");
    const DayTexts stored = fixture::day({{Fh, QStringLiteral("05/12/2026")},
                                          {Hgim, QStringLiteral("   ")},
                                          {Eldiario, hostile},
                                          {Dcue, QStringLiteral("abc")}});
    QVERIFY(fixture::insertDays(database.connection(), {stored}));
    database.close();

    QCOMPARE(database.open(path()), Status::Ready);
    DayRecordSet days(database.connection(), tableName);
    QVERIFY(days.select());
    QCOMPARE(days.exactCount(), 1);
    for (int box = 0; box < BoxCount; ++box) {
        const QVariant value = days.data(days.index(0, days.columnOf(fields[box].column)));
        QCOMPARE(value.toString(), stored[box]);
        QVERIFY2(!value.isNull(), fields[box].box); // an empty box stays an empty text
    }
    // The walk that the reports read gives the same texts.
    int walked = 0;
    QVERIFY(StoredDays(database.connection(), orderStatements[ByDate])
                .forEach([&](const DayTexts &texts) {
                    ++walked;
                    for (int box = 0; box < BoxCount; ++box)
                        if (texts[box] != stored[box])
                            return false;
                    return true;
                }));
    QCOMPARE(walked, 1);
}

void TestDatabase::storedDaysWalkInTheOrderOfTheirStatement() {
    DiaryDatabase database;
    QCOMPARE(database.open(path()), Status::Ready);
    QVERIFY(fixture::insertDays(
        database.connection(),
        {fixture::day({{Fh, QStringLiteral("10/01/2027")}, {Hgim, QStringLiteral("1")}}),
         fixture::day({{Fh, QStringLiteral("no sé")}, {Hgim, QStringLiteral("2")}}),
         fixture::day({{Fh, QStringLiteral("5/12/2026")}, {Hgim, QStringLiteral("3")}}),
         fixture::day({{Fh, QStringLiteral("")}, {Hgim, QString(70000, u'h')}})}));
    const StoredDays days(database.connection(), orderStatements[ByDate]);

    const DayWalk::Summary summary = days.summary();
    QVERIFY(summary.complete);
    QCOMPARE(summary.count, 4);
    QCOMPARE(summary.lastDate, QDate(2027, 1, 10)); // the days without a date come after it

    // Texts are handed over one day at a time, long ones after short ones in the same buffers.
    QStringList hours;
    QVERIFY(days.forEach([&](const DayTexts &day) {
        hours += day[Hgim].size() > 10 ? QString::number(day[Hgim].size()) : day[Hgim];
        return true;
    }));
    QCOMPARE(hours, (QStringList{"3", "1", "70000", "2"}));

    int visited = 0;
    QVERIFY(days.forEach([&](const DayTexts &) { return ++visited < 2; }));
    QCOMPARE(visited, 2);

    // A statement that the engine refuses is a walk that could not be completed.
    const StoredDays refused(database.connection(), QStringLiteral("select * FROM [No Hay Tal]"));
    QVERIFY(!refused.summary().complete);
    QVERIFY(!refused.forEach([](const DayTexts &) { return true; }));
    const StoredDays empty(database.connection(),
                           orderStatements[ByDate] + QStringLiteral(" LIMIT 0"));
    QCOMPARE(empty.summary().count, 0);
    QVERIFY(empty.summary().complete);
}

void TestDatabase::ordersGiveWhatAUserExpects_data() {
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("date") << int(ByDate) << fields[Fh].column
                          << QStringList{"20/11/2026", "5/12/2026", "10/01/2027", "no sé"};
    QTest::newRow("hours") << int(ByHours) << fields[Hgim].column
                           << QStringList{"10", "9,5", "2", "abc"};
    QTest::newRow("water") << int(ByWater) << fields[Lagua].column
                           << QStringList{"10", "2", "1.5", ""};
    QTest::newRow("weight") << int(ByWeight) << fields[Peski].column
                            << QStringList{"100", "95", "80", ""};
    QTest::newRow("bottom") << int(ByBottom) << fields[Dculo].column
                            << QStringList{"100", "95", "80", "x"};
    QTest::newRow("chest") << int(ByChest) << fields[Dp].column
                           << QStringList{"100,5", "100", "80", ""};
    QTest::newRow("biceps") << int(ByBiceps) << fields[Dbd].column
                            << QStringList{"40", "35", "30", ""};
    QTest::newRow("forearm") << int(ByForearm) << fields[Dad].column
                             << QStringList{"28", "27", "25", ""};
    QTest::newRow("leg") << int(ByLeg) << fields[Dpd].column << QStringList{"100", "60", "55", ""};
    QTest::newRow("calf") << int(ByCalf) << fields[Dgd].column << QStringList{"40", "38", "9", ""};
    QTest::newRow("timetable") << int(ByTimetable) << fields[Horahoy].column
                               << QStringList{"9:00", "10:30", "18:00", ""};
}

void TestDatabase::ordersGiveWhatAUserExpects() {
    QFETCH(int, order);
    QFETCH(QString, column);
    QFETCH(QStringList, expected);
    DiaryDatabase database;
    QCOMPARE(database.open(path()), Status::Ready);
    // Entered out of order; numbers that cross string order (80, 95, 100).
    const QList<DayTexts> days = {
        fixture::day({{Fh, "10/01/2027"},
                      {Hgim, "2"},
                      {Lagua, "1.5"},
                      {Peski, "80"},
                      {Dculo, "100"},
                      {Dp, "100"},
                      {Dbd, "30"},
                      {Dbi, "31"},
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
                      {Dbd, "40"},
                      {Dbi, "41"},
                      {Dad, "28"},
                      {Dai, "28"},
                      {Dpd, "100"},
                      {Dpi, "100"},
                      {Dgd, "9"},
                      {Dgi, "9"},
                      {Horahoy, "10:30"}}),
        fixture::day({{Fh, "no sé"}, {Hgim, "abc"}, {Dculo, "x"}}),
        fixture::day({{Fh, "20/11/2026"},
                      {Hgim, "9,5"},
                      {Lagua, "10"},
                      {Peski, "95"},
                      {Dculo, "95"},
                      {Dp, "80"},
                      {Dbd, "35"},
                      {Dbi, "35"},
                      {Dad, "27"},
                      {Dai, "27"},
                      {Dpd, "60"},
                      {Dpi, "60"},
                      {Dgd, "40"},
                      {Dgi, "40"},
                      {Horahoy, "9:00"}}),
    };
    QVERIFY(fixture::insertDays(database.connection(), days));
    QCOMPARE(fixture::columnInOrder(database.connection(), orderStatements[order], column),
             expected);

    // The record set runs the same text and shows the same order.
    DayRecordSet recordSet(database.connection(), tableName);
    QVERIFY(recordSet.setRecordSource(orderStatements[order]));
    QCOMPARE(recordSet.recordSource(), orderStatements[order]);
    QCOMPARE(recordSet.exactCount(), 4);
    QStringList shown;
    for (int row = 0; row < 4; ++row)
        shown += recordSet.data(recordSet.index(row, recordSet.columnOf(column))).toString();
    QCOMPARE(shown, expected);
}

void TestDatabase::sqliteShellReadsTheFile() {
    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
        QSKIP("no sqlite3 shell on this machine");
    {
        DiaryDatabase database;
        QCOMPARE(database.open(path()), Status::Ready);
        QVERIFY(fixture::insertDays(database.connection(),
                                    {fixture::day({{Fh, "05/12/2026"}, {Hgim, "2"}})}));
    }
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"),
                {QStringLiteral("-csv"), path(),
                 QStringLiteral("select * from [El Día A Día En El Gimnasio]")});
    QVERIFY(shell.waitForFinished());
    QCOMPARE(shell.exitCode(), 0);
    QVERIFY(shell.readAllStandardOutput().startsWith("1,05/12/2026,2,"));
}

void TestDatabase::recordSetDeletesOneOfTwoIdenticalDays() {
    DiaryDatabase database;
    QCOMPARE(database.open(path()), Status::Ready);
    const DayTexts twin = fixture::day({{Fh, "05/12/2026"}, {Hgim, "1"}});
    QVERIFY(fixture::insertDays(database.connection(), {twin, twin}));
    DayRecordSet days(database.connection(), tableName);
    QVERIFY(days.setRecordSource(orderStatements[ByDate]));
    QVERIFY(days.removeRow(0));
    QVERIFY(days.submitAll());
    QSqlQuery count =
        run(database.connection(), QStringLiteral("SELECT count(*) FROM \"%1\"").arg(tableName));
    QVERIFY(count.next());
    QCOMPARE(count.value(0).toInt(), 1);
}

void TestDatabase::refusedFilesAreNeverTouched_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("expected");
    QTest::newRow("zero length") << "empty" << int(Status::NotADatabase);
    QTest::newRow("text file") << "text" << int(Status::NotADatabase);
    QTest::newRow("picture renamed") << "png" << int(Status::NotADatabase);
    QTest::newRow("zeroed header") << "header" << int(Status::NotADatabase);
    QTest::newRow("truncated to half") << "half" << int(Status::Damaged);
    QTest::newRow("flipped byte in a page") << "flip" << int(Status::Damaged);
    QTest::newRow("foreign schema") << "foreign" << int(Status::WrongSchema);
    QTest::newRow("missing column") << "column" << int(Status::WrongSchema);
    QTest::newRow("newer version") << "newer" << int(Status::NewerVersion);
    QTest::newRow("a folder in its place") << "folder" << int(Status::CannotOpen);
}

void TestDatabase::refusedFilesAreNeverTouched() {
    QFETCH(QString, damage);
    QFETCH(int, expected);
    QVERIFY(QDir().mkpath(QFileInfo(path()).absolutePath()));

    // A real diary with enough days to span many pages, to be damaged below.
    {
        DiaryDatabase database;
        QCOMPARE(database.open(path()), Status::Ready);
        QList<DayTexts> days;
        for (int i = 0; i < 300; ++i)
            days += fixture::day({{Fh, QStringLiteral("%1/01/2026").arg(i % 28 + 1)},
                                  {Eldiario, QString(200, QChar(u'a' + i % 26))}});
        QVERIFY(fixture::insertDays(database.connection(), days));
    }
    QByteArray bytes = fixture::fileBytes(path());
    QVERIFY(bytes.size() > 8 * 4096);
    const auto rewrite = [this](const QByteArray &content) {
        QFile file(path());
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(content) == content.size();
    };
    if (damage == "empty") {
        QVERIFY(rewrite({}));
    } else if (damage == "text") {
        QVERIFY(rewrite("Esto no es un diario.\n"));
    } else if (damage == "png") {
        QVERIFY(rewrite(QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(4000, 'x')));
    } else if (damage == "header") {
        QVERIFY(rewrite(QByteArray(100, '\0') + bytes.mid(100)));
    } else if (damage == "half") {
        QVERIFY(rewrite(bytes.left(bytes.size() / 2)));
    } else if (damage == "flip") {
        // The cell count in the header of a table page in the middle of the file.
        const qsizetype at = 4096 * (bytes.size() / 4096 / 2) + 3;
        bytes[at] = char(bytes[at] ^ 0x5a);
        QVERIFY(rewrite(bytes));
    } else if (damage == "foreign") {
        QVERIFY(QFile::remove(path()));
        QVERIFY(writeWithSqlite(path(), "CREATE TABLE agenda(x); INSERT INTO agenda VALUES (1);"));
    } else if (damage == "column") {
        // Both tables, but the day table lacks its diary column.
        QVERIFY(QFile::remove(path()));
        QVERIFY(writeWithSqlite(
            path(), "CREATE TABLE \"Datos Del Usuario\" (\"Id\" INTEGER PRIMARY KEY, "
                    "\"Nombre Usuario\", \"Fecha De Nacimiento\", \"Altura Del Usuario Cm\", "
                    "\"Fecha De Comienzo En El Gimnasio\", \"Clave\", \"Foto Del Usuario\");"
                    "CREATE TABLE \"El Día A Día En El Gimnasio\" (\"Id\" INTEGER PRIMARY KEY, "
                    "\"Fecha Del Día\");"
                    "PRAGMA user_version = 2;"));
    } else if (damage == "newer") {
        QVERIFY(writeWithSqlite(path(), "PRAGMA user_version = 99;"));
    } else if (damage == "folder") {
        QVERIFY(QFile::remove(path()));
        QVERIFY(QDir().mkpath(path()));
    }
    const QByteArray before = fixture::fileBytes(path());
    const QDateTime modified = QFileInfo(path()).lastModified();

    DiaryDatabase database;
    const Status status = database.open(path());
    QCOMPARE(int(status), expected);
    QVERIFY(!database.errorMessage(status).isEmpty());
    QVERIFY(!database.connection().isOpen());
    database.close();
    QCOMPARE(fixture::fileBytes(path()), before);
    QCOMPARE(QFileInfo(path()).lastModified(), modified);
    QVERIFY(!QFile::exists(path() + QLatin1String("-journal")));
}

void TestDatabase::secondCopyIsRefusedAndStaleLockIsTaken() {
    DiaryDatabase first;
    QCOMPARE(first.open(path()), Status::Ready);
    DiaryDatabase second;
    QCOMPARE(second.open(path()), Status::AlreadyRunning);
    QVERIFY(
        second.errorMessage(Status::AlreadyRunning).contains(QStringLiteral("Ya Está Abierto")));
    first.close();
    QCOMPARE(second.open(path()), Status::Ready);
    second.close();

    // A lock left behind by a copy that was killed (its process no longer exists).
    QFile lock(path() + QLatin1String(".lock"));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write("999999999\ngimnasio\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    DiaryDatabase afterKill;
    QCOMPARE(afterKill.open(path()), Status::Ready);
}

void TestDatabase::readOnlyFileIsRefused() {
    {
        DiaryDatabase database;
        QCOMPARE(database.open(path()), Status::Ready);
        QVERIFY(fixture::insertDays(database.connection(), {fixture::day({{Fh, "05/12/2026"}})}));
    }
    const QByteArray before = fixture::fileBytes(path());
    for (const QString &target : {path(), QFileInfo(path()).absolutePath()}) {
        if (!fixture::setWritable(target, false))
            QSKIP("this machine cannot make a file unwritable");
        DiaryDatabase database;
        const Status status = database.open(path());
        fixture::setWritable(target, true);
        QVERIFY2(status == Status::ReadOnly, qPrintable(database.lastEngineError()));
        QVERIFY(database.errorMessage(status).contains(QStringLiteral("No Se Puede Escribir")));
        QCOMPARE(fixture::fileBytes(path()), before);
    }
}

void TestDatabase::olderSchemaIsBackedUpAndMigrated_data() {
    QTest::addColumn<int>("version");
    QTest::newRow("tables alone") << 1;
    QTest::newRow("with the date index") << 2;
}

void TestDatabase::olderSchemaIsBackedUpAndMigrated() {
    QFETCH(int, version);
    QStringList currentIndexes;
    {
        DiaryDatabase database;
        QCOMPARE(database.open(path()), Status::Ready);
        currentIndexes = fixture::indexNames(database.connection());
        QCOMPARE(currentIndexes.size(), 1 + OrderCount - 1); // the date order and the others
        QVERIFY(fixture::insertDays(database.connection(),
                                    {fixture::day({{Fh, "05/12/2026"}, {Hgim, "2"}}),
                                     fixture::day({{Fh, "04/12/2026"}, {Hgim, "10"}})}));
        QVERIFY(fixture::makeOlderVersion(database.connection(), version));
        QCOMPARE(fixture::indexNames(database.connection()).size(), version == 1 ? 0 : 1);
    }
    const QByteArray old = fixture::fileBytes(path());
    DiaryDatabase database;
    QCOMPARE(database.open(path()), Status::Ready);
    QSqlQuery query(database.connection());
    QVERIFY(query.exec(QStringLiteral("PRAGMA user_version")) && query.next());
    QCOMPARE(query.value(0).toInt(), DiaryDatabase::schemaVersion);
    QCOMPARE(fixture::indexNames(database.connection()), currentIndexes);
    QCOMPARE(fixture::columnInOrder(database.connection(), orderStatements[ByHours],
                                    fields[Hgim].column),
             (QStringList{"10", "2"}));

    const QStringList backups =
        QDir(QFileInfo(path()).absolutePath())
            .entryList({QStringLiteral("*.v%1-*.bak").arg(version)}, QDir::Files);
    QCOMPARE(backups.size(), 1);
    // The copy is the old diary, byte for byte in what it holds, with its days.
    sqlite3 *copy = nullptr;
    const QString backup = QFileInfo(path()).absolutePath() + u'/' + backups.first();
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(backup).constData(), &copy, SQLITE_OPEN_READONLY,
                             nullptr),
             SQLITE_OK);
    sqlite3_stmt *statement = nullptr;
    QCOMPARE(sqlite3_prepare_v2(copy, "PRAGMA user_version", -1, &statement, nullptr), SQLITE_OK);
    QCOMPARE(sqlite3_step(statement), SQLITE_ROW);
    QCOMPARE(sqlite3_column_int(statement, 0), version);
    sqlite3_finalize(statement);
    QCOMPARE(sqlite3_prepare_v2(copy,
                                "SELECT count(*) FROM \"El Día A Día En El Gimnasio\" NOT INDEXED",
                                -1, &statement, nullptr),
             SQLITE_OK);
    QCOMPARE(sqlite3_step(statement), SQLITE_ROW);
    QCOMPARE(sqlite3_column_int(statement, 0), 2);
    sqlite3_finalize(statement);
    sqlite3_close(copy);
    QVERIFY(!old.isEmpty());
}

void TestDatabase::everyOrderReadsItsIndex_data() {
    QTest::addColumn<int>("order");
    for (int order = 0; order < OrderCount; ++order)
        QTest::newRow(qPrintable(orderStatements[order])) << order;
}

void TestDatabase::everyOrderReadsItsIndex() {
    // With an index the engine reads the first days in order at once; without, it sorts them all.
    QFETCH(int, order);
    DiaryDatabase database;
    QCOMPARE(database.open(path()), Status::Ready);
    QSqlQuery plan(database.connection());
    QVERIFY(plan.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + orderStatements[order]));
    QStringList steps;
    while (plan.next())
        steps += plan.value(3).toString();
    QVERIFY2(steps.size() == 1 && steps.first().contains(QStringLiteral("USING INDEX")),
             qPrintable(steps.join(QStringLiteral("; "))));
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"

// A crash must never cost what the program said it had written. A worker process writes through
// the program's own code and says what it does; each scenario below kills it with SIGKILL at
// random moments and then checks that the disk holds every finished write whole, nothing
// half-written, and that what the work cut short left behind is taken over.
//
// The kill moments come from a seed printed at the start; GIMNASIO_CRASH_SEED=<n> repeats a run.

#include "data/backups.h"
#include "data/diarydatabase.h"
#include "data/sealedfile.h"
#include "data/sqlfunctions.h"
#include "report/statsexport.h"
#include "support/diaryfixture.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// A scenario, in a folder of its own: the worker's mode and file; what makes the disk ready for a
// kill, if anything; the check of the disk after the kill, given the steps the worker reported
// done ("save 12", "days 2", "open 0") and the one it began and did not finish (empty when none).
struct Scenario {
    QStringList args;
    std::function<bool()> prepare;
    std::function<void(const QStringList &done, const QString &cut)> check;
};
const QString workerPath = QStringLiteral(CRASHWORKER_PATH);
using MakeScenario = void (*)(const QString &dir, int dayCount, Scenario &scenario);

// The column "r" of what sql gives on a plain file, read with the diary's functions alone.
QStringList plainRows(const QString &path, const QString &sql) {
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, path);
        db.setDatabaseName(path);
        if (db.open() && registerDiaryFunctions(engineHandle(db)))
            rows = fixture::columnInOrder(db, sql, u"r"_s);
    }
    QSqlDatabase::removeDatabase(path);
    return rows;
}

// The same of a sealed diary, opened with its password; nothing when it does not open.
QStringList rows(const QString &path, const QString &sql) {
    if (!sealedfile::looksSealed(fixture::fileBytes(path)))
        return {};
    DiaryDatabase database;
    return fixture::openWith(database, path) == DiaryDatabase::Status::Ready
               ? fixture::columnInOrder(database.connection(), sql, u"r"_s)
               : QStringList();
}

// Every table and index of a diary, its version and the engine's verdict on the whole file.
const QString schema = u"SELECT name||sql AS r FROM sqlite_schema UNION ALL SELECT user_version "
                       "FROM pragma_user_version UNION ALL SELECT * FROM pragma_integrity_check"_s;
// Every day in key order: its texts in walk order, joined by a unit separator.
const QString allDays = [] {
    QStringList boxes;
    for (const auto &field : dayfields::fields)
        boxes += u"ifnull(\"%1\", '')"_s.arg(field.column);
    return u"SELECT %1 AS r FROM \"%2\" ORDER BY Id"_s.arg(boxes.join(u"||x'1f'||"),
                                                           dayfields::tableName);
}();

// Days stored and deleted through the diary's editor: no day reported stored is lost, no day
// reported deleted comes back, none is half-written, and the diary opens Ready afterwards.
void storingAndDeletingDays(const QString &dir, int, Scenario &scenario) {
    const QString path = dir + u"/diario.db"_s;
    scenario.args = {u"days"_s, path};
    scenario.check = [path, stored = QSet<QString>(), deleted = QSet<QString>()](
                         const QStringList &done, const QString &cut) mutable {
        for (const QString &step : done)
            (step.startsWith(u"save") ? stored : deleted) += step.section(u' ', 1);
        stored -= deleted;
        QVERIFY(rows(path, schema).contains(u"ok"_s));
        QSet<QString> found;
        for (const QString &row : rows(path, allDays)) {
            // Whole: beside the id stands the checksum of the texts with the id alone there.
            QStringList texts = row.split(QChar(31));
            const QStringList idAndChecksum = texts.value(dayfields::Horahoy).split(u' ');
            const QString id = texts[dayfields::Horahoy] = idAndChecksum.value(0);
            QVERIFY2(idAndChecksum.value(1) == QString::number(qHash(texts.join(QChar(31)), 0)) &&
                         !found.contains(id) && !deleted.contains(id) &&
                         (stored.contains(id) || cut == u"save "_s + id),
                     qPrintable(u"not whole, twice, deleted or never stored: "_s + row.left(300)));
            found += id;
        }
        for (const QString &id : std::as_const(stored))
            QVERIFY2(found.contains(id) || cut == u"delete "_s + id, qPrintable(id + u" lost"_s));
        deleted += stored - found; // whatever the file says of the step cut short
        stored = found;
    };
}

// The single report and the per-day files written again and again from three day lists: every
// report on disk is byte for byte what an export of some list writes when nothing stops it,
// none written whole is lost, and nothing else is left but the unfinished copy of a cut export.
void exportingReports(const QString &dir, int, Scenario &scenario) {
    QHash<QString, QHash<QString, QByteArray>> written; // by step, the files it writes
    for (const QString &list : {u"0"_s, u"1"_s, u"2"_s}) {
        const QString reference = dir + u"/list"_s + list + u'/';
        QProcess worker;
        worker.start(workerPath, {u"export"_s, reference, list, u"1"_s});
        QVERIFY(worker.waitForFinished() && worker.exitCode() == 0);
        for (const QString &name : QDir(reference).entryList(QDir::Files | QDir::Hidden))
            written[(name == statsexport::singleFileName ? u"single "_s : u"days "_s) + list]
                   [name] = fixture::fileBytes(reference + name);
    }
    const QString folder = dir + u"/export/"_s;
    scenario.args = {u"export"_s, folder};
    scenario.check = [folder, written, last = QHash<QString, QString>()](
                         const QStringList &done, const QString &cut) mutable {
        for (const QString &step : done)
            for (const QString &name : written.value(step).keys())
                last[name] = step;
        for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
            const QByteArray bytes = fixture::fileBytes(folder + name);
            if (written.value(cut).value(name, "-") == bytes)
                last[name] = cut;
            else
                QVERIFY2(written.value(last.value(name)).value(name, "-") == bytes ||
                             name.startsWith(u'.') || name.contains(u".TxT."),
                         qPrintable(name + u" is no whole report"_s));
        }
        for (const QString &name : last.keys())
            QVERIFY2(QFile::exists(folder + name), qPrintable(name + u" lost"_s));
    };
}

// A diary opened, new or plain of an older version, after a start cut short left a lock naming
// no process and a new diary half written, or an earlier version's backup copy cut short. After
// the kill the file is missing, or holds the plain older diary untouched, or the sealed diary with
// the new schema, with every day as it was; the next start opens it and keeps a second copy out.
// Every older copy set aside, by this kill or one before it in the same second, is sealed and
// whole; nothing else stays beside the diary.
void opening(const QString &dir, int dayCount, Scenario &scenario) {
    const QString older = dir + u"/older.db"_s;
    const QString folder = dir + u"/diary/"_s;
    const QString path = folder + u"diario.db"_s;
    QStringList newSchema;
    {
        DiaryDatabase database;
        QCOMPARE(database.open(older), DiaryDatabase::Status::Ready);
        QSqlDatabase db = database.connection();
        newSchema = fixture::columnInOrder(db, schema, u"r"_s);
        QList<dayfields::DayTexts> days;
        for (int id = 0; id < dayCount; ++id)
            days += fixture::day({{dayfields::Eldiario, QString::number(id).repeated(id % 99)}});
        QVERIFY(fixture::insertDays(db, days) &&
                (dayCount == 0 || fixture::makeOlderVersion(db, 1)) &&
                fixture::writePlain(db, older));
    }
    const QStringList oldSchema = plainRows(older, schema);
    const QStringList days = plainRows(older, allDays);
    scenario.args = {u"open"_s, path};
    // The older diary (""), and what work cut short left beside it: copies of a file that is no
    // diary at all, the worker itself.
    const QStringList left =
        dayCount ? QStringList{u""_s, u".bak.part"_s} : QStringList{u".new"_s, u".new-journal"_s};
    scenario.prepare = [=] {
        QFile::remove(path);
        return QDir().mkpath(folder) &&
               QFile::copy(dayCount ? older : workerPath, path + left[0]) &&
               QFile::copy(workerPath, path + left[1]) &&
               QFile::copy(workerPath, path + u".lock"_s);
    };
    scenario.check = [=](const QStringList &, const QString &) {
        if (QFile::exists(path) && !sealedfile::looksSealed(fixture::fileBytes(path)))
            QVERIFY(plainRows(path, schema) == oldSchema && plainRows(path, allDays) == days);
        else
            QVERIFY(!QFile::exists(path) ||
                    (rows(path, schema) == newSchema && rows(path, allDays) == days));
        {
            DiaryDatabase database;
            DiaryDatabase second;
            QCOMPARE(database.open(path), DiaryDatabase::Status::Ready);
            QCOMPARE(second.open(path), DiaryDatabase::Status::AlreadyRunning);
            QCOMPARE(database.source() == DiaryDatabase::Source::Sealed
                         ? database.unlock(fixture::password)
                         : database.seal(fixture::password),
                     DiaryDatabase::Status::Ready);
        }
        QVERIFY(rows(path, schema) == newSchema && rows(path, allDays) == days);
        QStringList copies = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        QVERIFY(copies.removeOne(u"diario.db"_s));
        const QString opened = dir + u"/copy/diario.db"_s;
        for (const QString &name : std::as_const(copies)) {
            QVERIFY(name.endsWith(u".bak") && QDir().mkpath(dir + u"/copy"_s) &&
                    QFile::copy(folder + name, opened));
            QVERIFY(rows(opened, allDays) == days && QDir(dir + u"/copy"_s).removeRecursively());
        }
        QCOMPARE(copies.isEmpty(), dayCount == 0);
    };
}

// Backups made again and again, a day apart: every backup in the folder is whole (a copy of it
// opens with the password and holds the diary's hundred days), the newest one reported made is
// there, and nothing else is left but the pending copy of one backup cut short.
void makingBackups(const QString &dir, int, Scenario &scenario) {
    const QString path = dir + u"/diario.db"_s;
    const QString count = u"SELECT count(*) AS r FROM \"%1\""_s.arg(dayfields::tableName);
    scenario.args = {u"backup"_s, path};
    scenario.check = [=](const QStringList &done, const QString &) {
        const QString folder = backups::folderOf(path);
        const QString opened = dir + u"/copy/diario.db"_s;
        int pending = 0;
        for (const QString &name : QDir(folder).entryList(QDir::Files)) {
            // The pending copy of a backup cut short, by this kill or one before it.
            if (name.endsWith(u".new")) {
                QVERIFY2(backups::madeOf(name.chopped(4)) && ++pending == 1,
                         qPrintable(name + u" left"_s));
                continue;
            }
            QVERIFY2(backups::madeOf(name), qPrintable(name + u" is no backup"_s));
            QVERIFY(QDir().mkpath(dir + u"/copy"_s) && QFile::copy(folder + u'/' + name, opened));
            QCOMPARE(rows(opened, count), QStringList(u"100"_s));
            QVERIFY(QDir(dir + u"/copy"_s).removeRecursively());
        }
        if (!done.isEmpty())
            QVERIFY(QFile::exists(folder + u'/' + done.last().mid(7)));
    };
}

// Fifty days imported again and again: the diary opens with whole imports only, every one
// reported done among them.
void importingDays(const QString &dir, int, Scenario &scenario) {
    const QString path = dir + u"/diario.db"_s;
    scenario.args = {u"import"_s, path};
    scenario.check = [=](const QStringList &done, const QString &cut) {
        const QStringList found =
            rows(path, u"SELECT count(*) AS r FROM \"%1\""_s.arg(dayfields::tableName));
        if (found.isEmpty()) { // the first start cut short before the diary was written
            QVERIFY(done.isEmpty());
            return;
        }
        const int days = found.first().toInt();
        QCOMPARE(days % 50, 0);
        if (!done.isEmpty())
            QVERIFY(days >= 50 * (done.last().section(u' ', 1).toInt() + 1));
        if (cut.startsWith(u"import"))
            QVERIFY(days <= 50 * (cut.section(u' ', 1).toInt() + 1));
    };
}

// Conflict copies merged: the diary always opens whole, no copy is ever gone (it is beside the
// diary or in the backups' folder), and a copy put away means its days are in the diary.
void mergingCopies(const QString &dir, int, Scenario &scenario) {
    const QString path = dir + u"/diario.db"_s;
    const QString theirs = dir + u"/otro/diario.db"_s;
    const QString extra = u"SELECT count(*) AS r FROM \"%1\" WHERE \"Desayuno\" = 'del otro'"_s.arg(
        dayfields::tableName);
    {
        DiaryDatabase database;
        QVERIFY(database.open(path) == DiaryDatabase::Status::Ready &&
                database.seal(fixture::password) == DiaryDatabase::Status::Ready);
        database.close();
        QVERIFY(QDir().mkpath(dir + u"/otro"_s) && QFile::copy(path, theirs));
        QCOMPARE(fixture::openWith(database, theirs), DiaryDatabase::Status::Ready);
        QVERIFY(fixture::insertDays(database.connection(),
                                    QList<dayfields::DayTexts>(
                                        3, fixture::day({{dayfields::Desa, u"del otro"_s}}))) &&
                database.save());
    }
    auto made = std::make_shared<QStringList>();
    scenario.args = {u"merge"_s, path};
    scenario.prepare = [=] {
        const QString name = u"diario.sync-conflict-20261207-101010-DEV%1.db"_s.arg(made->size());
        *made += name;
        return QFile::copy(theirs, dir + u'/' + name);
    };
    scenario.check = [=](const QStringList &, const QString &) {
        bool putAway = false;
        for (const QString &name : std::as_const(*made)) {
            const bool beside = QFile::exists(dir + u'/' + name);
            const bool kept = QFile::exists(backups::folderOf(path) + u'/' + name);
            QVERIFY2(beside != kept, qPrintable(name));
            putAway = putAway || kept;
        }
        const QStringList found = rows(path, extra); // empty when the diary does not open whole
        QVERIFY2(found == QStringList(u"3"_s) || (!putAway && found == QStringList(u"0"_s)),
                 qPrintable(found.join(u' ')));
    };
}

} // namespace

Q_DECLARE_METATYPE(MakeScenario)

class TestCrash : public QObject {
    Q_OBJECT
    const quint32 m_seed =
        qEnvironmentVariable("GIMNASIO_CRASH_SEED",
                             QString::number(QRandomGenerator::global()->generate()))
            .toUInt();

private slots:
    void killedAtRandomMoments_data();
    void killedAtRandomMoments();
};

// Each scenario, with the days of the diary it opens. Each takes twelve kills.
void TestCrash::killedAtRandomMoments_data() {
    qInfo("kill moments from seed %u (GIMNASIO_CRASH_SEED=%u repeats them)", m_seed, m_seed);
    QTest::addColumn<MakeScenario>("make");
    QTest::addColumn<int>("days");
    QTest::newRow("storing and deleting days") << &storingAndDeletingDays << 0;
    QTest::newRow("first start") << &opening << 0;
    QTest::newRow("migrating an older diary") << &opening << 1500;
    QTest::newRow("exporting reports") << &exportingReports << 0;
    QTest::newRow("making backups") << &makingBackups << 0;
    QTest::newRow("importing days") << &importingDays << 0;
    QTest::newRow("merging conflict copies") << &mergingCopies << 0;
}

// The one kill loop. Each kill waits for up to three finished steps (one the first time, to learn
// how long a step takes; none or one for the worker that only opens a diary), then for a random
// part of a step, and kills the worker.
void TestCrash::killedAtRandomMoments() {
    QFETCH(MakeScenario, make);
    QFETCH(int, days);
    QTemporaryDir dir;
    Scenario scenario;
    make(dir.path(), days, scenario);
    QRandomGenerator timing(m_seed ^ quint32(qHash(QByteArray(QTest::currentDataTag()), 0)));
    qint64 stepTime = 20;
    for (int kill = 0; kill < 12 && !QTest::currentTestFailed(); ++kill) {
        QVERIFY(!scenario.prepare || scenario.prepare());
        QProcess worker;
        worker.start(workerPath, scenario.args + QStringList(QString::number(timing.generate())));
        const int wanted = kill == 0 ? 1 : int(timing.bounded(scenario.args[0] == u"open" ? 1 : 4));
        const qint64 begun = QDateTime::currentMSecsSinceEpoch();
        QByteArray out = "\n";
        while (out.count("\n=") < wanted && worker.waitForReadyRead(60000))
            out += worker.readAllStandardOutput();
        if (wanted > 0)
            stepTime = (stepTime + (QDateTime::currentMSecsSinceEpoch() - begun) / wanted) / 2 + 1;
        worker.waitForFinished(int(timing.bounded(stepTime * 3 / 2)));
        worker.kill();
        worker.waitForFinished();
        out += worker.readAllStandardOutput();
        QVERIFY2(out.count("\n=") >= wanted &&
                     (!out.contains("\n=open") || out.contains("\n=open 0\n")),
                 (out + worker.readAllStandardError()).constData());
        // Whole lines only: the last one is empty or cut short by the kill. Only steps hold a '='.
        const QStringList lines = QString::fromUtf8(out.left(out.lastIndexOf('\n'))).split(u'\n');
        scenario.check(QStringList(lines.filter(u"=")).replaceInStrings(u"="_s, QString()),
                       lines.last().startsWith(u'+') ? lines.last().mid(1) : QString());
    }
}

QTEST_GUILESS_MAIN(TestCrash)
#include "test_crash.moc"

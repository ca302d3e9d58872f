// A crash must never cost what the program said it had written. A worker process writes through
// the program's own code and says what it does; these tests kill it with SIGKILL at random moments
// and then check that the disk holds every completed write whole, and nothing half-written.
//
// The kill moments come from a seed printed at the start; GIMNASIO_CRASH_SEED=<n> repeats a run.

#include "crashcontent.h"
#include "dayfields.h"
#include "diarydatabase.h"
#include "diaryfixture.h"
#include "sqlfunctions.h"
#include "statsexport.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <optional>
#include <sqlite3.h>

using dayfields::DayTexts;
using Status = DiaryDatabase::Status;

namespace {

// Generous bounds for a worker to start or to answer, also under the sanitizers; reached only
// when something is wrong.
constexpr int patience = 60000;

// The sanitizers make every worker several times slower; fewer kills keep their run short.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

// A worker process and the lines it has printed.
class Worker {
public:
    explicit Worker(const QStringList &arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(CRASHWORKER_PATH), arguments);
    }
    ~Worker() {
        if (m_process.state() != QProcess::NotRunning)
            kill();
    }
    Worker(const Worker &) = delete;
    Worker &operator=(const Worker &) = delete;

    bool started() { return m_process.waitForStarted(patience); }

    // Waits until the worker has printed count whole lines whose first word is one of verbs;
    // false when it ends or falls silent first.
    bool waitForLines(const QByteArrayList &verbs, int count = 1) {
        for (;;) {
            collect();
            if (linesWith(verbs) >= count)
                return true;
            if (m_process.state() == QProcess::NotRunning || !m_process.waitForReadyRead(patience))
                break;
        }
        collect();
        return linesWith(verbs) >= count;
    }

    // Lets the worker run on for some milliseconds; false when it ended by itself meanwhile.
    bool runFor(int milliseconds) {
        if (milliseconds > 0)
            m_process.waitForFinished(milliseconds);
        return m_process.state() != QProcess::NotRunning;
    }

    // SIGKILL, then everything it printed before it died.
    void kill() {
        m_process.kill();
        m_process.waitForFinished(patience);
        collect();
    }

    // Runs to its end; false when it does not end in time.
    bool finish() {
        const bool finished = m_process.waitForFinished(patience);
        collect();
        return finished;
    }
    int exitCode() const { return m_process.exitCode(); }

    // Every whole line printed so far; a line cut short by the kill is not one.
    const QList<QByteArray> &lines() const { return m_lines; }
    QString transcript() {
        collect();
        return QString::fromUtf8(m_lines.join('\n') + "\n--- stderr:\n" +
                                 m_process.readAllStandardError());
    }

private:
    int linesWith(const QByteArrayList &verbs) const {
        int count = 0;
        for (const QByteArray &line : m_lines)
            count +=
                verbs.contains(line.first(line.contains(' ') ? line.indexOf(' ') : line.size()))
                    ? 1
                    : 0;
        return count;
    }

    void collect() {
        m_pending += m_process.readAllStandardOutput();
        qsizetype end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            m_lines += m_pending.left(end);
            m_pending.remove(0, end + 1);
        }
    }

    QProcess m_process;
    QByteArray m_pending;
    QList<QByteArray> m_lines;
};

// A line "verb argument" split in two.
std::pair<QByteArray, QByteArray> split(const QByteArray &line) {
    const qsizetype blank = line.indexOf(' ');
    if (blank < 0)
        return {line, {}};
    return {line.left(blank), line.mid(blank + 1)};
}

// The raw engine on a diary file, with the diary's collations so that its index can be checked.
class RawDiary {
public:
    explicit RawDiary(const QString &path) {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE,
                            nullptr) != SQLITE_OK ||
            !registerDiaryFunctions(m_db)) {
            sqlite3_close(m_db);
            m_db = nullptr;
        }
    }
    ~RawDiary() { sqlite3_close(m_db); }
    RawDiary(const RawDiary &) = delete;
    RawDiary &operator=(const RawDiary &) = delete;

    bool isOpen() const { return m_db != nullptr; }

    // The first column of the first row of a statement; the engine's error when it fails.
    QString value(const char *sql) const {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
            return QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(m_db));
        QString result;
        const int step = sqlite3_step(statement);
        if (step == SQLITE_ROW)
            result = QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
        else if (step != SQLITE_DONE)
            result = QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(statement);
        return result;
    }

    // A digest of every day row, key and texts, in key order; empty when the table cannot be
    // read.
    QByteArray daysDigest() const {
        const QByteArray sql =
            "SELECT * FROM \"" + dayfields::tableName.toUtf8() + "\" ORDER BY Id";
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &statement, nullptr) != SQLITE_OK)
            return {};
        QCryptographicHash hash(QCryptographicHash::Sha256);
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                const auto *text =
                    reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
                const int length = sqlite3_column_bytes(statement, column);
                hash.addData(QByteArrayView(text, length));
                hash.addData(QByteArrayView("\x1f", 1));
            }
            hash.addData(QByteArrayView("\x1e", 1));
        }
        sqlite3_finalize(statement);
        return step == SQLITE_DONE ? hash.result() : QByteArray();
    }

private:
    sqlite3 *m_db = nullptr;
};

QString boxesThatDiffer(const DayTexts &found, const DayTexts &expected) {
    QStringList boxes;
    for (int box = 0; box < dayfields::BoxCount; ++box)
        if (found[std::size_t(box)] != expected[std::size_t(box)])
            boxes += QStringLiteral("%1 (%2 chars, expected %3)")
                         .arg(QLatin1String(dayfields::fields[std::size_t(box)].box))
                         .arg(found[std::size_t(box)].size())
                         .arg(expected[std::size_t(box)].size());
    return boxes.join(QLatin1String(", "));
}

QByteArray singleReport(int version) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    statsexport::writeSingleReport(buffer, crashcontent::reportProfileFor(version),
                                   crashcontent::reportDays(version));
    return buffer.data();
}

// The per-day files of a version, by file name.
QHash<QString, QByteArray> dayReports(int version) {
    const auto days = crashcontent::reportDays(version);
    const QByteArray block =
        statsexport::profileBlock(crashcontent::reportProfileFor(version), days);
    QHash<QString, QByteArray> files;
    for (const DayTexts &day : days) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        statsexport::writeDayReport(buffer, block, day);
        files.insert(statsexport::dayFileName(day), buffer.data());
    }
    return files;
}

} // namespace

class TestCrash : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void killedWhileStoringAndDeletingDaysLosesNoSavedDay();
    void killedOnFirstStartLeavesADiaryThatOpens();
    void killedWhileExportingLeavesWholeReports();
    void killedWhileMigratingLeavesOneWholeSchema();
    void leftoversOfWorkCutShortAreTakenOver();

private:
    // Waits for a random number of completed operations (at least one when atLeastOne), then for
    // a random part of the time an operation takes, and kills the worker.
    void killAtRandom(Worker &worker, const QByteArrayList &completions, QRandomGenerator &timing,
                      bool atLeastOne, qint64 &operationTime, const QString &context);
    // A diary of the first schema version (no index) holding dayCount days.
    void makeOlderDiary(const QString &path, int dayCount);
    // The seed of one test function's kill moments.
    quint32 seedFor(int function) const { return m_seed + quint32(function) * 7919u; }
    QString where(int kill) const {
        return QStringLiteral("seed %1, kill %2: ").arg(m_seed).arg(kill);
    }

    quint32 m_seed = 0;
};

void TestCrash::makeOlderDiary(const QString &path, int dayCount) {
    DiaryDatabase database;
    QCOMPARE(database.open(path), Status::Ready);
    QSqlDatabase db = database.connection();
    QList<DayTexts> days;
    for (int i = 0; i < dayCount; ++i) {
        DayTexts day = crashcontent::dayFor(i);
        day[dayfields::Eldiario].truncate(300);
        for (const dayfields::Box box : {dayfields::Desa, dayfields::Comi, dayfields::Cena,
                                         dayfields::Qhash, dayfields::Haspi})
            day[box].truncate(40);
        days += day;
    }
    QVERIFY(db.transaction());
    QVERIFY(fixture::insertDays(db, days));
    QVERIFY(fixture::makeOlderVersion(db, 1));
    QVERIFY(db.commit());
}

void TestCrash::killAtRandom(Worker &worker, const QByteArrayList &completions,
                             QRandomGenerator &timing, bool atLeastOne, qint64 &operationTime,
                             const QString &context) {
    const int wanted = int(timing.bounded(atLeastOne ? 1 : 0, 4));
    QElapsedTimer clock;
    clock.start();
    QVERIFY2(worker.waitForLines(completions, wanted), qPrintable(context + worker.transcript()));
    if (wanted > 0)
        operationTime = (operationTime + clock.elapsed() / wanted + 1) / 2;
    QVERIFY2(worker.runFor(int(timing.bounded(quint32(operationTime * 3 / 2 + 2)))),
             qPrintable(context + worker.transcript()));
    worker.kill();
}

void TestCrash::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY2(QFileInfo(QStringLiteral(CRASHWORKER_PATH)).isExecutable(), CRASHWORKER_PATH);
    bool given = false;
    m_seed = qEnvironmentVariable("GIMNASIO_CRASH_SEED").toUInt(&given);
    if (!given)
        m_seed = QRandomGenerator::global()->generate();
    qInfo("kill moments from seed %u (GIMNASIO_CRASH_SEED=%u repeats them)", m_seed, m_seed);
}

void TestCrash::killedWhileStoringAndDeletingDaysLosesNoSavedDay() {
    constexpr int kills = sanitized ? 40 : 50;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("diario.db"));
    QRandomGenerator timing(seedFor(1));

    // How long one operation of the worker takes, learnt as it goes, to spread the kills over it.
    qint64 operationTime = 20;
    // What the table must hold: every day whose storing was reported and whose deletion was not.
    QSet<qint64> stored;
    QSet<qint64> deleted;
    int saves = 0;
    int deletions = 0;
    int killsWhileSaving = 0;
    int killsWhileDeleting = 0;
    for (int kill = 0; kill < kills; ++kill) {
        Worker worker({QStringLiteral("days"), path, QString::number(kill + 1)});
        QVERIFY2(worker.started(), qPrintable(where(kill)));
        QVERIFY2(worker.waitForLines({"opened"}), qPrintable(where(kill) + worker.transcript()));
        killAtRandom(worker, {"saved", "deleted"}, timing, kill == 0, operationTime, where(kill));
        if (QTest::currentTestFailed())
            return;

        std::optional<qint64> saving;
        std::optional<qint64> deleting;
        for (const QByteArray &line : worker.lines()) {
            const auto [verb, argument] = split(line);
            const qint64 id = argument.toLongLong();
            if (verb == "saving") {
                saving = id;
            } else if (verb == "saved") {
                QVERIFY2(saving == id, qPrintable(where(kill) + QString::fromUtf8(line)));
                stored.insert(id);
                saving.reset();
                ++saves;
            } else if (verb == "deleting") {
                // The worker can only see, and so delete, a day that is stored.
                QVERIFY2(stored.contains(id), qPrintable(where(kill) + QString::fromUtf8(line)));
                deleting = id;
            } else if (verb == "deleted") {
                QVERIFY2(deleting == id, qPrintable(where(kill) + QString::fromUtf8(line)));
                stored.remove(id);
                deleted.insert(id);
                deleting.reset();
                ++deletions;
            } else {
                QVERIFY2(verb == "opened", qPrintable(where(kill) + worker.transcript()));
            }
        }
        killsWhileSaving += saving ? 1 : 0;
        killsWhileDeleting += deleting ? 1 : 0;

        // The next start takes over the lock of the killed copy and finds the file sound.
        DiaryDatabase database;
        QCOMPARE(database.open(path), Status::Ready);
        QSqlDatabase db = database.connection();
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral("PRAGMA integrity_check")) && query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("ok"));
        query.finish();

        QStringList columns;
        for (const auto &field : dayfields::fields)
            columns += u'"' + field.column + u'"';
        QVERIFY2(query.exec(QStringLiteral("SELECT %1 FROM \"%2\"")
                                .arg(columns.join(u','), dayfields::tableName)),
                 qPrintable(query.lastError().text()));
        QSet<qint64> found;
        while (query.next()) {
            DayTexts texts;
            for (int box = 0; box < dayfields::BoxCount; ++box)
                texts[std::size_t(box)] = query.value(box).toString();
            const qint64 id = crashcontent::idOf(texts);
            const QString day = where(kill) + QStringLiteral("day %1: ").arg(id);
            QVERIFY2(id >= 0, qPrintable(day + QStringLiteral("a row without an id")));
            QVERIFY2(!found.contains(id), qPrintable(day + QStringLiteral("stored twice")));
            found.insert(id);
            // Whole, byte for byte: no half-written day.
            const DayTexts expected = crashcontent::dayFor(id);
            QVERIFY2(texts == expected, qPrintable(day + boxesThatDiffer(texts, expected)));
            QVERIFY2(!deleted.contains(id), qPrintable(day + QStringLiteral("deleted, back")));
            QVERIFY2(stored.contains(id) || saving == id,
                     qPrintable(day + QStringLiteral("never stored")));
        }
        for (const qint64 id : std::as_const(stored))
            QVERIFY2(found.contains(id) || deleting == id,
                     qPrintable(where(kill) + QStringLiteral("stored day %1 lost").arg(id)));

        // A day being stored or deleted when the kill came is whatever the file says.
        if (saving && found.contains(*saving))
            stored.insert(*saving);
        if (deleting && !found.contains(*deleting)) {
            stored.remove(*deleting);
            deleted.insert(*deleting);
        }
        QCOMPARE(stored.size(), found.size());
    }
    qInfo("%d kills: %d days stored, %d deleted, %d kills while storing, %d while deleting, "
          "%d days left, about %lld ms an operation",
          kills, saves, deletions, killsWhileSaving, killsWhileDeleting, int(stored.size()),
          operationTime);
    QVERIFY(saves > 0);
}

void TestCrash::killedOnFirstStartLeavesADiaryThatOpens() {
    constexpr int kills = 12;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QRandomGenerator timing(seedFor(2));

    // How long a first start takes, to spread the kills over it.
    qint64 firstStart = 0;
    {
        QElapsedTimer clock;
        clock.start();
        Worker worker({QStringLiteral("migrate"), dir.filePath(QStringLiteral("probe.db"))});
        QVERIFY(worker.started());
        QVERIFY2(worker.finish(), qPrintable(worker.transcript()));
        QCOMPARE(worker.lines().value(1), QByteArray("opened 0"));
        firstStart = clock.elapsed();
    }

    for (int kill = 0; kill < kills; ++kill) {
        const QString path = dir.filePath(QStringLiteral("%1/diario.db").arg(kill));
        Worker worker({QStringLiteral("migrate"), path});
        QVERIFY2(worker.started(), qPrintable(where(kill)));
        worker.runFor(int(timing.bounded(quint32(firstStart + 1))));
        worker.kill();

        // Killed before, while or after the diary was made: it opens, empty and whole.
        DiaryDatabase database;
        const Status status = database.open(path);
        QVERIFY2(status == Status::Ready,
                 qPrintable(where(kill) + QStringLiteral("status %1, ").arg(int(status)) +
                            worker.transcript() + database.lastEngineError()));
        QSqlQuery query(database.connection());
        QVERIFY(query.exec(QStringLiteral("PRAGMA user_version")) && query.next());
        QCOMPARE(query.value(0).toInt(), DiaryDatabase::schemaVersion);
        QVERIFY(
            query.exec(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(dayfields::tableName)) &&
            query.next());
        QCOMPARE(query.value(0).toInt(), 0);
        query.finish();
        database.close();
        QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("diario.db")});
    }
}

void TestCrash::killedWhileExportingLeavesWholeReports() {
    constexpr int kills = sanitized ? 30 : 40;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QRandomGenerator timing(seedFor(3));

    std::vector<QByteArray> singles;
    std::vector<QHash<QString, QByteArray>> perDay;
    QSet<QString> dayNames;
    for (int version = 0; version < crashcontent::reportVersions; ++version) {
        singles.push_back(singleReport(version));
        perDay.push_back(dayReports(version));
        for (auto it = perDay.back().cbegin(); it != perDay.back().cend(); ++it)
            dayNames.insert(it.key());
        if (version > 0)
            QVERIFY(singles[std::size_t(version)].size() !=
                    singles[std::size_t(version) - 1].size());
    }

    qint64 operationTime = 20;
    // The version each file last received whole, as the worker reported it.
    std::optional<int> single;
    std::map<QString, int> dayFiles;
    int writes = 0;
    int killsWhileWriting = 0;
    int killsWhileWritingDays = 0;
    QSet<QString> leftOvers;
    for (int kill = 0; kill < kills; ++kill) {
        Worker worker({QStringLiteral("export"), dir.path(), QString::number(kill)});
        QVERIFY2(worker.started(), qPrintable(where(kill)));
        QVERIFY2(worker.waitForLines({"ready"}), qPrintable(where(kill) + worker.transcript()));
        killAtRandom(worker, {"wrote", "wrotedays"}, timing, kill == 0, operationTime, where(kill));
        if (QTest::currentTestFailed())
            return;

        std::optional<int> writing;
        std::optional<int> writingDays;
        for (const QByteArray &line : worker.lines()) {
            const auto [verb, argument] = split(line);
            const int version = argument.toInt();
            if (verb == "writing") {
                writing = version;
            } else if (verb == "wrote") {
                QVERIFY2(writing == version, qPrintable(where(kill) + worker.transcript()));
                single = version;
                writing.reset();
                ++writes;
            } else if (verb == "writingdays") {
                writingDays = version;
            } else if (verb == "wrotedays") {
                QVERIFY2(writingDays == version, qPrintable(where(kill) + worker.transcript()));
                for (auto it = perDay[std::size_t(version)].cbegin();
                     it != perDay[std::size_t(version)].cend(); ++it)
                    dayFiles[it.key()] = version;
                writingDays.reset();
                ++writes;
            } else {
                QVERIFY2(verb == "ready", qPrintable(where(kill) + worker.transcript()));
            }
        }
        killsWhileWriting += writing ? 1 : 0;
        killsWhileWritingDays += writingDays ? 1 : 0;

        // The single report: the last one written whole, or the one being written, whole.
        const QString singlePath = dir.filePath(statsexport::singleFileName);
        if (QFile::exists(singlePath)) {
            const QByteArray bytes = fixture::fileBytes(singlePath);
            std::optional<int> match;
            for (const std::optional<int> version : {single, writing})
                if (version && bytes == singles[std::size_t(*version)])
                    match = version;
            QVERIFY2(match, qPrintable(where(kill) + QStringLiteral("report of %1 bytes is no "
                                                                    "whole report")
                                                         .arg(bytes.size())));
            single = match;
        } else {
            QVERIFY2(!single, qPrintable(where(kill) + QStringLiteral("report lost")));
        }

        // Each day file: the version it last received whole, or the one being written, whole.
        const QStringList names =
            QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QString &name : names) {
            if (name == statsexport::singleFileName)
                continue;
            if (!dayNames.contains(name)) {
                // What an interrupted write may leave: the hidden part of a day file, which the
                // next export takes over, or the unfinished copy of the report where the system
                // cannot write a file without a name.
                const bool dayPart = name.startsWith(u'.') &&
                                     name.endsWith(QLatin1String(".part")) &&
                                     dayNames.contains(name.mid(1, name.size() - 6));
                const bool reportCopy = name.startsWith(statsexport::singleFileName + u'.') &&
                                        name.size() == statsexport::singleFileName.size() + 7;
                QVERIFY2(dayPart || reportCopy,
                         qPrintable(where(kill) + QStringLiteral("unexpected file ") + name));
                leftOvers.insert(name);
                continue;
            }
            const QByteArray bytes = fixture::fileBytes(dir.filePath(name));
            std::optional<int> known;
            if (const auto it = dayFiles.find(name); it != dayFiles.end())
                known = it->second;
            std::optional<int> match;
            for (const std::optional<int> version : {known, writingDays})
                if (version && perDay[std::size_t(*version)].value(name) == bytes)
                    match = version;
            QVERIFY2(match, qPrintable(where(kill) + name +
                                       QStringLiteral(" (%1 bytes) is no "
                                                      "whole day report")
                                           .arg(bytes.size())));
            dayFiles[name] = *match;
        }
        for (const auto &[name, version] : dayFiles)
            QVERIFY2(names.contains(name),
                     qPrintable(where(kill) + name + QStringLiteral(" lost")));
    }
    qInfo("%d kills: %d exports completed, %d kills while writing the report, %d while writing "
          "day files; part files left behind at some point: %d",
          kills, writes, killsWhileWriting, killsWhileWritingDays, int(leftOvers.size()));
    QVERIFY(writes > 0);
}

void TestCrash::killedWhileMigratingLeavesOneWholeSchema() {
    constexpr int kills = sanitized ? 20 : 25;
    constexpr int dayCount = 1500;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QRandomGenerator timing(seedFor(4));

    // One older diary, made once and copied for every kill.
    const QString templatePath = dir.filePath(QStringLiteral("template/diario.db"));
    makeOlderDiary(templatePath, dayCount);
    if (QTest::currentTestFailed())
        return;
    const QByteArray older = fixture::fileBytes(templatePath);
    QVERIFY(!older.isEmpty());
    QByteArray digest;
    {
        RawDiary raw(templatePath);
        QVERIFY(raw.isOpen());
        digest = raw.daysDigest();
        QVERIFY(!digest.isEmpty());
        QCOMPARE(raw.value("SELECT count(*) FROM sqlite_schema WHERE type = 'index'"),
                 QStringLiteral("0"));
    }
    // What a new diary of the current version has.
    const QString currentVersion = QString::number(DiaryDatabase::schemaVersion);
    QString currentIndexes;
    {
        const QString fresh = dir.filePath(QStringLiteral("fresh/diario.db"));
        DiaryDatabase database;
        QCOMPARE(database.open(fresh), Status::Ready);
        currentIndexes = QString::number(fixture::indexNames(database.connection()).size());
        QVERIFY(currentIndexes != QLatin1String("0"));
    }
    const auto copyOlder = [&](int kill) {
        const QString folder = dir.filePath(QString::number(kill));
        QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("/diario.db"));
        if (!file.open(QIODevice::WriteOnly) || file.write(older) != older.size())
            return QString();
        return file.fileName();
    };

    // How long a migration takes, to spread the kills over it.
    qint64 migration = 0;
    {
        const QString path = copyOlder(-1);
        QVERIFY(!path.isEmpty());
        Worker worker({QStringLiteral("migrate"), path});
        QVERIFY(worker.started());
        QVERIFY(worker.waitForLines({"opening"}));
        QElapsedTimer clock;
        clock.start();
        QVERIFY2(worker.finish(), qPrintable(worker.transcript()));
        migration = clock.elapsed();
        QCOMPARE(worker.lines().value(1), QByteArray("opened 0"));
    }

    int killedOld = 0;
    int killedNew = 0;
    for (int kill = 0; kill < kills; ++kill) {
        const QString path = copyOlder(kill);
        QVERIFY(!path.isEmpty());
        Worker worker({QStringLiteral("migrate"), path});
        QVERIFY2(worker.started(), qPrintable(where(kill)));
        QVERIFY2(worker.waitForLines({"opening"}), qPrintable(where(kill) + worker.transcript()));
        worker.runFor(int(timing.bounded(quint32(migration + migration / 5 + 1))));
        worker.kill();

        // Wholly the old schema or wholly the new one, every day as it was.
        {
            RawDiary raw(path);
            QVERIFY2(raw.isOpen(), qPrintable(where(kill)));
            QCOMPARE(raw.value("PRAGMA integrity_check"), QStringLiteral("ok"));
            const QString version = raw.value("PRAGMA user_version");
            const QString indexes =
                raw.value("SELECT count(*) FROM sqlite_schema WHERE type = 'index'");
            QVERIFY2(
                (version == QLatin1String("1") && indexes == QLatin1String("0")) ||
                    (version == currentVersion && indexes == currentIndexes),
                qPrintable(where(kill) +
                           QStringLiteral("version %1 with %2 indexes").arg(version, indexes)));
            (version == QLatin1String("1") ? killedOld : killedNew) += 1;
            QVERIFY2(raw.daysDigest() == digest,
                     qPrintable(where(kill) + QStringLiteral("days changed")));
        }

        // The next start finishes the work.
        {
            DiaryDatabase database;
            const Status status = database.open(path);
            QVERIFY2(status == Status::Ready,
                     qPrintable(where(kill) + QStringLiteral("status %1, ").arg(int(status)) +
                                database.lastEngineError()));
        }
        RawDiary raw(path);
        QCOMPARE(raw.value("PRAGMA user_version"), currentVersion);
        QCOMPARE(raw.value("SELECT count(*) FROM sqlite_schema WHERE type = 'index'"),
                 currentIndexes);
        QVERIFY(raw.daysDigest() == digest);

        // Every copy set aside is a whole copy of the older diary.
        const QFileInfoList backups =
            QDir(QFileInfo(path).absolutePath())
                .entryInfoList({QStringLiteral("*.bak")}, QDir::Files | QDir::Hidden);
        QVERIFY(!backups.isEmpty());
        for (const QFileInfo &backup : backups) {
            RawDiary copy(backup.filePath());
            QVERIFY2(copy.isOpen(), qPrintable(where(kill) + backup.fileName()));
            QVERIFY2(copy.value("PRAGMA integrity_check") == QLatin1String("ok"),
                     qPrintable(where(kill) + backup.fileName() + u' ' +
                                copy.value("PRAGMA integrity_check")));
            QCOMPARE(copy.value("PRAGMA user_version"), QStringLiteral("1"));
            QVERIFY2(copy.daysDigest() == digest, qPrintable(where(kill) + backup.fileName()));
        }
        // Nothing else is left beside the diary: no copy cut short, no lock.
        QDir folder(QFileInfo(path).absolutePath());
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden).size(), backups.size() + 1);
        folder.removeRecursively();
    }
    qInfo("%d kills while migrating %d days (%lld ms): %d left the older diary, %d the new one",
          kills, dayCount, migration, killedOld, killedNew);
}

void TestCrash::leftoversOfWorkCutShortAreTakenOver() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto put = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };

    // A first start cut short in the middle of making the diary.
    const QString fresh = dir.filePath(QStringLiteral("nuevo/diario.db"));
    QVERIFY(QDir().mkpath(QFileInfo(fresh).absolutePath()));
    QVERIFY(put(fresh + QStringLiteral(".new"), "SQLite format 3 cut short"));
    QVERIFY(put(fresh + QStringLiteral(".new-journal"), "a journal cut short"));
    {
        DiaryDatabase database;
        QCOMPARE(database.open(fresh), Status::Ready);
    }
    QCOMPARE(QDir(QFileInfo(fresh).absolutePath()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("diario.db")});
    {
        RawDiary raw(fresh);
        QCOMPARE(raw.value("PRAGMA integrity_check"), QStringLiteral("ok"));
        QCOMPARE(raw.value("PRAGMA user_version"), QString::number(DiaryDatabase::schemaVersion));
    }

    // A copy killed between making its lock and writing its name into it.
    QVERIFY(put(fresh + QStringLiteral(".lock"), {}));
    {
        DiaryDatabase database;
        QCOMPARE(database.open(fresh), Status::Ready);
        // ...while the lock of a running copy still keeps a second one out.
        DiaryDatabase second;
        QCOMPARE(second.open(fresh), Status::AlreadyRunning);
    }
    QVERIFY(!QFile::exists(fresh + QStringLiteral(".lock")));

    // A migration cut short while it copied the older diary aside, and copies already set aside
    // under every name that this migration could choose.
    const QString older = dir.filePath(QStringLiteral("viejo/diario.db"));
    makeOlderDiary(older, 20);
    if (QTest::currentTestFailed())
        return;
    QByteArray digest;
    {
        RawDiary raw(older);
        digest = raw.daysDigest();
        QVERIFY(!digest.isEmpty());
    }
    QVERIFY(put(older + QStringLiteral(".bak.part"), "a copy cut short"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QStringList taken;
    for (int second = -2; second <= 30; ++second) {
        taken += QFileInfo(older).fileName() + QStringLiteral(".v1-") +
                 now.addSecs(second).toString(QStringLiteral("yyyyMMddHHmmss")) +
                 QStringLiteral(".bak");
        QVERIFY(put(dir.filePath(QStringLiteral("viejo/") + taken.last()), "an earlier copy"));
    }
    {
        DiaryDatabase database;
        QVERIFY2(database.open(older) == Status::Ready, qPrintable(database.lastEngineError()));
    }
    const QDir folder(QFileInfo(older).absolutePath());
    for (const QString &name : std::as_const(taken))
        QCOMPARE(fixture::fileBytes(folder.filePath(name)), QByteArray("an earlier copy"));
    QStringList made = folder.entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : std::as_const(taken))
        made.removeOne(name);
    made.removeOne(QStringLiteral("diario.db"));
    QCOMPARE(made.size(), 1);
    QVERIFY2(made.first().endsWith(QLatin1String(".bak")), qPrintable(made.first()));
    RawDiary copy(folder.filePath(made.first()));
    QCOMPARE(copy.value("PRAGMA integrity_check"), QStringLiteral("ok"));
    QCOMPARE(copy.value("PRAGMA user_version"), QStringLiteral("1"));
    QVERIFY(copy.daysDigest() == digest);
}

QTEST_GUILESS_MAIN(TestCrash)
#include "test_crash.moc"

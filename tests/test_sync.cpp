// One diary on two computers: the merge's rules on plain sides, the names of conflict copies,
// and two computers simulated in two folders kept in step by a sync that copies files late and
// makes conflict copies as the sync tools name them. GIMNASIO_SYNC_STEPS and GIMNASIO_SYNC_SEED
// make the simulation longer or different.
#include "data/conflictcopies.h"
#include "data/diarychange.h"
#include "data/mergerules.h"
#include "data/password.h"
#include "data/sqlfunctions.h"
#include "data/syncschema.h"
#include "support/diaryfixture.h"
#include "support/tablerows.h"

#include <QDateTime>
#include <QDir>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTest>
#include <QTimeZone>
#include <deque>
#include <memory>

using namespace dayfields;
using mergerules::Day;
using mergerules::Side;

namespace {

// A side of one day (uid "d") with a breakfast stamped `time` that replaced `previous`, or none.
Side side(const QString &breakfast, qint64 time, qint64 previous, qint64 node, qint64 deleted = 0) {
    Side result;
    if (!breakfast.isEmpty()) {
        Day day{node, QStringLiteral("d"), {}};
        day.fields[Desa] = {breakfast, {time, node}, previous};
        result.days.push_back(day);
    }
    if (deleted > 0)
        result.gone.insert(QStringLiteral("d"), {deleted, node});
    return result;
}

struct Write {
    QString uid;
    int box;
    QString value;
    mergerules::Stamp stamp;
};

// A computer: its folder, its diary open, its clock's offset.
struct Computer {
    // In memory where the system has it: the simulation writes the diary thousands of times.
    QTemporaryDir dir{QDir(QStringLiteral("/dev/shm")).exists()
                          ? QStringLiteral("/dev/shm/gimnasio-sync-XXXXXX")
                          : QDir::tempPath() + QStringLiteral("/gimnasio-sync-XXXXXX")};
    QString path = dir.filePath(DiaryDatabase::defaultFileName());
    std::unique_ptr<DiaryDatabase> db = std::make_unique<DiaryDatabase>();
    QByteArray synced; // the file as the sync last left it
};

} // namespace

class TestSync : public QObject {
    Q_OBJECT
private slots:
    void mergeRules_data() {
        columns<Side, Side, QString, int, int>("ours", "theirs", "kept", "conflicts", "removed");
        row("a day of theirs alone is added", Side(), side("pan", 5, 0, 2), "pan", 0, 0);
        row("a day deleted after its last change goes", side("pan", 5, 0, 1), side({}, 0, 0, 2, 9),
            "", 0, 1);
        row("an edit later than the deletion wins", side("pan", 9, 0, 1), side({}, 0, 0, 2, 5),
            "pan", 0, 0);
        row("a later edit that saw ours wins quietly", side("pan", 5, 0, 1), side("leche", 9, 5, 2),
            "leche", 0, 0);
        row("two edits that did not see each other: one kept, one listed", side("pan", 5, 1, 1),
            side("leche", 9, 1, 2), "leche", 1, 0);
        row("ours later: kept, theirs listed", side("pan", 9, 1, 1), side("leche", 5, 1, 2), "pan",
            1, 0);
    }
    void mergeRules() {
        const auto [ours, theirs, kept, conflicts, removed] =
            fetch<Side, Side, QString, int, int>("ours", "theirs", "kept", "conflicts", "removed");
        const mergerules::Outcome outcome = mergerules::merge(ours, theirs);
        QCOMPARE(outcome.removed.size(), removed);
        QCOMPARE(outcome.conflicts.size(), conflicts);
        QString result = ours.days.empty() ? QString() : ours.days[0].fields[Desa].value.toString();
        for (const Day &day : outcome.days)
            result = day.fields[Desa].value.toString();
        QCOMPARE(removed ? QString() : result, kept);
    }

    void conflictNames_data() {
        columns<QString, bool>("name", "copy");
        row("Syncthing", "Diario.sync-conflict-20261207-153012-ABCDEFG.db", true);
        row("Nextcloud", "Diario (conflicted copy 2026-12-07 153012).db", true);
        row("Nextcloud with a user", "Diario (conflicted copy ana 2026-12-07 153012).db", true);
        row("Dropbox", "Diario (Ana's conflicted copy 2026-12-07).db", true);
        row("the diary itself", "Diario.db", false);
        row("another diary's copy", "Otro.sync-conflict-20261207-153012-ABCDEFG.db", false);
        row("a backup", "Diario.db.v6-20261207.bak", false);
    }
    void conflictNames() {
        const auto [name, copy] = fetch<QString, bool>("name", "copy");
        QCOMPARE(conflictcopies::isCopyOf(QStringLiteral("Diario.db"), name), copy);
    }

    void twoComputers();

private:
    void step(int which);
    void edit(Computer &computer, int which);
    void send(int from);
    void deliver(int to, const QByteArray &bytes);
    void notice(int which);
    void restart(int which);
    // Both computers hold the same days, none lost, none deleted back, each field its newest value.
    void checkConverged();
    QStringList uids(Computer &computer);
    bool commit(Computer &computer, const QString &statement, const QVariantList &values);
    bool record(Computer &computer, int box, const QString &value, bool added);

    QRandomGenerator m_random;
    Computer m_computers[2];
    qint64 m_now = qint64(1800000000) * 1000;
    qint64 m_offset[2] = {0, 0};
    QStringList m_passwords;
    std::deque<std::pair<int, std::pair<int, QByteArray>>> m_transfers; // due step, target, bytes
    int m_step = 0;
    int m_counter = 0;
    int m_asked = 0;
    int m_conflictCopies = 0;
    QList<Write> m_writes;
    QHash<QString, qint64> m_deleted;
    QStringList m_added;
};

bool TestSync::commit(Computer &computer, const QString &statement, const QVariantList &values) {
    QString error;
    return diarychange::runThenSave(*computer.db, statement, values, &error);
}

QStringList TestSync::uids(Computer &computer) {
    return fixture::columnInOrder(computer.db->connection(),
                                  QStringLiteral("SELECT uid FROM sync_day ORDER BY uid"),
                                  QStringLiteral("uid"));
}

void TestSync::edit(Computer &computer, int which) {
    const QStringList days = uids(computer);
    const int kind = int(m_random.bounded(10));
    const QString value = QStringLiteral("v%1").arg(++m_counter);
    const QString table = quotedIdentifier(tableName);
    if (kind < 4 || days.isEmpty()) {
        const QString date = QStringLiteral("%1/01/2026").arg(m_random.bounded(1, 29));
        QVERIFY(
            commit(computer,
                   QStringLiteral("INSERT INTO %1 (\"Fecha Del Día\", \"Desayuno\") VALUES (?, ?)")
                       .arg(table),
                   {date, value}));
        QVERIFY(record(computer, Desa, value, true));
        return;
    }
    const QString uid = days[int(m_random.bounded(days.size()))];
    const QString day = QStringLiteral("(SELECT day FROM sync_day WHERE uid = ?)");
    if (kind < 9) {
        const int box = kind < 7 ? Desa : Peski;
        QVERIFY(commit(computer,
                       QStringLiteral("UPDATE %1 SET %2 = ? WHERE \"Id\" = %3")
                           .arg(table, quotedIdentifier(fields[box].column), day),
                       {value, uid}));
        QVERIFY(record(computer, box, value, false));
        return;
    }
    QVERIFY(commit(computer, QStringLiteral("DELETE FROM %1 WHERE \"Id\" = %2").arg(table, day),
                   {uid}));
    QSqlQuery query(computer.db->connection());
    query.prepare(QStringLiteral("SELECT stamp FROM sync_gone WHERE uid = ?"));
    query.addBindValue(uid);
    QVERIFY(query.exec() && query.next());
    m_deleted.insert(uid, std::max(m_deleted.value(uid), query.value(0).toLongLong()));
    Q_UNUSED(which);
}

// Notes a value written with the stamp it was given, found by the value itself: the save that
// wrote it may have merged days of the other computer first. An update that a newer value of the
// other computer replaced at once is not noted; a new day always is.
bool TestSync::record(Computer &computer, int box, const QString &value, bool added) {
    QSqlQuery query(computer.db->connection());
    query.prepare(QStringLiteral("SELECT s.uid, s.s%1, s.n%1 FROM sync_day s JOIN %2 d ON d.\"Id\" "
                                 "= s.day WHERE d.%3 = ?")
                      .arg(box)
                      .arg(quotedIdentifier(tableName), quotedIdentifier(fields[box].column)));
    query.addBindValue(value);
    if (!query.exec())
        return false;
    if (!query.next())
        return !added;
    if (added)
        m_added += query.value(0).toString();
    m_writes += {query.value(0).toString(),
                 box,
                 value,
                 {query.value(1).toLongLong(), query.value(2).toLongLong()}};
    return true;
}

void TestSync::send(int from) {
    QFile file(m_computers[from].path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    m_computers[from].synced = file.readAll();
    m_transfers.push_back(
        {m_step + int(m_random.bounded(6)), {1 - from, m_computers[from].synced}});
}

// As a sync tool does: the file replaced by a rename, or, when both sides changed it since the
// last sync, one of the two set aside as a conflict copy named as one of the tools names them.
void TestSync::deliver(int to, const QByteArray &bytes) {
    Computer &computer = m_computers[to];
    QFile current(computer.path);
    const QByteArray here = current.open(QIODevice::ReadOnly) ? current.readAll() : QByteArray();
    current.close();
    const auto write = [](const QString &path, const QByteArray &content) {
        QFile file(path + QStringLiteral(".tmp"));
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
               (file.close(), QFile::remove(path) || true) && file.rename(path);
    };
    QByteArray winner = bytes;
    if (here != computer.synced && here != bytes) {
        const QDateTime when = QDateTime::fromMSecsSinceEpoch(m_now, QTimeZone::utc());
        const QString stem = QFileInfo(computer.path).completeBaseName();
        const QString names[] = {
            QStringLiteral("%1.sync-conflict-%2-%3.db")
                .arg(stem, when.toString(QStringLiteral("yyyyMMdd-HHmmss")),
                     QStringLiteral("DEV%1").arg(m_counter)),
            QStringLiteral("%1 (conflicted copy %2 %3).db")
                .arg(stem, when.toString(QStringLiteral("yyyy-MM-dd")),
                     QStringLiteral("%1").arg(m_counter % 1000000, 6, 10, QChar(u'0'))),
            QStringLiteral("%1 (Equipo %2's conflicted copy %3).db")
                .arg(stem)
                .arg(m_counter)
                .arg(when.toString(QStringLiteral("yyyy-MM-dd")))};
        ++m_counter;
        ++m_conflictCopies;
        const bool keepHere = m_random.bounded(2) == 0;
        QVERIFY(write(QDir(computer.dir.path()).filePath(names[m_random.bounded(3)]),
                      keepHere ? bytes : here));
        winner = keepHere ? here : bytes;
    }
    QVERIFY(write(computer.path, winner));
    computer.synced = winner;
}

void TestSync::notice(int which) {
    Computer &computer = m_computers[which];
    computer.db->refresh();
    const QStringList copies = conflictcopies::find(computer.path);
    if (!copies.isEmpty())
        conflictcopies::mergeAll(*computer.db, copies);
}

void TestSync::restart(int which) {
    Computer &computer = m_computers[which];
    if (!computer.db->save())
        return; // another password not known yet: the change waits in memory
    computer.db = std::make_unique<DiaryDatabase>();
    computer.db->clock().setNode(which + 1);
    computer.db->clock().setWallClock([this, which] { return m_now + m_offset[which]; });
    // The user knows every password the diary had, and gives them newest first, one each time.
    computer.db->setPasswordAsker(
        [this] { return m_passwords[m_passwords.size() - 1 - m_asked++ % m_passwords.size()]; });
    for (auto password = m_passwords.rbegin(); password != m_passwords.rend(); ++password)
        if (fixture::openWith(*computer.db, computer.path, *password) == DiaryStatus::Ready)
            return;
    QFAIL("the diary no longer opens");
}

void TestSync::step(int which) {
    m_now += m_random.bounded(1, 120000);
    while (!m_transfers.empty() && m_transfers.front().first <= m_step) {
        const auto [to, bytes] = m_transfers.front().second;
        m_transfers.pop_front();
        deliver(to, bytes);
        notice(to);
    }
    const int action = int(m_random.bounded(1000));
    // A new password now and then, on either computer.
    if (m_step % 300 == 150) {
        const QString next = QStringLiteral("clave%1").arg(m_counter++);
        ProfileStore profiles(*m_computers[which].db);
        if (profiles.changePassword(m_passwords.last(), next) ==
            ProfileStore::PasswordChange::Changed)
            m_passwords += next;
    }
    if (action < 700) {
        edit(m_computers[which], which);
    } else if (action < 960) {
        send(which);
    } else if (action < 985) {
        restart(which);
    } else {
        notice(which); // a window activated
    }
}

void TestSync::twoComputers() {
    const quint32 seed = qEnvironmentVariableIsSet("GIMNASIO_SYNC_SEED")
                             ? quint32(qEnvironmentVariableIntValue("GIMNASIO_SYNC_SEED"))
                             : 20261207;
    const int steps = qEnvironmentVariableIsSet("GIMNASIO_SYNC_STEPS")
                          ? qEnvironmentVariableIntValue("GIMNASIO_SYNC_STEPS")
                          : 1000;
    m_random.seed(seed);
    m_passwords = {fixture::password};
    // Up to a day apart: one clock up to twelve hours ahead, the other up to twelve behind.
    m_offset[0] = qint64(m_random.bounded(43200000));
    m_offset[1] = -qint64(m_random.bounded(43200000));
    {
        ProfileStore profiles(*m_computers[0].db);
        QCOMPARE(m_computers[0].db->open(m_computers[0].path), DiaryStatus::Ready);
        QVERIFY(profiles.create({fixture::profile, password::hash(fixture::password)}));
        QCOMPARE(m_computers[0].db->seal(fixture::password), DiaryStatus::Ready);
        QVERIFY(QFile::copy(m_computers[0].path, m_computers[1].path));
    }
    restart(0);
    restart(1);
    for (m_step = 0; m_step < steps && !QTest::currentTestFailed(); ++m_step)
        step(int(m_random.bounded(2)));
    // Everything sent, noticed and merged, until both hold the same diary.
    for (int round = 0; round < 8 && !QTest::currentTestFailed(); ++round) {
        for (int which : {0, 1}) {
            ++m_step;
            QVERIFY(m_computers[which].db->save());
            send(which);
            for (const auto &[due, transfer] : m_transfers)
                deliver(transfer.first, transfer.second), notice(transfer.first);
            m_transfers.clear();
        }
    }
    checkConverged();
}

void TestSync::checkConverged() {
    QCOMPARE(uids(m_computers[0]), uids(m_computers[1]));
    QVERIFY2(m_conflictCopies > 0 && !m_deleted.isEmpty() && m_passwords.size() > 1,
             qPrintable(QStringLiteral("%1 %2 %3")
                            .arg(m_conflictCopies)
                            .arg(m_deleted.size())
                            .arg(m_passwords.size())));
    const QStringList kept = uids(m_computers[0]);
    QHash<QString, qint64> latest;
    for (const Write &write : std::as_const(m_writes))
        latest[write.uid] = std::max(latest.value(write.uid), write.stamp.time);
    for (const QString &uid : std::as_const(m_added)) {
        const bool gone = m_deleted.contains(uid) && m_deleted.value(uid) > latest.value(uid);
        QVERIFY2(kept.contains(uid) != gone, qPrintable(uid)); // no day lost, no deleted day back
    }
    // Every field holds its newest value: each value overwritten was older than the one kept.
    QHash<QPair<QString, int>, Write> newest;
    for (const Write &write : std::as_const(m_writes))
        if (write.stamp >= newest.value({write.uid, write.box}).stamp)
            newest.insert({write.uid, write.box}, write);
    QSqlQuery query(m_computers[0].db->connection());
    for (const Write &write : std::as_const(newest)) {
        if (!kept.contains(write.uid))
            continue;
        query.prepare(
            QStringLiteral("SELECT d.%1 FROM %2 d JOIN sync_day s ON s.day = d.\"Id\" "
                           "WHERE s.uid = ?")
                .arg(quotedIdentifier(fields[write.box].column), quotedIdentifier(tableName)));
        query.addBindValue(write.uid);
        QVERIFY(query.exec() && query.next());
        QCOMPARE(query.value(0).toString(), write.value);
    }
    QVERIFY(m_computers[1].db->unlock(m_passwords.last()) == DiaryStatus::Ready);
}

QTEST_GUILESS_MAIN(TestSync)
#include "test_sync.moc"

// A worker that writes the diary or its reports through the program's own code, endlessly, and
// says on stdout what it is about to do and what it has done, so that a test can kill it at any
// moment and know what the disk must hold.
//
//   gimnasio-crashworker days <diary file> <seed>
//       Adds days and deletes days through the diary window's editor and boxes. Prints "opened"
//       once the diary is open, then "saving <id>" / "saved <id>" around each stored day and
//       "deleting <id>" / "deleted <id>" around each deletion.
//   gimnasio-crashworker export <folder> <seed>
//       Writes the single report and the per-day files again and again, cycling through the day
//       lists of crashcontent.h. Prints "ready", then "writing <n>" / "wrote <n>" around each
//       single report of list n and "writingdays <n>" / "wrotedays <n>" around each per-day export.
//   gimnasio-crashworker migrate <diary file>
//       Prints "opening", opens the diary (which brings an older file up to date) and prints
//       "opened <status>" with the number of the status open() gave.
//
// Any refusal prints "refused <reason>" and ends the worker with a non-zero code.

#include "crashcontent.h"
#include "daystore.h"
#include "diarydatabase.h"
#include "statsexport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QWidget>
#include <array>
#include <cstdio>
#include <limits>
#include <memory>

namespace {

// One whole line on stdout, handed to the pipe before the call returns.
void say(const QString &line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

// A worker whose test has gone away stops by itself after this many operations.
constexpr int operationLimit = 20000;

int refuse(const QString &reason) {
    say(QStringLiteral("refused ") + reason);
    return 3;
}

int runDays(const QString &path, quint32 seed) {
    DiaryDatabase database;
    const DiaryDatabase::Status status = database.open(path);
    if (status != DiaryDatabase::Status::Ready)
        return refuse(QStringLiteral("open %1").arg(int(status)));

    DayStore store(database);
    if (!store.open())
        return refuse(store.lastError());
    say(QStringLiteral("opened"));

    QRandomGenerator random(seed);
    qint64 nextId = qint64(seed) * 1000000;
    for (int operation = 0; operation < operationLimit; ++operation) {
        const int count = store.storedCount();
        if (count > 0 && int(random.bounded(100)) < (count > 12 ? 60 : 25)) {
            store.toFirst();
            for (int step = int(random.bounded(quint32(count))); step > 0; --step)
                store.toNext();
            const QString id = store.textsAt(store.currentRow())[crashcontent::idBox];
            say(QStringLiteral("deleting ") + id);
            if (!store.deleteCurrent())
                return refuse(store.lastError());
            say(QStringLiteral("deleted ") + id);
        } else {
            const qint64 id = nextId++;
            const dayfields::DayTexts day = crashcontent::dayFor(id);
            say(QStringLiteral("saving %1").arg(id));
            if (!store.beginDay())
                return refuse(QStringLiteral("beginDay"));
            if (!store.storePending(day))
                return refuse(store.lastError());
            say(QStringLiteral("saved %1").arg(id));
        }
    }
    return 0;
}

int runExport(const QString &folder, quint32 seed) {
    std::vector<std::vector<dayfields::DayTexts>> lists;
    std::vector<ReportProfile> profiles;
    for (int version = 0; version < crashcontent::reportVersions; ++version) {
        lists.push_back(crashcontent::reportDays(version));
        profiles.push_back(crashcontent::reportProfileFor(version));
    }
    say(QStringLiteral("ready"));
    int version = int(seed % crashcontent::reportVersions);
    for (int operation = 0; operation < operationLimit; ++operation) {
        const auto &days = lists[std::size_t(version)];
        const auto &profile = profiles[std::size_t(version)];
        say(QStringLiteral("writing %1").arg(version));
        ExportOutcome outcome = statsexport::writeSingleFile(folder, profile, days);
        if (!outcome.written)
            return refuse(outcome.failedFile + u' ' + outcome.reason);
        say(QStringLiteral("wrote %1").arg(version));
        say(QStringLiteral("writingdays %1").arg(version));
        outcome = statsexport::writePerDayFiles(folder, profile, days);
        if (!outcome.written)
            return refuse(outcome.failedFile + u' ' + outcome.reason);
        say(QStringLiteral("wrotedays %1").arg(version));
        version = (version + 1) % crashcontent::reportVersions;
    }
    return 0;
}

int runMigrate(const QString &path) {
    say(QStringLiteral("opening"));
    DiaryDatabase database;
    const DiaryDatabase::Status status = database.open(path);
    say(QStringLiteral("opened %1").arg(int(status)));
    return status == DiaryDatabase::Status::Ready ? 0 : 2;
}

} // namespace

int main(int argc, char **argv) {
    QStandardPaths::setTestModeEnabled(true);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString path = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const quint32 seed = argc > 3 ? QString::fromLocal8Bit(argv[3]).toUInt() : 0;
    if (mode == QLatin1String("days") && argc == 4) {
        // The boxes are widgets, which need the whole application.
        QApplication app(argc, argv);
        return runDays(path, seed);
    }
    QCoreApplication app(argc, argv);
    if (mode == QLatin1String("export") && argc == 4)
        return runExport(path, seed);
    if (mode == QLatin1String("migrate") && argc == 3)
        return runMigrate(path);
    std::fputs("usage: gimnasio-crashworker days <diary file> <seed>\n"
               "       gimnasio-crashworker export <folder> <seed>\n"
               "       gimnasio-crashworker migrate <diary file>\n",
               stderr);
    return 1;
}

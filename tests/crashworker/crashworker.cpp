// A worker that writes the diary or its reports through the program's own code and prints
// "+<step>" before each step and "=<step>" once it is done, so that a test can kill it at any
// moment and know what the disk must hold.
//
//   gimnasio-crashworker open <diary file>             "=open <status>" (a first start or a
//                                                      plain diary sealed), then it ends
//   gimnasio-crashworker days <diary file> <seed>      "save <id>" and "delete <id>"
//   gimnasio-crashworker export <folder> <list> [<n>]  "single <list>", "days <list>" for n lists
//   gimnasio-crashworker backup <diary file> <seed>    "backup <name>": a backup a day after the
//                                                      newest (the diary of 100 days first)
//   gimnasio-crashworker import <diary file> <seed>    "import <n>": fifty new days a time, as a
//                                                      CSV file brings them
//   gimnasio-crashworker merge <diary file> <seed>     "merge <n>": the conflict copies beside
//                                                      the diary merged in one step
//
// Every day carries in its id box "<id> <checksum>", qHash() of its texts joined by a unit
// separator with the id alone there, so that a day read back can be told whole or not. A step
// refused ends the worker with code 3.

#include "data/backups.h"
#include "data/conflictcopies.h"
#include "data/daystore.h"
#include "data/diarydatabase.h"
#include "report/csvimport.h"
#include "report/statsexport.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// One whole line on stdout, which main() makes line buffered: the line reaches the pipe at once.
const auto say = [](const QString &line) { return std::puts(qPrintable(line)) >= 0; };

// The texts of a day of that date, of diary words (accents, eñes, a sign of two UTF-16 units,
// quotes, SQL, tabs, line breaks); now and then one reaches longest characters, to span many pages.
dayfields::DayTexts textsOf(QRandomGenerator &random, int longest, int date) {
    static const QStringList words = u"día|Ñandú|💪|'); --|\"hoy\"|12,5|\t|€|%1|\n"_s.split(u'|');
    dayfields::DayTexts texts;
    for (QString &text : texts)
        for (int n = random.bounded(random.bounded(12) ? longest / 40 : longest); text.size() < n;)
            text += words[random.bounded(int(words.size()))] + u' ';
    texts[dayfields::Fh] = QDate(2024, 3, 1).addDays(date).toString(u"dd/MM/yyyy");
    return texts;
}

// Deletes the first stored day, if any, as "&Borrar" does, and says which around it.
bool deleteFirstDay(DayStore &store) {
    store.toFirst();
    const QString id = store.textsAt(store.currentRow())[dayfields::Horahoy].section(u' ', 0, 0);
    return id.isEmpty() ||
           (say(u"+delete "_s + id) && store.deleteCurrent() && say(u"=delete "_s + id));
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const QStringList arguments = app.arguments();
    const QString path = arguments.value(2);
    QRandomGenerator random(arguments.value(3).toUInt());
    // A worker whose test has gone away stops by itself after this many steps.
    const int steps = arguments.value(4, u"20000"_s).toInt();
    bool done = true;
    if (arguments.value(1) == u"export") {
        for (int step = 0; done && step < steps; ++step) {
            // The day lists of the reports in turn: each longer than the one before it, with the
            // same dates and other texts, so that the reports of two lists differ.
            const int list = int((arguments.value(3).toUInt() + quint32(step)) % 3);
            QRandomGenerator texts{quint32(list)};
            std::vector<dayfields::DayTexts> days;
            for (int day = 0; day < 20 + 25 * list; ++day)
                days.push_back(textsOf(texts, 3000 * (list + 1), day));
            done = QDir().mkpath(path) && say(u"+single %1"_s.arg(list)) &&
                   statsexport::writeSingleFile(path, {}, days).written &&
                   say(u"=single %1\n+days %1"_s.arg(list)) &&
                   statsexport::writePerDayFiles(path, {}, days).written &&
                   say(u"=days %1"_s.arg(list));
        }
        return done ? 0 : 3;
    }
    // Opened as the login opens it: a sealed diary with its password, any other sealed with it.
    DiaryDatabase database;
    DiaryDatabase::Status opened = database.open(path);
    if (opened == DiaryDatabase::Status::Ready)
        opened = database.source() == DiaryDatabase::Source::Sealed ? database.unlock(u"secreto1"_s)
                                                                    : database.seal(u"secreto1"_s);
    const int status = int(opened);
    if (arguments.value(1) == u"open" || status != 0)
        return say(u"=open %1"_s.arg(status)) && status == 0 ? 0 : 3;
    if (arguments.value(1) == u"backup") {
        QSqlQuery count(u"SELECT count(*) FROM \"%1\""_s.arg(dayfields::tableName),
                        database.connection());
        if (count.next() && count.value(0).toInt() == 0) {
            QByteArray csv = "fecha;diario\r\n";
            for (int day = 0; day < 100; ++day)
                csv += QDate(2026, 1, 1).addDays(day).toString(u"dd/MM/yyyy").toUtf8() + ";día\r\n";
            done =
                DayStore(database)
                    .importDays(csvimport::read(csv, QDate(2026, 1, 1)), dayimport::Existing::Skip)
                    .done &&
                database.isWritten();
        }
        count.finish();
        const QString folder = backups::folderOf(path);
        for (int step = 0; done && step < steps; ++step) {
            const std::vector<backups::Backup> made = backups::list(folder);
            const QDateTime when = made.empty() ? QDateTime(QDate(2026, 1, 1), QTime(8, 0))
                                                : made.front().made.addDays(1);
            Failure error;
            done = say(u"+backup "_s + backups::fileNameFor(when, backups::Kind::AtExit)) &&
                   backups::makeBackup(database, when, backups::Kind::AtExit, &error) &&
                   say(u"=backup "_s + backups::fileNameFor(when, backups::Kind::AtExit));
        }
        return done ? 0 : 3;
    }
    if (arguments.value(1) == u"merge") {
        for (int step = 0; done && step < steps; ++step)
            done =
                say(u"+merge %1"_s.arg(step)) &&
                conflictcopies::mergeAll(database, conflictcopies::find(path)).refused.isEmpty() &&
                say(u"=merge %1"_s.arg(step));
        return done ? 0 : 3;
    }
    if (arguments.value(1) == u"import") {
        for (int step = 0; done && step < steps; ++step) {
            QSqlQuery count(u"SELECT count(*) FROM \"%1\""_s.arg(dayfields::tableName),
                            database.connection());
            const int stored = count.next() ? count.value(0).toInt() : -1;
            count.finish();
            QByteArray csv = "fecha;diario\r\n";
            for (int day = 0; day < 50; ++day)
                csv += QDate(2100, 1, 1).addDays(stored + day).toString(u"dd/MM/yyyy").toUtf8() +
                       ";importado\r\n";
            done =
                stored >= 0 && say(u"+import %1"_s.arg(stored / 50)) &&
                DayStore(database)
                    .importDays(csvimport::read(csv, QDate(2026, 1, 1)), dayimport::Existing::Skip)
                    .done &&
                database.isWritten() && say(u"=import %1"_s.arg(stored / 50));
        }
        return done ? 0 : 3;
    }
    DayStore store(database);
    store.open();
    for (int step = 0; done && step < steps; ++step) {
        dayfields::DayTexts texts = textsOf(random, 80000, random.bounded(3000));
        const QString id = texts[dayfields::Horahoy] = QString::number(random.generate64() >> 12);
        texts[dayfields::Horahoy] +=
            u" %1"_s.arg(qHash(QStringList(texts.begin(), texts.end()).join(QChar(31)), 0));
        // A new day stored as "&Grabar" stores it, in one committed transaction.
        done = random.bounded(5) < 2 ? deleteFirstDay(store)
                                     : say(u"+save "_s + id) && store.beginDay() &&
                                           store.storePending(texts) && say(u"=save "_s + id);
    }
    return done ? 0 : 3;
}

// Prints one line per figure: its name, its value and its unit.
#include "clocktexts.h"
#include "dayrecordset.h"
#include "diarydatabase.h"
#include "diarygenerator.h"
#include "statsexport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

namespace {

void print(const QString &name, double value, const char *unit) {
    std::printf("%s %.3g %s\n", qPrintable(name), value, unit);
    std::fflush(stdout);
}

double milliseconds(const QElapsedTimer &timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

// Best of a few runs, in milliseconds.
template <typename F> double best(int runs, F &&work) {
    double fastest = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        fastest = std::min(fastest, milliseconds(timer));
    }
    return fastest;
}

std::vector<dayfields::DayTexts> collect(DayRecordSet &days) {
    days.setRecordSource(dayfields::orderStatements[dayfields::ByDate]);
    const int count = days.exactCount();
    std::array<int, dayfields::BoxCount> columns{};
    for (int box = 0; box < dayfields::BoxCount; ++box)
        columns[box] = days.columnOf(dayfields::fields[box].column);
    std::vector<dayfields::DayTexts> result{std::size_t(count)};
    for (int row = 0; row < count; ++row)
        for (int box = 0; box < dayfields::BoxCount; ++box)
            result[std::size_t(row)][box] = days.data(days.index(row, columns[box])).toString();
    return result;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const ReportProfile profile{QStringLiteral("Zorvend"),
                                QStringLiteral("domingo, 20 de mayo de 1990"),
                                QStringLiteral("sábado, 1 de enero de 2000"),
                                QStringLiteral("180"),
                                QStringLiteral("36 Años 6 Meses Y 16 Días"),
                                {},
                                QStringLiteral("01/01/2000")};

    for (const int count : {1000, 10000, 100000}) {
        const QString folder = dir.filePath(QString::number(count));
        const QString path = folder + u'/' + DiaryDatabase::defaultFileName();
        if (!diarygenerator::writeDiary(path, count)) {
            std::fprintf(stderr, "cannot generate %d days\n", count);
            return 1;
        }
        DiaryDatabase database;
        if (count == 10000) {
            const double login = best(5, [&] {
                database.open(path);
                QSqlTableModel users(nullptr, database.connection());
                users.setTable(dayfields::profileTableName);
                users.select();
                (void)users.record(0);
            });
            print(QStringLiteral("login_ready_10000"), login, "ms");
        }
        database.open(path);
        DayRecordSet days(database.connection(), dayfields::tableName);
        if (count == 10000) {
            const char *names[] = {"date",   "hours",   "water", "weight", "bottom",   "chest",
                                   "biceps", "forearm", "leg",   "calf",   "timetable"};
            for (int order = 0; order < dayfields::OrderCount; ++order) {
                const double ms = best(3, [&] {
                    // What a sort entry does: re-open the set and show its first day.
                    days.setRecordSource(dayfields::orderStatements[order]);
                    (void)days.data(days.index(0, 1));
                });
                print(QStringLiteral("sort_%1_10000").arg(QLatin1String(names[order])), ms, "ms");
            }
        }
        ReportProfile withCount = profile;
        withCount.dayCount = QStringLiteral("%1 Días").arg(count);
        const double ours =
            best(3, [&] { statsexport::writeSingleFile(folder, withCount, collect(days)); });
        const QString csv = folder + QStringLiteral("/out.csv");
        const double sqlite = best(3, [&] {
            QProcess shell;
            shell.setStandardOutputFile(csv);
            shell.start(QStringLiteral("sqlite3"),
                        {QStringLiteral("-csv"), path,
                         QStringLiteral("select * from [El Día A Día En El Gimnasio]")});
            shell.waitForFinished(-1);
        });
        print(QStringLiteral("export_single_%1_vs_sqlite3_csv").arg(count), ours / sqlite, "x");
        if (count == 10000) {
            const auto texts = collect(days);
            const double perDay =
                best(1, [&] { statsexport::writePerDayFiles(folder, withCount, texts); });
            print(QStringLiteral("export_perday_10000"), perDay, "ms");
        }
    }

    const QDateTime now = QDateTime::currentDateTime();
    const double tick = best(5, [&] {
        for (int i = 0; i < 1000; ++i)
            (void)clockTexts(now.addSecs(i), u"01/01/2000", u"20/05/1990");
    });
    print(QStringLiteral("clock_tick"), tick / 1000.0, "ms");
    return 0;
}

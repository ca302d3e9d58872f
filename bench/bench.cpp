// Prints one line per figure: its name, its value and its unit.
//
// Run with a diary of 1,000, 10,000 and 100,000 generated days. The windows are driven through
// their own slots on the offscreen platform unless another one is set.
#include "app/applicationcontroller.h"
#include "calendar/calendarwindow.h"
#include "charts/progresswindow.h"
#include "data/backups.h"
#include "data/clock.h"
#include "data/daystore.h"
#include "data/daywalk.h"
#include "data/diarydatabase.h"
#include "data/profilestore.h"
#include "data/sealedfile.h"
#include "diary/diarywindow.h"
#include "diarygenerator.h"
#include "profile/profilewindow.h"
#include "report/csvexport.h"
#include "report/csvimport.h"
#include "report/statsexport.h"
#include "report/workoutimport.h"
#include "search/searchwindow.h"
#include "training/reader.h"
#include "trainingwindow/trainingwindow.h"
#include "ui/clocktexts.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileSystemWatcher>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <sodium.h>
#include <type_traits>
#include <unistd.h>
#include <utility>

namespace {

using diarygenerator::password;

// The whole of a file.
QByteArray wholeFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Opens a generated diary as the login does.
bool openDiary(DiaryDatabase &database, const QString &path) {
    return database.open(path) == DiaryDatabase::Status::Ready &&
           database.unlock(password) == DiaryDatabase::Status::Ready;
}

void print(const QString &name, double value, const char *unit) {
    std::printf("%s %.3g %s\n", qPrintable(name), value, unit);
    std::fflush(stdout);
}

double milliseconds(const QElapsedTimer &timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

// Best of a few runs, in milliseconds: the time of the whole work, or the time it measured
// itself and returned.
template <typename F> double best(int runs, F &&work) {
    double fastest = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if constexpr (std::is_same_v<std::invoke_result_t<F>, double>)
            fastest = std::min(fastest, work());
        else
            work();
        if constexpr (!std::is_same_v<std::invoke_result_t<F>, double>)
            fastest = std::min(fastest, milliseconds(timer));
    }
    return fastest;
}

// Answers the login question with the generated diary's password and every other box at once;
// the open file dialog with fileToOpen, and a list (the import's preview) by noting when it was
// shown and cancelling.
class LoginDialogs final : public Dialogs {
public:
    QString fileToOpen;
    QElapsedTimer sinceChosen; // started when the file to open is chosen
    double previewShownAt = -1;
    QString inputBox(QWidget *, const QString &, const QString &, const QString &) override {
        return password;
    }
    std::function<void()> onLogin; // run when the login box is shown
    QString passwordBox(QWidget *, const QString &, const QString &) override {
        if (onLogin)
            std::exchange(onLogin, nullptr)();
        return password;
    }
    std::optional<QStringList> formBox(QWidget *, const QString &, const QStringList &,
                                       const QStringList &) override {
        return std::nullopt;
    }
    void messageBox(QWidget *, const QString &text, const QString &) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool askYesNo(QWidget *, const QString &, const QString &) override { return true; }
    int chooseItem(QWidget *, const QString &, const QString &, const QStringList &) override {
        if (sinceChosen.isValid())
            previewShownAt = milliseconds(sinceChosen);
        return -1;
    }
    QString openFileName(QWidget *, const QString &, const QString &) override {
        sinceChosen.start();
        return fileToOpen;
    }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &,
                         QString *) override {
        return {};
    }
};

// The program as it stands once the login has passed with the generated diary's password.
struct LoggedIn {
    explicit LoggedIn(const QString &path)
        : ready(controller.start(path)) {}
    DiaryDatabase database;
    LoginDialogs dialogs;
    SystemClock clock;
    ProfileStore profiles{database};
    ApplicationController controller{database, profiles, dialogs, clock};
    bool ready;
    ProfileWindow &window() { return *controller.profileWindow(); }
    DiaryWindow *diary() { return controller.diaryWindow(); }
    // The diary window shown with every day read: the program before a window is measured.
    DiaryWindow *showDiaryRead() {
        controller.showDiary();
        while (diary()->days().isReadingAhead())
            QCoreApplication::processEvents();
        return diary();
    }
};

// The processor time of this process so far, in milliseconds.
double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The peak resident memory of this process so far, in megabytes.
double peakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

// Makes the kernel's record of the peak resident memory start again from what is resident now.
bool resetPeak() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

// The program up to its profile window, in this process: what `gimnasio` holds once the user
// has logged in. Prints two peaks of resident memory in megabytes: that of the start-up with its
// password check (whose Argon2id hash alone takes 64 MiB for a moment), and that of the window
// from then on, measured after the kernel's record of the peak was reset.
int profileWindowMemory(const QString &path) {
    LoggedIn program(path);
    if (!program.ready)
        return 2;
    ProfileWindow &window = program.window();
    const double startup = peakMegabytes();
    if (!resetPeak())
        return 3;
    window.show();
    for (int tick = 0; tick < 3; ++tick) {
        window.Timer1_Timer();
        QCoreApplication::processEvents();
    }
    std::printf("%.1f %.1f\n", startup, peakMegabytes());
    return 0;
}

// The progress window over the diary window, in this process: the time to open it with the weight
// chart drawn (best of five), the slowest switch of measure or range over the whole diary (each
// measure, each range, each bar), and how far the peak memory rises above that of the program
// without it. Prints the three figures.
int chartsFigures(const QString &path) {
    LoggedIn program(path);
    if (!program.ready)
        return 2;
    // The diary window reads the rest of its days while idle; that is the program without the
    // charts too.
    DiaryWindow *diary = program.showDiaryRead();
    // The peak starts again from what the program holds without the window.
    if (!resetPeak())
        return 3;
    const double without = peakMegabytes();
    ProgressWindow *progress = nullptr;
    const double open = best(5, [&] {
        delete diary->findChild<ProgressWindow *>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        program.controller.run(DiaryWindow::Request::ShowProgress);
        progress = diary->findChild<ProgressWindow *>();
        QCoreApplication::processEvents();
    });
    double slowest = 0;
    const auto timed = [&](auto &&change) {
        QElapsedTimer timer;
        timer.start();
        change();
        // What the running program's event loop does: the items of the series replaced go.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        slowest = std::max(slowest, milliseconds(timer));
    };
    for (const auto range :
         {ProgressWindow::Everything, ProgressWindow::LastYear, ProgressWindow::Last30,
          ProgressWindow::Last90, ProgressWindow::Everything})
        timed([&] { progress->showRange(range); });
    for (int measure = 0; measure < progress::MeasureCount; ++measure)
        timed([&] { progress->showMeasure(progress::Measure(measure)); });
    timed([&] { progress->showMeasure(progress::Water, progress::Weight); });
    for (const auto bars : {ProgressWindow::WeeklySums, ProgressWindow::MonthlyMeans})
        timed([&] { progress->showBars(bars); });
    std::printf("%.3g %.3g %.1f\n", open, slowest, peakMegabytes() - without);
    return 0;
}

// The search and the calendar over the diary window, in this process: the first opening of the
// search (its index built), a two-word search with a field filter with its days listed (best of
// five), the slowest key press while a twelve-letter word is typed (each search run as the pause
// after the key would run it, its days listed), how far the peak memory rises above that of the
// program without the search, and the calendar opened (best of five). Prints the five figures.
int searchFigures(const QString &path) {
    LoggedIn program(path);
    if (!program.ready)
        return 2;
    program.showDiaryRead();
    if (!resetPeak())
        return 3;
    const double without = peakMegabytes();
    QElapsedTimer timer;
    timer.start();
    program.controller.run(DiaryWindow::Request::Search);
    SearchWindow *search = program.controller.searchWindow();
    QCoreApplication::processEvents();
    const double open = milliseconds(timer);
    auto *box = search->findChild<QLineEdit *>();
    auto *list = search->findChild<QListView *>();
    qsizetype found = 0;
    const auto searched = [&](const QString &text) {
        box->setText(text);
        QElapsedTimer run;
        run.start();
        search->search();
        QCoreApplication::processEvents();
        found += list->model()->rowCount();
        return milliseconds(run);
    };
    const double twoWords =
        best(5, [&] { return searched(QStringLiteral("fuerza sent que_has_hecho:press")); });
    double slowestKey = 0;
    const QString word = QStringLiteral("sentimientos");
    for (int round = 0; round < 3; ++round)
        for (qsizetype letters = 1; letters <= word.size(); ++letters)
            slowestKey = std::max(slowestKey, searched(word.left(letters)));
    const double extra = peakMegabytes() - without;
    const double calendar = best(5, [&] {
        delete program.controller.calendarWindow();
        program.controller.run(DiaryWindow::Request::ShowCalendar);
        QCoreApplication::processEvents();
    });
    if (found == 0)
        std::fprintf(stderr, "nothing found\n");
    std::printf("%.3g %.3g %.3g %.1f %.3g\n", open, twoWords, slowestKey, extra, calendar);
    return 0;
}

// The training window over the diary window, in this process: the time to open it with the first
// exercise drawn (best of five), the slowest choice of another exercise (the first twenty in
// turn, each drawn as the event loop draws it), how far the peak memory rises above that of the
// program without it, the slowest choice again with the chart shown, and the processor time of the
// opening. Prints the five figures.
int trainingWindowFigures(const QString &path) {
    LoggedIn program(path);
    if (!program.ready)
        return 2;
    program.showDiaryRead();
    if (!resetPeak())
        return 3;
    const double without = peakMegabytes();
    // The processor time of the opening too, which other work on a busy machine does not lengthen.
    double openCpu = 1e300;
    const double open = best(5, [&] {
        delete program.controller.trainingWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const double before = cpuMilliseconds();
        program.controller.run(DiaryWindow::Request::ShowTraining);
        QCoreApplication::processEvents();
        openCpu = std::min(openCpu, cpuMilliseconds() - before);
    });
    TrainingWindow *window = program.controller.trainingWindow();
    QTableWidget *exercises = window->exercises();
    // The slowest choice of another exercise, the history shown, then the chart.
    const auto slowestSwitch = [&] {
        double slowest = 0;
        for (int row = 1; row < std::min(exercises->rowCount(), 21); ++row) {
            QElapsedTimer timer;
            timer.start();
            exercises->setCurrentCell(row, 0);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
            slowest = std::max(slowest, milliseconds(timer));
        }
        return slowest;
    };
    const double history = slowestSwitch();
    window->findChild<QTabWidget *>()->setCurrentIndex(1);
    const double chart = slowestSwitch();
    if (exercises->rowCount() < 2)
        std::fprintf(stderr, "no exercise to choose\n");
    std::printf("%.3g %.3g %.1f %.3g %.3g\n", open, history, peakMegabytes() - without, chart,
                openCpu);
    return 0;
}

// The training window's figures over the diary at path, measured in a process of their own.
void trainingWindowFiguresOf(const QString &path) {
    QProcess trainingWindow;
    trainingWindow.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    trainingWindow.start(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("--training-window"), path});
    trainingWindow.waitForFinished(120000);
    const QList<QByteArray> trained = trainingWindow.readAllStandardOutput().trimmed().split(' ');
    print(QStringLiteral("training_open_10000"), trained.value(0).toDouble(), "ms");
    print(QStringLiteral("training_switch_10000"), trained.value(1).toDouble(), "ms");
    print(QStringLiteral("training_extra_memory_10000"), trained.value(2).toDouble(), "MB");
    // The same with the chart of the estimated maximum shown, which is drawn for each exercise.
    print(QStringLiteral("training_switch_chart_10000"), trained.value(3).toDouble(), "ms");
    print(QStringLiteral("training_open_10000_cpu"), trained.value(4).toDouble(), "ms");
}

// A CSV of about `megabytes` MB as "Exportar CSV..." writes it: the generated days again and
// again, each on a date of its own.
bool writeLargeCsv(const QString &path, int megabytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const std::vector<dayfields::DayTexts> days = diarygenerator::days(1000);
    QByteArray out = "\xEF\xBB\xBF";
    for (std::size_t box = 0; box < csvexport::columnNames.size(); ++box)
        out += QByteArray(box ? ";" : "") + csvexport::columnNames[box];
    out += "\r\n";
    qint64 written = 0;
    for (int i = 0; written < qint64(megabytes) * 1000 * 1000; ++i) {
        dayfields::DayTexts day = days[std::size_t(i) % days.size()];
        day[dayfields::Fh] = QDate(1000, 1, 1).addDays(i).toString(u"dd/MM/yyyy");
        if (i % 7 == 0)
            day[dayfields::Eldiario] += QStringLiteral("\nY mañana, pierna; \"a tope\".");
        for (std::size_t box = 0; box < day.size(); ++box) {
            if (box)
                out += ';';
            csvexport::appendField(out, day[box], ';');
        }
        out += "\r\n";
        if (out.size() > (1 << 20)) {
            written += file.write(out);
            out.clear();
        }
    }
    return file.write(out) == out.size();
}

// "Importar CSV..." of a large file through the diary window, in this process: the time from the
// file chosen to the preview shown, and how far the peak memory rises above that of the program
// before it. Prints the two figures.
int importPreviewFigures(const QString &path, const QString &csv) {
    LoggedIn program(path);
    if (!program.ready)
        return 2;
    program.showDiaryRead();
    if (!resetPeak())
        return 3;
    const double without = peakMegabytes();
    program.dialogs.fileToOpen = csv;
    program.controller.run(DiaryWindow::Request::ImportCsv);
    std::printf("%.4g %.1f\n", program.dialogs.previewShownAt, peakMegabytes() - without);
    return 0;
}

// The nanoseconds of the wall clock, which two processes share.
qint64 wallNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The program started on a diary, in a process of its own started at `startedAt`: prints the
// milliseconds from then to the login box shown (the process loaded, the application made, the
// diary file read and its folder checked, the profile window built).
int loginReady(const QString &path, qint64 startedAt) {
    DiaryDatabase database;
    LoginDialogs dialogs;
    dialogs.onLogin = [startedAt] {
        std::printf("%.2f\n", double(wallNanoseconds() - startedAt) / 1e6);
    };
    SystemClock clock;
    ProfileStore profiles(database);
    ApplicationController controller(database, profiles, dialogs, clock);
    return controller.start(path) ? 0 : 2;
}

// The best of five program starts to the login box, each in a process of its own.
double loginReadyFigure(const QString &path) {
    double fastest = 1e300;
    for (int run = 0; run < 5; ++run) {
        QProcess child;
        const qint64 startedAt = wallNanoseconds();
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--login-ready"), path, QString::number(startedAt)});
        if (!child.waitForFinished(60000) || child.exitCode() != 0)
            return -1;
        fastest = std::min(fastest, child.readAllStandardOutput().trimmed().toDouble());
    }
    return fastest;
}

// The two peaks of profileWindowMemory(), measured in a process of their own.
std::pair<double, double> peakMemoryAtProfileWindow(const QString &path) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--profile-window"), path});
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        return {-1, -1};
    const QList<QByteArray> peaks = child.readAllStandardOutput().trimmed().split(' ');
    return {peaks.value(0).toDouble(), peaks.value(1).toDouble()};
}

// "&Añadir", a few boxes typed, then "&Grabar": the day committed, sealed and written to disk,
// and the first day of the order on display again, which runs the order's statement once more.
// The best of five, in milliseconds.
double saveNewDay(DiaryWindow *diary) {
    auto *date = diary->findChild<QLineEdit *>(QStringLiteral("fh"));
    auto *hours = diary->findChild<QLineEdit *>(QStringLiteral("hgim"));
    double fastest = 1e300;
    for (int i = 0; i < 5 && date && hours; ++i) {
        diary->Command4_Click();
        date->setText(QStringLiteral("%1/01/2099").arg(i + 1, 2, 10, QLatin1Char('0')));
        hours->setText(QStringLiteral("1,5"));
        QElapsedTimer saveTimer;
        saveTimer.start();
        diary->Command3_Click();
        QCoreApplication::processEvents();
        fastest = std::min(fastest, milliseconds(saveTimer));
    }
    return fastest;
}

// The diary window of a diary of ten years, and its save.
void tenYearsFigures(const QString &path) {
    LoggedIn program(path);
    if (!program.ready)
        return;
    program.controller.showDiary();
    QCoreApplication::processEvents();
    print(QStringLiteral("save_new_day_3650"), saveNewDay(program.diary()), "ms");
}

// The diary window as "&Entrar" opens it, with its figures.
void diaryWindowFigures(const QString &path) {
    LoggedIn program(path);
    if (!program.ready)
        return;
    ApplicationController &profile = program.controller;
    QCoreApplication::processEvents();

    const double open = best(5, [&] {
        delete profile.diaryWindow();
        profile.showDiary();
        QCoreApplication::processEvents();
    });
    print(QStringLiteral("diary_open_10000"), open, "ms");
    DiaryWindow *diary = profile.diaryWindow();

    // Steps to the next day, then back, so that every step moves.
    constexpr int steps = 500;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < steps; ++i) {
        diary->moveNext();
        QCoreApplication::processEvents();
    }
    for (int i = 0; i < steps; ++i) {
        diary->movePrevious();
        QCoreApplication::processEvents();
    }
    print(QStringLiteral("navigation_step_10000"), milliseconds(timer) / (2 * steps), "ms");
    // A jump to the last day: at once after opening, the set has read its first batch of days
    // only and reads the rest first; once the window has been idle for a moment, it has them.
    delete profile.diaryWindow();
    profile.showDiary();
    diary = profile.diaryWindow();
    timer.restart();
    diary->moveLast();
    QCoreApplication::processEvents();
    print(QStringLiteral("navigation_to_last_at_once_after_opening_10000"), milliseconds(timer),
          "ms");
    delete profile.diaryWindow();
    profile.showDiary();
    diary = profile.diaryWindow();
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < 500)
        QCoreApplication::processEvents();
    timer.restart();
    diary->moveLast();
    QCoreApplication::processEvents();
    print(QStringLiteral("navigation_to_last_10000"), milliseconds(timer), "ms");

    const std::array<std::pair<const char *, void (DiaryWindow::*)()>, dayfields::OrderCount>
        sorts = {{{"date", &DiaryWindow::porfecha_Click},
                  {"hours", &DiaryWindow::porhoras_Click},
                  {"water", &DiaryWindow::ordenarporagua_Click},
                  {"weight", &DiaryWindow::porpeso_Click},
                  {"bottom", &DiaryWindow::pordiaculo_Click},
                  {"chest", &DiaryWindow::porpecho_Click},
                  {"biceps", &DiaryWindow::porbiceps_Click},
                  {"forearm", &DiaryWindow::porante_Click},
                  {"leg", &DiaryWindow::porpie_Click},
                  {"calf", &DiaryWindow::porgeme_Click},
                  {"timetable", &DiaryWindow::porhorario_Click}}};
    for (const auto &sort : sorts) {
        const double ms = best(3, [&] {
            (diary->*sort.second)();
            QCoreApplication::processEvents();
        });
        print(QStringLiteral("sort_%1_10000").arg(QLatin1String(sort.first)), ms, "ms");
    }

    diary->porfecha_Click();
    print(QStringLiteral("save_new_day_10000"), saveNewDay(diary), "ms");
    diary->porhoras_Click();
    print(QStringLiteral("save_new_day_hours_order_10000"), saveNewDay(diary), "ms");

    // Pasting into the diary box of a new day: ten million characters in lines of a diary, and
    // a single "word" of 300,000 characters.
    diary->Command4_Click();
    auto *diaryText = diary->findChild<QPlainTextEdit *>(QStringLiteral("eldiario"));
    const QString line = QStringLiteral("Hoy he entrenado piernas y espalda, ñandú.\n");
    for (const auto &[name, text] :
         {std::pair{"paste_10M_characters_in_lines", line.repeated(10000000 / line.size())},
          std::pair{"paste_300000_character_word", QString(300000, u'x')}}) {
        diaryText->clear();
        QCoreApplication::processEvents();
        QApplication::clipboard()->setText(text);
        timer.restart();
        diaryText->paste();
        QCoreApplication::processEvents();
        print(QLatin1String(name), milliseconds(timer), "ms");
    }
}

// The per-day export against a plain loop that writes files of the same names and sizes.
void perDayFigures(const QString &path, const QString &folder, const ReportProfile &profile) {
    DiaryDatabase database;
    if (!openDiary(database, path))
        return;
    const StoredDays days(database.connection(), dayfields::orderStatement(dayfields::ByDate));

    std::vector<std::pair<QString, qsizetype>> files;
    const QByteArray profileBytes = statsexport::profileBlock(profile, days.summary());
    days.forEach([&](const dayfields::DayTexts &day) {
        QBuffer bytes;
        bytes.open(QIODevice::WriteOnly);
        statsexport::writeDayReport(bytes, profileBytes, day);
        files.emplace_back(statsexport::dayFileName(day), bytes.size());
        return true;
    });

    // Creating a file costs the file system more or less depending on what was deleted near where
    // it goes, which differs from folder to folder and from minute to minute on a busy disk. So
    // each round writes both sets into one new folder, each first in turn, and the best of the
    // rounds counts. The same is measured in memory (tmpfs), where only the program's own work
    // differs between the two.
    const QByteArray filler(1 << 20, 'x');
    const auto compare = [&](const QString &base, const QString &suffix) {
        double exportMs = 1e300;
        double plainMs = 1e300;
        for (int round = 0; round < 10; ++round) {
            const QString both = base + QStringLiteral("/perday%1").arg(round / 2);
            QDir().mkpath(both);
            // Whatever earlier figures left for the disk to write is written first.
            ::sync();
            QElapsedTimer timer;
            timer.start();
            if (round % 2 == round / 2 % 2) {
                statsexport::writePerDayFiles(both, profile, days);
                exportMs = std::min(exportMs, milliseconds(timer));
            } else {
                for (const auto &[name, size] : files) {
                    QFile file(both + QStringLiteral("/plain-") + name);
                    if (file.open(QIODevice::WriteOnly))
                        file.write(filler.constData(), std::min<qsizetype>(size, filler.size()));
                }
                plainMs = std::min(plainMs, milliseconds(timer));
            }
        }
        print(QStringLiteral("export_perday_10000") + suffix, exportMs, "ms");
        print(QStringLiteral("export_perday_10000_vs_plain_files") + suffix, exportMs / plainMs,
              "x");
    };
    compare(folder, {});
    QTemporaryDir memory(QStringLiteral("/dev/shm/gimnasio-bench-XXXXXX"));
    if (memory.isValid())
        compare(memory.path(), QStringLiteral("_tmpfs"));
}

// A diary whose header someone rewrote to ask for 1 GiB and 4 passes, its checksum made anew as
// anyone can: the time from opening it to the damaged-file message (best of five), the password
// tried too if the header is taken.
double forgedLimitsRefused(const QString &path) {
    QByteArray file = wholeFile(path);
    auto *header = reinterpret_cast<unsigned char *>(file.data());
    qToLittleEndian<quint64>(4, header + 24);
    qToLittleEndian<quint64>(quint64(1) << 30, header + 32);
    crypto_generichash(header + 112, 32, header, 112, nullptr, 0);
    const QString forged = QFileInfo(path).absolutePath() + QStringLiteral("/forged/diario.db");
    QDir().mkpath(QFileInfo(forged).absolutePath());
    QFile out(forged);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
        return -1;
    out.close();
    return best(5, [&] {
        DiaryDatabase database;
        DiaryDatabase::Status status = database.open(forged);
        if (status == DiaryDatabase::Status::Ready)
            status = database.unlock(password);
        if (messages::openFailure(database, status).isEmpty())
            std::fprintf(stderr, "forged header opened\n");
    });
}

// The training reader: every day's "Que Has Hecho" of 10,000 generated days, and one text of a
// megabyte made of them.
void trainingFigures() {
    QStringList texts;
    for (const auto &day : diarygenerator::days(10000))
        texts += day[dayfields::Qhash];
    qsizetype exercises = 0;
    double cpu = 1e300;
    const double all = best(5, [&] {
        timespec start{}, end{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
        for (const QString &text : std::as_const(texts))
            exercises += training::read(text).exercises.size();
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &end);
        cpu = std::min(cpu, double(end.tv_sec - start.tv_sec) * 1e3 +
                                double(end.tv_nsec - start.tv_nsec) / 1e6);
    });
    print(QStringLiteral("training_read_10000"), all, "ms");
    // The processor time of the same, which other work on a busy machine does not lengthen.
    print(QStringLiteral("training_read_10000_cpu"), cpu, "ms");
    QString megabyte;
    for (qsizetype i = 0; megabyte.size() < (1 << 20); ++i)
        megabyte += texts[i % texts.size()] + u'\n';
    print(QStringLiteral("training_read_1mb"),
          best(3, [&] { exercises += training::read(megabyte).exercises.size(); }), "ms");
    if (exercises == 0)
        std::fprintf(stderr, "no exercise read\n");
}

// "Importar Entrenamientos..." of a Strong export of 100,000 set rows (5,000 workouts of five
// exercises of four sets, the first a warm-up): the file read and turned into the days' texts,
// up to the preview.
void workoutImportFigures() {
    const char *const exercises[] = {"Squat (Barbell)", "Bench Press (Barbell)", "Pull Up",
                                     "Lat Pulldown (Cable)", "Landmine Rotation (1 Arm)"};
    QByteArray csv = "Date,Workout Name,Duration,Exercise Name,Set Order,Weight,Reps,Distance,"
                     "Seconds,Notes,Workout Notes,RPE\n";
    for (int row = 0; row < 100000; ++row) {
        const int set = row % 4;
        csv += QDate(2010, 1, 1).addDays(row / 20).toString(u"yyyy-MM-dd").toLatin1() +
               " 18:00:00,\"Rutina, A\",1h," + exercises[row / 4 % 5] + ',' +
               (set == 0 ? QByteArray("W") : QByteArray::number(set)) + ',' +
               QByteArray::number(40 + row % 13 * 2.5) + ',' + QByteArray::number(5 + row % 6) +
               ",0,0,,,\n";
    }
    qint64 sets = 0;
    print(QStringLiteral("workout_import_preview"),
          best(3, [&] { sets += workoutimport::read(csv).sets; }), "ms");
    if (sets == 0)
        std::fprintf(stderr, "no set read\n");
}

} // namespace

// Changes a thousand days of a diary open in memory, from the `first` key on, and writes it.
bool changeDays(DiaryDatabase &database, int first, const QString &text) {
    QSqlQuery query(database.connection());
    query.prepare(QStringLiteral("UPDATE \"El Día A Día En El Gimnasio\" SET \"Desayuno\" = ? "
                                 "WHERE \"Id\" BETWEEN ? AND ?"));
    query.addBindValue(text);
    query.addBindValue(first);
    query.addBindValue(first + 999);
    return query.exec() && query.numRowsAffected() == 1000 && database.save();
}

// One diary of 10,000 days on two computers: a thousand days changed on each side and merged
// (merge_10000_1000); a file written by the other computer read again and its days shown
// (reload_external_10000); and the CPU that watching the diary and its folder takes in a minute
// idle (watch_idle_cpu).
void syncFigures(const QString &path) {
    QTemporaryDir other;
    const QString theirs = other.filePath(DiaryDatabase::defaultFileName());
    DiaryDatabase ours;
    DiaryDatabase remote;
    if (!QFile::copy(path, theirs) || !openDiary(ours, path) || !openDiary(remote, theirs))
        return;
    remote.clock().setNode(ours.clock().node() + 1);
    // Both sides change 1,000 days, 500 of them the same ones.
    if (!changeDays(ours, 1, QStringLiteral("pan")) ||
        !changeDays(remote, 501, QStringLiteral("leche")))
        return;
    DayStore shown(ours);
    shown.open();
    QElapsedTimer timer;
    timer.start();
    diarysync::Report report;
    ours.mergeFile(theirs, false, &report);
    print(QStringLiteral("merge_10000_1000"), milliseconds(timer) / 1000, "s");
    // The other computer takes the merged diary in, then changes a thousand days more.
    diarysync::Report taken;
    if (!ours.save() || remote.mergeFile(path, false, &taken) != DiaryStatus::Ready ||
        !changeDays(remote, 2001, QStringLiteral("huevos")))
        return;
    // The other computer's file arrives by a rename, as a sync tool puts it.
    QFile::remove(path + QStringLiteral(".sync"));
    QFile::copy(theirs, path + QStringLiteral(".sync"));
    QFile::remove(path);
    QFile::rename(path + QStringLiteral(".sync"), path);
    timer.restart();
    ours.refresh();
    QCoreApplication::processEvents(); // the days shown follow
    print(QStringLiteral("reload_external_10000"), milliseconds(timer), "ms");

    QFileSystemWatcher watcher({path, QFileInfo(path).absolutePath()});
    QTimer look;
    look.setSingleShot(true);
    QObject::connect(&watcher, &QFileSystemWatcher::fileChanged, &look,
                     qOverload<>(&QTimer::start));
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, &look,
                     qOverload<>(&QTimer::start));
    timespec before{};
    timespec after{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &before);
    QEventLoop idle;
    QTimer::singleShot(60000, &idle, &QEventLoop::quit);
    idle.exec();
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &after);
    print(QStringLiteral("watch_idle_cpu"),
          double(after.tv_sec - before.tv_sec) * 1000 +
              double(after.tv_nsec - before.tv_nsec) / 1e6,
          "ms/min");
}

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--profile-window"))
        return profileWindowMemory(arguments[2]);
    if (arguments.size() == 4 && arguments[1] == QStringLiteral("--login-ready"))
        return loginReady(arguments[2], arguments[3].toLongLong());
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--charts"))
        return chartsFigures(arguments[2]);
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--search"))
        return searchFigures(arguments[2]);
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--training-window"))
        return trainingWindowFigures(arguments[2]);
    if (arguments.size() == 4 && arguments[1] == QStringLiteral("--import-preview"))
        return importPreviewFigures(arguments[2], arguments[3]);

    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--sync")) {
        // A diary of its own is made when none is given.
        if (!QFileInfo::exists(arguments[2]) && !diarygenerator::writeDiary(arguments[2], 10000))
            return 1;
        syncFigures(arguments[2]);
        return 0;
    }
    // The training figures alone: the reader's, then the window's over 10,000 generated days.
    if (arguments.size() == 2 && arguments[1] == QStringLiteral("--training")) {
        trainingFigures();
        QTemporaryDir days;
        const QString path = days.filePath(DiaryDatabase::defaultFileName());
        if (!days.isValid() || !diarygenerator::writeDiary(path, 10000, days.filePath("plain.db")))
            return 1;
        trainingWindowFiguresOf(path);
        return 0;
    }
    if (arguments.size() == 2 && arguments[1] == QStringLiteral("--workouts")) {
        workoutImportFigures();
        return 0;
    }
    trainingFigures();
    workoutImportFigures();

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

    {
        const QString path =
            dir.filePath(QStringLiteral("3650/")) + DiaryDatabase::defaultFileName();
        if (!diarygenerator::writeDiary(path, 3650))
            return 1;
        tenYearsFigures(path);
        print(QStringLiteral("forged_limits_refused"), forgedLimitsRefused(path), "ms");
    }
    const double keyDerivation =
        best(5, [] { (void)sealedfile::Key::derive(password, sealedfile::KeyRecipe::fresh()); });
    print(QStringLiteral("password_key_derivation"), keyDerivation, "ms");

    for (const int count : {1000, 10000, 100000}) {
        const QString folder = dir.filePath(QString::number(count));
        const QString path = folder + u'/' + DiaryDatabase::defaultFileName();
        const QString plain = folder + QStringLiteral("/plain.db");
        if (!diarygenerator::writeDiary(path, count, plain)) {
            std::fprintf(stderr, "cannot generate %d days\n", count);
            return 1;
        }
        ReportProfile withCount = profile;
        withCount.dayCount = QStringLiteral("%1 Días").arg(count);

        if (count == 10000) {
            // From the password's Return to the profile window shown: the key made from the
            // password, the diary opened with it and checked, the profile read and shown.
            const double login = best(5, [&] {
                DiaryDatabase database;
                database.open(path);
                LoginDialogs dialogs;
                SystemClock clock;
                ProfileStore profiles(database);
                ProfileWindow window(database, profiles, dialogs, clock);
                QElapsedTimer timer;
                timer.start();
                if (window.runStartup())
                    window.show();
                QCoreApplication::processEvents();
                return milliseconds(timer);
            });
            print(QStringLiteral("login_to_profile_10000"), login, "ms");
            print(QStringLiteral("login_ready_10000"), loginReadyFigure(path), "ms");
            const auto [startup, window] = peakMemoryAtProfileWindow(path);
            print(QStringLiteral("startup_peak_memory_10000"), startup, "MB");
            print(QStringLiteral("profile_window_peak_memory_10000"), window, "MB");
            QProcess charts;
            charts.start(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("--charts"), path});
            charts.waitForFinished(120000);
            const QList<QByteArray> figures = charts.readAllStandardOutput().trimmed().split(' ');
            print(QStringLiteral("charts_open_10000"), figures.value(0).toDouble(), "ms");
            print(QStringLiteral("charts_switch_10000"), figures.value(1).toDouble(), "ms");
            print(QStringLiteral("charts_extra_memory_10000"), figures.value(2).toDouble(), "MB");
            QProcess searching;
            searching.start(QCoreApplication::applicationFilePath(),
                            {QStringLiteral("--search"), path});
            searching.waitForFinished(120000);
            const QList<QByteArray> lookups =
                searching.readAllStandardOutput().trimmed().split(' ');
            print(QStringLiteral("search_open_10000"), lookups.value(0).toDouble(), "ms");
            print(QStringLiteral("search_10000"), lookups.value(1).toDouble(), "ms");
            print(QStringLiteral("search_as_typed_10000"), lookups.value(2).toDouble(), "ms");
            print(QStringLiteral("search_extra_memory_10000"), lookups.value(3).toDouble(), "MB");
            print(QStringLiteral("calendar_open_10000"), lookups.value(4).toDouble(), "ms");
            trainingWindowFiguresOf(path);
            // A valid CSV of 100 MB, from the file chosen to its preview (at most 4 s), and the
            // memory it takes meanwhile (at most 400 MB).
            const QString large = folder + QStringLiteral("/grande.csv");
            if (writeLargeCsv(large, 100)) {
                QProcess import;
                import.start(QCoreApplication::applicationFilePath(),
                             {QStringLiteral("--import-preview"), path, large});
                import.waitForFinished(600000);
                const QList<QByteArray> shown = import.readAllStandardOutput().trimmed().split(' ');
                print(QStringLiteral("import_preview_100mb"), shown.value(0).toDouble() / 1000,
                      "s");
                print(QStringLiteral("import_preview_100mb_memory"), shown.value(1).toDouble(),
                      "MB");
                QFile::remove(large);
            }
            diaryWindowFigures(path);
            QProcess sync;
            sync.setProcessChannelMode(QProcess::ForwardedChannels);
            const QString copy =
                folder + QStringLiteral("/sync/") + DiaryDatabase::defaultFileName();
            QDir().mkpath(folder + QStringLiteral("/sync"));
            QFile::copy(path, copy);
            sync.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--sync"), copy});
            sync.waitForFinished(300000);
        }

        auto database = std::make_unique<DiaryDatabase>();
        openDiary(*database, path);
        auto shown = std::make_unique<DayStore>(*database);
        const double ours = best(3, [&] {
            // What the export button does: the date order on display, the report from the engine.
            shown->setOrder(dayfields::ByDate);
            statsexport::writeSingleFile(folder, withCount, shown->storedDaysByDate());
        });
        const QString csv = folder + QStringLiteral("/out.csv");
        const double sqlite = best(3, [&] {
            QProcess shell;
            shell.setStandardOutputFile(csv);
            shell.start(QStringLiteral("sqlite3"),
                        {QStringLiteral("-csv"), plain,
                         QStringLiteral("select * from [El Día A Día En El Gimnasio]")});
            shell.waitForFinished(-1);
        });
        print(QStringLiteral("export_single_%1_vs_sqlite3_csv").arg(count), ours / sqlite, "x");
        if (count == 10000) {
            // "Exportar CSV..." against the same rows dumped by sqlite3 from a plain copy.
            const double csvExport = best(3, [&] {
                csvexport::writeFile(folder + QStringLiteral("/diario.csv"),
                                     csvexport::Preset::Spreadsheet, shown->storedDaysByDate());
            });
            print(QStringLiteral("csv_export_10000_vs_sqlite3_csv"), csvExport / sqlite, "x");
            // A verified backup: sealed, written aside, read back, checked, renamed.
            QDateTime made = QDateTime::currentDateTime();
            const double backup = best(3, [&] {
                Failure error;
                made = made.addSecs(1);
                backups::makeBackup(*database, made, backups::Kind::ByHand, &error);
            });
            print(QStringLiteral("backup_10000"), backup, "ms");
            // "Importar CSV..." of the diary's own export into an empty diary: reading and
            // checking every row up to the preview, then the one transaction written sealed.
            const QByteArray bytes = wholeFile(folder + QStringLiteral("/diario.csv"));
            QElapsedTimer timer;
            timer.start();
            const csvimport::Read read = csvimport::read(bytes, QDate::currentDate());
            print(QStringLiteral("csv_import_preview_10000"), milliseconds(timer), "ms");
            DiaryDatabase empty;
            const QString emptyPath =
                folder + QStringLiteral("/vacio/") + DiaryDatabase::defaultFileName();
            if (empty.open(emptyPath) == DiaryDatabase::Status::Ready &&
                empty.seal(password) == DiaryDatabase::Status::Ready) {
                DayStore days(empty);
                timer.restart();
                days.importDays(read, dayimport::Existing::Skip);
                print(QStringLiteral("csv_import_commit_10000"), milliseconds(timer), "ms");
            }
            // "Restaurar Copia..." of the latest backup: listed (opened once), opened and checked
            // once more when chosen, then put in the diary's place as it was checked.
            const QString latest = backups::list(backups::folderOf(path)).front().path;
            shown.reset();
            const double restore = best(3, [&] {
                database->inspectCopy(latest);
                database->restoreFrom(database->openCopy(latest));
            });
            print(QStringLiteral("restore_10000"), restore, "ms");
        }
        shown.reset();
        database.reset();
        if (count == 10000) {
            perDayFigures(path, folder, withCount);
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

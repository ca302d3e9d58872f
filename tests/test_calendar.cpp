// The calendar: streaks and cells worked out by hand, the settings kept in the diary, and the
// window "Calendario" from the keyboard and a screen reader through the real program.

#include "app/applicationcontroller.h"
#include "calendar/calendarwindow.h"
#include "calendar/streaks.h"
#include "calendar/yeargrid.h"
#include "data/calendarsettings.h"
#include "data/daystore.h"
#include "diary/diarywindow.h"
#include "profile/profilewindow.h"
#include "support/diaryfixture.h"
#include "support/manualclock.h"
#include "support/scripteddialogs.h"
#include "support/tablerows.h"
#include "support/testfonts.h"
#include "ui/windowlook.h"

#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>

using namespace calendar;
using namespace dayfields;

namespace {

const QDateTime now(QDate(2026, 12, 6), QTime(10, 0, 0)); // a Sunday
const QDate monday0(2026, 11, 2);

QList<QDate> daysFrom(const QList<int> &offsets, int step = 1) {
    QList<QDate> dates;
    for (const int offset : offsets)
        dates += monday0.addDays(offset * step);
    return dates;
}

// What a screen reader says for the cell of the grid's current day.
QString currentCellName(QTableView *grid) {
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(grid);
    QAccessibleInterface *cell =
        table->tableInterface()->cellAt(grid->currentIndex().row(), grid->currentIndex().column());
    return cell ? cell->text(QAccessible::Name) : QString();
}

// The focusable controls of a window that a screen reader cannot name.
QStringList unnamedControls(QWidget *window) {
    QStringList found;
    QList<QAccessibleInterface *> nodes{QAccessible::queryAccessibleInterface(window)};
    while (!nodes.isEmpty()) {
        QAccessibleInterface *node = nodes.takeFirst();
        if (node->state().focusable && !node->state().invisible &&
            node->text(QAccessible::Name).trimmed().isEmpty())
            found += node->object() ? node->object()->objectName() : QStringLiteral("?");
        for (int i = 0; i < node->childCount() && node->role() != QAccessible::Table; ++i)
            if (QAccessibleInterface *child = node->child(i))
                nodes += child;
    }
    return found;
}

} // namespace

class TestCalendar : public QObject {
    Q_OBJECT
public:
    static void initMain() { testfonts::pin(); }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        windowlook::useProgramFonts();
    }
    void streaksOfWeeksAndDays_data();
    void streaksOfWeeksAndDays();
    void cellsTellTheirDay_data();
    void cellsTellTheirDay();
    void yearsInWeeks_data();
    void yearsInWeeks();
    void settingsStayInTheDiary();
    void calendarByKeyboardAndScreenReader();

private:
    ScriptedDialogs m_dialogs;
    ManualClock m_clock{now};
};

void TestCalendar::streaksOfWeeksAndDays_data() {
    // Days counted from Monday 2 November 2026; paused weeks by their number from it; today a day.
    // Streaks: current weeks, longest weeks, current days, longest days.
    columns<QList<int>, QList<int>, int, int, QList<int>>("gym", "paused", "perWeek", "today",
                                                          "streaks");
    row("nothing yet", QList<int>{}, QList<int>{}, 3, 34, QList<int>{0, 0, 0, 0});
    row("three weeks of three days", QList<int>{14, 16, 18, 21, 23, 25, 28, 30, 32}, QList<int>{},
        3, 34, QList<int>{3, 3, 0, 1});
    row("a week short breaks it", QList<int>{0, 2, 4, 7, 9, 14, 16, 18}, QList<int>{}, 3, 20,
        QList<int>{1, 1, 0, 1});
    row("this week and today are not over", QList<int>{0, 2, 4, 7, 9, 11, 14}, QList<int>{}, 3, 15,
        QList<int>{2, 2, 1, 1});
    row("a week in pause does not break it", QList<int>{0, 2, 4, 14, 16, 18}, QList<int>{1}, 3, 20,
        QList<int>{2, 2, 0, 1});
    row("nor do its gym days extend it", QList<int>{4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
        QList<int>{1}, 3, 15, QList<int>{1, 1, 5, 5});
    row("a day typed twice counts once", QList<int>{0, 0, 7, 7}, QList<int>{}, 2, 13,
        QList<int>{0, 0, 0, 1});
    row("days to come are not counted", QList<int>{14, 15, 16, 17}, QList<int>{}, 3, 15,
        QList<int>{0, 0, 2, 2});
    row("a run long ago", QList<int>{0, 1, 2, 3, 4, 5, 6, 21}, QList<int>{}, 5, 21,
        QList<int>{0, 1, 1, 7});
    row("one day a week", QList<int>{3, 10, 17, 24}, QList<int>{}, 1, 27, QList<int>{4, 4, 0, 1});
}

void TestCalendar::streaksOfWeeksAndDays() {
    const auto [gym, paused, perWeek, today, expected] =
        fetch<QList<int>, QList<int>, int, int, QList<int>>("gym", "paused", "perWeek", "today",
                                                            "streaks");
    const QList<QDate> pausedDays = daysFrom(paused, 7);
    const QList<QDate> gymDays = daysFrom(gym);
    const Streaks found =
        streaks({gymDays.begin(), gymDays.end()}, {pausedDays.begin(), pausedDays.end()}, perWeek,
                monday0.addDays(today));
    QCOMPARE(
        (QList<int>{found.currentWeeks, found.longestWeeks, found.currentDays, found.longestDays}),
        expected);
}

void TestCalendar::cellsTellTheirDay_data() {
    // The records of Monday 3 March 2025 (hours, water, what was done), shaded by a measure.
    columns<QList<QStringList>, int, QString, int, QString>("records", "shading", "amount", "level",
                                                            "name");
    const int hours = int(Shading::Hours), water = int(Shading::Water),
              training = int(Shading::Training);
    const QString day = QStringLiteral("Lunes 3 De Marzo De 2025: ");
    row("hours", QList<QStringList>{{"1,5", "", ""}}, hours, "1,5", 3, day + "1,5 Horas");
    row("one hour", QList<QStringList>{{"1", "", ""}}, hours, "1", 2, day + "1 Hora");
    row("two records add up", QList<QStringList>{{"0,5", "", ""}, {"0.5", "", ""}}, hours, "1", 2,
        day + "1 Hora");
    row("little", QList<QStringList>{{"0,25", "", ""}}, hours, "0,25", 1, day + "0,25 Horas");
    row("a lot", QList<QStringList>{{"2,5", "", ""}}, hours, "2,5", 4, day + "2,5 Horas");
    row("none typed", QList<QStringList>{{"", "", ""}}, hours, "", 0, day + "Sin Horas");
    row("no number", QList<QStringList>{{"mucho", "", ""}}, hours, "", 0, day + "Sin Horas");
    row("zero", QList<QStringList>{{"0", "", ""}}, hours, "0", 0, day + "0 Horas");
    row("no record", QList<QStringList>{}, hours, "", -1, day + "Sin Registro");
    row("water", QList<QStringList>{{"", "2", ""}}, water, "2", 3, day + "2 Litros");
    row("exercises read", QList<QStringList>{{"", "", "sentadilla 4x8 80, press banca 3x10 60"}},
        training, "2", 1, day + "2 Ejercicios");
    row("three exercises: the second shade, \"3 O 4\"",
        QList<QStringList>{{"", "", "sentadilla 4x8 80, press banca 3x10 60, remo 3x10 50"}},
        training, "3", 2, day + "3 Ejercicios");
    row("a doubtful name is no exercise", QList<QStringList>{{"", "", "pm 3x5 100"}}, training, "",
        0, day + "Sin Entrenamiento");
    row("notes are no exercise", QList<QStringList>{{"1", "", "hoy fatal, cardio 30 min"}},
        training, "", 0, day + "Sin Entrenamiento");
}

void TestCalendar::cellsTellTheirDay() {
    const auto [records, shading, amount, level, name] =
        fetch<QList<QStringList>, int, QString, int, QString>("records", "shading", "amount",
                                                              "level", "name");
    const QDate date(2025, 3, 3);
    DiaryDays days;
    for (const QStringList &record : records)
        days.add(1, u"3/3/2025", record[0], record[1], record[2]);
    const Shade shade = shadeOf(days.at(date), Shading(shading));
    QCOMPARE(shade.amount, amount);
    QCOMPARE(shade.level, level);
    QCOMPARE(cellName(date, shade, false, false), name);
}

void TestCalendar::yearsInWeeks_data() {
    columns<int, QDate, int, QString>("year", "firstMonday", "weeks", "beginning");
    row("2025 begins on a Wednesday", 2025, QDate(2024, 12, 30), 53, "Enero");
    row("2012, a leap year from Sunday to Monday", 2012, QDate(2011, 12, 26), 54, "Enero");
    row("2024 begins on a Monday", 2024, QDate(2024, 1, 1), 53, "Enero");
}

void TestCalendar::yearsInWeeks() {
    const auto [year, firstMonday, weeks, beginning] =
        fetch<int, QDate, int, QString>("year", "firstMonday", "weeks", "beginning");
    const YearWeeks found = yearWeeks(year);
    QCOMPARE(found.firstMonday, firstMonday);
    QCOMPARE(found.weeks, weeks);
    QCOMPARE(found.monthsBeginning(0), beginning);
    QCOMPARE(found.weekOf(QDate(year, 12, 31)), weeks - 1);
    QCOMPARE(found.weekOf(QDate(year + 1, 1, 1)), -1);
    QCOMPARE(found.dateAt(found.weekOf(QDate(year, 3, 3)), QDate(year, 3, 3).dayOfWeek() - 1),
             QDate(year, 3, 3));
    QCOMPARE(legend(Shading::Hours), (QStringList{"Menos De 1 Hora", "De 1 A 1,5 Horas",
                                                  "De 1,5 A 2 Horas", "2 Horas O Más"}));
}

void TestCalendar::settingsStayInTheDiary() {
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile() && diary.close());
    QCOMPARE(fixture::openWith(diary.database(), diary.path()), DiaryDatabase::Status::Ready);
    CalendarSettings settings(diary.database());
    QCOMPARE(settings.daysPerWeek(), 3);
    const QByteArray before = fixture::fileBytes(diary.path());
    QVERIFY(settings.setDaysPerWeek(5));
    // Each change is written sealed at once.
    QVERIFY(fixture::fileBytes(diary.path()) != before);
    QVERIFY(settings.setPaused(QDate(2026, 11, 23), true) &&
            settings.setPaused(QDate(2026, 11, 23), true) &&
            settings.setPaused(QDate(2026, 8, 3), true));
    diary.database().close();
    QCOMPARE(fixture::openWith(diary.database(), diary.path()), DiaryDatabase::Status::Ready);
    QCOMPARE(settings.daysPerWeek(), 5);
    QCOMPARE(settings.pausedWeeks(), (QSet<QDate>{QDate(2026, 11, 23), QDate(2026, 8, 3)}));
    QVERIFY(settings.setPaused(QDate(2026, 8, 3), false));
    QCOMPARE(settings.pausedWeeks(), QSet<QDate>{QDate(2026, 11, 23)});
    // What is no day count is read as the default.
    QVERIFY(QSqlQuery(diary.db()).exec("UPDATE Ajustes SET Valor = 'tres'"));
    QCOMPARE(settings.daysPerWeek(), 3);
}

void TestCalendar::calendarByKeyboardAndScreenReader() {
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile());
    QVERIFY(diary.addDays(
        {fixture::day({{Fh, "31/12/2024"}, {Hgim, "1"}}),
         fixture::day({{Fh, "03/03/2025"}, {Hgim, "1,5"}, {Qhash, "sentadilla 4x8 80"}}),
         fixture::day({{Fh, "3/3/2025"}, {Hgim, ""}, {Eldiario, "otra vez"}}),
         fixture::day({{Fh, "04/03/2025"}, {Hgim, "2"}}), fixture::day({{Fh, "ayer"}}),
         fixture::day({{Fh, "23/11/2026"}, {Hgim, "1"}}),
         fixture::day({{Fh, "24/11/2026"}, {Hgim, "1"}}),
         fixture::day({{Fh, "25/11/2026"}, {Hgim, "1"}}),
         fixture::day({{Fh, "30/11/2026"}, {Hgim, "1"}}),
         fixture::day({{Fh, "01/12/2026"}, {Hgim, "1"}}),
         fixture::day({{Fh, "02/12/2026"}, {Hgim, "1"}})}));
    QVERIFY(diary.close());
    ApplicationController app(diary.database(), diary.profiles(), m_dialogs, m_clock);
    m_dialogs.queueInputs({fixture::password});
    QVERIFY(app.start(diary.path()));
    app.profileWindow()->Command1_Click();
    DiaryWindow *form2 = app.diaryWindow();
    form2->findChild<QAction *>("showCalendarAction")->trigger();
    CalendarWindow *calendar = app.calendarWindow();
    QVERIFY(calendar && QTest::qWaitForWindowActive(calendar));
    QVERIFY(calendar->screen()->availableGeometry().contains(calendar->frameGeometry()));
    const auto text = [calendar](const char *name) {
        return calendar->findChild<QLabel *>(name)->text();
    };

    // The runs above the calendar; the day that cannot be read counted aside.
    QCOMPARE(text("rachaActual"),
             "Racha Actual: 2 Semanas Con 3 Días O Más De Gimnasio, 0 Días Seguidos");
    QCOMPARE(text("mejorRacha"),
             "Mejor Racha: 2 Semanas Con 3 Días O Más De Gimnasio, 3 Días Seguidos");
    QCOMPARE(text("sinFecha"), "1 día sin fecha válida");

    // Today first; arrows go by days and weeks and on into another year.
    QTableView *grid = calendar->grid();
    QCOMPARE(grid->accessibleName(), "Calendario De 2026");
    QCOMPARE(currentCellName(grid), "Domingo 6 De Diciembre De 2026: Sin Registro, Hoy");
    QTest::keyClick(grid, Qt::Key_Up);
    QTest::keyClick(grid, Qt::Key_Left);
    QCOMPARE(currentCellName(grid), "Sábado 28 De Noviembre De 2026: Sin Registro");
    QTest::keyClick(grid, Qt::Key_PageUp);
    QTest::keyClick(grid, Qt::Key_PageUp);
    QTRY_COMPARE(grid->accessibleName(), "Calendario De 2024");
    QCOMPARE(currentCellName(grid), "Jueves 28 De Noviembre De 2024: Sin Registro");
    QTest::keyClick(grid, Qt::Key_End);
    QCOMPARE(currentCellName(grid), "Martes 31 De Diciembre De 2024: 1 Hora");
    QTest::keyClick(grid, Qt::Key_Right);
    QTRY_COMPARE(grid->accessibleName(), "Calendario De 2025");
    for (int week = 0; week < 9; ++week)
        QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Left);
    QTest::keyClick(grid, Qt::Key_Left);
    QCOMPARE(currentCellName(grid), "Lunes 3 De Marzo De 2025: 1,5 Horas");
    QCOMPARE(grid->currentIndex().data().toString(), "3  1,5");
    QCOMPARE(grid->model()->headerData(grid->currentIndex().row() - 1, Qt::Vertical).toString(),
             "Marzo");
    QTest::keyClick(grid, Qt::Key_PageDown);
    QTest::keyClick(grid, Qt::Key_PageDown);
    QTRY_COMPARE(grid->accessibleName(), "Calendario De 2026");
    QTest::keyClick(grid, Qt::Key_PageDown);
    QCOMPARE(grid->accessibleName(), "Calendario De 2026");
    QTest::keyClick(grid, Qt::Key_PageUp);
    QTRY_COMPARE(currentCellName(grid), "Lunes 3 De Marzo De 2025: 1,5 Horas");

    // The second shading: the exercises read.
    calendar->findChild<QComboBox *>("sombrearPor")->setCurrentIndex(2);
    QCOMPARE(currentCellName(grid), "Lunes 3 De Marzo De 2025: 1 Ejercicio");
    // Each shade of the grid is the one its legend shows.
    const auto swatch = [calendar](const QString &name) {
        for (const QLabel *label : calendar->findChildren<QLabel *>())
            if (label->accessibleName() == name)
                return label->palette().window().color();
        return QColor();
    };
    const auto shade = [grid] {
        return grid->currentIndex().data(Qt::BackgroundRole).value<QBrush>().color();
    };
    const QStringList levels = legend(Shading::Training);
    QCOMPARE(levels, (QStringList{"1 O 2 Ejercicios", "3 O 4 Ejercicios", "5 O 6 Ejercicios",
                                  "7 Ejercicios O Más"}));
    QCOMPARE(shade(), swatch(levels.first()));
    QTest::keyClick(grid, Qt::Key_Right);
    QCOMPARE(currentCellName(grid), "Martes 4 De Marzo De 2025: Sin Entrenamiento");
    QCOMPARE(shade(), swatch("Sin Entrenamiento"));
    QTest::keyClick(grid, Qt::Key_Left);

    // Return shows the first record of that date in the diary window.
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(form2->findChild<QLineEdit *>(fields[Fh].box)->text(), "03/03/2025");
    QVERIFY(calendar->isVisible());

    // A week in pause from the keyboard: its header says so and the runs skip it.
    calendar->showDate(QDate(2026, 11, 25));
    QTest::keyClick(grid, Qt::Key_P, Qt::AltModifier);
    QTRY_COMPARE(grid->model()->headerData(grid->currentIndex().row(), Qt::Vertical).toString(),
                 "Pausa");
    QCOMPARE(currentCellName(grid),
             "Miércoles 25 De Noviembre De 2026: Sin Entrenamiento, Semana En Pausa");
    QCOMPARE(calendar->findChild<QPushButton *>("pausa")->text(), "Quitar &Pausa De La Semana");
    QCOMPARE(text("rachaActual"),
             "Racha Actual: 1 Semana Con 3 Días O Más De Gimnasio, 0 Días Seguidos");
    QCOMPARE(CalendarSettings(diary.database()).pausedWeeks(), QSet<QDate>{QDate(2026, 11, 23)});

    // Two days a week: March 2025 counts too, and the choice is kept once the box is still.
    calendar->findChild<QSpinBox *>("diasPorSemana")->setValue(2);
    QCOMPARE(text("mejorRacha"),
             "Mejor Racha: 1 Semana Con 2 Días O Más De Gimnasio, 3 Días Seguidos");
    QTRY_COMPARE(CalendarSettings(diary.database()).daysPerWeek(), 2);

    // A day saved in the diary window shows at once, every week of the year drawn again.
    QSignalSpy redrawn(grid->model(), &QAbstractItemModel::dataChanged);
    QVERIFY(form2->days().beginDay() &&
            form2->days().storePending(fixture::day({{Fh, "06/12/2026"}, {Hgim, "2"}})));
    QVERIFY(!redrawn.isEmpty());
    QCOMPARE(redrawn.last().at(1).toModelIndex(),
             grid->model()->index(grid->model()->rowCount() - 1, 6));
    calendar->findChild<QComboBox *>("sombrearPor")->setCurrentIndex(0);
    calendar->showDate(QDate(2026, 12, 6));
    QCOMPARE(currentCellName(grid), "Domingo 6 De Diciembre De 2026: 2 Horas, Hoy");
    QCOMPARE(text("rachaActual"),
             "Racha Actual: 1 Semana Con 2 Días O Más De Gimnasio, 1 Día Seguido");

    QCOMPARE(unnamedControls(calendar), QStringList());
    QTest::keyClick(grid, Qt::Key_Escape);
    QVERIFY(!calendar->isVisible());
}

QTEST_MAIN(TestCalendar)
#include "test_calendar.moc"

// The training log: the readings of many days with the body weight of each, the texts the reader
// could not read alone, the corrections kept in the diary, the records a stored day beats, and the
// window "Entrenamiento" through the real program.

#include "app/applicationcontroller.h"
#include "data/daystore.h"
#include "data/trainingcorrections.h"
#include "diary/diarywindow.h"
#include "profile/profilewindow.h"
#include "support/diaryfixture.h"
#include "support/manualclock.h"
#include "support/scripteddialogs.h"
#include "support/tablerows.h"
#include "support/testfonts.h"
#include "trainingwindow/traininglog.h"
#include "trainingwindow/trainingwindow.h"
#include "ui/windowlook.h"

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

using namespace dayfields;
using traininglog::DiaryEntry;

namespace {

const QDateTime now(QDate(2026, 12, 6), QTime(10, 0, 0));

// "dd/MM/yyyy|weight|text" a record, the weight empty for none.
QList<DiaryEntry> entriesOf(const QStringList &records) {
    QList<DiaryEntry> entries;
    for (const QString &record : records) {
        const QStringList parts = record.split(u'|');
        const QDate date = QDate::fromString(parts[0], QStringLiteral("dd/MM/yyyy"));
        entries += DiaryEntry{
            entries.size() + 1, date.isValid() ? std::optional(date) : std::nullopt,
            parts[1].isEmpty() ? std::nullopt : std::optional(parts[1].toDouble()), parts[2]};
    }
    return entries;
}

// A column of a table, top to bottom.
QStringList column(const QAbstractItemView *table, int column) {
    QStringList texts;
    const QAbstractItemModel *model = table->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts += model->index(row, column).data().toString();
    return texts;
}

} // namespace

class TestTrainingLog : public QObject {
    Q_OBJECT
public:
    static void initMain() { testfonts::pin(); }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        windowlook::useProgramFonts();
    }
    void setsAsShown_data();
    void setsAsShown();
    void daysReadWithTheirWeight_data();
    void daysReadWithTheirWeight();
    void recordsBeaten_data();
    void recordsBeaten();
    void correctionsStayInTheDiary();
    void trainingWindowThroughTheProgram();

private:
    ScriptedDialogs m_dialogs;
    ManualClock m_clock{now};
};

void TestTrainingLog::setsAsShown_data() {
    // A text, its first exercise's sets as the history shows them, its top set (a weight of 80)
    // and its volume.
    columns<QString, QString, QString, double>("text", "sets", "top", "volume");
    row("sets of one load", "sentadilla 4x8 80", "4 × 8 Con 80 Kg", "8 × 80 Kg", 2560.0);
    row("a set at a time", "press banca 60x10, 70x8, 80x6",
        "1 × 10 Con 60 Kg, 1 × 8 Con 70 Kg, 1 × 6 Con 80 Kg", "6 × 80 Kg", 1640.0);
    row("body weight and ballast", "dominadas 3x8 +10", "3 × 8 Con Peso Corporal + 10 Kg",
        "8 × 90 Kg", 2160.0);
    row("to failure", "dominadas 3x max", "3 × Máx Con Peso Corporal", "", 0.0);
    row("per hand counts both", "curl 3x12 12,5 c/u", "3 × 12 Con 12,5 Kg C/U", "12 × 12,5 Kg",
        900.0);
    row("above twelve no maximum", "sentadilla 2x15 60", "2 × 15 Con 60 Kg", "", 1800.0);
    row("held", "plancha 3x45s", "3 × 45 s Con Peso Corporal", "", 0.0);
}

void TestTrainingLog::setsAsShown() {
    const auto [text, sets, top, volume] =
        fetch<QString, QString, QString, double>("text", "sets", "top", "volume");
    const training::Reading reading = training::read(text);
    QVERIFY(!reading.exercises.isEmpty());
    const QList<training::Set> &read = reading.exercises.first().sets;
    QCOMPARE(traininglog::setsText(read), sets);
    QCOMPARE(traininglog::topSet(read, 80.0), top);
    QCOMPARE(traininglog::volume(read, 80.0), volume);
}

void TestTrainingLog::daysReadWithTheirWeight_data() {
    // Records, the corrections ("texto=ejercicio", "texto=" for no training); each exercise's
    // days (by name, then date) with their body weight, and the texts left unread with their
    // number of days.
    columns<QStringList, QStringList, QStringList, QStringList>("records", "corrections", "weights",
                                                                "unread");
    row("the weight of the day or the nearest before",
        QStringList{"01/11/2026|80|", "03/11/2026||dominadas 3x8", "15/11/2026||dominadas 3x8",
                    "16/11/2026||dominadas 3x8", "20/11/2026|82|dominadas 3x8"},
        QStringList{},
        QStringList{"03/11/2026 80", "15/11/2026 80", "16/11/2026 none", "20/11/2026 82"},
        QStringList{});
    row("days in date order, undated ones left out",
        QStringList{"05/11/2026||sentadilla 5x5 100", "ayer||sentadilla 5x5 100",
                    "01/11/2026||sentadilla 3x10 60"},
        QStringList{}, QStringList{"01/11/2026 none", "05/11/2026 none"}, QStringList{});
    row("unknown, doubtful and notes are unread; equal texts are one",
        QStringList{"01/11/2026||pm 100x5", "02/11/2026||PM 100x5", "03/11/2026||cosa rara 3x10",
                    "04/11/2026||descanso", "05/11/2026||sentadilla 5x5 100"},
        QStringList{}, QStringList{"03/11/2026 none", "05/11/2026 none"},
        QStringList{"pm 100x5: 2", "cosa rara 3x10: 1", "descanso: 1"});
    row("corrected texts are read",
        QStringList{"01/11/2026||pm 100x5", "02/11/2026||PM  100x5", "03/11/2026||descanso"},
        QStringList{"pm 100x5=peso muerto", "descanso="},
        QStringList{"01/11/2026 none", "02/11/2026 none"}, QStringList{});
}

void TestTrainingLog::daysReadWithTheirWeight() {
    const auto [records, corrected, weights, unread] =
        fetch<QStringList, QStringList, QStringList, QStringList>("records", "corrections",
                                                                  "weights", "unread");
    QList<TrainingCorrections::Entry> stored;
    for (const QString &line : corrected) {
        const QString text = line.section(u'=', 0, 0), exercise = line.section(u'=', 1);
        stored += {exercise.isEmpty() ? TrainingCorrections::Kind::NoTraining
                                      : TrainingCorrections::Kind::Exercise,
                   training::fold(text), exercise};
    }
    const traininglog::Log log =
        traininglog::build(entriesOf(records), traininglog::correctionsFrom(stored));
    QStringList foundWeights, foundUnread;
    for (const exercisedays::ExerciseLog &exercise : log.exercises)
        for (const training::TrainingDay &day : exercisedays::daysOf(exercise)) {
            foundWeights +=
                day.date.toString(QStringLiteral("dd/MM/yyyy ")) +
                (day.bodyWeightKg ? QString::number(*day.bodyWeightKg) : QStringLiteral("none"));
        }
    for (const traininglog::Unread &text : log.unread)
        foundUnread +=
            QStringLiteral("%1: %2").arg(text.text).arg(text.dates.size() + text.undated);
    QCOMPARE(foundWeights, weights);
    QCOMPARE(foundUnread, unread);
    // A text corrected to an exercise reads as it, on every day with that text.
    if (!corrected.isEmpty())
        QCOMPARE(log.totals.exercises.first().days, 2);
}

void TestTrainingLog::recordsBeaten_data() {
    // The other records, the one stored last; what is told.
    columns<QStringList, QStringList>("records", "told");
    row("five beaten",
        QStringList{"03/11/2026||sentadilla 5x5 95", "10/11/2026||sentadilla 5x5 100"},
        QStringList{"¡Nuevo Récord! Sentadilla: 5 × 100 Kg, Antes 5 × 95 Kg El 03/11/2026"});
    row("more repetitions of the same load beat fewer",
        QStringList{"03/11/2026||sentadilla 3x8 95", "04/11/2026||sentadilla 1x5 100",
                    "10/11/2026||sentadilla 100x6, 90x10"},
        QStringList{"¡Nuevo Récord! Sentadilla: 6 × 100 Kg, Antes 6 × 95 Kg El 03/11/2026"});
    row("a first time is no record", QStringList{"10/11/2026||sentadilla 100x5"}, QStringList{});
    row("an equal load is no record",
        QStringList{"03/11/2026||sentadilla 100x5", "10/11/2026||sentadilla 1x5 100"},
        QStringList{});
    row("body weight from the diary",
        QStringList{"01/11/2026|80|dominadas 3x8", "08/11/2026||dominadas 3x8 +10"},
        QStringList{"¡Nuevo Récord! Dominadas: 8 × 90 Kg, Antes 8 × 80 Kg El 01/11/2026"});
    row("no weight within two weeks",
        QStringList{"01/10/2026|80|dominadas 3x8", "08/11/2026||dominadas 3x8 +10"}, QStringList{});
    row("two exercises",
        QStringList{"03/11/2026||sentadilla 95x5; press banca 60x5",
                    "10/11/2026||sentadilla 100x5, press banca 62,5x5"},
        QStringList{"¡Nuevo Récord! Sentadilla: 5 × 100 Kg, Antes 5 × 95 Kg El 03/11/2026",
                    "¡Nuevo Récord! Press De Banca: 5 × 62,5 Kg, Antes 5 × 60 Kg El 03/11/2026"});
    row("a doubtful name is no record", QStringList{"03/11/2026||pm 95x5", "10/11/2026||pm 100x5"},
        QStringList{});
}

void TestTrainingLog::recordsBeaten() {
    const auto [records, told] = fetch<QStringList, QStringList>("records", "told");
    const QList<DiaryEntry> entries = entriesOf(records);
    QCOMPARE(
        traininglog::newRecordsOfStored(entries, {}, *entries.last().date, entries.last().text),
        told);
}

void TestTrainingLog::correctionsStayInTheDiary() {
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile() && diary.close());
    QCOMPARE(fixture::openWith(diary.database(), diary.path()), DiaryDatabase::Status::Ready);
    TrainingCorrections corrections(diary.database());
    QVERIFY(corrections.entries().isEmpty());
    const QByteArray before = fixture::fileBytes(diary.path());
    const TrainingCorrections::Entry deadlift{TrainingCorrections::Kind::Exercise,
                                              QStringLiteral("pm 100x5"),
                                              QStringLiteral("peso muerto")};
    const TrainingCorrections::Entry rest{
        TrainingCorrections::Kind::NoTraining, QStringLiteral("hoy fatal"), {}};
    QVERIFY(corrections.set(deadlift) && corrections.set(rest));
    // Each change is written sealed at once.
    QVERIFY(fixture::fileBytes(diary.path()) != before);
    diary.database().close();
    QCOMPARE(fixture::openWith(diary.database(), diary.path()), DiaryDatabase::Status::Ready);
    QCOMPARE(corrections.entries(), (QList<TrainingCorrections::Entry>{rest, deadlift}));
    // A text corrected again keeps the last word; one forgotten is read alone again.
    QVERIFY(corrections.set({TrainingCorrections::Kind::NoTraining, deadlift.key, {}}));
    QVERIFY(corrections.remove(rest.key));
    QCOMPARE(corrections.entries(),
             (QList<TrainingCorrections::Entry>{
                 {TrainingCorrections::Kind::NoTraining, deadlift.key, {}}}));
}

void TestTrainingLog::trainingWindowThroughTheProgram() {
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile());
    QVERIFY(diary.addDays(
        {fixture::day(
             {{Fh, "02/11/2026"}, {Peski, "80"}, {Qhash, "Sentadilla 4x8 80, dominadas 3x8"}}),
         fixture::day({{Fh, "03/11/2026"}, {Qhash, "sentadilla 5x5 95\npm 120x5"}}),
         fixture::day({{Fh, "04/11/2026"}, {Qhash, "pm 120x5"}}),
         fixture::day({{Fh, "05/11/2026"}, {Qhash, "PM 120x5"}}),
         fixture::day({{Fh, "06/11/2026"}, {Qhash, "hoy fatal"}})}));
    QVERIFY(diary.close());
    ApplicationController app(diary.database(), diary.profiles(), m_dialogs, m_clock);
    m_dialogs.queueInputs({fixture::password});
    QVERIFY(app.start(diary.path()));
    app.profileWindow()->Command1_Click();
    DiaryWindow *form2 = app.diaryWindow();
    QVERIFY(QTest::qWaitForWindowActive(form2));
    QAction *menu = form2->findChild<QAction *>("showTrainingAction");
    QCOMPARE(menu->text(), QStringLiteral("Ver &Entrenamiento..."));
    QCOMPARE(menu->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    QTest::keyClick(form2, Qt::Key_E, Qt::ControlModifier);
    TrainingWindow *window = app.trainingWindow();
    QVERIFY(window && QTest::qWaitForWindowActive(window));
    QVERIFY(window->screen()->availableGeometry().contains(window->frameGeometry()));

    // The most done first, with its days, last day and best estimated maximum.
    QCOMPARE(column(window->exercises(), 0), (QStringList{"Sentadilla", "Dominadas"}));
    QCOMPARE(column(window->exercises(), 1), (QStringList{"2", "1"}));
    QCOMPARE(column(window->exercises(), 3), (QStringList{"110,83 Kg", "101,33 Kg"}));
    const auto *history = window->findChild<QTableView *>("historial");
    QCOMPARE(column(history, 3), (QStringList{"5 × 5 Con 95 Kg", "4 × 8 Con 80 Kg"}));
    QCOMPARE(column(history, 1), (QStringList{"5 × 95 Kg", "8 × 80 Kg"}));
    QCOMPARE(column(history, 2), (QStringList{"2375", "2560"}));
    const auto *records = window->findChild<QTableWidget *>("records");
    QCOMPARE(column(records, 1).mid(4, 5), (QStringList{"95", "80", "80", "80", ""}));
    QCOMPARE(column(records, 2).at(4), QStringLiteral("03/11/2026"));
    // The chart is drawn once its page is shown: the days' dots and the trend.
    window->findChild<QTabWidget *>("pestanas")->setCurrentIndex(1);
    QCOMPARE(window->findChild<QChartView *>("grafica")->chart()->series().size(), 2);

    // A body-weight exercise says where its load comes from.
    window->exercises()->setCurrentCell(1, 0);
    QVERIFY(window->findChild<QLabel *>("nota")->text().contains("Peso Del Cuerpo"));
    QCOMPARE(column(history, 1), QStringList{"8 × 80 Kg"});

    // "Sin Leer": the doubtful text of two days first; corrected, each is read on every day.
    auto *unread = window->findChild<QTableView *>("sinleer");
    QCOMPARE(column(unread, 0),
             (QStringList{"pm 120x5", "sentadilla 5x5 95 / pm 120x5", "hoy fatal"}));
    QCOMPARE(column(unread, 1), (QStringList{"2", "1", "1"}));
    auto *catalogue = window->findChild<QComboBox *>("catalogo");
    catalogue->setCurrentIndex(catalogue->findData(QStringLiteral("peso muerto")));
    unread->setCurrentIndex(unread->model()->index(0, 0));
    window->findChild<QPushButton *>("esEjercicio")->click();
    unread->setCurrentIndex(unread->model()->index(1, 0));
    window->findChild<QPushButton *>("noEsEntrenamiento")->click();
    QCOMPARE(column(unread, 0), QStringList{"sentadilla 5x5 95 / pm 120x5"});
    QCOMPARE(
        column(window->exercises(), 1).at(column(window->exercises(), 0).indexOf("Peso Muerto")),
        QStringLiteral("2"));
    QCOMPARE(TrainingCorrections(diary.database()).entries().size(), 2);
    // A correction taken back: its text is unread again, the other stays.
    auto *corrected = window->findChild<QComboBox *>("corregidos");
    QCOMPARE(corrected->count(), 2);
    corrected->setCurrentIndex(corrected->findData(QStringLiteral("hoy fatal")));
    QCOMPARE(corrected->currentText(), QStringLiteral("hoy fatal → No Es Entrenamiento"));
    window->findChild<QPushButton *>("quitarCorreccion")->click();
    QCOMPARE(column(unread, 0), (QStringList{"sentadilla 5x5 95 / pm 120x5", "hoy fatal"}));
    QCOMPARE(corrected->count(), 1);
    QCOMPARE(TrainingCorrections(diary.database()).entries().first().key,
             QStringLiteral("pm 120x5"));
    // Escape closes it, the diary staying.
    window->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), window);
    window->exercises()->setFocus();
    QTest::keyClick(window->exercises(), Qt::Key_Escape);
    QVERIFY(form2->isVisible());
    QVERIFY(!window->isVisible());

    // A day stored that beats a record is told below the diary, without a box.
    m_dialogs.messages.clear();
    form2->Command4_Click();
    form2->findChild<QLineEdit *>(fields[Fh].box)->setText(QStringLiteral("07/11/2026"));
    form2->findChild<QPlainTextEdit *>(fields[Qhash].box)->setPlainText("sentadilla 100x5");
    form2->Command3_Click();
    QCOMPARE(
        form2->statusBar()->currentMessage(),
        QStringLiteral("¡Nuevo Récord! Sentadilla: 5 × 100 Kg, Antes 5 × 95 Kg El 03/11/2026"));
    QVERIFY(form2->statusBar()->isVisible());
    QCOMPARE(m_dialogs.messages, QStringList());
    QTRY_COMPARE(column(window->exercises(), 1).first(), QStringLiteral("3"));
    // The texts typed are as they were.
    QCOMPARE(fixture::columnInOrder(diary.db(), orderStatement(ByDate), fields[Qhash].column).at(3),
             QStringLiteral("PM 120x5"));
}

QTEST_MAIN(TestTrainingLog)
#include "test_traininglog.moc"

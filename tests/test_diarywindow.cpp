#include "dayrecordset.h"
#include "dialogs.h"
#include "diarydatabase.h"
#include "diaryfixture.h"
#include "diarywindow.h"
#include "manualclock.h"
#include "photo.h"
#include "photobox.h"
#include "scripteddialogs.h"
#include "statsexport.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <limits>
#include <map>
#include <memory>

using dayfields::Box;
using dayfields::DayTexts;

namespace {

const char *const boxNames[] = {"fh",    "hgim",  "desa",    "comi",  "cena",    "qhash",
                                "haspi", "dcue",  "dad",     "dbd",   "dc",      "dpi",
                                "dgi",   "dp",    "dai",     "dbi",   "dpd",     "dgd",
                                "dculo", "peski", "horahoy", "lagua", "eldiario"};

using Day = std::map<Box, QString>;

DayTexts textsOf(const Day &day) {
    DayTexts texts;
    for (const auto &[box, text] : day)
        texts[std::size_t(box)] = text;
    return texts;
}

Day dated(const QString &date, Day rest = {}) {
    rest[dayfields::Fh] = date;
    return rest;
}

// A profile window as the diary sees it: labels and a photo box with the right object names.
std::unique_ptr<QWidget> makeProfileWindow() {
    auto window = std::make_unique<QWidget>();
    window->setObjectName(QStringLiteral("Form1"));
    window->setWindowTitle(QStringLiteral("Diario De Gimnasio De [[[ Ana ]]]"));
    const std::pair<const char *, QString> captions[] = {
        {"nombre", QStringLiteral("Ana")},
        {"alturacm", QStringLiteral("180")},
        {"fechacom", QStringLiteral("01/09/2020")},
        {"Label14", QStringLiteral("6 Años 3 Meses Y 4 Días")},
        {"Label15", QStringLiteral("30 Años")},
        {"Label18", QStringLiteral("5 Meses")},
        {"Label19", QStringLiteral("12 Días")},
        {"Label20", QStringLiteral("martes, 23 de junio de 1996")},
        {"Label21", QStringLiteral("martes, 1 de septiembre de 2020")},
    };
    for (const auto &[name, caption] : captions) {
        auto *label = new QLabel(caption, window.get());
        label->setObjectName(QLatin1String(name));
    }
    auto *photoBox = new PhotoBox(window.get());
    photoBox->setObjectName(QStringLiteral("Image1"));
    window->resize(200, 200);
    return window;
}

QImage testPicture() {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    return image;
}

// One diary: a real database file in a temporary folder, a profile stand-in, and the window.
struct Diary {
    QTemporaryDir dir;
    DiaryDatabase database;
    ScriptedDialogs dialogs;
    ManualClock clock{QDateTime(QDate(2026, 12, 5), QTime(10, 30))};
    std::unique_ptr<QWidget> profile = makeProfileWindow();
    QPointer<DiaryWindow> window;

    Diary() {
        if (!dir.isValid() || database.open(dir.filePath(QStringLiteral("diario.db"))) !=
                                  DiaryDatabase::Status::Ready)
            qFatal("cannot open the test diary");
    }
    ~Diary() {
        delete window.data();
        profile.reset();
        database.close();
    }

    QSqlDatabase db() const { return database.connection(); }

    void exec(const QString &statement) {
        QSqlQuery query(db());
        if (!query.exec(statement))
            qFatal("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
    }

    void insert(const Day &day) {
        QStringList columns;
        QStringList marks;
        for (const auto &[box, text] : day) {
            columns += u'"' + dayfields::fields[std::size_t(box)].column + u'"';
            marks += QStringLiteral("?");
        }
        QSqlQuery query(db());
        query.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                          .arg(dayfields::tableName, columns.join(u','), marks.join(u',')));
        for (const auto &[box, text] : day)
            query.addBindValue(text);
        if (!query.exec())
            qFatal("insert: %s", qPrintable(query.lastError().text()));
    }

    void insertDays(int count) {
        QSqlDatabase connection = db();
        connection.transaction();
        for (int i = 0; i < count; ++i)
            insert(dated(QDate(2020, 1, 1).addDays(i).toString(QStringLiteral("dd/MM/yyyy")),
                         {{dayfields::Hgim, QString::number(i)}}));
        connection.commit();
    }

    void storePhoto(const QImage &image) {
        QSqlQuery query(db());
        query.prepare(
            QStringLiteral("INSERT INTO \"%1\" (\"%2\", \"%3\") VALUES (?, ?)")
                .arg(dayfields::profileTableName, dayfields::nameColumn, dayfields::photoColumn));
        query.addBindValue(QStringLiteral("Ana"));
        query.addBindValue(photo::encode(image));
        if (!query.exec())
            qFatal("photo: %s", qPrintable(query.lastError().text()));
    }

    // The stored days in the order they were stored.
    QList<DayTexts> stored() const {
        QList<DayTexts> days;
        QSqlQuery query(db());
        query.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY \"%2\"")
                       .arg(dayfields::tableName, dayfields::keyColumn));
        while (query.next()) {
            DayTexts texts;
            for (std::size_t box = 0; box < texts.size(); ++box)
                texts[box] = query.value(dayfields::fields[box].column).toString();
            days.append(texts);
        }
        return days;
    }

    DiaryWindow *open() {
        window = new DiaryWindow(database, profile.get(), dialogs, clock);
        return window;
    }

    template <typename T = QWidget> T *find(const char *name) const {
        T *child = window->findChild<T *>(QLatin1String(name));
        if (!child)
            qFatal("no child %s", name);
        return child;
    }
    QLabel *label(const char *name) const { return find<QLabel>(name); }
    QPushButton *button(const char *name) const { return find<QPushButton>(name); }
    QAction *action(const char *name) const { return find<QAction>(name); }
    QToolButton *bar(const char *name) const {
        return find<QWidget>("Data1")->findChild<QToolButton *>(QLatin1String(name));
    }

    QWidget *box(Box box) const { return find<QWidget>(boxNames[box]); }
    QString text(Box which) const {
        QWidget *widget = box(which);
        if (auto *line = qobject_cast<QLineEdit *>(widget))
            return line->text();
        return static_cast<QPlainTextEdit *>(widget)->toPlainText();
    }
    DayTexts shown() const {
        DayTexts texts;
        for (int b = 0; b < dayfields::BoxCount; ++b)
            texts[std::size_t(b)] = text(Box(b));
        return texts;
    }
    bool locked(Box which) const {
        QWidget *widget = box(which);
        if (auto *line = qobject_cast<QLineEdit *>(widget))
            return line->isReadOnly();
        return static_cast<QPlainTextEdit *>(widget)->isReadOnly();
    }
    int lockedCount() const {
        int count = 0;
        for (int b = 0; b < dayfields::BoxCount; ++b)
            count += locked(Box(b)) ? 1 : 0;
        return count;
    }
    void type(Box which, const QString &text) const { QTest::keyClicks(box(which), text); }
    void clear(Box which) const {
        QWidget *widget = box(which);
        if (auto *line = qobject_cast<QLineEdit *>(widget)) {
            line->selectAll();
            QTest::keyClick(line, Qt::Key_Backspace);
        }
    }
    void closeWindow() {
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

// Four days entered out of order, with numbers whose text order differs from their value order.
const Day dayA = {
    {dayfields::Fh, QStringLiteral("10/03/2026")}, {dayfields::Hgim, QStringLiteral("1,5")},
    {dayfields::Lagua, QStringLiteral("3")},       {dayfields::Peski, QStringLiteral("100")},
    {dayfields::Dculo, QStringLiteral("95")},      {dayfields::Dp, QStringLiteral("80")},
    {dayfields::Dbd, QStringLiteral("40")},        {dayfields::Dbi, QStringLiteral("41")},
    {dayfields::Dad, QStringLiteral("30")},        {dayfields::Dai, QStringLiteral("31")},
    {dayfields::Dpd, QStringLiteral("60")},        {dayfields::Dpi, QStringLiteral("61")},
    {dayfields::Dgd, QStringLiteral("38")},        {dayfields::Dgi, QStringLiteral("37")},
    {dayfields::Horahoy, QStringLiteral("18:00")}, {dayfields::Desa, QStringLiteral("pan\ncafé")}};
const Day dayB = {
    {dayfields::Fh, QStringLiteral("02/01/2026")}, {dayfields::Hgim, QStringLiteral("2")},
    {dayfields::Lagua, QStringLiteral("1,5")},     {dayfields::Peski, QStringLiteral("95")},
    {dayfields::Dculo, QStringLiteral("100")},     {dayfields::Dp, QStringLiteral("95")},
    {dayfields::Dbd, QStringLiteral("9")},         {dayfields::Dbi, QStringLiteral("100")},
    {dayfields::Dad, QStringLiteral("29")},        {dayfields::Dai, QStringLiteral("30")},
    {dayfields::Dpd, QStringLiteral("55")},        {dayfields::Dpi, QStringLiteral("56")},
    {dayfields::Dgd, QStringLiteral("40")},        {dayfields::Dgi, QStringLiteral("41")},
    {dayfields::Horahoy, QStringLiteral("9:00")}};
const Day dayC = {
    {dayfields::Fh, QStringLiteral("25/12/2025")}, {dayfields::Hgim, QStringLiteral("10")},
    {dayfields::Lagua, QStringLiteral("2")},       {dayfields::Peski, QStringLiteral("80")},
    {dayfields::Dculo, QStringLiteral("80")},      {dayfields::Dp, QStringLiteral("9")},
    {dayfields::Dbd, QStringLiteral("45")},        {dayfields::Dbi, QStringLiteral("46")},
    {dayfields::Dad, QStringLiteral("35")},        {dayfields::Dai, QStringLiteral("36")},
    {dayfields::Dpd, QStringLiteral("50")},        {dayfields::Dpi, QStringLiteral("50")},
    {dayfields::Dgd, QStringLiteral("36")},        {dayfields::Dgi, QStringLiteral("35")},
    {dayfields::Horahoy, QStringLiteral("10:30")}};
const Day dayD = {
    {dayfields::Fh, QStringLiteral("05/02/2026")}, {dayfields::Hgim, QStringLiteral("7,5")},
    {dayfields::Lagua, QStringLiteral("12,25")},   {dayfields::Peski, QStringLiteral("79,5")},
    {dayfields::Dculo, QStringLiteral("")},        {dayfields::Dp, QStringLiteral("100")},
    {dayfields::Dbd, QStringLiteral("")},          {dayfields::Dbi, QStringLiteral("")},
    {dayfields::Dad, QStringLiteral("12")},        {dayfields::Dai, QStringLiteral("13")},
    {dayfields::Dpd, QStringLiteral("70")},        {dayfields::Dpi, QStringLiteral("71")},
    {dayfields::Dgd, QStringLiteral("30")},        {dayfields::Dgi, QStringLiteral("30")},
    {dayfields::Horahoy, QStringLiteral("")}};

void seedFourDays(Diary &diary) {
    for (const Day &day : {dayA, dayB, dayC, dayD})
        diary.insert(day);
}

} // namespace

class TestDiaryWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void loadCopiesTheProfileAndLocksTheBoxes();
    void loadWithoutProfileWindowShowsTheDays();
    void dayCountLabel_data();
    void dayCountLabel();
    void emptyDiaryOpensQuietly();
    void photoGoesFromTheDiaryToTheProfile();

    void activationFromTheProfileRefreshes();
    void activationFromElsewhereDoesNotMove();

    void addPutsTodayAndUnlocks();
    void saveWritesTheTypedDay();
    void addThenSaveAtOnceStoresADatedEmptyDay();
    void saveWithEmptyDateWritesNothing();
    void saveWithEmptyDateOnEmptyDiary();
    void saveWithBlankDateWrites();
    void escapeKeepsTypedText();
    void buttonStatesOfBothModes();

    void deleteAsksAndMoves_data();
    void deleteAsksAndMoves();
    void deleteTheOnlyDay();
    void deleteOnEmptyDiaryAsksAndDoesNothing();

    void navigationStaysAtTheEnds();
    void navigationReachesDaysBeyondTheFirstBatch();

    void sortEntries_data();
    void sortEntries();
    void dateOrderWalk();

    void pendingDayBeforeAMove_data();
    void pendingDayBeforeAMove();
    void pendingDayBeforeASort();
    void activationKeepsThePendingDay();
    void closingWithAPendingDay_data();
    void closingWithAPendingDay();

    void closeAndReopenStartsFresh();
    void refusedSaveKeepsTheTypedDay_data();
    void refusedSaveKeepsTheTypedDay();
    void refusedCommitKeepsTheTypedDay();
    void refusedDeleteKeepsTheDay();
    void refusedSaveOnClosingKeepsTheWindowOpen();

    void singleFileExport();
    void perDayExportFromAddMode();
    void exportOfEmptyDiaryDoesNothing();
    void failedExportSaysSoOnly();

    void layoutOfTheWindow();
    void boxDesign_data();
    void boxDesign();
    void fixedCaptions_data();
    void fixedCaptions();
    void tabOrderAndMenu();
};

void TestDiaryWindow::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void TestDiaryWindow::loadCopiesTheProfileAndLocksTheBoxes() {
    Diary diary;
    seedFourDays(diary);
    diary.open();

    QCOMPARE(diary.window->windowTitle(), QStringLiteral("Diario De Gimnasio De [[[ Ana ]]]"));
    QCOMPARE(diary.label("n")->text(), QStringLiteral("Ana"));
    QCOMPARE(diary.label("fn")->text(), QStringLiteral("martes, 23 de junio de 1996"));
    QCOMPARE(diary.label("fco")->text(), QStringLiteral("martes, 1 de septiembre de 2020"));
    QCOMPARE(diary.label("ac")->text(), QStringLiteral("180 Cm."));
    QCOMPARE(diary.label("Label6")->text(), QStringLiteral("6 Años 3 Meses Y 4 Días"));
    QCOMPARE(diary.label("Label8")->text(), QStringLiteral("30 Años 5 Meses Y 12 Días"));
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("4 Días"));
    QCOMPARE(diary.label("Label34")->text(), QStringLiteral("Diario De Ana"));

    QCOMPARE(diary.lockedCount(), int(dayfields::BoxCount));
    QVERIFY(!diary.button("Command3")->isEnabled());
    for (const char *name : {"Command1", "Command2", "Command4", "Command5", "Command6"})
        QVERIFY2(diary.button(name)->isEnabled(), name);

    // The first day in the table's stored order is on display.
    QCOMPARE(diary.shown(), textsOf(dayA));

    // A locked box takes no typing.
    diary.type(dayfields::Hgim, QStringLiteral("99"));
    diary.type(dayfields::Desa, QStringLiteral("xx"));
    QCOMPARE(diary.shown(), textsOf(dayA));

    // The summary keeps the texts of the moment it was loaded.
    diary.profile->findChild<QLabel *>(QStringLiteral("Label14"))->setText(QStringLiteral("otro"));
    diary.window->Form_Activate();
    QCOMPARE(diary.label("Label6")->text(), QStringLiteral("6 Años 3 Meses Y 4 Días"));
}

void TestDiaryWindow::loadWithoutProfileWindowShowsTheDays() {
    Diary diary;
    seedFourDays(diary);
    diary.window = new DiaryWindow(diary.database, nullptr, diary.dialogs, diary.clock);
    QCOMPARE(diary.window->windowTitle(), QStringLiteral("Form2"));
    QCOMPARE(diary.label("n")->text(), QString());
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("4 Días"));
    QCOMPARE(diary.label("Label34")->text(), QStringLiteral("Diario De "));
    QCOMPARE(diary.shown(), textsOf(dayA));
}

void TestDiaryWindow::dayCountLabel_data() {
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("caption");
    QTest::newRow("one day stays plural") << 1 << QStringLiteral("1 Días");
    QTest::newRow("twelve") << 12 << QStringLiteral("12 Días");
    QTest::newRow("beyond one fetch") << 700 << QStringLiteral("700 Días");
}

void TestDiaryWindow::dayCountLabel() {
    QFETCH(int, days);
    QFETCH(QString, caption);
    Diary diary;
    diary.insertDays(days);
    diary.open();
    QCOMPARE(diary.label("Label33")->text(), caption);
    QCOMPARE(diary.text(dayfields::Fh), QStringLiteral("01/01/2020"));
}

void TestDiaryWindow::emptyDiaryOpensQuietly() {
    Diary diary;
    diary.open();
    QCOMPARE(diary.label("Label33")->text(), QString());
    QCOMPARE(diary.shown(), DayTexts{});
    QCOMPARE(diary.label("Label34")->text(), QStringLiteral("Diario De Ana"));
    for (const char *name : {"firstButton", "previousButton", "nextButton", "lastButton"})
        diary.bar(name)->click();
    QCOMPARE(diary.shown(), DayTexts{});
    QVERIFY(diary.dialogs.shown().isEmpty());
}

void TestDiaryWindow::photoGoesFromTheDiaryToTheProfile() {
    Diary diary;
    diary.storePhoto(testPicture());
    diary.open();
    const QImage diaryPicture = diary.find<PhotoBox>("Image1")->picture();
    QVERIFY(!diaryPicture.isNull());
    QCOMPARE(diaryPicture.pixelColor(5, 5), QColor(10, 200, 30));
    auto *profilePhoto = diary.profile->findChild<PhotoBox *>(QStringLiteral("Image1"));
    QCOMPARE(profilePhoto->picture(), diaryPicture);

    // A photo stored meanwhile (dropped on the profile window) is the one copied back.
    QImage other(20, 20, QImage::Format_RGB32);
    other.fill(QColor(200, 0, 0));
    QSqlQuery query(diary.db());
    query.prepare(QStringLiteral("UPDATE \"%1\" SET \"%2\" = ?")
                      .arg(dayfields::profileTableName, dayfields::photoColumn));
    query.addBindValue(photo::encode(other));
    QVERIFY(query.exec());
    profilePhoto->setPicture(other);
    diary.window->Form_Activate();
    QCOMPARE(profilePhoto->picture().pixelColor(5, 5), QColor(200, 0, 0));
    QCOMPARE(diary.find<PhotoBox>("Image1")->picture().pixelColor(5, 5), QColor(200, 0, 0));
}

void TestDiaryWindow::activationFromTheProfileRefreshes() {
    Diary diary;
    seedFourDays(diary);
    diary.open();
    diary.profile->show();
    diary.window->show();
    diary.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(diary.window));

    for (int round = 0; round < 3; ++round) {
        diary.bar("nextButton")->click();
        QCOMPARE(diary.text(dayfields::Fh), dayB.at(dayfields::Fh));
        diary.label("Label33")->clear();

        diary.profile->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(diary.profile.get()));
        diary.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(diary.window));

        QCOMPARE(diary.label("Label33")->text(), QStringLiteral("4 Días"));
        QCOMPARE(diary.text(dayfields::Fh), dayA.at(dayfields::Fh));
        QCOMPARE(diary.label("Label34")->text(), QStringLiteral("Diario De Ana"));
    }
}

void TestDiaryWindow::activationFromElsewhereDoesNotMove() {
    Diary diary;
    seedFourDays(diary);
    diary.open();
    diary.profile->show();
    diary.window->show();
    diary.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(diary.window));

    // Another window that is not the profile window (a box, another program) comes and goes.
    QWidget elsewhere;
    elsewhere.resize(50, 50);
    elsewhere.show();
    diary.bar("nextButton")->click();
    diary.label("Label33")->clear();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    diary.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(diary.window));

    QCOMPARE(diary.text(dayfields::Fh), dayB.at(dayfields::Fh));
    QCOMPARE(diary.label("Label33")->text(), QString());
}

void TestDiaryWindow::addPutsTodayAndUnlocks() {
    Diary diary;
    seedFourDays(diary);
    diary.open();
    diary.button("Command4")->click();
    QVERIFY(diary.window->isAddingDay());
    QCOMPARE(diary.text(dayfields::Fh), QStringLiteral("05/12/2026"));
    DayTexts expected{};
    expected[dayfields::Fh] = QStringLiteral("05/12/2026");
    QCOMPARE(diary.shown(), expected);
    QCOMPARE(diary.lockedCount(), 0);
    QCOMPARE(diary.stored().size(), 4);
}

void TestDiaryWindow::saveWritesTheTypedDay() {
    Diary diary;
    for (const Day &day : {dayA, dayB, dayC})
        diary.insert(day);
    diary.open();
    diary.bar("lastButton")->click();
    diary.button("Command4")->click();
    diary.type(dayfields::Hgim, QStringLiteral("2,5"));
    diary.type(dayfields::Dculo, QStringLiteral("101"));
    diary.type(dayfields::Peski, QStringLiteral("ochenta"));
    auto *diaryBox = diary.find<QPlainTextEdit>("eldiario");
    diaryBox->setPlainText(QString(300, u'ñ') + QStringLiteral("\nfin"));
    // Single-line boxes have no length limit either.
    diary.find<QLineEdit>("horahoy")->setText(QString(40000, u'h'));
    diary.button("Command3")->click();

    QVERIFY(!diary.window->isAddingDay());
    const QList<DayTexts> stored = diary.stored();
    QCOMPARE(stored.size(), 4);
    DayTexts expected{};
    expected[dayfields::Fh] = QStringLiteral("05/12/2026");
    expected[dayfields::Hgim] = QStringLiteral("2,5");
    expected[dayfields::Dculo] = QStringLiteral("101");
    expected[dayfields::Peski] = QStringLiteral("ochenta");
    expected[dayfields::Eldiario] = QString(300, u'ñ') + QStringLiteral("\nfin");
    expected[dayfields::Horahoy] = QString(40000, u'h');
    QCOMPARE(stored.last(), expected);
    QCOMPARE(stored.first(), textsOf(dayA));

    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("4 Días"));
    QCOMPARE(diary.shown(), textsOf(dayA));
    QCOMPARE(diary.lockedCount(), int(dayfields::BoxCount));
    QVERIFY(diary.button("Command4")->isEnabled());
    QVERIFY(!diary.button("Command3")->isEnabled());
    QVERIFY(diary.button("Command2")->isEnabled());
    QVERIFY(diary.button("Command5")->isEnabled());
    QVERIFY(diary.dialogs.shown().isEmpty());

    // The new day is reachable with the navigation bar.
    diary.bar("lastButton")->click();
    QCOMPARE(diary.shown(), expected);
}

void TestDiaryWindow::addThenSaveAtOnceStoresADatedEmptyDay() {
    Diary diary;
    diary.open();
    diary.button("Command4")->click();
    diary.button("Command3")->click();
    const QList<DayTexts> stored = diary.stored();
    QCOMPARE(stored.size(), 1);
    DayTexts expected{};
    expected[dayfields::Fh] = QStringLiteral("05/12/2026");
    QCOMPARE(stored.first(), expected);
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("1 Días"));
    QCOMPARE(diary.shown(), expected);
}

void TestDiaryWindow::saveWithEmptyDateWritesNothing() {
    Diary diary;
    for (const Day &day : {dayA, dayB, dayC})
        diary.insert(day);
    diary.open();
    diary.button("Command4")->click();
    diary.clear(dayfields::Fh);
    diary.type(dayfields::Hgim, QStringLiteral("3"));
    diary.button("Command3")->click();

    QCOMPARE(diary.stored().size(), 3);
    QVERIFY(!diary.window->isAddingDay());
    QCOMPARE(diary.lockedCount(), int(dayfields::BoxCount));
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("3 Días"));
    QCOMPARE(diary.shown(), textsOf(dayA));
    QVERIFY(diary.button("Command4")->isEnabled());
    QVERIFY(!diary.button("Command3")->isEnabled());
    QVERIFY(diary.button("Command2")->isEnabled());
    QVERIFY(diary.button("Command5")->isEnabled());

    // A later save of another day is not mixed up with the dropped one.
    diary.button("Command4")->click();
    diary.button("Command3")->click();
    QCOMPARE(diary.stored().size(), 4);
    QCOMPARE(diary.stored().last()[dayfields::Hgim], QString());
}

void TestDiaryWindow::saveWithEmptyDateOnEmptyDiary() {
    Diary diary;
    diary.open();
    diary.button("Command4")->click();
    diary.clear(dayfields::Fh);
    diary.button("Command3")->click();
    QCOMPARE(diary.stored().size(), 0);
    QCOMPARE(diary.label("Label33")->text(), QString());
    QCOMPARE(diary.shown(), DayTexts{});
    QVERIFY(!diary.window->isAddingDay());
}

void TestDiaryWindow::saveWithBlankDateWrites() {
    Diary diary;
    diary.open();
    diary.button("Command4")->click();
    diary.clear(dayfields::Fh);
    diary.type(dayfields::Fh, QStringLiteral("   "));
    diary.button("Command3")->click();
    QCOMPARE(diary.stored().size(), 1);
    QCOMPARE(diary.stored().first()[dayfields::Fh], QStringLiteral("   "));
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("1 Días"));
}

void TestDiaryWindow::escapeKeepsTypedText() {
    Diary diary;
    diary.open();
    diary.button("Command4")->click();
    diary.type(dayfields::Hgim, QStringLiteral("2"));
    QTest::keyClick(diary.box(dayfields::Hgim), Qt::Key_Escape);
    QTest::keyClick(diary.box(dayfields::Fh), Qt::Key_Escape);
    QCOMPARE(diary.text(dayfields::Hgim), QStringLiteral("2"));
    QCOMPARE(diary.text(dayfields::Fh), QStringLiteral("05/12/2026"));
    diary.button("Command3")->click();
    QCOMPARE(diary.stored().first()[dayfields::Hgim], QStringLiteral("2"));
}

void TestDiaryWindow::buttonStatesOfBothModes() {
    Diary diary;
    seedFourDays(diary);
    diary.open();
    const auto states = [&diary] {
        QString result;
        for (const char *name :
             {"Command4", "Command3", "Command2", "Command5", "Command6", "Command1"})
            result += diary.button(name)->isEnabled() ? u'1' : u'0';
        return result;
    };
    QCOMPARE(states(), QStringLiteral("101111"));
    diary.button("Command4")->click();
    QCOMPARE(states(), QStringLiteral("010011"));
    for (QAction *action : diary.find<QMenu>("opciones")->actions())
        QVERIFY(action->isEnabled());
    for (const char *name : {"firstButton", "previousButton", "nextButton", "lastButton"})
        QVERIFY(diary.bar(name)->isEnabled());
    // Disabled buttons do nothing.
    diary.button("Command2")->click();
    diary.button("Command4")->click();
    QVERIFY(diary.dialogs.shown().isEmpty());
    diary.button("Command3")->click();
    QCOMPARE(states(), QStringLiteral("101111"));
    // "&Grabar" with no day pending does not fail and writes nothing.
    diary.window->Command3_Click();
    QCOMPARE(states(), QStringLiteral("101111"));
    QCOMPARE(diary.stored().size(), 5);
}

void TestDiaryWindow::deleteAsksAndMoves_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("shownAfter");
    QTest::addColumn<int>("left");
    QTest::newRow("first, yes") << 0 << true << dayB.at(dayfields::Fh) << 3;
    QTest::newRow("middle, yes") << 1 << true << dayC.at(dayfields::Fh) << 3;
    QTest::newRow("last, yes") << 3 << true << dayA.at(dayfields::Fh) << 3;
    QTest::newRow("middle, no") << 1 << false << dayB.at(dayfields::Fh) << 4;
}

void TestDiaryWindow::deleteAsksAndMoves() {
    QFETCH(int, position);
    QFETCH(bool, yes);
    QFETCH(QString, shownAfter);
    QFETCH(int, left);
    Diary diary;
    seedFourDays(diary);
    diary.open();
    for (int i = 0; i < position; ++i)
        diary.bar("nextButton")->click();
    const QString deleted = diary.text(dayfields::Fh);
    diary.dialogs.queueAnswers({yes});
    diary.button("Command2")->click();

    QCOMPARE(diary.dialogs.shown().size(), 1);
    QCOMPARE(diary.dialogs.shown().first().kind, ScriptedDialogs::Shown::Question);
    QCOMPARE(diary.dialogs.shown().first().text,
             QStringLiteral("¿ Seguro Que Quieres Borrar Este Día De Gimnasio ?"));
    QCOMPARE(diary.dialogs.shown().first().title, QStringLiteral("Gimnasio Por ^Zorvend^"));
    QCOMPARE(diary.stored().size(), left);
    QCOMPARE(diary.text(dayfields::Fh), shownAfter);
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("%1 Días").arg(left));
    bool stillThere = false;
    for (const DayTexts &day : diary.stored())
        stillThere = stillThere || day[dayfields::Fh] == deleted;
    QCOMPARE(stillThere, !yes);
    QCOMPARE(diary.lockedCount(), int(dayfields::BoxCount));
}

void TestDiaryWindow::deleteTheOnlyDay() {
    Diary diary;
    diary.insert(dayA);
    diary.open();
    diary.dialogs.queueAnswers({true});
    diary.button("Command2")->click();
    QCOMPARE(diary.stored().size(), 0);
    QCOMPARE(diary.shown(), DayTexts{});
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("0 Días"));
    diary.window->Form_Activate();
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("0 Días"));
    // A new day can be added and saved afterwards.
    diary.button("Command4")->click();
    diary.button("Command3")->click();
    QCOMPARE(diary.stored().size(), 1);
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("1 Días"));
}

void TestDiaryWindow::deleteOnEmptyDiaryAsksAndDoesNothing() {
    Diary diary;
    diary.open();
    diary.dialogs.queueAnswers({true});
    diary.button("Command2")->click();
    QCOMPARE(diary.dialogs.shown().size(), 1);
    QCOMPARE(diary.label("Label33")->text(), QString());
    QCOMPARE(diary.shown(), DayTexts{});
}

void TestDiaryWindow::navigationStaysAtTheEnds() {
    Diary diary;
    seedFourDays(diary);
    diary.open();
    diary.bar("previousButton")->click();
    QCOMPARE(diary.shown(), textsOf(dayA));
    diary.bar("nextButton")->click();
    QCOMPARE(diary.shown(), textsOf(dayB));
    diary.bar("lastButton")->click();
    QCOMPARE(diary.shown(), textsOf(dayD));
    diary.bar("nextButton")->click();
    QCOMPARE(diary.shown(), textsOf(dayD));
    diary.bar("previousButton")->click();
    QCOMPARE(diary.shown(), textsOf(dayC));
    diary.bar("firstButton")->click();
    QCOMPARE(diary.shown(), textsOf(dayA));
    QCOMPARE(diary.lockedCount(), int(dayfields::BoxCount));
}

void TestDiaryWindow::navigationReachesDaysBeyondTheFirstBatch() {
    Diary diary;
    diary.insertDays(600);
    diary.open();
    for (int i = 1; i < 600; ++i) {
        diary.bar("nextButton")->click();
        if (diary.text(dayfields::Hgim) != QString::number(i))
            QFAIL(qPrintable(
                QStringLiteral("step %1 shows %2").arg(i).arg(diary.text(dayfields::Hgim))));
    }
    diary.bar("nextButton")->click();
    QCOMPARE(diary.text(dayfields::Hgim), QStringLiteral("599"));
    diary.bar("firstButton")->click();
    diary.bar("lastButton")->click();
    QCOMPARE(diary.text(dayfields::Hgim), QStringLiteral("599"));
}

void TestDiaryWindow::sortEntries_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("firstDay");
    const QString a = dayA.at(dayfields::Fh);
    const QString b = dayB.at(dayfields::Fh);
    const QString c = dayC.at(dayfields::Fh);
    const QString d = dayD.at(dayfields::Fh);
    QTest::newRow("hours") << "porhoras"
                           << QStringLiteral("Ordenar Por Horas En El Gimnasio Al Día") << c;
    QTest::newRow("date") << "porfecha" << QStringLiteral("Ordenar Por Fecha") << c;
    QTest::newRow("water") << "ordenarporagua"
                           << QStringLiteral("Ordenar Por Litros De Agua Bebidos") << d;
    QTest::newRow("weight") << "porpeso" << QStringLiteral("Ordenar Por Peso En Kg De Tu Body")
                            << a;
    QTest::newRow("bottom") << "pordiaculo" << QStringLiteral("Ordenar Por Diametro En Cm Del Culo")
                            << b;
    QTest::newRow("chest") << "porpecho" << QStringLiteral("Ordenar Por Diametro De Pecho") << d;
    QTest::newRow("biceps") << "porbiceps" << QStringLiteral("Ordenar Por Diametro De Biceps") << b;
    QTest::newRow("forearm") << "porante" << QStringLiteral("Ordenar Por Diametro De Antebrazo")
                             << c;
    QTest::newRow("leg") << "porpie" << QStringLiteral("Ordenar Por Diametro De Pierna") << d;
    QTest::newRow("calf") << "porgeme" << QStringLiteral("Ordenar Por Diametro De Gemelo") << b;
    QTest::newRow("timetable") << "porhorario" << QStringLiteral("Ordenar Por Horario") << b;
}

void TestDiaryWindow::sortEntries() {
    QFETCH(QString, entry);
    QFETCH(QString, caption);
    QFETCH(QString, firstDay);
    Diary diary;
    seedFourDays(diary);
    diary.open();
    diary.bar("lastButton")->click();
    QAction *action = diary.action(qPrintable(entry));
    QCOMPARE(action->text(), caption);
    action->trigger();
    QCOMPARE(diary.text(dayfields::Fh), firstDay);
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("4 Días"));
    QCOMPARE(diary.lockedCount(), int(dayfields::BoxCount));
    QVERIFY(!diary.button("Command3")->isEnabled());
    QVERIFY(diary.dialogs.shown().isEmpty());
    QCOMPARE(diary.stored().size(), 4);
}

void TestDiaryWindow::dateOrderWalk() {
    Diary diary;
    seedFourDays(diary);
    diary.open();
    diary.action("porfecha")->trigger();
    QStringList walk{diary.text(dayfields::Fh)};
    for (int i = 0; i < 3; ++i) {
        diary.bar("nextButton")->click();
        walk += diary.text(dayfields::Fh);
    }
    QCOMPARE(walk, (QStringList{dayC.at(dayfields::Fh), dayB.at(dayfields::Fh),
                                dayD.at(dayfields::Fh), dayA.at(dayfields::Fh)}));
    QCOMPARE(diary.window->dayRecords()->recordSource(),
             dayfields::orderStatements[dayfields::ByDate]);
}

void TestDiaryWindow::pendingDayBeforeAMove_data() {
    QTest::addColumn<bool>("clearDate");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("storedAfter");
    QTest::addColumn<bool>("stillAdding");
    QTest::addColumn<QString>("shownAfter");
    // Before "&Añadir" the second day is on display; the move is "next".
    QTest::newRow("dated day is stored, then the move")
        << false << QStringLiteral("4") << 5 << false << dayB.at(dayfields::Fh);
    QTest::newRow("untouched dated day is stored too")
        << false << QString() << 5 << false << dayB.at(dayfields::Fh);
    QTest::newRow("empty undated day is dropped, then the move")
        << true << QString() << 4 << false << dayC.at(dayfields::Fh);
    QTest::newRow("undated day with text stays, no move")
        << true << QStringLiteral("4") << 4 << true << QString();
}

void TestDiaryWindow::pendingDayBeforeAMove() {
    QFETCH(bool, clearDate);
    QFETCH(QString, typed);
    QFETCH(int, storedAfter);
    QFETCH(bool, stillAdding);
    QFETCH(QString, shownAfter);
    Diary diary;
    seedFourDays(diary);
    diary.open();
    diary.bar("nextButton")->click();
    diary.button("Command4")->click();
    if (clearDate)
        diary.clear(dayfields::Fh);
    diary.type(dayfields::Hgim, typed);
    diary.bar("nextButton")->click();

    QCOMPARE(diary.stored().size(), storedAfter);
    QCOMPARE(diary.window->isAddingDay(), stillAdding);
    if (stillAdding) {
        QCOMPARE(diary.text(dayfields::Fh), QString());
        QCOMPARE(diary.text(dayfields::Hgim), typed);
        QCOMPARE(diary.lockedCount(), 0);
        QVERIFY(diary.button("Command3")->isEnabled());
        QCOMPARE(diary.dialogs.messages().size(), 1);
        QCOMPARE(diary.dialogs.messages().first().title,
                 QStringLiteral("^Zorvend^ Diario De Gimnasio"));
        // Once dated, the day is stored by the next move.
        diary.type(dayfields::Fh, QStringLiteral("06/12/2026"));
        diary.bar("firstButton")->click();
        QCOMPARE(diary.stored().size(), storedAfter + 1);
        QCOMPARE(diary.stored().last()[dayfields::Hgim], typed);
        QCOMPARE(diary.stored().last()[dayfields::Fh], QStringLiteral("06/12/2026"));
        QCOMPARE(diary.text(dayfields::Fh), dayA.at(dayfields::Fh));
    } else {
        QCOMPARE(diary.text(dayfields::Fh), shownAfter);
        QCOMPARE(diary.lockedCount(), int(dayfields::BoxCount));
        QVERIFY(diary.button("Command2")->isEnabled());
        QVERIFY(diary.button("Command5")->isEnabled());
        QVERIFY(!diary.button("Command3")->isEnabled());
        QVERIFY(diary.dialogs.shown().isEmpty());
        QCOMPARE(diary.label("Label33")->text(),
                 QStringLiteral("%1 Días").arg(storedAfter == 5 ? 5 : 4));
        if (storedAfter == 5)
            QCOMPARE(diary.stored().last()[dayfields::Hgim], typed);
        // No existing day took the typed text.
        for (int i = 0; i < 4; ++i)
            QCOMPARE(diary.stored()[i],
                     textsOf(std::array{dayA, dayB, dayC, dayD}[std::size_t(i)]));
    }
}

void TestDiaryWindow::pendingDayBeforeASort() {
    Diary diary;
    seedFourDays(diary);
    diary.open();
    diary.button("Command4")->click();
    diary.clear(dayfields::Fh);
    diary.type(dayfields::Desa, QStringLiteral("avena"));
    diary.action("porfecha")->trigger();
    QVERIFY(diary.window->isAddingDay());
    QCOMPARE(diary.text(dayfields::Desa), QStringLiteral("avena"));
    QCOMPARE(diary.window->dayRecords()->recordSource(), dayfields::tableName);

    diary.type(dayfields::Fh, QStringLiteral("01/01/2020"));
    diary.action("porfecha")->trigger();
    QVERIFY(!diary.window->isAddingDay());
    QCOMPARE(diary.stored().size(), 5);
    QCOMPARE(diary.text(dayfields::Fh), QStringLiteral("01/01/2020"));
    QCOMPARE(diary.text(dayfields::Desa), QStringLiteral("avena"));
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("5 Días"));
}

void TestDiaryWindow::activationKeepsThePendingDay() {
    Diary diary;
    seedFourDays(diary);
    diary.open();
    diary.bar("nextButton")->click();
    diary.button("Command4")->click();
    diary.type(dayfields::Hgim, QStringLiteral("3"));
    diary.label("Label33")->clear();
    diary.window->Form_Activate();
    QVERIFY(diary.window->isAddingDay());
    QCOMPARE(diary.text(dayfields::Fh), QStringLiteral("05/12/2026"));
    QCOMPARE(diary.text(dayfields::Hgim), QStringLiteral("3"));
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("4 Días"));
    QCOMPARE(diary.label("Label34")->text(), QStringLiteral("Diario De Ana"));
    diary.button("Command3")->click();
    QCOMPARE(diary.stored().size(), 5);
    QCOMPARE(diary.stored().last()[dayfields::Hgim], QStringLiteral("3"));
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("5 Días"));
}

void TestDiaryWindow::closingWithAPendingDay_data() {
    QTest::addColumn<bool>("clearDate");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("storedAfter");
    QTest::newRow("changed dated day is stored") << false << QStringLiteral("2") << 2;
    QTest::newRow("day left as begun is dropped") << false << QString() << 1;
    QTest::newRow("undated day is dropped") << true << QStringLiteral("2") << 1;
}

void TestDiaryWindow::closingWithAPendingDay() {
    QFETCH(bool, clearDate);
    QFETCH(QString, typed);
    QFETCH(int, storedAfter);
    Diary diary;
    diary.insert(dayA);
    diary.open();
    diary.window->show();
    diary.button("Command4")->click();
    if (clearDate)
        diary.clear(dayfields::Fh);
    diary.type(dayfields::Hgim, typed);
    diary.closeWindow();
    QVERIFY(diary.window.isNull());
    QCOMPARE(diary.stored().size(), storedAfter);
    if (storedAfter == 2)
        QCOMPARE(diary.stored().last()[dayfields::Hgim], typed);
}

void TestDiaryWindow::closeAndReopenStartsFresh() {
    Diary diary;
    seedFourDays(diary);
    diary.open();
    diary.window->show();
    diary.action("porfecha")->trigger();
    diary.bar("nextButton")->click();
    diary.action("saliendo")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(diary.window.isNull());
    QVERIFY(diary.profile); // the profile window is left alone

    diary.open();
    diary.window->show();
    QCOMPARE(diary.lockedCount(), int(dayfields::BoxCount));
    QCOMPARE(diary.shown(), textsOf(dayA));
    QCOMPARE(diary.window->dayRecords()->recordSource(), dayfields::tableName);
    QVERIFY(!diary.button("Command3")->isEnabled());

    diary.button("Command1")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(diary.window.isNull());
    QCOMPARE(diary.stored().size(), 4);
}

void TestDiaryWindow::refusedSaveKeepsTheTypedDay_data() {
    QTest::addColumn<QString>("restriction");
    QTest::addColumn<QString>("lifted");
    QTest::newRow("disk full") << QStringLiteral("PRAGMA max_page_count = %1")
                               << QStringLiteral("PRAGMA max_page_count = 1000000");
    QTest::newRow("read-only") << QStringLiteral("PRAGMA query_only = 1")
                               << QStringLiteral("PRAGMA query_only = 0");
}

void TestDiaryWindow::refusedSaveKeepsTheTypedDay() {
    QFETCH(QString, restriction);
    QFETCH(QString, lifted);
    Diary diary;
    seedFourDays(diary);
    diary.open();
    diary.button("Command4")->click();
    diary.type(dayfields::Hgim, QStringLiteral("2"));
    const QString longText(200000, u'x');
    diary.find<QPlainTextEdit>("eldiario")->setPlainText(longText);
    const DayTexts typed = diary.shown();

    QSqlQuery pages(diary.db());
    QVERIFY(pages.exec(QStringLiteral("PRAGMA page_count")) && pages.next());
    diary.exec(restriction.contains(u'%') ? restriction.arg(pages.value(0).toInt()) : restriction);
    const QString file = diary.dir.filePath(QStringLiteral("diario.db"));
    const QByteArray before = fixture::fileBytes(file);

    diary.button("Command3")->click();
    QCOMPARE(fixture::fileBytes(file), before); // rolled back: the file is as it was
    QCOMPARE(diary.dialogs.messages().size(), 1);
    QCOMPARE(diary.dialogs.messages().first().title,
             QStringLiteral("^Zorvend^ Diario De Gimnasio"));
    QVERIFY(diary.dialogs.messages().first().text.startsWith(
        QStringLiteral("No Se Ha Podido Grabar El Día En El Diario De Gimnasio.")));
    QVERIFY(diary.window->isAddingDay());
    QCOMPARE(diary.shown(), typed);
    QCOMPARE(diary.lockedCount(), 0);
    QVERIFY(diary.button("Command3")->isEnabled());
    QVERIFY(!diary.button("Command4")->isEnabled());
    QVERIFY(!diary.button("Command2")->isEnabled());
    QCOMPARE(diary.stored().size(), 4);
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("4 Días"));

    // A refused move leaves the day pending too.
    diary.bar("nextButton")->click();
    QVERIFY(diary.window->isAddingDay());
    QCOMPARE(diary.shown(), typed);

    diary.exec(lifted);
    diary.button("Command3")->click();
    QVERIFY(!diary.window->isAddingDay());
    QCOMPARE(diary.stored().size(), 5);
    QCOMPARE(diary.stored().last(), typed);
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("5 Días"));
}

void TestDiaryWindow::refusedCommitKeepsTheTypedDay() {
    Diary diary;
    seedFourDays(diary);
    diary.open();
    // A guard that lets the row in but makes the commit fail.
    diary.exec(QStringLiteral("CREATE TABLE guardparent (id INTEGER PRIMARY KEY)"));
    diary.exec(QStringLiteral("CREATE TABLE guard (ref INTEGER REFERENCES guardparent(id) "
                              "DEFERRABLE INITIALLY DEFERRED)"));
    diary.exec(QStringLiteral("CREATE TRIGGER refuse AFTER INSERT ON \"%1\" BEGIN "
                              "INSERT INTO guard VALUES (999); END")
                   .arg(dayfields::tableName));
    diary.exec(QStringLiteral("PRAGMA foreign_keys = ON"));

    diary.button("Command4")->click();
    diary.type(dayfields::Lagua, QStringLiteral("1,5"));
    diary.type(dayfields::Desa, QStringLiteral("fruta"));
    const DayTexts typed = diary.shown();
    diary.button("Command3")->click();

    QCOMPARE(diary.dialogs.messages().size(), 1);
    QVERIFY(diary.window->isAddingDay());
    QCOMPARE(diary.shown(), typed);
    QCOMPARE(diary.stored().size(), 4);

    diary.exec(QStringLiteral("DROP TRIGGER refuse"));
    diary.button("Command3")->click();
    QVERIFY(!diary.window->isAddingDay());
    QCOMPARE(diary.stored().size(), 5);
    QCOMPARE(diary.stored().last(), typed);
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("5 Días"));
}

void TestDiaryWindow::refusedDeleteKeepsTheDay() {
    Diary diary;
    seedFourDays(diary);
    diary.open();
    diary.bar("nextButton")->click();
    diary.exec(QStringLiteral("PRAGMA query_only = 1"));
    diary.dialogs.queueAnswers({true});
    diary.button("Command2")->click();
    QCOMPARE(diary.dialogs.messages().size(), 1);
    QVERIFY(diary.dialogs.messages().first().text.startsWith(
        QStringLiteral("No Se Ha Podido Borrar El Día")));
    QCOMPARE(diary.stored().size(), 4);
    QCOMPARE(diary.shown(), textsOf(dayB));
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("4 Días"));

    diary.exec(QStringLiteral("PRAGMA query_only = 0"));
    diary.dialogs.queueAnswers({true});
    diary.button("Command2")->click();
    QCOMPARE(diary.stored().size(), 3);
    QCOMPARE(diary.shown(), textsOf(dayC));
}

void TestDiaryWindow::refusedSaveOnClosingKeepsTheWindowOpen() {
    Diary diary;
    diary.open();
    diary.window->show();
    diary.button("Command4")->click();
    diary.type(dayfields::Hgim, QStringLiteral("2"));
    diary.exec(QStringLiteral("PRAGMA query_only = 1"));
    diary.window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!diary.window.isNull());
    QVERIFY(diary.window->isVisible());
    QVERIFY(diary.window->isAddingDay());
    QCOMPARE(diary.text(dayfields::Hgim), QStringLiteral("2"));
    QCOMPARE(diary.dialogs.messages().size(), 1);

    diary.exec(QStringLiteral("PRAGMA query_only = 0"));
    diary.closeWindow();
    QVERIFY(diary.window.isNull());
    QCOMPARE(diary.stored().size(), 1);
}

void TestDiaryWindow::singleFileExport() {
    Diary diary;
    seedFourDays(diary);
    diary.open();
    diary.action("porpeso")->trigger();
    diary.bar("nextButton")->click();
    diary.button("Command5")->click();

    const QString file = QDir(diary.database.folder()).filePath(QStringLiteral("Estadísticas.TxT"));
    QVERIFY(QFileInfo::exists(file));
    QCOMPARE(diary.dialogs.messages().size(), 1);
    QCOMPARE(diary.dialogs.messages().first().text, statsexport::singleFileDone);
    QCOMPARE(diary.dialogs.messages().first().title,
             QStringLiteral("^Zorvend^ Diario De Gimnasio"));
    QCOMPARE(diary.window->dayRecords()->recordSource(),
             dayfields::orderStatements[dayfields::ByDate]);
    QCOMPARE(diary.shown(), textsOf(dayC));
    QVERIFY(diary.button("Command5")->isEnabled());
    QVERIFY(diary.button("Command6")->isEnabled());

    // The report holds every day, in date order.
    QFile report(file);
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QByteArray bytes = report.readAll();
    const qsizetype c = bytes.indexOf("25/12/2025 --> ");
    const qsizetype b = bytes.indexOf("02/01/2026 --> ");
    const qsizetype d = bytes.indexOf("05/02/2026 --> ");
    const qsizetype a = bytes.indexOf("10/03/2026 --> ");
    QVERIFY(c > 0 && c < b && b < d && d < a);
}

void TestDiaryWindow::perDayExportFromAddMode() {
    Diary diary;
    seedFourDays(diary);
    diary.open();
    diary.button("Command4")->click();
    diary.type(dayfields::Hgim, QStringLiteral("1"));
    QVERIFY(!diary.button("Command5")->isEnabled());
    QVERIFY(diary.button("Command6")->isEnabled());
    diary.button("Command6")->click();

    QVERIFY(!diary.window->isAddingDay());
    QCOMPARE(diary.stored().size(), 5);
    const QStringList files =
        QDir(diary.database.folder()).entryList({QStringLiteral("*.TxT")}, QDir::Files);
    QCOMPARE(files.size(), 5);
    QCOMPARE(diary.dialogs.messages().size(), 1);
    QCOMPARE(diary.dialogs.messages().first().text, statsexport::perDayFilesDone);
    QCOMPARE(diary.shown(), textsOf(dayC));
    QVERIFY(diary.button("Command5")->isEnabled());
    QVERIFY(diary.button("Command6")->isEnabled());
    QCOMPARE(diary.label("Label33")->text(), QStringLiteral("5 Días"));
}

void TestDiaryWindow::exportOfEmptyDiaryDoesNothing() {
    Diary diary;
    diary.open();
    diary.button("Command5")->click();
    diary.button("Command6")->click();
    QVERIFY(diary.dialogs.shown().isEmpty());
    QCOMPARE(QDir(diary.database.folder()).entryList({QStringLiteral("*.TxT")}, QDir::Files),
             QStringList());
    QCOMPARE(diary.window->dayRecords()->recordSource(), dayfields::tableName);
}

void TestDiaryWindow::failedExportSaysSoOnly() {
    Diary diary;
    seedFourDays(diary);
    diary.open();
    // A folder stands where the report file should go.
    QVERIFY(QDir(diary.database.folder()).mkdir(QStringLiteral("Estadísticas.TxT")));
    diary.button("Command5")->click();
    QCOMPARE(diary.dialogs.messages().size(), 1);
    QVERIFY(diary.dialogs.messages().first().text != statsexport::singleFileDone);
    QCOMPARE(diary.dialogs.messages().first().title,
             QStringLiteral("^Zorvend^ Diario De Gimnasio"));
    QVERIFY(diary.button("Command5")->isEnabled());
    QVERIFY(diary.button("Command6")->isEnabled());
    QCOMPARE(diary.stored().size(), 4);
}

void TestDiaryWindow::layoutOfTheWindow() {
    Diary diary;
    diary.open();
    DiaryWindow *window = diary.window;
    QWidget *client = window->centralWidget();
    QCOMPARE(client->size(), QSize(526, 516));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QCOMPARE(window->height(), 516 + window->menuBar()->sizeHint().height());
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(client->palette().color(QPalette::Window), QColor(Qt::black));

    auto *bar = diary.find<QWidget>("Data1");
    QCOMPARE(bar->geometry(), QRect(8, 488, 313, 25));
    QCOMPARE(bar->findChild<QLabel *>()->text(),
             QStringLiteral("                Día A Día En El Gimnasio..."));
    QCOMPARE(bar->findChild<QLabel *>()->palette().color(QPalette::WindowText),
             QColor(255, 255, 0));
    QCOMPARE(bar->palette().color(QPalette::Window), QColor(Qt::black));

    auto *image = diary.find<PhotoBox>("Image1");
    QCOMPARE(image->geometry(), QRect(440, 7, 81, 97));
    QCOMPARE(image->toolTip(), QStringLiteral("Este Soy Yo..."));

    QCOMPARE(diary.find<QWidget>("Line1")->geometry(), QRect(0, 112, 529, 1));
    QCOMPARE(diary.find<QWidget>("Line2")->geometry(), QRect(208, 112, 1, 281));
    QCOMPARE(diary.find<QWidget>("Line3")->geometry(), QRect(208, 392, 321, 1));
    QCOMPARE(diary.find<QWidget>("Line1")->palette().color(QPalette::Window), QColor(0, 255, 0));

    const std::tuple<const char *, const char16_t *, QRect, const char16_t *> buttons[] = {
        {"Command4", u"&Añadir", QRect(208, 440, 73, 17), u""},
        {"Command3", u"&Grabar", QRect(288, 440, 73, 17), u""},
        {"Command2", u"&Borrar", QRect(248, 464, 73, 17), u""},
        {"Command5", u"&Estadísticas En TxT 1 Arch.", QRect(376, 448, 145, 17),
         u" Estadísticas De Gimnasio En Un Archivo De Texto"},
        {"Command6", u"&Estadísticas En TxT Var. Arc", QRect(376, 472, 145, 17),
         u"Estadísticas De Gimnasio En Tantos Archivos Como Días Metidos"},
        {"Command1", u"&Salir", QRect(376, 496, 145, 17), u"Salir De Día A Día En El Gimnasio"},
    };
    for (const auto &[name, caption, geometry, toolTip] : buttons) {
        QPushButton *button = diary.button(name);
        QCOMPARE(button->text(), QString::fromUtf16(caption));
        QCOMPARE(button->geometry(), geometry);
        QCOMPARE(button->toolTip(), QString::fromUtf16(toolTip));
    }

    const std::pair<const char *, QRect> values[] = {
        {"n", QRect(8, 24, 173, 17)},        {"fn", QRect(8, 56, 213, 17)},
        {"ac", QRect(8, 88, 141, 17)},       {"Label6", QRect(192, 24, 221, 17)},
        {"Label8", QRect(272, 40, 165, 17)}, {"Label33", QRect(320, 56, 65, 17)},
        {"fco", QRect(192, 88, 245, 17)},
    };
    for (const auto &[name, geometry] : values) {
        QLabel *label = diary.label(name);
        QCOMPARE(label->geometry(), geometry);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        QCOMPARE(label->palette().color(QPalette::Window), QColor(Qt::black));
        QCOMPARE(label->font().pointSizeF(), 9.75);
        QVERIFY(label->font().bold());
        QCOMPARE(label->toolTip(), QString());
    }
}

void TestDiaryWindow::boxDesign_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<bool>("navy");
    QTest::addColumn<bool>("arialBold");
    QTest::addColumn<bool>("multiLine");
    QTest::addColumn<int>("alignment");
    const QColor pink(0xFF, 0xC0, 0xC0), lightYellow(0xFF, 0xFF, 0xC0), yellow(0xFF, 0xFF, 0x00),
        lightGreen(0xC0, 0xFF, 0xC0), cyan(0xC0, 0xFF, 0xFF);
    const int centred = Qt::AlignHCenter;
    const int left = Qt::AlignLeft;
    QTest::newRow("fh") << "fh" << QRect(128, 120, 73, 19) << pink << false << true << false
                        << centred;
    QTest::newRow("hgim") << "hgim" << QRect(152, 144, 49, 19) << lightYellow << false << false
                          << false << centred;
    QTest::newRow("desa") << "desa" << QRect(8, 176, 193, 33) << yellow << true << false << true
                          << 0;
    QTest::newRow("comi") << "comi" << QRect(8, 224, 193, 33) << yellow << true << false << true
                          << 0;
    QTest::newRow("cena") << "cena" << QRect(8, 272, 193, 33) << yellow << true << false << true
                          << 0;
    QTest::newRow("qhash") << "qhash" << QRect(8, 320, 193, 33) << yellow << true << false << true
                           << 0;
    QTest::newRow("haspi") << "haspi" << QRect(8, 368, 193, 33) << yellow << true << false << true
                           << 0;
    QTest::newRow("eldiario") << "eldiario" << QRect(8, 416, 193, 65) << yellow << true << false
                              << true << 0;
    QTest::newRow("horahoy") << "horahoy" << QRect(296, 400, 225, 19) << lightGreen << false
                             << false << false << centred;
    QTest::newRow("lagua") << "lagua" << QRect(384, 424, 137, 19) << lightGreen << false << false
                           << false << left;
    QTest::newRow("dcue") << "dcue" << QRect(224, 160, 49, 19) << cyan << true << true << false
                          << centred;
    QTest::newRow("dp") << "dp" << QRect(376, 160, 49, 19) << cyan << true << true << false
                        << centred;
    QTest::newRow("dad") << "dad" << QRect(224, 200, 49, 19) << cyan << true << true << false
                         << centred;
    QTest::newRow("dai") << "dai" << QRect(376, 200, 49, 19) << cyan << true << true << false
                         << centred;
    QTest::newRow("dbd") << "dbd" << QRect(224, 240, 49, 19) << cyan << true << true << false
                         << centred;
    QTest::newRow("dbi") << "dbi" << QRect(376, 240, 49, 19) << cyan << true << true << false
                         << centred;
    QTest::newRow("dc") << "dc" << QRect(224, 280, 49, 19) << cyan << true << true << false
                        << centred;
    QTest::newRow("dpd") << "dpd" << QRect(376, 280, 49, 19) << cyan << true << true << false
                         << centred;
    QTest::newRow("dpi") << "dpi" << QRect(224, 320, 49, 19) << cyan << true << true << false
                         << centred;
    QTest::newRow("dgd") << "dgd" << QRect(376, 320, 49, 19) << cyan << true << true << false
                         << centred;
    QTest::newRow("dgi") << "dgi" << QRect(224, 360, 49, 19) << cyan << true << true << false
                         << centred;
    QTest::newRow("dculo") << "dculo" << QRect(472, 342, 49, 19) << cyan << true << true << false
                           << left;
    QTest::newRow("peski") << "peski" << QRect(472, 368, 49, 19) << cyan << true << true << false
                           << left;
}

void TestDiaryWindow::boxDesign() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QColor, background);
    QFETCH(bool, navy);
    QFETCH(bool, arialBold);
    QFETCH(bool, multiLine);
    QFETCH(int, alignment);
    Diary diary;
    diary.open();
    QWidget *box = diary.find<QWidget>(qPrintable(name));
    QCOMPARE(box->geometry(), geometry);
    QCOMPARE(box->palette().color(QPalette::Base), background);
    if (navy)
        QCOMPARE(box->palette().color(QPalette::Text), QColor(0x00, 0x00, 0x80));
    QCOMPARE(box->font().family() == QStringLiteral("Arial") && box->font().bold(), arialBold);
    if (arialBold)
        QCOMPARE(box->font().pointSizeF(), 8.25);
    if (multiLine) {
        auto *edit = qobject_cast<QPlainTextEdit *>(box);
        QVERIFY(edit);
        QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    } else {
        auto *edit = qobject_cast<QLineEdit *>(box);
        QVERIFY(edit);
        QCOMPARE(int(edit->alignment() & Qt::AlignHorizontal_Mask), alignment);
        QCOMPARE(edit->maxLength(), std::numeric_limits<int>::max());
    }
}

void TestDiaryWindow::fixedCaptions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<double>("points");
    const QColor yellow(0xFF, 0xFF, 0x00), red(0xFF, 0x00, 0x00), green(0x00, 0xFF, 0x00);
    QTest::newRow("Label2") << "Label2" << QStringLiteral("Nombre Del Usuario")
                            << QRect(8, 8, 137, 17) << yellow << 9.75;
    QTest::newRow("Label1") << "Label1" << QStringLiteral("Fecha De Nacimiento Del Usuario")
                            << QRect(8, 40, 257, 17) << yellow << 9.75;
    QTest::newRow("Label3") << "Label3" << QStringLiteral("Altura En Centimetros")
                            << QRect(8, 72, 257, 17) << yellow << 9.75;
    QTest::newRow("Label5") << "Label5" << QStringLiteral("Tiempo Que Llevas En El Gimnasio")
                            << QRect(192, 8, 241, 17) << yellow << 9.75;
    QTest::newRow("Label7") << "Label7" << QStringLiteral("Edad") << QRect(232, 40, 41, 17)
                            << yellow << 9.75;
    QTest::newRow("Label32") << "Label32" << QStringLiteral("Días Metidos")
                             << QRect(232, 56, 89, 17) << yellow << 9.75;
    QTest::newRow("Label4") << "Label4" << QStringLiteral("Fecha Comienzo En El Gimnasio")
                            << QRect(168, 72, 257, 17) << yellow << 9.75;
    QTest::newRow("Label9") << "Label9" << QStringLiteral("Fecha A Meter Datos")
                            << QRect(8, 120, 113, 17) << red << 8.25;
    QTest::newRow("Label28") << "Label28" << QStringLiteral("¿ Qué Has Hecho Hoy ?, En El Gim")
                             << QRect(8, 304, 193, 17) << red << 8.25;
    QTest::newRow("Label30") << "Label30" << QStringLiteral("¿ Has Picado Algo ?, Que...")
                             << QRect(8, 352, 177, 17) << red << 8.25;
    QTest::newRow("Label14") << "Label14" << QStringLiteral("Cena") << QRect(8, 256, 113, 17) << red
                             << 8.25;
    QTest::newRow("Label27") << "Label27" << QStringLiteral("Diametro De Culo")
                             << QRect(376, 344, 113, 17) << red << 8.25;
    QTest::newRow("Label15") << "Label15" << QStringLiteral("+/- Litros De Agua Bebidos Hoy")
                             << QRect(208, 424, 177, 17) << red << 8.25;
    QTest::newRow("Label31") << "Label31"
                             << QStringLiteral("Introducir Solo Números (( Nada Más )) En Cm.")
                             << QRect(224, 120, 297, 17) << green << 8.25;
}

void TestDiaryWindow::fixedCaptions() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    QFETCH(QColor, colour);
    QFETCH(double, points);
    Diary diary;
    diary.window = new DiaryWindow(diary.database, nullptr, diary.dialogs, diary.clock);
    QLabel *label = diary.label(qPrintable(name));
    QCOMPARE(label->text(), caption);
    QCOMPARE(label->geometry(), geometry);
    QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    QCOMPARE(label->palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(label->font().pointSizeF(), points);
    QVERIFY(label->font().bold());
    QCOMPARE(label->toolTip(), QStringLiteral("Nombre Del Usuario"));
}

void TestDiaryWindow::tabOrderAndMenu() {
    Diary diary;
    diary.open();
    const QStringList expected = {
        "Command1", "Command2", "Command3", "Command4", "fh",      "desa", "hgim", "comi",
        "cena",     "qhash",    "haspi",    "horahoy",  "lagua",   "dcue", "dp",   "dad",
        "dai",      "dbd",      "dbi",      "dc",       "dpd",     "dpi",  "dgd",  "dgi",
        "dculo",    "peski",    "Command5", "Command6", "eldiario"};
    QStringList chain;
    QWidget *widget = diary.button("Command1");
    do {
        if (expected.contains(widget->objectName()))
            chain += widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != diary.button("Command1"));
    QCOMPARE(chain, expected);
    for (const char *name : {"Data1", "Image1", "Label9", "n"})
        QCOMPARE(diary.find<QWidget>(name)->focusPolicy(), Qt::NoFocus);

    diary.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(diary.window));
    QCOMPARE(diary.window->focusWidget(), diary.button("Command1"));

    QMenu *menu = diary.find<QMenu>("opciones");
    QCOMPARE(menu->title(), QStringLiteral("&Opciones"));
    QStringList names;
    for (QAction *action : menu->actions()) {
        names += action->objectName();
        QVERIFY(!action->isCheckable());
        QVERIFY(action->shortcut().isEmpty());
        QVERIFY(!action->isSeparator());
    }
    QCOMPARE(names, (QStringList{"porhoras", "porfecha", "ordenarporagua", "porpeso", "pordiaculo",
                                 "porpecho", "porbiceps", "porante", "porpie", "porgeme",
                                 "porhorario", "saliendo"}));
    QCOMPARE(diary.action("saliendo")->text(), QStringLiteral("Salir"));
}

QTEST_MAIN(TestDiaryWindow)
#include "test_diarywindow.moc"

#include "dayeditor.h"
#include "dayrecordset.h"
#include "diarydatabase.h"
#include "diaryfixture.h"

#include <QDataWidgetMapper>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using dayfields::DayTexts;
using pendingday::Step;

Q_DECLARE_METATYPE(pendingday::Step)

namespace {

DayTexts texts(const QString &date, const QString &hours = {}, const QString &diaryText = {}) {
    DayTexts result;
    result[dayfields::Fh] = date;
    result[dayfields::Hgim] = hours;
    result[dayfields::Eldiario] = diaryText;
    return result;
}

} // namespace

class TestDayEditor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void beforeMoving_data();
    void beforeMoving();
    void onClosing_data();
    void onClosing();

    void pendingDayIsNotCountedAndBlocksMoves();
    void storedDayIsWrittenFromTheBoxes();
    void refusedSourceKeepsThePreviousOrder();
    void idleTimeReadsTheRestOfTheSet();

private:
    void insert(const QString &date, const QString &hours);

    QTemporaryDir *m_dir = nullptr;
    DiaryDatabase *m_database = nullptr;
};

void TestDayEditor::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void TestDayEditor::init() {
    m_dir = new QTemporaryDir;
    m_database = new DiaryDatabase;
    QCOMPARE(m_database->open(m_dir->filePath(QStringLiteral("diario.db"))),
             DiaryDatabase::Status::Ready);
}

void TestDayEditor::cleanup() {
    delete m_database;
    delete m_dir;
}

void TestDayEditor::insert(const QString &date, const QString &hours) {
    QSqlQuery query(m_database->connection());
    query.prepare(QStringLiteral("INSERT INTO \"%1\" (\"%2\", \"%3\") VALUES (?, ?)")
                      .arg(dayfields::tableName, dayfields::fields[dayfields::Fh].column,
                           dayfields::fields[dayfields::Hgim].column));
    query.addBindValue(date);
    query.addBindValue(hours);
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
}

void TestDayEditor::beforeMoving_data() {
    QTest::addColumn<DayTexts>("shown");
    QTest::addColumn<Step>("step");
    QTest::newRow("dated") << texts(QStringLiteral("05/12/2026")) << Step::Store;
    QTest::newRow("dated with text")
        << texts(QStringLiteral("05/12/2026"), QStringLiteral("2")) << Step::Store;
    QTest::newRow("blank date counts as a date") << texts(QStringLiteral(" ")) << Step::Store;
    QTest::newRow("nothing at all") << texts({}) << Step::Drop;
    QTest::newRow("undated with hours") << texts({}, QStringLiteral("2")) << Step::Keep;
    QTest::newRow("undated with the last box") << texts({}, {}, QStringLiteral("x")) << Step::Keep;
}

void TestDayEditor::beforeMoving() {
    QFETCH(DayTexts, shown);
    QFETCH(Step, step);
    QCOMPARE(pendingday::beforeMoving(shown), step);
}

void TestDayEditor::onClosing_data() {
    QTest::addColumn<DayTexts>("shown");
    QTest::addColumn<Step>("step");
    // The day as "&Añadir" made it: today's date and nothing else.
    QTest::newRow("as begun") << texts(QStringLiteral("05/12/2026")) << Step::Drop;
    QTest::newRow("typed into") << texts(QStringLiteral("05/12/2026"), QStringLiteral("1"))
                                << Step::Store;
    QTest::newRow("date changed") << texts(QStringLiteral("04/12/2026")) << Step::Store;
    QTest::newRow("date removed") << texts({}, QStringLiteral("1")) << Step::Drop;
}

void TestDayEditor::onClosing() {
    QFETCH(DayTexts, shown);
    QFETCH(Step, step);
    QCOMPARE(pendingday::onClosing(shown, texts(QStringLiteral("05/12/2026"))), step);
}

void TestDayEditor::pendingDayIsNotCountedAndBlocksMoves() {
    insert(QStringLiteral("01/01/2026"), QStringLiteral("1"));
    insert(QStringLiteral("02/01/2026"), QStringLiteral("2"));
    DayRecordSet records(m_database->connection(), dayfields::tableName);
    DayEditor editor(records);
    QVERIFY(editor.open());
    editor.toNext();
    QCOMPARE(editor.currentRow(), 1);
    QVERIFY(editor.beginDay());
    QVERIFY(editor.isPending());
    QCOMPARE(editor.storedCount(), 2);
    QCOMPARE(editor.currentRow(), 2);
    editor.toFirst();
    editor.toPrevious();
    QCOMPARE(editor.currentRow(), 2);
    QVERIFY(!editor.setRecordSource(dayfields::orderStatements[dayfields::ByDate]));
    QVERIFY(!editor.beginDay());
    QVERIFY(!editor.deleteCurrent());
    editor.dropPending();
    QVERIFY(!editor.isPending());
    QCOMPARE(editor.currentRow(), 1);
    QCOMPARE(editor.storedCount(), 2);
}

void TestDayEditor::storedDayIsWrittenFromTheBoxes() {
    DayRecordSet records(m_database->connection(), dayfields::tableName);
    DayEditor editor(records);
    QLineEdit date;
    QLineEdit hours;
    editor.bind(dayfields::Fh, &date);
    editor.bind(dayfields::Hgim, &hours);
    QVERIFY(editor.open());
    QCOMPARE(editor.currentRow(), -1);
    QVERIFY(editor.beginDay());
    date.setText(QStringLiteral("05/12/2026"));
    hours.setText(QStringLiteral("1,5"));
    QVERIFY(editor.storePending());
    QVERIFY(!editor.isPending());
    QCOMPARE(editor.storedCount(), 1);
    QCOMPARE(editor.textsAt(0)[dayfields::Hgim], QStringLiteral("1,5"));

    // Deleting the only day empties the boxes.
    editor.toFirst();
    QCOMPARE(hours.text(), QStringLiteral("1,5"));
    QVERIFY(editor.deleteCurrent());
    QCOMPARE(editor.storedCount(), 0);
    QCOMPARE(hours.text(), QString());
    QCOMPARE(date.text(), QString());
}

void TestDayEditor::refusedSourceKeepsThePreviousOrder() {
    insert(QStringLiteral("02/01/2026"), QStringLiteral("2"));
    insert(QStringLiteral("01/01/2026"), QStringLiteral("1"));
    DayRecordSet records(m_database->connection(), dayfields::tableName);
    DayEditor editor(records);
    QLineEdit date;
    editor.bind(dayfields::Fh, &date);
    QVERIFY(editor.open());
    QVERIFY(editor.setRecordSource(dayfields::orderStatements[dayfields::ByDate]));
    QCOMPARE(date.text(), QStringLiteral("01/01/2026"));
    QVERIFY(!editor.setRecordSource(QStringLiteral("select * FROM [No Hay Tal Tabla]")));
    QVERIFY(!editor.lastError().isEmpty());
    QCOMPARE(records.recordSource(), dayfields::orderStatements[dayfields::ByDate]);
    QCOMPARE(editor.storedCount(), 2);
    QCOMPARE(date.text(), QStringLiteral("01/01/2026"));
}

void TestDayEditor::idleTimeReadsTheRestOfTheSet() {
    QList<dayfields::DayTexts> days;
    for (int i = 0; i < 1000; ++i)
        days += fixture::day({{dayfields::Hgim, QString::number(i)}});
    QVERIFY(fixture::insertDays(m_database->connection(), days));
    DayRecordSet records(m_database->connection(), dayfields::tableName);
    DayEditor editor(records);
    QVERIFY(editor.open());
    QVERIFY(records.canFetchMore()); // only the first batch so far
    QTRY_VERIFY(!records.canFetchMore());
    QCOMPARE(records.rowCount(), 1000);
    QCOMPARE(editor.currentRow(), 0);

    // Again after every re-opening, but never while a day is pending.
    QVERIFY(editor.setRecordSource(dayfields::orderStatements[dayfields::ByHours]));
    QVERIFY(records.canFetchMore());
    QTRY_VERIFY(!records.canFetchMore());
    QVERIFY(editor.beginDay());
    QCOMPARE(records.rowCount(), 1001);
    QTest::qWait(20);
    QCOMPARE(records.rowCount(), 1001);
    QCOMPARE(editor.currentRow(), 1000);
}

QTEST_MAIN(TestDayEditor)
#include "test_dayeditor.moc"

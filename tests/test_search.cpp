// Search: the query as typed read into the engine's terms, the index on a real diary, and the
// window "Buscar En El Diario" through the real program; nothing searched reaches the disk.

#include "app/applicationcontroller.h"
#include "data/backups.h"
#include "data/daystore.h"
#include "diary/diarywindow.h"
#include "profile/profilewindow.h"
#include "search/query.h"
#include "search/searchindex.h"
#include "search/searchwindow.h"
#include "support/diaryfixture.h"
#include "support/manualclock.h"
#include "support/scripteddialogs.h"
#include "support/tablerows.h"
#include "support/testfonts.h"
#include "ui/windowlook.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace dayfields;
using search::NumberFilter;

namespace {

const QDateTime now(QDate(2026, 12, 6), QTime(10, 0, 0));
// Set before the engine's first use: a temporary file of the engine would show here.
QTemporaryDir engineScratch;

// A query in one line: what must appear | what leaves out | the numbers, and its flags.
QString written(const search::Query &query) {
    QStringList numbers;
    for (const NumberFilter &filter : query.numbers)
        numbers += QStringLiteral("%1%2%3%4")
                       .arg(filter.excluded ? "-" : "", search::indexColumn(filter.box),
                            QStringList{"<", "<=", "=", ">=", ">"}[filter.op])
                       .arg(filter.value);
    return query.match + " | " + query.excluded + " | " + numbers.join(u' ') +
           (query.impossible ? " | no day" : "") + (query.tooLong ? " | too long" : "");
}

// The days of the search test, by date: a day of the diary each.
const QList<DayTexts> days = {
    fixture::day({{Fh, "03/03/2025"},
                  {Eldiario, "Me dolió la Rodilla al bajar"},
                  {Qhash, "Sentadilla 4x8 80"},
                  {Peski, "80,5"},
                  {Desa, "café con leche"}}),
    fixture::day({{Fh, "10/03/2025"},
                  {Eldiario, "La rodilla bien"},
                  {Qhash, "peso muerto 3x5 120"},
                  {Peski, "82"},
                  {Desa, "cafe solo"}}),
    fixture::day({{Fh, "1/2/2025"}, {Eldiario, "Año nuevo, vida nueva"}, {Peski, "79.5 kg"}}),
    fixture::day({{Fh, "15/01/2024"}, {Eldiario, "ano: lo escribí sin eñe"}}),
    fixture::day({{Fh, "no sé"}, {Eldiario, "rodilla otra vez; \"NEAR\" AND OR NOT *"}}),
};

// The dates of the days found, in their order.
QStringList datesFound(const QSqlDatabase &db, const std::vector<qint64> &ids) {
    QStringList dates;
    for (const qint64 id : ids)
        dates +=
            fixture::columnInOrder(db,
                                   QStringLiteral("SELECT \"%1\" AS d FROM \"%2\" WHERE Id = %3")
                                       .arg(fields[Fh].column, tableName)
                                       .arg(id),
                                   "d")
                .value(0);
    return dates;
}

// The files under a folder that hold any of the words, in any of the forms the program could
// write them in.
QStringList filesHolding(const QString &folder, const QStringList &words) {
    QStringList found;
    QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::System,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const QByteArray bytes = fixture::fileBytes(path);
        for (const QString &word : words) {
            const auto holds = [&bytes](const QString &form) {
                return bytes.contains(form.toUtf8()) ||
                       bytes.contains(QByteArray(reinterpret_cast<const char *>(form.utf16()),
                                                 form.size() * 2));
            };
            if (holds(word) || holds(word.toLower()) || holds(word.toUpper()))
                found += path + ": " + word;
        }
    }
    return found;
}

// The files this process holds open in a folder, deleted ones too.
QStringList openFilesIn(const QString &folder) {
    QStringList open;
    for (const QFileInfo &fd : QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::Files))
        if (fd.symLinkTarget().startsWith(folder) || fd.symLinkTarget().contains("etilqs"))
            open += fd.symLinkTarget();
    return open;
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT
public:
    static void initMain() {
        testfonts::pin();
        qputenv("SQLITE_TMPDIR", QFile::encodeName(engineScratch.path()));
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        windowlook::useProgramFonts();
    }
    void queryReadsWhatWasTyped_data();
    void queryReadsWhatWasTyped();
    void searchFindsTheDays_data();
    void searchFindsTheDays();
    void indexFollowsEveryChange();
    void searchingAndShowingTheDay();
    void nothingSearchedReachesTheDisk();

private:
    ScriptedDialogs m_dialogs;
    ManualClock m_clock{now};
};

void TestSearch::queryReadsWhatWasTyped_data() {
    columns<QString, QString>("typed", "query");
    row("a word begins words", "rodilla", R"("rodilla"* |  | )");
    row("words all appear", " Rodilla\tcafe ", R"("Rodilla"* AND "cafe"* |  | )");
    row("the same word once", "rodilla RODILLA rodilla", R"("rodilla"* AND "RODILLA"* |  | )");
    row("a phrase", R"("dolor de rodilla")", R"("dolor de rodilla" |  | )");
    row("a quote left open", R"(rodilla "sin cerrar)", R"("rodilla"* AND "sin cerrar" |  | )");
    row("left out", "-bien rodilla -\"mal dia\"", R"("rodilla"* | "bien"* OR "mal dia" | )");
    row("a dash alone is no word", "- rodilla -", R"("rodilla"* |  | )");
    row("a field", "diario:rodilla", R"({diario} : "rodilla"* |  | )");
    row("a field in capitals, a phrase", R"(DIARIO:"me dolió")", R"({diario} : "me dolió" |  | )");
    row("a field left out", "-que_has_hecho:muerto", R"( | {que_has_hecho} : "muerto"* | )");
    row("no such field", "nada:rodilla", R"("nada:rodilla"* |  | )");
    row("a field's name from a to z", "Antebrazo_Derecho:>30", " |  | antebrazo_derecho>30");
    row("more than", "peso:>80,5", " |  | peso>80.5");
    row("at most", "peso:<=80", " |  | peso<=80");
    row("a number alone is equal", "peso:80", " |  | peso=80");
    row("equal with a point", "agua:=1.5", " |  | agua=1.5");
    row("not more than", "-peso:>80", " |  | -peso>80");
    row("a number still being typed", "peso:>", " |  | ");
    row("no number", "peso:>abc", " |  |  | no day");
    row("a word in a numeric field", "peso:ochenta", R"({peso} : "ochenta"* |  | )");
    row("a number in a text field is text", "diario:80 80", R"({diario} : "80"* AND "80"* |  | )");
    row("the engine's syntax is text", R"(NEAR(a b) OR x* ^y {diario}:z)",
        R"q("NEAR(a"* AND "b)"* AND "OR"* AND "x*"* AND "^y"* AND "{diario}:z"* |  | )q");
    row("quotes inside a word", R"(a"b)", R"("a""b"* |  | )");
    row("punctuation alone", R"(* ^ -- : "" ' () {} -"" diario:)", " |  | ");
    row("control characters part words", QString("x") + QChar(0) + "y\u0001z",
        R"("x"* AND "y"* AND "z"* |  | )");
    row("a hundred thousand letters", QString(100000, u'a'), " |  |  | no day | too long");
    QString many;
    for (int i = 0; i <= search::maxTerms; ++i)
        many += QStringLiteral("p%1 ").arg(i);
    row("too many words", many, " |  |  | no day | too long");
}

void TestSearch::queryReadsWhatWasTyped() {
    const auto [typed, query] = fetch<QString, QString>("typed", "query");
    QCOMPARE(written(search::parse(typed)), query);
}

void TestSearch::searchFindsTheDays_data() {
    columns<QString, QStringList>("typed", "dates");
    const QStringList rodilla{"10/03/2025", "03/03/2025", "no sé"};
    row("any case, newest first, no date last", "RODILLA", rodilla);
    row("word beginnings", "rod", rodilla);
    row("inside a word is no beginning", "dilla", QStringList{});
    row("accents folded", "dolio", QStringList{"03/03/2025"});
    row("two words", "rodilla sent", QStringList{"03/03/2025"});
    row("left out", "rodilla -bien", QStringList{"03/03/2025", "no sé"});
    row("a phrase", R"("peso muerto")", QStringList{"10/03/2025"});
    row("a phrase in its order", R"("muerto peso")", QStringList{});
    row("a field", "que_has_hecho:muerto", QStringList{"10/03/2025"});
    row("not in that field", "que_has_hecho:rodilla", QStringList{});
    row("words and a number", "rodilla peso:>80", QStringList{"10/03/2025", "03/03/2025"});
    row("a comma and a point compare alike", "peso:<80,5", QStringList{"1/2/2025"});
    row("equal", "peso:80.5", QStringList{"03/03/2025"});
    row("no weight is not more than 80", "-peso:>80",
        QStringList{"1/2/2025", "15/01/2024", "no sé"});
    row("exact first: cafe", "cafe", QStringList{"10/03/2025", "03/03/2025"});
    row("exact first: café", "café", QStringList{"03/03/2025", "10/03/2025"});
    row("exact first: año", "año", QStringList{"1/2/2025", "15/01/2024"});
    row("exact first: ano", "ano", QStringList{"15/01/2024", "1/2/2025"});
    // What the engine would read as its own syntax is text, found or not, never an error.
    row("engine words as text", R"(near and or not)", QStringList{"no sé"});
    row("an operator typed", "rodilla OR bien", QStringList{});
    row("a column filter typed", "{diario}:rodilla", QStringList{});
    row("a star", "*", QStringList{});
    row("a quote left open", "\"rodilla", rodilla);
    row("quotes alone", "\"\"\"", QStringList{});
    row("a caret", "^rodilla", rodilla);
    row("a hundred thousand letters", QString(100000, u'r'), QStringList{});
    row("a long word", QString(999, u'r'), QStringList{});
    row("only exclusions", "-rodilla -cafe", QStringList{"1/2/2025", "15/01/2024"});
    row("nothing", "", QStringList{});
}

void TestSearch::searchFindsTheDays() {
    const auto [typed, dates] = fetch<QString, QStringList>("typed", "dates");
    fixture::TempDiary diary;
    QVERIFY(diary.addDays(days));
    search::SearchIndex index(diary.db());
    const search::SearchIndex::Found found = index.find(search::parse(typed));
    QVERIFY2(!found.refused, qPrintable(index.lastError()));
    QCOMPARE(datesFound(diary.db(), found.ids), dates);
}

void TestSearch::indexFollowsEveryChange() {
    fixture::TempDiary diary;
    QVERIFY(diary.addDays(days));
    search::SearchIndex index(diary.db());
    QVERIFY(index.ensure());
    const auto found = [&](const QString &typed) {
        return datesFound(diary.db(), index.find(search::parse(typed)).ids);
    };
    QCOMPARE(found("zanahoria"), QStringList{});
    // A day saved through the store is found at once, with its words marked in its field.
    DayStore store(diary.database());
    QVERIFY(store.open() && store.beginDay());
    QVERIFY(store.storePending(
        fixture::day({{Fh, "05/12/2026"}, {Cena, "Crema de zanahoria y un yogur"}})));
    QCOMPARE(found("zanahoria"), QStringList{"05/12/2026"});
    const qint64 id = index.find(search::parse(u"zanahoria")).ids.front();
    const auto fragment = index.fragment(search::parse(u"zanahoria yog"), id);
    QVERIFY(fragment);
    QCOMPARE(fragment->box, Cena);
    QCOMPARE(fragment->text, "Crema de \x02zanahoria\x03 y un \x02yogur\x03");
    // A day of hostile text is found and shown like any other.
    QVERIFY(store.beginDay() &&
            store.storePending(fixture::day(
                {{Fh, "07/12/2026"},
                 {Eldiario, QString(200000, u'x') + " hostil\x02\x03 " + QChar(0) + " fin"}})));
    QCOMPARE(found("hostil fin"), QStringList{"07/12/2026"});
    QVERIFY(index.fragment(search::parse(u"hostil"), id + 1)->text.contains("\x02hostil\x03"));
    // A day of numbers alone shows the number searched.
    QCOMPARE(index.fragment(search::parse(u"peso:>81"), 2)->text, "82");
    // Changed and deleted behind the index: it follows.
    QVERIFY(QSqlQuery(diary.db())
                .exec(QStringLiteral("UPDATE \"%1\" SET \"%2\" = 'Puré' WHERE Id = %3")
                          .arg(tableName, fields[Cena].column)
                          .arg(id)));
    QCOMPARE(found("zanahoria"), QStringList{});
    QCOMPARE(found("pure"), QStringList{"05/12/2026"});
    QVERIFY(store.setOrder(ByDate));
    store.toRow(store.rowOf(id));
    QCOMPARE(store.textsAt(store.currentRow())[Cena], "Puré");
    QVERIFY(store.deleteCurrent());
    QCOMPARE(found("pure"), QStringList{});
    QVERIFY(!index.fragment(search::parse(u"pure"), id));
    QCOMPARE(store.rowOf(id), -1);
}

void TestSearch::searchingAndShowingTheDay() {
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile() && diary.addDays(days) && diary.close());
    ApplicationController app(diary.database(), diary.profiles(), m_dialogs, m_clock);
    m_dialogs.queueInputs({fixture::password});
    QVERIFY(app.start(diary.path()));
    app.profileWindow()->Command1_Click();
    DiaryWindow *form2 = app.diaryWindow();
    auto *date = form2->findChild<QLineEdit *>(fields[Fh].box);
    QCOMPARE(date->text(), "03/03/2025");

    // Ctrl+F in the diary window opens the search beside it; typing searches after a pause.
    form2->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form2));
    QTest::keyClick(form2, Qt::Key_F, Qt::ControlModifier);
    SearchWindow *search = app.searchWindow();
    QVERIFY(search && search->isVisible());
    QVERIFY(search->screen()->availableGeometry().contains(search->frameGeometry()));
    auto *box = search->findChild<QLineEdit *>("buscarTexto");
    auto *list = search->findChild<QListView *>("resultados");
    auto *count = search->findChild<QLabel *>("diasEncontrados");
    QTest::keyClicks(box, "rodi");
    QCOMPARE(list->model()->rowCount(), 0);
    QTRY_COMPARE(count->text(), "3 Días Encontrados");
    QCOMPARE(list->model()->index(0, 0).data(Qt::AccessibleTextRole).toString(),
             "Lunes 10 De Marzo De 2025. Diario: La rodilla bien");
    QVERIFY(list->model()->index(1, 0).data(Qt::UserRole).toString().contains("<b>Rodilla</b>"));
    QCOMPARE(list->model()->index(2, 0).data().toString(),
             R"(Sin Fecha Válida: no sé. Diario: rodilla otra vez; "NEAR" AND OR NOT *)");

    // Down goes to the days found, Return shows one in the diary window in its order; the list
    // stays open to go on.
    QTest::keyClick(box, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(date->text(), "10/03/2025");
    QCOMPARE(form2->days().currentRow(), 1);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(date->text(), "03/03/2025");
    QVERIFY(search->isVisible());
    QCOMPARE(form2->days().currentRow(), 0);

    // A day being added is saved as a move saves it before another day is shown, and is
    // found from then on.
    form2->Command4_Click();
    date->setText("06/12/2026");
    form2->findChild<QWidget *>(fields[Eldiario].box)->setFocus();
    QTest::keyClicks(form2->findChild<QWidget *>(fields[Eldiario].box), "La rodilla, otra vez");
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!form2->isAddingDay());
    QCOMPARE(date->text(), "03/03/2025");
    QTRY_COMPARE(count->text(), "4 Días Encontrados");
    QCOMPARE(list->model()->index(0, 0).data(Qt::AccessibleTextRole).toString(),
             "Domingo 6 De Diciembre De 2026. Diario: La rodilla, otra vez");

    // Hostile searches typed give days or none, never the engine's words.
    for (const QString &typed :
         {QString(R"("rodilla)"), QString(R"(NEAR("a" b, 2))"), QString("-"), QString("*:*"),
          QString(200, u'"'), QString("diario:\"\" -\"\" peso:>x"), QString(5000, u'ñ')}) {
        box->setText(typed);
        search->search();
        QVERIFY2(!count->text().startsWith("No Se Ha Podido"), qPrintable(count->text()));
    }
    QCOMPARE(box->text().size(), int(search::maxLength));
    QCOMPARE(count->text(), "Ningún Día Encontrado");

    // Every control is named for a screen reader after its label, and Escape closes the window.
    QCOMPARE(box->accessibleName(), "Buscar");
    QCOMPARE(list->accessibleName(), "Resultados");
    QTest::keyClick(list, Qt::Key_Escape);
    QVERIFY(!search->isVisible());
    form2->findChild<QAction *>("searchAction")->trigger();
    QCOMPARE(app.searchWindow(), search);
}

void TestSearch::nothingSearchedReachesTheDisk() {
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile() && diary.addDays(days) && diary.close());
    ApplicationController app(diary.database(), diary.profiles(), m_dialogs, m_clock);
    m_dialogs.queueInputs({fixture::password});
    QVERIFY(app.start(diary.path()));
    app.profileWindow()->Command1_Click();
    DiaryWindow *form2 = app.diaryWindow();
    // A cache of two pages: what of the temporary schema could go to a file would.
    QVERIFY(QSqlQuery(diary.db()).exec("PRAGMA temp.cache_size = 2"));
    form2->findChild<QAction *>("backupNowAction")->trigger();
    form2->findChild<QAction *>("searchAction")->trigger();
    auto *box = app.searchWindow()->findChild<QLineEdit *>("buscarTexto");
    auto *count = app.searchWindow()->findChild<QLabel *>("diasEncontrados");

    // A session: words searched, a day added with a new word and searched, days shown.
    const QStringList words{"Rodilla", "dolió", "zanahoria"};
    for (const char *typed : {"rodilla", "dolio", "-peso:>80 rod"}) {
        box->setText(typed);
        QTRY_VERIFY(count->text().contains("Encontrado"));
    }
    QVERIFY(form2->days().beginDay() &&
            form2->days().storePending(fixture::day({{Fh, "06/12/2026"}, {Cena, "zanahoria"}})));
    box->setText("zanahoria");
    QTRY_COMPARE(count->text(), "1 Día Encontrado");
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(app.searchWindow()->findChild<QListView *>("resultados"), Qt::Key_Return);
    QCOMPARE(form2->findChild<QLineEdit *>(fields[Fh].box)->text(), "06/12/2026");
    form2->findChild<QAction *>("backupNowAction")->trigger();

    // The engine keeps its scratch in memory and has opened no file of its own.
    QSqlQuery store(diary.db());
    QVERIFY(store.exec("PRAGMA temp_store") && store.next());
    QCOMPARE(store.value(0).toInt(), 2);
    store.finish();
    QCOMPARE(openFilesIn(engineScratch.path()), QStringList());
    QVERIFY(QDir(engineScratch.path()).isEmpty());

    // The words are in the diary: a plain copy shows them, which is what the search below finds
    // when a file holds them.
    QTemporaryDir plain;
    QVERIFY(diary.database().writePlainCopy(plain.filePath("plano.db")));
    QCOMPARE(filesHolding(plain.path(), words).size(), words.size());

    // Leaving writes the diary and the backup of the run.
    form2->close();
    app.leave();
    app.finish();
    QCOMPARE(backups::list(backups::folderOf(diary.path())).size(), 3);
    QCOMPARE(backups::takeFailure(diary.path()), std::nullopt);
    QCOMPARE(filesHolding(diary.folder(), words), QStringList());
    QCOMPARE(filesHolding(engineScratch.path(), words), QStringList());
    // The index was never part of the diary sealed on disk.
    diary.database().close();
    QCOMPARE(fixture::openWith(diary.database(), diary.path()), DiaryDatabase::Status::Ready);
    QCOMPARE(fixture::columnInOrder(diary.db(),
                                    "SELECT name FROM sqlite_schema WHERE name LIKE 'busqueda%' "
                                    "UNION ALL SELECT name FROM temp.sqlite_schema WHERE name "
                                    "NOT LIKE 'sync_%'",
                                    "name"),
             QStringList());
    QCOMPARE(datesFound(diary.db(),
                        search::SearchIndex(diary.db()).find(search::parse(u"zanahoria")).ids),
             QStringList{"06/12/2026"});
}

QTEST_MAIN(TestSearch)
#include "test_search.moc"

// Whatever a user types, pastes or has stored: the whole program, from the first-run questions to
// the reports, on a real diary file.
#include "dayfields.h"
#include "diarydatabase.h"
#include "diaryfixture.h"
#include "diarywindow.h"
#include "manualclock.h"
#include "profilewindow.h"
#include "scripteddialogs.h"
#include "statsexport.h"
#include "textwrap.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace dayfields;

namespace {

const QString nul = QString(QChar(u'\0'));

// Texts that have broken programs of this kind: quotes and SQL, characters beyond the code page
// of the reports, accents made of two characters, right-to-left script, a NUL, line breaks.
const QString sql = QStringLiteral("'); DROP TABLE [El Día A Día En El Gimnasio]; --\"");
const QString emoji = QStringLiteral("💪🏽 fuerza 🏋️‍♀️");
const QString combining = QStringLiteral("e\u0301 n\u0303 a\u0300");
const QString rightToLeft =
    QStringLiteral("\u05e9\u05dc\u05d5\u05dd \u0645\u0631\u062d\u0628\u0627");
const QString controls = QStringLiteral("a") + nul + QStringLiteral("b\tc\u001bd");
const QString lineBreaks = QStringLiteral("uno\ndos\r\ntres\rcuatro");

QString hostileFor(int box) {
    const QString all[] = {sql, emoji, combining, rightToLeft, controls, lineBreaks};
    return all[box % 6] + QStringLiteral(" ") + QString::number(box);
}

QLabel *label(const QWidget &window, const char *name) {
    return window.findChild<QLabel *>(QLatin1String(name));
}

// The texts of the diary window's day boxes, in walk order.
DayTexts shownTexts(const DiaryWindow &diary) {
    DayTexts texts;
    for (int box = 0; box < BoxCount; ++box) {
        QWidget *widget = diary.findChild<QWidget *>(QLatin1String(fields[box].box));
        if (auto *line = qobject_cast<QLineEdit *>(widget))
            texts[box] = line->text();
        else if (auto *area = qobject_cast<QPlainTextEdit *>(widget))
            texts[box] = area->toPlainText();
    }
    return texts;
}

} // namespace

class TestHostile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void hostileTextsGoThroughTheWholeProgram();
    void wordLongerThanAnyLineIsCutAnywhere();
    void storedNonsenseNeverStopsTheWindows_data();
    void storedNonsenseNeverStopsTheWindows();
    void datesAtTheEdges_data();
    void datesAtTheEdges();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("diario.db")); }
    // A profile window that has run its start-up with the answers queued.
    std::unique_ptr<ProfileWindow> startedWindow(const QStringList &answers);
    bool insertProfile(const QString &name, const QString &birth, const QString &height,
                       const QString &gymStart);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<DiaryDatabase> m_database;
    ScriptedDialogs m_dialogs;
    ManualClock m_clock{QDateTime(QDate(2026, 12, 5), QTime(10, 30))};
};

void TestHostile::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void TestHostile::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_database = std::make_unique<DiaryDatabase>();
    QCOMPARE(m_database->open(path()), DiaryDatabase::Status::Ready);
    m_dialogs = ScriptedDialogs();
}

void TestHostile::cleanup() {
    m_database.reset();
    m_dir.reset();
}

std::unique_ptr<ProfileWindow> TestHostile::startedWindow(const QStringList &answers) {
    auto window = std::make_unique<ProfileWindow>(*m_database, m_dialogs, m_clock);
    m_dialogs.queueInputs(answers);
    if (!window->runStartup())
        return {};
    return window;
}

bool TestHostile::insertProfile(const QString &name, const QString &birth, const QString &height,
                                const QString &gymStart) {
    QSqlQuery query(m_database->connection());
    query.prepare(QStringLiteral("INSERT INTO \"%1\" (\"Nombre Usuario\", \"Fecha De Nacimiento\", "
                                 "\"Altura Del Usuario Cm\", \"Fecha De Comienzo En El "
                                 "Gimnasio\", \"Clave\") VALUES (?, ?, ?, ?, ?)")
                      .arg(profileTableName));
    query.addBindValue(name);
    query.addBindValue(birth);
    query.addBindValue(height);
    query.addBindValue(gymStart);
    // A hash of another password: these windows never get past the login.
    query.addBindValue(QStringLiteral("$argon2id$v=19$m=65536,t=2,p=1$c2FsdHNhbHRzYWx0c2FsdA$"
                                      "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"));
    return query.exec();
}

void TestHostile::hostileTextsGoThroughTheWholeProgram() {
    const QString name = sql + emoji + rightToLeft + nul + combining;
    const QString password = QStringLiteral("🔑") + nul + rightToLeft + QStringLiteral("'--");
    DayTexts savedTexts;
    {
        const auto profile =
            startedWindow({name, QStringLiteral("20/05/2000"), QStringLiteral("180"),
                           QStringLiteral("01/02/2003"), password, password});
        QVERIFY(profile);
        QCOMPARE(profile->windowTitle(),
                 QStringLiteral("Diario De Gimnasio De [[[ ") + name + QStringLiteral(" ]]]"));

        // Every box gets its hostile text; the diary text gets 10 MB from the clipboard.
        profile->Command1_Click();
        DiaryWindow *diary = profile->diaryWindow();
        QVERIFY(diary);
        diary->Command4_Click();
        DayTexts typed;
        for (int box = 0; box < BoxCount; ++box) {
            QWidget *widget = diary->findChild<QWidget *>(QLatin1String(fields[box].box));
            if (auto *line = qobject_cast<QLineEdit *>(widget)) {
                const QString text = box == Fh ? QStringLiteral("05/12/2026") : hostileFor(box);
                line->setText(text);
                typed[box] = line->text(); // what a line box keeps of a line break is its own
            }
        }
        // Ten million characters of a diary, line after line, then the hostile endings.
        const QString line = QStringLiteral("Hoy he entrenado piernas y espalda, ñandú 💪.");
        const QString pasted =
            (line + u'\n').repeated(10 * 1000 * 1000 / (line.size() + 1)) + lineBreaks + emoji;
        QApplication::clipboard()->setText(pasted);
        auto *diaryText = diary->findChild<QPlainTextEdit *>(QStringLiteral("eldiario"));
        diaryText->setFocus();
        diaryText->paste();
        typed[Eldiario] = diaryText->toPlainText();
        QCOMPARE(typed[Eldiario].size(), pasted.size() - 1); // the "\r\n" became one line break
        QCOMPARE(diaryText->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);

        diary->Command3_Click();
        QVERIFY(!diary->isAddingDay());
        QCOMPARE(m_dialogs.messages().size(), 0);
        QCOMPARE(shownTexts(*diary), typed);
        savedTexts = typed;

        // Both reports, in the code page, without a byte that breaks a text file.
        diary->Command5_Click();
        diary->Command6_Click();
        QCOMPARE(m_dialogs.messages().size(), 2);
        const QByteArray report =
            fixture::fileBytes(QDir(m_database->folder()).filePath(statsexport::singleFileName));
        QVERIFY(report.size() > 10 * 1000 * 1000);
        QVERIFY(!report.contains('\0'));
        QCOMPARE(report.count('\n'), report.count("\r\n"));
        QCOMPARE(report.count('\r'), report.count("\r\n"));
        QVERIFY(report.startsWith(QByteArray(100, '*') + "\r\n"));
        QVERIFY(report.contains("espalda, \xf1"
                                "and\xfa"
                                " ?.\r\nHoy"));        // the code page, its lines
        QVERIFY(report.contains("?? fuerza ?????"));   // "?" for each character beyond the page
        QVERIFY(report.contains("e? n? a?"));          // accents that follow their letter
        QVERIFY(report.contains("\xd7\xa9") == false); // no UTF-8 leaks through
        QVERIFY(report.contains("a?b\tc\x1b"
                                "d")); // a NUL is no character of a text file
        QVERIFY(report.contains("uno\r\ndos\r\ntres\r\ncuatro"));
        const QByteArray dayFile = fixture::fileBytes(
            QDir(m_database->folder()).filePath(QStringLiteral("sábado5dediciembrede2026.TxT")));
        QVERIFY(dayFile.size() > 10 * 1000 * 1000);
        QCOMPARE(dayFile.count('\n'), dayFile.count("\r\n"));
        QVERIFY(!dayFile.contains('\0'));

        profile->Command2_Click();
    }

    // After a restart everything comes back exactly, and the same password lets the user in.
    m_database = std::make_unique<DiaryDatabase>();
    QCOMPARE(m_database->open(path()), DiaryDatabase::Status::Ready);
    {
        const auto again = startedWindow({password});
        QVERIFY(again);
        QCOMPARE(label(*again, "nombre")->text(), name);
        again->Command1_Click();
        QCOMPARE(shownTexts(*again->diaryWindow()), savedTexts);
    }

    // The password is all of its characters: what comes before the NUL is another password.
    m_dialogs = ScriptedDialogs();
    QVERIFY(!startedWindow({QStringLiteral("🔑")}));
    QCOMPARE(m_dialogs.messages().size(), 1);
}

void TestHostile::wordLongerThanAnyLineIsCutAnywhere() {
    // Its lines are laid out in a time that grows with its length, not with its square.
    const QString word(300000, u'x');
    QVERIFY(fixture::insertDays(
        m_database->connection(),
        {fixture::day({{Fh, QStringLiteral("01/12/2026")}, {Comi, word}}),
         fixture::day({{Fh, QStringLiteral("02/12/2026")}, {Comi, QString(5000, u'y')}})}));
    DiaryWindow diary(*m_database, nullptr, m_dialogs, m_clock);
    diary.show();
    auto *box = diary.findChild<QPlainTextEdit *>(QStringLiteral("comi"));
    QCOMPARE(box->toPlainText(), word);
    QCOMPARE(box->wordWrapMode(), QTextOption::WrapAnywhere);
    diary.moveNext();
    QCOMPARE(box->toPlainText().size(), 5000);
    QCOMPARE(box->wordWrapMode(), QTextOption::WrapAnywhere);
    diary.moveFirst();
    diary.Command4_Click(); // a new day empties the boxes: words wrap as usual again
    QCoreApplication::processEvents();
    QCOMPARE(box->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    QCOMPARE(textwrap::longestWord(u"ab cd\u2029efg\thi"), 3);
    QCOMPARE(textwrap::longestWord(u""), 0);
}

void TestHostile::storedNonsenseNeverStopsTheWindows_data() {
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("gymStart");
    QTest::newRow("words") << QStringLiteral("ayer") << QStringLiteral("alto")
                           << QStringLiteral("nunca");
    QTest::newRow("impossible days")
        << QStringLiteral("31/02/2003") << QStringLiteral("-5") << QStringLiteral("00/00/0000");
    QTest::newRow("huge") << QString(100000, u'9') << QString(100000, u'9')
                          << QStringLiteral("99/99/99999999999999999999");
    QTest::newRow("empty") << QString() << QString() << QString();
    QTest::newRow("controls") << nul + QStringLiteral("01/01/2000") << nul << lineBreaks;
}

void TestHostile::storedNonsenseNeverStopsTheWindows() {
    QFETCH(QString, birth);
    QFETCH(QString, height);
    QFETCH(QString, gymStart);
    QVERIFY(insertProfile(emoji, birth, height, gymStart));
    QVERIFY(fixture::insertDays(m_database->connection(),
                                {fixture::day({{Fh, gymStart}, {Hgim, height}, {Lagua, birth}})}));
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    // The stored password is no hash of any answer: a failed login, after which nothing ticks.
    m_dialogs.queueInputs({QStringLiteral("cualquiera")});
    QVERIFY(!window.runStartup());
    window.Timer1_Timer();

    // The diary window on the same stored values, as if the login had passed.
    DiaryWindow diary(*m_database, &window, m_dialogs, m_clock);
    diary.show();
    QVERIFY(QTest::qWaitForWindowExposed(&diary));
    QCOMPARE(label(diary, "Label33")->text(), QStringLiteral("1 Días"));
    diary.Command5_Click();
    diary.Command6_Click();
    QCOMPARE(m_dialogs.messages().last().text, statsexport::perDayFilesDone);
}

void TestHostile::datesAtTheEdges_data() {
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QString>("gymStart");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QStringList>("expected"); // Label14, Label15, Label18, Label19, Label20

    QTest::newRow("born on 29 February, day before the birthday")
        << QStringLiteral("29/02/2000") << QStringLiteral("29/02/2000")
        << QDateTime(QDate(2003, 2, 28), QTime(12, 0))
        << QStringList{"2 Años, 11 Meses Y 30 Días", "2 Años", "11 Meses", "30 Días",
                       "martes, 29 de febrero de 2000"};
    QTest::newRow("born on 29 February, 1 March")
        << QStringLiteral("29/02/2000") << QStringLiteral("29/02/2000")
        << QDateTime(QDate(2003, 3, 1), QTime(12, 0))
        << QStringList{"3 Años, 0 Meses Y 0 Días", "3 Años", "0 Meses", "0 Días",
                       "martes, 29 de febrero de 2000"};
    QTest::newRow("gym start in the future")
        << QStringLiteral("20/05/2000") << QStringLiteral("15/06/2004")
        << QDateTime(QDate(2003, 5, 10), QTime(14, 5, 9))
        << QStringList{"1 Años, 1 Meses Y 5 Días", "2 Años", "11 Meses", "20 Días",
                       "sábado, 20 de mayo de 2000"};
    QTest::newRow("1900 to 9999") << QStringLiteral("01/01/1900") << QStringLiteral("01/01/1900")
                                  << QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59))
                                  << QStringList{"8099 Años, 11 Meses Y 30 Días", "8099 Años",
                                                 "11 Meses", "30 Días",
                                                 "lunes, 1 de enero de 1900"};
}

void TestHostile::datesAtTheEdges() {
    QFETCH(QString, birth);
    QFETCH(QString, gymStart);
    QFETCH(QDateTime, now);
    QFETCH(QStringList, expected);
    const QString password = QStringLiteral("secreto1");
    m_clock.set(now);
    const auto window = startedWindow(
        {QStringLiteral("Ana"), birth, QStringLiteral("170"), gymStart, password, password});
    QVERIFY(window);
    window->Timer1_Timer();
    QCOMPARE((QStringList{label(*window, "Label14")->text(), label(*window, "Label15")->text(),
                          label(*window, "Label18")->text(), label(*window, "Label19")->text(),
                          label(*window, "Label20")->text()}),
             expected);

    // The next second, even past the last day of 9999, still ticks.
    m_clock.advanceSecond();
    window->Timer1_Timer();
    QCOMPARE(label(*window, "Label16")->text(), now.addSecs(1).time().toString(u"HH:mm:ss"));

    // The diary shows the same age, and a day on the birth date is exported with its long date.
    window->Command1_Click();
    DiaryWindow *diary = window->diaryWindow();
    QVERIFY(diary);
    diary->Command4_Click();
    diary->findChild<QLineEdit *>(QStringLiteral("fh"))->setText(birth);
    diary->Command3_Click();
    diary->Command5_Click();
    const QByteArray report =
        fixture::fileBytes(QDir(m_database->folder()).filePath(statsexport::singleFileName));
    QVERIFY(report.contains(expected.last().toLatin1()));
}

QTEST_MAIN(TestHostile)
#include "test_hostile.moc"

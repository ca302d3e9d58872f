#include "clock.h"
#include "dayfields.h"
#include "dialogs.h"
#include "diarydatabase.h"
#include "manualclock.h"
#include "password.h"
#include "profilestartup.h"
#include "profilewindow.h"
#include "scripteddialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <exception>
#include <memory>

namespace {

// Thrown when the program asks more than the test scripted, so that a retry loop ends the test
// instead of hanging it.
struct UnscriptedBox : std::exception {};

// Scripted answers with a hard stop: an unscripted input box or a flood of messages is a failure.
class StrictDialogs final : public Dialogs {
public:
    ScriptedDialogs script;
    // Called inside every box, as a clock tick would arrive while a modal box is open.
    std::function<void()> whileOpen;

    QString inputBox(QWidget *parent, const QString &prompt, const QString &title,
                     const QString &defaultText = {}) override {
        if (whileOpen)
            whileOpen();
        if (script.pendingInputs() == 0)
            throw UnscriptedBox();
        return script.inputBox(parent, prompt, title, defaultText);
    }
    void messageBox(QWidget *parent, const QString &text, const QString &title) override {
        if (script.shown().size() > 200)
            throw UnscriptedBox();
        script.messageBox(parent, text, title);
    }
    bool askYesNo(QWidget *parent, const QString &text, const QString &title) override {
        return script.askYesNo(parent, text, title);
    }
};

const QString namePrompt =
    QStringLiteral("Introduce Tu Nombre Para Saber Quien Esta Usando Este Diario De Gimnasio...");
const QString nameTitle = QStringLiteral("Introduce Tu Nombre...");
const QString birthPrompt = QStringLiteral("Introduce El Día En Que Naciste En Formato DD/MM/AAAA");
const QString birthTitle = QStringLiteral("Introduce La Fecha De Tu Nacimiento");
const QString heightPrompt = QStringLiteral(
    "Introduce Tu Altura En Cm, Es Decir Si Mides 1.80 Escribe 180 Y Pulsar Aceptar...");
const QString heightTitle = QStringLiteral("Introduce Tu Altura En Centimetros...");
const QString gymPrompt =
    QStringLiteral("Introduce El Día En El Que Empezaste A Ir Al Gimnasio En Formato DD/MM/AAAA");
const QString gymTitle = QStringLiteral("Introduce La Fecha De Comienzo De Gimnasio");
const QString passwordPrompt =
    QStringLiteral("Introduce Una Clave Para Que Nadie Pueda Fisgonear En Tu Diario ¡¡ Nó La "
                   "Olvides !! (Valen Números, Letras, Lo Que Quieras...)");
const QString passwordTitle = QStringLiteral("Introduce Una Clave Personal");
const QString loginPrompt = QStringLiteral(
    "Introduce Tu Clave Personal... De Lo Contrario No Podras Usar El Diario De Gimnasio...");
const QString loginTitle = QStringLiteral("Introduce Tu Clave");
const QString dateError = QStringLiteral("ERROR. Introduce Una Fecha Válida En Formato DD/MM/AAAA");
const QString heightError =
    QStringLiteral("ERROR. Introduce Tu Altura En Centimetros, Solo Números.");
const QString passwordError =
    QStringLiteral("ERROR. Introduce Una Clave De Al Menos Seis Caracteres.");
const QString intruder = QStringLiteral("¡¡ Fuera De Mi Vista Intrus@ !!");
const QString noticeBoxTitle = QStringLiteral("^Zorvend^ Diario De Gimnasio");

struct StoredProfile {
    QString name, birth, height, gymStart, hash;
};

// The profile rows as they are in the file, in key order.
QList<StoredProfile> storedProfiles(const DiaryDatabase &database) {
    QList<StoredProfile> rows;
    QSqlQuery query(database.connection());
    query.exec(QStringLiteral("SELECT \"Nombre Usuario\", \"Fecha De Nacimiento\", \"Altura Del "
                              "Usuario Cm\", \"Fecha De Comienzo En El Gimnasio\", \"Clave\" FROM "
                              "\"Datos Del Usuario\" ORDER BY Id"));
    while (query.next())
        rows.append({query.value(0).toString(), query.value(1).toString(),
                     query.value(2).toString(), query.value(3).toString(),
                     query.value(4).toString()});
    return rows;
}

bool insertProfile(const DiaryDatabase &database, int id, const QString &name,
                   const QString &storedPassword) {
    QSqlQuery query(database.connection());
    query.prepare(
        QStringLiteral("INSERT INTO \"Datos Del Usuario\" (Id, \"Nombre Usuario\", "
                       "\"Fecha De Nacimiento\", \"Altura Del Usuario Cm\", \"Fecha De "
                       "Comienzo En El Gimnasio\", \"Clave\") VALUES (?, ?, ?, ?, ?, ?)"));
    query.addBindValue(id);
    query.addBindValue(name);
    query.addBindValue(QStringLiteral("20/05/2000"));
    query.addBindValue(QStringLiteral("180"));
    query.addBindValue(QStringLiteral("10/05/2003"));
    query.addBindValue(storedPassword);
    return query.exec();
}

// The answers to the five first-run questions, password included, then the login.
QStringList firstRun(const QString &name, const QString &password, const QString &login) {
    return {name,
            QStringLiteral("20/05/2000"),
            QStringLiteral("180"),
            QStringLiteral("01/02/2003"),
            password,
            login};
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstRunStoresProfileAndLogsIn();
    void cancelledNameIsStoredEmpty();
    void wrongLoginEndsStartup_data();
    void wrongLoginEndsStartup();
    void passwordNeedsSixCharacters_data();
    void passwordNeedsSixCharacters();
    void dateRetries();
    void readHeight_data();
    void readHeight();
    void heightRetries();
    void heightTiesGoToEven_data();
    void heightTiesGoToEven();
    void twoProfileRowsUseTheFirst();
    void damagedStoredPasswordIsAFailedLogin_data();
    void damagedStoredPasswordIsAFailedLogin();
    void ticksDuringStartupChangeNothing();
    void unstorableProfileEndsStartup();
    void realDialogsFirstRun();
    void realDialogsCancelledLogin();

private:
    bool runStartup(ProfileWindow &window, bool &ok);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<DiaryDatabase> m_database;
    StrictDialogs m_dialogs;
    ManualClock m_clock{QDateTime(QDate(2003, 5, 10), QTime(14, 5, 9))};
};

void TestStartup::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void TestStartup::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_database = std::make_unique<DiaryDatabase>();
    QCOMPARE(m_database->open(m_dir->filePath(QStringLiteral("diario.db"))),
             DiaryDatabase::Status::Ready);
    m_dialogs.script = ScriptedDialogs();
    m_dialogs.whileOpen = nullptr;
}

void TestStartup::cleanup() {
    m_database.reset();
    m_dir.reset();
}

// Runs the start-up; false when it asked for more than the script holds.
bool TestStartup::runStartup(ProfileWindow &window, bool &ok) {
    try {
        ok = window.runStartup();
    } catch (const UnscriptedBox &) {
        return false;
    }
    return true;
}

void TestStartup::firstRunStoresProfileAndLogsIn() {
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    QCOMPARE(window.windowTitle(), QStringLiteral("Form1"));
    m_dialogs.script.queueInputs(firstRun(QStringLiteral("ZorvendDiarioGimnasta"),
                                          QStringLiteral("mi clave"), QStringLiteral("mi clave")));
    bool ok = false;
    QVERIFY(runStartup(window, ok));
    QVERIFY(ok);

    const QList<ScriptedDialogs::Shown> &shown = m_dialogs.script.shown();
    QCOMPARE(shown.size(), 6);
    const QList<std::pair<QString, QString>> expected = {
        {namePrompt, nameTitle}, {birthPrompt, birthTitle},       {heightPrompt, heightTitle},
        {gymPrompt, gymTitle},   {passwordPrompt, passwordTitle}, {loginPrompt, loginTitle}};
    for (qsizetype i = 0; i < shown.size(); ++i) {
        QCOMPARE(shown[i].kind, ScriptedDialogs::Shown::Input);
        QCOMPARE(shown[i].text, expected[i].first);
        QCOMPARE(shown[i].title, expected[i].second);
        QCOMPARE(shown[i].defaultText,
                 i == 0 ? QStringLiteral("ZorvendDiarioGimnasta") : QString());
    }

    const QList<StoredProfile> rows = storedProfiles(*m_database);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].name, QStringLiteral("ZorvendDiarioGimnasta"));
    QCOMPARE(rows[0].birth, QStringLiteral("20/05/2000"));
    QCOMPARE(rows[0].height, QStringLiteral("180"));
    QCOMPARE(rows[0].gymStart, QStringLiteral("01/02/2003"));
    QVERIFY(!rows[0].hash.contains(QStringLiteral("mi clave")));
    QVERIFY(password::verify(rows[0].hash, QStringLiteral("mi clave")));
    QVERIFY(!password::verify(rows[0].hash, QStringLiteral("mi clavE")));

    QCOMPARE(window.windowTitle(),
             QStringLiteral("Diario De Gimnasio De [[[ ZorvendDiarioGimnasta ]]]"));
    QCOMPARE(window.startupComplete(), 1);
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("nombre"))->text(),
             QStringLiteral("ZorvendDiarioGimnasta"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("alturacm"))->text(), QStringLiteral("180"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("fechanaci"))->text(),
             QStringLiteral("20/05/2000"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("fechacom"))->text(),
             QStringLiteral("01/02/2003"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("sclave"))->text(), rows[0].hash);

    // The next start is no first start: only the login is asked.
    m_dialogs.script = ScriptedDialogs();
    ProfileWindow again(*m_database, m_dialogs, m_clock);
    QCOMPARE(again.findChild<QLabel *>(QStringLiteral("nombre"))->text(),
             QStringLiteral("ZorvendDiarioGimnasta"));
    m_dialogs.script.queueInputs({QStringLiteral("mi clave")});
    QVERIFY(runStartup(again, ok));
    QVERIFY(ok);
    QCOMPARE(m_dialogs.script.shown().size(), 1);
    QCOMPARE(storedProfiles(*m_database).size(), 1);
}

void TestStartup::cancelledNameIsStoredEmpty() {
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    m_dialogs.script.queueInputs(
        firstRun(QString(), QStringLiteral("123456"), QStringLiteral("123456")));
    bool ok = false;
    QVERIFY(runStartup(window, ok));
    QVERIFY(ok);
    QCOMPARE(storedProfiles(*m_database).value(0).name, QString());
    QCOMPARE(window.windowTitle(), QStringLiteral("Diario De Gimnasio De [[[  ]]]"));
}

void TestStartup::wrongLoginEndsStartup_data() {
    QTest::addColumn<QString>("answer");
    QTest::newRow("other case") << QStringLiteral("SECRETO1");
    QTest::newRow("leading blank") << QStringLiteral(" secreto1");
    QTest::newRow("trailing blank") << QStringLiteral("secreto1 ");
    QTest::newRow("cancelled") << QString();
    QTest::newRow("prefix") << QStringLiteral("secreto");
    QTest::newRow("longer") << QStringLiteral("secreto12");
}

void TestStartup::wrongLoginEndsStartup() {
    QFETCH(QString, answer);
    QVERIFY(insertProfile(*m_database, 1, QStringLiteral("Ana"),
                          password::hash(QStringLiteral("secreto1"))));
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    m_dialogs.script.queueInputs({answer});
    bool ok = true;
    QVERIFY(runStartup(window, ok));
    QVERIFY(!ok);
    const QList<ScriptedDialogs::Shown> &shown = m_dialogs.script.shown();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0].title, loginTitle);
    QCOMPARE(shown[1].kind, ScriptedDialogs::Shown::Message);
    QCOMPARE(shown[1].text, intruder);
    QCOMPARE(shown[1].title, noticeBoxTitle);
    QCOMPARE(window.startupComplete(), 0);
    QCOMPARE(window.windowTitle(), QStringLiteral("Form1"));
    QVERIFY(!window.isVisible());
    QCOMPARE(storedProfiles(*m_database).size(), 1);
}

void TestStartup::passwordNeedsSixCharacters_data() {
    QTest::addColumn<QStringList>("refused");
    QTest::addColumn<QString>("accepted");
    QTest::newRow("5 then 6") << QStringList{QStringLiteral("abcde")} << QStringLiteral("abcdef");
    QTest::newRow("empty, then blanks")
        << QStringList{QString(), QStringLiteral("     ")} << QStringLiteral("      ");
    QTest::newRow("accented letters count once")
        << QStringList{QStringLiteral("ñandú")} << QStringLiteral("ñandús");
    QTest::newRow("symbols") << QStringList{QStringLiteral("€¡¿@#")} << QStringLiteral("€¡¿@#ü");
    QTest::newRow("emoji counts once")
        << QStringList{QStringLiteral("abcd\U0001F4AA")} << QStringLiteral("abcde\U0001F4AA");
}

void TestStartup::passwordNeedsSixCharacters() {
    QFETCH(QStringList, refused);
    QFETCH(QString, accepted);
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    QStringList answers{QStringLiteral("Ana"), QStringLiteral("20/05/2000"), QStringLiteral("180"),
                        QStringLiteral("01/02/2003")};
    answers += refused;
    answers += accepted;
    answers += accepted; // login
    m_dialogs.script.queueInputs(answers);
    bool ok = false;
    QVERIFY(runStartup(window, ok));
    QVERIFY(ok);

    const QList<ScriptedDialogs::Shown> messages = m_dialogs.script.messages();
    QCOMPARE(messages.size(), refused.size());
    for (const ScriptedDialogs::Shown &message : messages) {
        QCOMPARE(message.text, passwordError);
        QCOMPARE(message.title, passwordTitle);
    }
    // The error box comes between two password questions.
    const QList<ScriptedDialogs::Shown> &shown = m_dialogs.script.shown();
    QCOMPARE(shown[4].title, passwordTitle);
    QCOMPARE(shown[5].kind, ScriptedDialogs::Shown::Message);
    QCOMPARE(shown[6].text, passwordPrompt);
    QVERIFY(password::verify(storedProfiles(*m_database).value(0).hash, accepted));
}

void TestStartup::dateRetries() {
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    m_dialogs.script.queueInputs(
        {QStringLiteral("Ana"), QStringLiteral("31/02/2003"), QString(), QStringLiteral("hoy"),
         QStringLiteral("20/5/2000"), QStringLiteral("170"), QStringLiteral("2003-13-01"),
         QStringLiteral(" 01-02-2003 "), QStringLiteral("secreto1"), QStringLiteral("secreto1")});
    bool ok = false;
    QVERIFY(runStartup(window, ok));
    QVERIFY(ok);

    const QList<ScriptedDialogs::Shown> &shown = m_dialogs.script.shown();
    QStringList titles;
    for (const ScriptedDialogs::Shown &box : shown)
        titles.append(
            (box.kind == ScriptedDialogs::Shown::Message ? QStringLiteral("!") : QString()) +
            box.title);
    const QString birthError = QStringLiteral("!Fecha De Tu Nacimiento");
    const QString gymError = QStringLiteral("!") + gymTitle;
    QCOMPARE(titles, (QStringList{nameTitle, birthTitle, birthError, birthTitle, birthError,
                                  birthTitle, birthError, birthTitle, heightTitle, gymTitle,
                                  gymError, gymTitle, passwordTitle, loginTitle}));
    for (const ScriptedDialogs::Shown &message : m_dialogs.script.messages())
        QCOMPARE(message.text, dateError);

    // Accepted dates are kept as typed.
    const StoredProfile stored = storedProfiles(*m_database).value(0);
    QCOMPARE(stored.birth, QStringLiteral("20/5/2000"));
    QCOMPARE(stored.gymStart, QStringLiteral(" 01-02-2003 "));
}

void TestStartup::readHeight_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("centimetres"); // 0: refused
    QTest::newRow("180") << QStringLiteral("180") << 180;
    QTest::newRow("180,4") << QStringLiteral("180,4") << 180;
    QTest::newRow("180,5 tie to even") << QStringLiteral("180,5") << 180;
    QTest::newRow("181,5 tie to even") << QStringLiteral("181,5") << 182;
    QTest::newRow("180.5 with a point") << QStringLiteral("180.5") << 180;
    QTest::newRow("180,6") << QStringLiteral("180,6") << 181;
    QTest::newRow("blanks around") << QStringLiteral(" 175 ") << 175;
    QTest::newRow("plus sign") << QStringLiteral("+160") << 160;
    QTest::newRow("lowest") << QStringLiteral("1") << 1;
    QTest::newRow("0,6 rounds to 1") << QStringLiteral("0,6") << 1;
    QTest::newRow("1,5 rounds to 2") << QStringLiteral("1,5") << 2;
    QTest::newRow("0,5 rounds to 0") << QStringLiteral("0,5") << 0;
    QTest::newRow("highest") << QStringLiteral("999") << 999;
    QTest::newRow("998,5 rounds to 998") << QStringLiteral("998,5") << 998;
    QTest::newRow("999,5 rounds to 1000") << QStringLiteral("999,5") << 0;
    QTest::newRow("1000") << QStringLiteral("1000") << 0;
    QTest::newRow("zero") << QStringLiteral("0") << 0;
    QTest::newRow("negative") << QStringLiteral("-180") << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("letters") << QStringLiteral("ciento ochenta") << 0;
    QTest::newRow("1,80 m") << QStringLiteral("1,80 m") << 0;
    QTest::newRow("exponent") << QStringLiteral("1e3") << 0;
    QTest::newRow("grouped") << QStringLiteral("1.500,2") << 0;
    QTest::newRow("beyond 32 bits") << QStringLiteral("99999999999999999999") << 0;
}

void TestStartup::readHeight() {
    QFETCH(QString, answer);
    QFETCH(int, centimetres);
    const std::optional<int> height = ::readHeight(answer);
    if (centimetres == 0)
        QVERIFY(!height.has_value());
    else
        QCOMPARE(height, std::optional<int>(centimetres));
}

void TestStartup::heightRetries() {
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    const QStringList refused{QString(),
                              QStringLiteral("alto"),
                              QStringLiteral("0"),
                              QStringLiteral("1000"),
                              QStringLiteral("-5"),
                              QStringLiteral("4294967296")};
    QStringList answers{QStringLiteral("Ana"), QStringLiteral("20/05/2000")};
    answers += refused;
    answers += {QStringLiteral("181,5"), QStringLiteral("01/02/2003"), QStringLiteral("secreto1"),
                QStringLiteral("secreto1")};
    m_dialogs.script.queueInputs(answers);
    bool ok = false;
    QVERIFY(runStartup(window, ok));
    QVERIFY(ok);
    const QList<ScriptedDialogs::Shown> messages = m_dialogs.script.messages();
    QCOMPARE(messages.size(), refused.size());
    for (const ScriptedDialogs::Shown &message : messages) {
        QCOMPARE(message.text, heightError);
        QCOMPARE(message.title, heightTitle);
    }
    QCOMPARE(storedProfiles(*m_database).value(0).height, QStringLiteral("182"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("alturacm"))->text(), QStringLiteral("182"));
}

void TestStartup::heightTiesGoToEven_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("stored");
    QTest::newRow("180") << QStringLiteral("180") << QStringLiteral("180");
    QTest::newRow("180,4") << QStringLiteral("180,4") << QStringLiteral("180");
    QTest::newRow("180,5") << QStringLiteral("180,5") << QStringLiteral("180");
    QTest::newRow("181,5") << QStringLiteral("181,5") << QStringLiteral("182");
}

void TestStartup::heightTiesGoToEven() {
    QFETCH(QString, answer);
    QFETCH(QString, stored);
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    m_dialogs.script.queueInputs({QStringLiteral("Ana"), QStringLiteral("20/05/2000"), answer,
                                  QStringLiteral("01/02/2003"), QStringLiteral("secreto1"),
                                  QStringLiteral("secreto1")});
    bool ok = false;
    QVERIFY(runStartup(window, ok));
    QVERIFY(ok);
    QVERIFY(m_dialogs.script.messages().isEmpty());
    QCOMPARE(storedProfiles(*m_database).value(0).height, stored);
}

void TestStartup::twoProfileRowsUseTheFirst() {
    // The first profile is the one with the lowest key, whatever order the rows were written in.
    QVERIFY(insertProfile(*m_database, 7, QStringLiteral("Bruno"),
                          password::hash(QStringLiteral("claveBruno"))));
    QVERIFY(insertProfile(*m_database, 3, QStringLiteral("Ana"),
                          password::hash(QStringLiteral("claveAna"))));
    {
        ProfileWindow window(*m_database, m_dialogs, m_clock);
        m_dialogs.script.queueInputs({QStringLiteral("claveBruno")});
        bool ok = true;
        QVERIFY(runStartup(window, ok));
        QVERIFY(!ok);
    }
    m_dialogs.script = ScriptedDialogs();
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    m_dialogs.script.queueInputs({QStringLiteral("claveAna")});
    bool ok = false;
    QVERIFY(runStartup(window, ok));
    QVERIFY(ok);
    QCOMPARE(window.windowTitle(), QStringLiteral("Diario De Gimnasio De [[[ Ana ]]]"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("nombre"))->text(), QStringLiteral("Ana"));
    QCOMPARE(storedProfiles(*m_database).size(), 2);
}

void TestStartup::damagedStoredPasswordIsAFailedLogin_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("answer");
    QTest::newRow("empty, empty answer") << QString() << QString();
    QTest::newRow("plain text") << QStringLiteral("secreto1") << QStringLiteral("secreto1");
    QTest::newRow("old shifted form") << QStringLiteral("jkl") << QStringLiteral("abc");
    QTest::newRow("cut hash") << QStringLiteral("$argon2id$v=19$m=65536,t=2,p=1$abc")
                              << QStringLiteral("secreto1");
    QTest::newRow("huge cost") << QStringLiteral("$argon2id$v=19$m=4194304,t=4000,p=1$"
                                                 "c2FsdHNhbHRzYWx0c2FsdA$aGFzaGhhc2hoYXNoaGFzaA")
                               << QStringLiteral("secreto1");
    QTest::newRow("not latin") << QStringLiteral("€€€€€€") << QStringLiteral("€€€€€€");
}

void TestStartup::damagedStoredPasswordIsAFailedLogin() {
    QFETCH(QString, stored);
    QFETCH(QString, answer);
    QVERIFY(insertProfile(*m_database, 1, QStringLiteral("Ana"), stored));
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    m_dialogs.script.queueInputs({answer});
    bool ok = true;
    QVERIFY(runStartup(window, ok));
    QVERIFY(!ok);
    QCOMPARE(m_dialogs.script.messages().value(0).text, intruder);
}

void TestStartup::ticksDuringStartupChangeNothing() {
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    auto *clockLabel = window.findChild<QLabel *>(QStringLiteral("Label16"));
    auto *dateLabel = window.findChild<QLabel *>(QStringLiteral("Label17"));
    QStringList seen;
    m_dialogs.whileOpen = [&] {
        window.Timer1_Timer();
        seen.append(clockLabel->text() + dateLabel->text());
    };
    m_dialogs.script.queueInputs(
        firstRun(QStringLiteral("Ana"), QStringLiteral("secreto1"), QStringLiteral("secreto1")));
    bool ok = false;
    QVERIFY(runStartup(window, ok));
    QVERIFY(ok);
    QCOMPARE(seen, QStringList(6, QString()));
    window.Timer1_Timer();
    QCOMPARE(clockLabel->text(), QStringLiteral("14:05:09"));
    QCOMPARE(dateLabel->text(), QStringLiteral("10/05/2003"));
}

void TestStartup::unstorableProfileEndsStartup() {
    // The engine refuses the new row, as it would on a full disk.
    QSqlQuery query(m_database->connection());
    QVERIFY(
        query.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON \"Datos Del Usuario\" "
                                  "BEGIN SELECT RAISE(ABORT, 'disco lleno'); END")));
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    QStringList answers = firstRun(QStringLiteral("Ana"), QStringLiteral("secreto1"), {});
    answers.removeLast(); // no login question may follow
    m_dialogs.script.queueInputs(answers);
    bool ok = true;
    QVERIFY(runStartup(window, ok));
    QVERIFY(!ok);
    QCOMPARE(m_dialogs.script.pendingInputs(), 0);
    const QList<ScriptedDialogs::Shown> messages = m_dialogs.script.messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].text.startsWith(
        QStringLiteral("ERROR. No Se Ha Podido Guardar Tu Perfil En El Diario De Gimnasio.")));
    QVERIFY(messages[0].text.contains(QStringLiteral("disco lleno")));
    QCOMPARE(messages[0].title, noticeBoxTitle);
    QCOMPARE(window.startupComplete(), 0);
    QVERIFY(storedProfiles(*m_database).isEmpty());
}

namespace {

// Answers the real modal boxes one after the other as they open.
class BoxAnswerer : public QObject {
public:
    struct Answer {
        QString title;
        QString text; // typed into an input box
        bool accept = true;
    };
    struct Seen {
        QString kind; // "input" or "message"
        QString title;
        QString text; // prompt or message
        QString defaultText;
        int buttons = 0;
        bool hasIcon = false;
    };

    explicit BoxAnswerer(QList<Answer> answers)
        : m_answers(std::move(answers)) {
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, &BoxAnswerer::answerOpenBox);
        m_timer.start();
    }

    QList<Seen> seen;
    QStringList faults;

private:
    void answerOpenBox() {
        QWidget *box = QApplication::activeModalWidget();
        if (!box || box->property("answered").toBool() || !box->isVisible())
            return;
        box->setProperty("answered", true);
        Seen entry;
        entry.title = box->windowTitle();
        if (auto *input = qobject_cast<QInputDialog *>(box)) {
            entry.kind = QStringLiteral("input");
            entry.text = input->labelText();
            entry.defaultText = input->textValue();
        } else if (auto *message = qobject_cast<QMessageBox *>(box)) {
            entry.kind = QStringLiteral("message");
            entry.text = message->text();
            entry.buttons = int(message->buttons().size());
            entry.hasIcon = message->icon() != QMessageBox::NoIcon;
        }
        seen.append(entry);
        auto *dialog = qobject_cast<QDialog *>(box);
        if (m_answers.isEmpty() || !dialog) {
            faults.append(QStringLiteral("unexpected box: ") + entry.title);
            // A retry loop that keeps asking would otherwise hang the test.
            if (faults.size() > 20)
                qFatal("BoxAnswerer: the program keeps opening unexpected boxes");
            if (dialog)
                dialog->reject();
            return;
        }
        const Answer answer = m_answers.takeFirst();
        if (answer.title != entry.title)
            faults.append(QStringLiteral("expected ") + answer.title + QStringLiteral(", got ") +
                          entry.title);
        if (auto *input = qobject_cast<QInputDialog *>(box))
            input->setTextValue(answer.text);
        if (answer.accept)
            dialog->accept();
        else
            dialog->reject();
    }

    QList<Answer> m_answers;
    QTimer m_timer;
};

} // namespace

void TestStartup::realDialogsFirstRun() {
    QtDialogs dialogs;
    ProfileWindow window(*m_database, dialogs, m_clock);
    BoxAnswerer answerer({{nameTitle, QStringLiteral("Ana")},
                          {birthTitle, QStringLiteral("20/05/2000")},
                          {heightTitle, QStringLiteral("180,5")},
                          {gymTitle, QStringLiteral("01/02/2003")},
                          {passwordTitle, QStringLiteral("corto")},
                          {passwordTitle, {}},
                          {passwordTitle, QStringLiteral("secreto1")},
                          {loginTitle, QStringLiteral("secreto1")}});
    QVERIFY(window.runStartup());
    QVERIFY2(answerer.faults.isEmpty(), qPrintable(answerer.faults.join(u'\n')));
    QCOMPARE(answerer.seen.size(), 8);
    QCOMPARE(answerer.seen[0].kind, QStringLiteral("input"));
    QCOMPARE(answerer.seen[0].text, namePrompt);
    QCOMPARE(answerer.seen[0].defaultText, QStringLiteral("ZorvendDiarioGimnasta"));
    QCOMPARE(answerer.seen[1].defaultText, QString());
    const BoxAnswerer::Seen &error = answerer.seen[5];
    QCOMPARE(error.kind, QStringLiteral("message"));
    QCOMPARE(error.text, passwordError);
    QCOMPARE(error.buttons, 1);
    QVERIFY(!error.hasIcon);
    QCOMPARE(window.windowTitle(), QStringLiteral("Diario De Gimnasio De [[[ Ana ]]]"));
    const StoredProfile stored = storedProfiles(*m_database).value(0);
    QCOMPARE(stored.height, QStringLiteral("180"));
    QVERIFY(password::verify(stored.hash, QStringLiteral("secreto1")));
}

void TestStartup::realDialogsCancelledLogin() {
    QVERIFY(insertProfile(*m_database, 1, QStringLiteral("Ana"),
                          password::hash(QStringLiteral("secreto1"))));
    QtDialogs dialogs;
    ProfileWindow window(*m_database, dialogs, m_clock);
    BoxAnswerer answerer({{loginTitle, QStringLiteral("secreto1"), false}, {noticeBoxTitle, {}}});
    QVERIFY(!window.runStartup());
    QVERIFY2(answerer.faults.isEmpty(), qPrintable(answerer.faults.join(u'\n')));
    QCOMPARE(answerer.seen.size(), 2);
    QCOMPARE(answerer.seen[1].kind, QStringLiteral("message"));
    QCOMPARE(answerer.seen[1].text, intruder);
    QCOMPARE(answerer.seen[1].buttons, 1);
    QVERIFY(!answerer.seen[1].hasIcon);
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"

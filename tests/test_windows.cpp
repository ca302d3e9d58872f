// Whole user flows through the real windows, on a real diary file in a temporary folder.

#include "app/applicationcontroller.h"
#include "charts/progresswindow.h"
#include "data/backups.h"
#include "data/daystore.h"
#include "data/diarychange.h"
#include "data/sealedfile.h"
#include "diary/diarywindow.h"
#include "flows/csvflow.h"
#include "flows/diaryrescue.h"
#include "flows/profileanswers.h"
#include "flows/profilestartup.h"
#include "profile/profilewindow.h"
#include "report/statsexport.h"
#include "support/diaryfixture.h"
#include "support/manualclock.h"
#include "support/scripteddialogs.h"
#include "support/tablerows.h"
#include "support/testfonts.h"
#include "ui/dialogs.h"
#include "ui/keyboard.h"
#include "ui/photobox.h"
#include "ui/twips.h"
#include "ui/windowicon.h"
#include "ui/windowlook.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>

using namespace dayfields;
using namespace Qt::StringLiterals;

namespace {

const QDateTime now(QDate(2026, 12, 6), QTime(10, 0, 0));
// A name hostile to engines, file formats and labels alike.
const QString hostileName = QStringLiteral("Ana '\"; DROP TABLE x;-- \u202E\U0001F4AA%1\t");

QString textOf(const QWidget *box) {
    if (const auto *line = qobject_cast<const QLineEdit *>(box))
        return line->text();
    return static_cast<const QPlainTextEdit *>(box)->toPlainText();
}

QWidget *box(QWidget *window, Box field) {
    return window->findChild<QWidget *>(QLatin1String(fields[field].box));
}

QString label(QWidget *window, const char *name) {
    return window->findChild<QLabel *>(QLatin1String(name))->text();
}

// Captions that the design gives a control of their own, wider than it: none may be.
QStringList cutCaptions(QWidget *window) {
    QStringList cut;
    for (const QPushButton *button : window->findChildren<QPushButton *>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QString caption = QString(button->text()).remove(u'&');
        const QFontMetrics metrics(button->font());
        if (metrics.horizontalAdvance(caption) > room.width() || metrics.height() > room.height())
            cut += caption;
    }
    for (const QLabel *label : window->findChildren<QLabel *>()) {
        const QFontMetrics metrics(label->font());
        if (!label->toolTip().isEmpty() &&
            metrics.horizontalAdvance(label->text()) > label->contentsRect().width())
            cut += label->text();
    }
    return cut;
}

// A drawing (a window, the icon) against its approved one in tests/golden, which
// GIMNASIO_NEW_GOLDEN=1 writes anew: a change of any place, size, colour, font or kind of control
// shows.
bool looksAsApproved(const QPixmap &drawing, const QString &name) {
    const QString golden = QStringLiteral(QT_TESTCASE_SOURCEDIR "/golden/") + name + ".png";
    const QImage drawn = drawing.toImage().convertToFormat(QImage::Format_RGB32);
    if (qEnvironmentVariableIsSet("GIMNASIO_NEW_GOLDEN"))
        return drawn.save(golden);
    const bool same = drawn == QImage(golden).convertToFormat(QImage::Format_RGB32);
    if (!same && drawn.save(QDir::temp().filePath(name + ".png")))
        qWarning("drawn otherwise than approved: see %s.png",
                 qPrintable(QDir::temp().filePath(name)));
    return same;
}

// The focusable controls of a window that a screen reader cannot name, and the controls it would
// describe by another control's caption.
QStringList unnamedControls(QWidget *window) {
    QStringList found;
    const std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *node) {
        const QString name = node->text(QAccessible::Name).trimmed();
        const bool unnamed = node->state().focusable && !node->state().invisible && name.isEmpty();
        const bool misdescribed =
            node->text(QAccessible::Description) == QLatin1String("Nombre Del Usuario") &&
            name != QLatin1String("Nombre Del Usuario");
        if (unnamed || misdescribed)
            found += node->object() ? node->object()->objectName() : QStringLiteral("?");
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface *child = node->child(i))
                walk(child);
    };
    walk(QAccessible::queryAccessibleInterface(window));
    return found;
}

} // namespace

class TestWindows : public QObject {
    Q_OBJECT
public:
    static void initMain() { testfonts::pin(); }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        qApp->installEventFilter(new ReturnPressesButtons(qApp));
        windowlook::useProgramFonts();
    }
    void firstRunAsksUntilEveryAnswerIsUsable();
    void diaryFromEnteringToLeaving();
    void everyFieldShowsInItsBoxExactly();
    void aPendingDayIsNeverLost();
    void restoringABackupShowsIt();
    void windowsFitTheScreen();
    void passwordBoxHidesAndForgetsWhatWasTyped();
    void aDiaryThatCannotBeOpenedOffersItsBackups_data();
    void aDiaryThatCannotBeOpenedOffersItsBackups();
    void importingACsv_data();
    void importingACsv();
    void importingWorkoutsFromTheMenu();
    void fileDialogsListFilesInSpanish();
    void anotherComputersCopyIsMergedAndShown();

private:
    ScriptedDialogs m_dialogs;
    ManualClock m_clock{now};
};

void TestWindows::firstRunAsksUntilEveryAnswerIsUsable() {
    fixture::TempDiary diary;
    ProfileWindow window(diary.database(), diary.profiles(), m_dialogs, m_clock);
    m_dialogs.messages.clear();
    // A password mistyped the second time starts the question over.
    // Answers that read but cannot be meant are asked again: a birth date to come, a height in
    // metres, a gym start before the birth.
    m_dialogs.queueInputs({hostileName, "31/02/1990", "20/05/2030", "20/05/1990", "1,80", "1.80",
                           "01/01/1980", "01/01/2020", "corta", "secreto1", "secreto9", "secreto1",
                           "secreto1", "secreto1"});
    m_dialogs.passwordTitles.clear();
    QVERIFY(window.runStartup());
    QCOMPARE(m_dialogs.pendingInputs(), 0);
    QCOMPARE(m_dialogs.messages.size(), 7);
    QCOMPARE(m_dialogs.messages[0], profileanswers::dateError);
    QVERIFY(m_dialogs.messages[1].contains("Todavía No Ha Llegado"));
    QVERIFY(m_dialogs.messages[2].contains("Entre 50 Y 272 Cm"));
    QVERIFY(m_dialogs.messages[3].contains("Anterior A Tu Nacimiento"));
    QCOMPARE(m_dialogs.messages.mid(4),
             (QStringList{"ERROR. Introduce Una Clave De Al Menos Seis Caracteres.",
                          "ERROR. Las Dos Claves No Son Iguales.", sealedNotice}));
    // Every password was asked in a box that hides what is typed.
    QCOMPARE(m_dialogs.passwordTitles.size(), 6);
    QCOMPARE(window.windowTitle(), "Diario De Gimnasio De [[[ " + hostileName + " ]]]");
    QCOMPARE(diary.profiles().load()->birthDate, QStringLiteral("20/05/1990"));
    QCOMPARE(label(&window, "alturacm"), QStringLiteral("180")); // "1.80" in the Spanish form
    QVERIFY(label(&window, "sclave").isEmpty());

    // The diary is on disk from the first start, sealed: nothing typed shows in its bytes.
    const QByteArray sealed = fixture::fileBytes(diary.path());
    QVERIFY(sealedfile::looksSealed(sealed) && !sealed.contains("DROP TABLE"));

    // The next start asks for the password once; a wrong one ends the program.
    diary.database().close();
    QCOMPARE(diary.database().open(diary.path()), DiaryDatabase::Status::Ready);
    ProfileWindow again(diary.database(), diary.profiles(), m_dialogs, m_clock);
    m_dialogs.messages.clear();
    m_dialogs.queueInputs({"secreto2"});
    QVERIFY(!again.runStartup());
    QCOMPARE(again.startupComplete(), 0);
    QCOMPARE(m_dialogs.messages, QStringList{QStringLiteral("¡¡ Fuera De Mi Vista Intrus@ !!")});
    QCOMPARE(fixture::fileBytes(diary.path()), sealed);
}

void TestWindows::diaryFromEnteringToLeaving() {
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile() && diary.close());
    ApplicationController app(diary.database(), diary.profiles(), m_dialogs, m_clock);
    m_dialogs.queueInputs({fixture::password});
    QVERIFY(app.start(diary.path()));
    ProfileWindow &window = *app.profileWindow();
    window.Timer1_Timer();

    // A picture chosen becomes the photo of both windows.
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QTemporaryDir dir;
    QVERIFY(picture.save(dir.filePath(QStringLiteral("yo.png"))));
    // Chosen from the keyboard: Ctrl+F takes the picture as a drop would.
    m_dialogs.queueInputs({dir.filePath(QStringLiteral("yo.png"))});
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(m_dialogs.pendingInputs(), 0);

    // Return on the focused "&Entrar" presses it.
    QTest::keyClick(window.findChild<QPushButton *>("Command1"), Qt::Key_Return);
    QTRY_VERIFY(app.diaryWindow());
    DiaryWindow *form2 = app.diaryWindow();
    QCOMPARE(label(form2, "n"), fixture::profile.name);
    QCOMPARE(label(form2, "fn"), QStringLiteral("domingo, 20 de mayo de 1990"));
    QCOMPARE(label(form2, "fco"), QStringLiteral("sábado, 1 de enero de 2000"));
    QCOMPARE(label(form2, "ac"), QStringLiteral("180 Cm."));
    QCOMPARE(label(form2, "Label6"), QStringLiteral("26 Años, 11 Meses Y 5 Días"));
    QCOMPARE(label(form2, "Label8"), QStringLiteral("36 Años 6 Meses Y 16 Días"));
    QCOMPARE(label(form2, "Label34"), QStringLiteral("Diario De Zorvend"));
    QCOMPARE(form2->findChild<PhotoBox *>("Image1")->picture().pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(cutCaptions(&window), QStringList());
    QVERIFY(looksAsApproved(window.grab(), "profile"));
    QVERIFY(looksAsApproved(windowicon::gimnasioIcon().pixmap(32), "icon"));
    QCOMPARE(cutCaptions(form2), QStringList());

    // Two days added; each save counts the days and locks the boxes again.
    for (const char *date : {"", "01/12/2026"}) {
        QTest::mouseClick(form2->findChild<QPushButton *>("Command4"), Qt::LeftButton);
        QCOMPARE(textOf(box(form2, Fh)), QStringLiteral("06/12/2026"));
        if (*date)
            static_cast<QLineEdit *>(box(form2, Fh))->setText(QLatin1String(date));
        QTest::keyClicks(box(form2, Peski), QLatin1String(*date ? "95" : "80"));
        QTest::keyClicks(box(form2, Comi), QStringLiteral("Lentejas Con Chorizo"));
        QTest::keyClicks(box(form2, Eldiario), QStringLiteral("Hoy Pierna A Tope"));
        QVERIFY(!form2->findChild<QPushButton *>("Command5")->isEnabled());
        QTest::mouseClick(form2->findChild<QPushButton *>("Command3"), Qt::LeftButton);
        QVERIFY(static_cast<QLineEdit *>(box(form2, Peski))->isReadOnly());
    }
    QCOMPARE(label(form2, "Label33"), QStringLiteral("2 Días"));
    // Coming back from another program keeps the day shown; coming back from the profile window
    // refreshes the summary, which shows the first day again.
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(form2, &activate);
    form2->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form2)); // the shortcut goes to the active window
    QTest::keyClick(form2, Qt::Key_End, Qt::AltModifier);
    QCoreApplication::sendEvent(form2, &activate);
    QCOMPARE(form2->days().currentRow(), 1);
    QCoreApplication::sendEvent(&window, &activate);
    QCoreApplication::sendEvent(form2, &activate);
    QCOMPARE(form2->days().currentRow(), 0);
    form2->findChild<QAction *>("porpeso")->trigger();
    QCOMPARE(textOf(box(form2, Peski)), QStringLiteral("95"));

    // Statistics of both kinds, each with its notice.
    m_dialogs.messages.clear();
    QTest::mouseClick(form2->findChild<QPushButton *>("Command5"), Qt::LeftButton);
    QTest::mouseClick(form2->findChild<QPushButton *>("Command6"), Qt::LeftButton);
    QCOMPARE(m_dialogs.messages,
             (QStringList{statsexport::singleFileDone, statsexport::perDayFilesDone}));
    QVERIFY(fixture::fileBytes(diary.folder() + u'/' + statsexport::singleFileName)
                .contains(QByteArray("B.D 2 D\xED"
                                     "as\r\n")));
    QVERIFY(QFile::exists(diary.folder() + QStringLiteral("/martes1dediciembrede2026.TxT")));

    // "No" keeps the day; "Sí" deletes it.
    m_dialogs.queueAnswers({false, true});
    QTest::mouseClick(form2->findChild<QPushButton *>("Command2"), Qt::LeftButton);
    QCOMPARE(form2->days().storedCount(), 2);
    QTest::mouseClick(form2->findChild<QPushButton *>("Command2"), Qt::LeftButton);
    QCOMPARE(label(form2, "Label33"), QStringLiteral("1 Días"));
    QCOMPARE(m_dialogs.questionTitles, QStringList(2, QStringLiteral("Gimnasio Por ^Zorvend^")));

    // Every change is on disk at once, sealed.
    const QByteArray sealed = fixture::fileBytes(diary.path());
    for (const char *typed : {"Zorvend", "Lentejas", "Pierna", "01/12/2026"})
        QVERIFY2(!sealed.contains(typed), typed);

    // A new password: asked until long enough, then twice; the old one no longer opens the diary.
    m_dialogs.messages.clear();
    m_dialogs.queueInputs({fixture::password, "corta", "secreto3", "secreto3"});
    form2->findChild<QAction *>("changePasswordAction")->trigger();
    QCOMPARE(m_dialogs.messages.size(), 2);
    QVERIFY(m_dialogs.messages.last().startsWith("Tu Clave Ha Cambiado."));
    m_dialogs.queueInputs({"secreto3", "secreto4", "secreto5", "secreto4"});
    form2->findChild<QAction *>("changePasswordAction")->trigger();
    form2->findChild<QAction *>("changePasswordAction")->trigger();
    QCOMPARE(m_dialogs.messages.mid(2),
             (QStringList{"ERROR. Las Dos Claves No Son Iguales. Tu Clave No Ha Cambiado.",
                          "ERROR. Tu Clave Actual No Es Esa. Tu Clave No Ha Cambiado."}));

    // The profile corrected from the menu: a height in metres shows the form again with what was
    // typed, Cancel then stores nothing; what is stored shows at once in both windows.
    m_dialogs.messages.clear();
    const QStringList metres{"Ana", "20/05/1991", "1,75", "01/01/2001"};
    m_dialogs.queueInputs(metres);
    form2->findChild<QAction *>("editProfileAction")->trigger();
    QCOMPARE(m_dialogs.formValues.last(), metres);
    QVERIFY(m_dialogs.messages.value(0).contains("Entre 50 Y 272 Cm"));
    QCOMPARE(diary.profiles().load()->name, fixture::profile.name);
    m_dialogs.queueInputs({"Ana", "20/05/1991", "175", "01/01/2001"});
    form2->findChild<QAction *>("editProfileAction")->trigger();
    QCOMPARE(m_dialogs.formValues.last(),
             (QStringList{"Zorvend", "20/05/1990", "180", "01/01/2000"}));
    QCOMPARE(diary.profiles().load()->height, QStringLiteral("175"));
    QCOMPARE(
        (QStringList{label(form2, "n"), label(form2, "ac"), label(form2, "fn"),
                     label(form2, "Label34"), label(&window, "alturacm"), window.windowTitle()}),
        (QStringList{"Ana", "175 Cm.", "lunes, 20 de mayo de 1991", "Diario De Ana", "175",
                     "Diario De Gimnasio De [[[ Ana ]]]"}));

    // A backup now, and a copy where the user chooses: both sealed, and the menu says when.
    m_dialogs.messages.clear();
    form2->findChild<QAction *>("backupNowAction")->trigger();
    const QString copy = diary.folder() + QStringLiteral("/usb/copia.db");
    QVERIFY(QDir().mkpath(diary.folder() + QStringLiteral("/usb")));
    m_dialogs.queueInputs({copy});
    form2->findChild<QAction *>("saveCopyAction")->trigger();
    QCOMPARE(m_dialogs.messages.size(), 2);
    QVERIFY(m_dialogs.messages[0].startsWith(QStringLiteral("Copia De Seguridad Hecha En:")));
    QVERIFY(sealedfile::looksSealed(fixture::fileBytes(copy)));
    form2->findChild<QMenu *>("diario")->aboutToShow();
    QVERIFY(form2->findChild<QAction *>("backupStateAction")
                ->text()
                .startsWith(QStringLiteral("Última copia: 06/12/2026 ")));

    // The days leave the diary unencrypted only when asked, after a word about it.
    m_dialogs.saveFilter = QStringLiteral("Estándar (*.csv)");
    m_dialogs.queueAnswers({false, true});
    m_dialogs.queueInputs({diary.folder() + QStringLiteral("/usb/diario")});
    form2->findChild<QAction *>("exportCsvAction")->trigger(); // "No": no file is asked for
    QCOMPARE(m_dialogs.pendingInputs(), 1);
    form2->findChild<QAction *>("exportCsvAction")->trigger();
    m_dialogs.saveFilter.clear();
    QVERIFY(fixture::fileBytes(diary.folder() + QStringLiteral("/usb/diario.csv"))
                .startsWith("fecha,horas_gimnasio,"));
    m_dialogs.queueAnswers({true});
    m_dialogs.queueInputs({diary.folder() + QStringLiteral("/usb/plano.sqlite")});
    form2->findChild<QAction *>("exportPlainAction")->trigger();
    const QByteArray plain =
        fixture::fileBytes(diary.folder() + QStringLiteral("/usb/plano.sqlite"));
    QVERIFY(plain.startsWith("SQLite format 3") && plain.contains("Lentejas Con Chorizo"));
    QVERIFY(m_dialogs.messages.filter(QStringLiteral("ERROR")).isEmpty());

    // A screen reader names every control of the three windows.
    form2->findChild<QAction *>("showProgressAction")->trigger();
    for (QWidget *shown : {static_cast<QWidget *>(&window), static_cast<QWidget *>(form2),
                           form2->findChild<QWidget *>("progreso")})
        QCOMPARE(unnamedControls(shown).join(u","), QString());

    // Escape leaves the diary as "&Salir" does.
    QPointer<DiaryWindow> watched(form2);
    QTest::keyClick(form2, Qt::Key_Escape);
    QTRY_VERIFY(!watched);
    diary.database().close();
    QCOMPARE(fixture::openWith(diary.database(), diary.path()),
             DiaryDatabase::Status::WrongPassword);
    diary.database().close();
    QCOMPARE(fixture::openWith(diary.database(), diary.path(), "secreto3"),
             DiaryDatabase::Status::Ready);
    QCOMPARE(fixture::columnInOrder(diary.db(), orderStatement(ByDate), fields[Comi].column),
             QStringList{"Lentejas Con Chorizo"});
}

void TestWindows::everyFieldShowsInItsBoxExactly() {
    fixture::TempDiary diary;
    // Every box its own text: the multi-line ones (written in pieces) hostile to file formats,
    // engines and text boxes alike, the single-line ones short so that their alignment shows.
    DayTexts day;
    for (int field = 0; field < BoxCount; ++field)
        day[field] = fields[field].section == Section::Value
                         ? QStringLiteral("%1,5'").arg(field)
                         : hostileName.arg(field) + QStringLiteral("\nlínea");
    day[Fh] = QStringLiteral("05/12/2026");
    QVERIFY(diary.addDays({day}));
    ProfileSummary summary;
    DiaryWindow form2(diary.database(), diary.profiles(), summary, m_dialogs, m_clock);
    form2.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form2));
    QVERIFY(looksAsApproved(form2.grab(), "diary"));
    for (int field = 0; field < BoxCount; ++field) {
        QWidget *shown = box(&form2, Box(field));
        QVERIFY2(shown, fields[field].box);
        QCOMPARE(textOf(shown), day[field]);
    }
}

void TestWindows::aPendingDayIsNeverLost() {
    fixture::TempDiary diary;
    QVERIFY(diary.addDays({fixture::day({{Fh, "01/12/2026"}})}));
    ProfileSummary summary;
    QPointer<DiaryWindow> form2 =
        new DiaryWindow(diary.database(), diary.profiles(), summary, m_dialogs, m_clock);
    // "&Añadir" puts the typing in the date box; a move drops the day it began, left untouched.
    form2->Command4_Click();
    QCOMPARE(form2->focusWidget(), box(form2, Fh));
    form2->moveFirst();
    QVERIFY(!form2->isAddingDay());
    QCOMPARE(form2->days().storedCount(), 1);
    // Without a date but with text typed, no move is made and a message asks for a date.
    form2->Command4_Click();
    static_cast<QLineEdit *>(box(form2, Fh))->clear();
    QTest::keyClicks(box(form2, Eldiario), QStringLiteral("hoy"));
    m_dialogs.messages.clear();
    form2->moveFirst();
    form2->porhoras_Click();
    QCOMPARE(m_dialogs.messages.size(), 2);
    QCOMPARE(textOf(box(form2, Eldiario)), QStringLiteral("hoy"));
    // "&Grabar" drops a day without a date; closing stores one changed after "&Añadir".
    form2->Command3_Click();
    QCOMPARE(textOf(box(form2, Fh)), QStringLiteral("01/12/2026"));
    form2->Command4_Click();
    QTest::keyClicks(box(form2, Peski), QStringLiteral("80"));
    form2->close();
    QTRY_VERIFY(!form2);
    QCOMPARE(fixture::columnInOrder(diary.db(), orderStatement(ByDate), fields[Peski].column),
             (QStringList{"", "80"}));
}

// Run once as it is and once on a 1280×1024 screen at twice the scale (tests/CMakeLists.txt):
// every window lies inside the available area, and a design larger than it scrolls.
void TestWindows::windowsFitTheScreen() {
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile() && diary.close());
    ApplicationController app(diary.database(), diary.profiles(), m_dialogs, m_clock);
    m_dialogs.queueInputs({fixture::password});
    QVERIFY(app.start(diary.path()));
    ProfileWindow &window = *app.profileWindow();
    window.Command1_Click();
    for (const char *action : {"showProgressAction", "searchAction", "showCalendarAction"})
        app.diaryWindow()->findChild<QAction *>(action)->trigger();
    const QRect available = window.screen()->availableGeometry();
    for (QWidget *shown :
         {static_cast<QWidget *>(&window), static_cast<QWidget *>(app.diaryWindow()),
          app.diaryWindow()->findChild<QWidget *>("progreso"),
          app.diaryWindow()->findChild<QWidget *>("buscar"),
          app.diaryWindow()->findChild<QWidget *>("calendario")}) {
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QVERIFY2(available.contains(shown->frameGeometry()), qPrintable(shown->objectName()));
    }
    const QWidget *design = app.diaryWindow()->centralWidget();
    QCOMPARE(design->objectName() == QLatin1String("designScroll"),
             available.height() < twips::toPixels(7740));
}

void TestWindows::restoringABackupShowsIt() {
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile() && diary.addDays({fixture::day({{Fh, "05/12/2026"}})}));
    QVERIFY(diary.close());
    ApplicationController app(diary.database(), diary.profiles(), m_dialogs, m_clock);
    m_dialogs.queueInputs({fixture::password});
    QVERIFY(app.start(diary.path()));
    ProfileWindow &window = *app.profileWindow();
    window.Command1_Click();
    QPointer<DiaryWindow> before(app.diaryWindow());
    before->findChild<QAction *>("backupNowAction")->trigger();
    QVERIFY(before->days().beginDay() &&
            before->days().storePending(fixture::day({{Fh, "06/12/2026"}})));

    // The backup of one day chosen from the list: the diary of two days is backed up first (in
    // the same second, under the next second's name), and the windows show the one day. What was
    // checked is what is restored, whatever becomes of the file while the question is open.
    const QString copias = backups::folderOf(diary.path());
    const QString byHand = backups::list(copias).front().path;
    m_dialogs.whileAsking = [&] { QVERIFY(fixture::damage(byHand)); };
    m_dialogs.messages.clear();
    m_dialogs.queueInputs({"#0"});
    m_dialogs.queueAnswers({true});
    before->findChild<QAction *>("restoreAction")->trigger();
    QTRY_VERIFY(!before && app.diaryWindow());
    QCOMPARE(m_dialogs.shownItems.size(), 1);
    QCOMPARE(app.diaryWindow()->days().storedCount(), 1);
    QCOMPARE(label(app.diaryWindow(), "Label33"), QStringLiteral("1 Días"));
    QCOMPARE(m_dialogs.messages,
             QStringList{QStringLiteral("Copia Restaurada. El Diario Es Ahora El De La Copia.")});

    // A CSV of two new days imported after a look at what it brings.
    const QString csv = diary.folder() + QStringLiteral("/nuevos.csv");
    QFile file(csv);
    QVERIFY(file.open(QIODevice::WriteOnly) &&
            file.write("fecha;peso\r\n07/12/2026;80\r\n08/12/2026;79,5\r\nmal;1\r\n") > 0);
    file.close();
    QPointer<DiaryWindow> importing(app.diaryWindow());
    m_dialogs.messages.clear();
    m_dialogs.queueInputs({csv, "#0"});
    importing->findChild<QAction *>("importCsvAction")->trigger();
    QCOMPARE(label(importing, "Label33"), QStringLiteral("3 Días"));
    QVERIFY(m_dialogs.messages.last().startsWith(QStringLiteral("Importación Hecha: 2 Días")));

    // A backup by hand and one on leaving the same day keep the backup the undo needs, and the
    // list tells every backup apart by its second and its kind; Cancel there restores nothing.
    importing->findChild<QAction *>("backupNowAction")->trigger();
    Failure error;
    QVERIFY(backups::makeBackup(diary.database(), now, backups::Kind::AtExit, &error));
    m_dialogs.queueInputs({""});
    importing->findChild<QAction *>("restoreAction")->trigger();
    QCOMPARE(m_dialogs.shownItems.replaceInStrings(QRegularExpression(" · [0-9,]+ KiB"), ""),
             (QStringList{"06/12/2026 10:00:04 · 3 Días · Al Salir",
                          "06/12/2026 10:00:03 · 3 Días · A Mano",
                          "06/12/2026 10:00:02 · 1 Días · Antes De Importar",
                          "06/12/2026 10:00:01 · 2 Días · Antes De Restaurar",
                          "06/12/2026 10:00:00 · Dañada · A Mano"}));

    // After a new password the undo asks for the one its backup was made with. It is done only
    // once the diary of now is backed up (a folder that refuses the backup stops it), and the
    // summary and the charts that were open show the diary of before.
    m_dialogs.queueInputs({fixture::password, "secreto3", "secreto3"});
    importing->findChild<QAction *>("changePasswordAction")->trigger();
    importing->findChild<QAction *>("showProgressAction")->trigger();
    if (fixture::setWritable(copias, false)) {
        m_dialogs.queueInputs({fixture::password});
        m_dialogs.queueAnswers({true});
        importing->findChild<QAction *>("undoImportAction")->trigger();
        fixture::setWritable(copias, true);
        QCoreApplication::processEvents();
        QVERIFY(importing && importing->days().storedCount() == 3);
        QVERIFY(m_dialogs.messages.last().startsWith(QStringLiteral("ERROR. No Se Ha Deshecho")));
    }
    m_dialogs.queueInputs({fixture::password});
    m_dialogs.queueAnswers({true});
    importing->findChild<QAction *>("undoImportAction")->trigger();
    QTRY_VERIFY(!importing && app.diaryWindow());
    QCOMPARE(app.diaryWindow()->days().storedCount(), 1);
    QCOMPARE(label(app.diaryWindow(), "Label33"), QStringLiteral("1 Días"));
    QVERIFY(app.progressWindow() && app.progressWindow()->isVisible());
    app.diaryWindow()->close();
}

// The real password box: what is typed is hidden, given back once, and overwritten in the box
// (and so in every copy taken from it) before the box goes.
void TestWindows::passwordBoxHidesAndForgetsWhatWasTyped() {
    QString seen;
    QLineEdit::EchoMode echo = QLineEdit::Normal;
    QTimer::singleShot(0, this, [&] {
        auto *box = QApplication::activeModalWidget()->findChild<QLineEdit *>();
        QTest::keyClicks(box, QStringLiteral("secreto1"));
        echo = box->echoMode();
        seen = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    QtDialogs dialogs;
    QCOMPARE(dialogs.passwordBox(nullptr, QStringLiteral("Introduce Tu Clave"), {}),
             QStringLiteral("secreto1"));
    QCOMPARE(echo, QLineEdit::Password);
    QCOMPARE(seen, QString(8, QChar(0)));
}

void TestWindows::aDiaryThatCannotBeOpenedOffersItsBackups_data() {
    // The diary's harm; what the user does, in order ("#n" chooses, "Esc" cancels, "Sí" answers
    // the question, anything else is typed); what comes of it; a message that must have been
    // shown. The backups were made with "secreto1", the diary's own password is now "secreto9".
    columns<QString, QString, QString, QString>("harm", "script", "outcome", "told");
    row("damaged header", u"header"_s, u"#0|secreto1|Sí|secreto1"_s, u"restored"_s,
        u"Apartado, Sin Borrar, En:"_s);
    row("not a diary", u"text"_s, u"#0|secreto1|Sí|secreto1"_s, u"restored"_s,
        u"No Es Una Base De Datos"_s);
    row("damaged inside, found at the login", u"body"_s, u"secreto9|#0|secreto1|Sí|secreto1"_s,
        u"restored"_s, u"Está Dañado"_s);
    row("missing, a backup chosen", u"missing"_s, u"#0|#0|secreto1|Sí|secreto1"_s, u"restored"_s,
        u"Entra Con La Clave De La Copia"_s);
    row("missing, a new diary chosen", u"missing"_s, u"#1"_s, u"new"_s, u""_s);
    row("missing, escape", u"missing"_s, u"Esc"_s, u"ends"_s, u""_s);
    row("escape at the list", u"header"_s, u"Esc"_s, u"ends"_s, u"Está Dañado"_s);
    row("escape at the password", u"header"_s, u"#0|Esc"_s, u"ends"_s, u""_s);
    row("no at the question", u"header"_s, u"#0|secreto1"_s, u"ends"_s, u""_s);
    row("wrong password, then escape", u"header"_s, u"#0|secreto9|Esc"_s, u"ends"_s,
        u"Esa No Es La Clave De La Copia"_s);
    row("a damaged backup, then a whole one", u"header"_s, u"#1|secreto1|#0|secreto1|Sí|secreto1"_s,
        u"restored"_s, u"La Copia Está Dañada"_s);
    row("no backups", u"nocopies"_s, u""_s, u"ends"_s, u"Está Dañado"_s);
}

void TestWindows::aDiaryThatCannotBeOpenedOffersItsBackups() {
    const auto [harm, script, outcome, told] =
        fetch<QString, QString, QString, QString>("harm", "script", "outcome", "told");
    // Made once for every row: a diary of two days under its second password, a whole backup of
    // one day made by hand, and a damaged one made the day before.
    static fixture::TempDiary made;
    const QString madeCopias = backups::folderOf(made.path());
    Failure error;
    if (!QFileInfo::exists(madeCopias)) {
        QVERIFY(
            made.addProfile() && made.addDays({fixture::day({{Fh, "05/12/2026"}})}) &&
            made.reopen() == DiaryDatabase::Status::Ready &&
            backups::makeBackup(made.database(), now.addDays(-1), backups::Kind::AtExit, &error) &&
            backups::makeBackup(made.database(), now, backups::Kind::ByHand, &error) &&
            made.addDays({fixture::day({{Fh, "06/12/2026"}})}) &&
            made.profiles().changePassword("secreto1", "secreto9") ==
                ProfileStore::PasswordChange::Changed);
        made.database().close();
        QVERIFY(fixture::damage(backups::list(madeCopias).back().path));
    }
    fixture::TempDiary diary;
    DiaryDatabase &database = diary.database();
    database.close();
    QVERIFY(QFile::copy(made.path(), diary.path()) &&
            QDir().mkpath(backups::folderOf(diary.path())));
    for (const backups::Backup &backup : backups::list(madeCopias))
        QVERIFY(QFile::copy(backup.path, backups::folderOf(diary.path()) + u'/' +
                                             QFileInfo(backup.path).fileName()));
    const QString whole = backups::list(backups::folderOf(diary.path())).front().path;

    QByteArray bytes = fixture::fileBytes(diary.path());
    const qsizetype at = harm == "header" || harm == "nocopies" ? 45 : bytes.size() * 3 / 4;
    bytes[at] = char(bytes[at] ^ 0x5a);
    QFile file(diary.path());
    QVERIFY(harm == "missing" ? file.remove()
                              : file.open(QIODevice::WriteOnly) &&
                                    file.write(harm == "text" ? "No es un diario." : bytes) > 0);
    file.close();
    QVERIFY(harm != "nocopies" || QDir(backups::folderOf(diary.path())).removeRecursively());
    const QByteArray harmed = fixture::fileBytes(diary.path());
    const QStringList copies = QDir(backups::folderOf(diary.path())).entryList(QDir::Files);

    m_dialogs.messages.clear();
    for (const QString &step : script.split(u'|', Qt::SkipEmptyParts))
        step == u"Sí" ? m_dialogs.queueAnswers({true})
                      : m_dialogs.queueInputs({step == u"Esc" ? QString() : step});
    const bool opened = DiaryRescue(database, m_dialogs, m_clock).open(diary.path());
    const bool loggedIn = opened && database.source() == DiaryDatabase::Source::Sealed &&
                          ProfileStartup(database, diary.profiles(), m_dialogs, m_clock).run() ==
                              ProfileStartup::Outcome::Ready;
    QCOMPARE(loggedIn ? u"restored"_s : opened ? u"new"_s : u"ends"_s, outcome);
    QCOMPARE(m_dialogs.pendingInputs(), 0);
    QVERIFY(m_dialogs.messages.join(u'\n').contains(told));
    const QStringList aside = QDir(diary.folder()).entryList({"*.dañado-*"});
    if (loggedIn) {
        QCOMPARE(fixture::fileBytes(diary.path()), fixture::fileBytes(whole));
        QCOMPARE(fixture::columnInOrder(diary.db(), orderStatement(ByDate), fields[Fh].column),
                 QStringList{"05/12/2026"});
        QCOMPARE(aside.size(), harm == "missing" ? 0 : 1);
        QVERIFY(aside.isEmpty() || fixture::fileBytes(diary.folder() + u'/' + aside[0]) == harmed);
    } else {
        QCOMPARE(fixture::fileBytes(diary.path()), harmed);
        QCOMPARE(aside, QStringList());
        QCOMPARE(QDir(backups::folderOf(diary.path())).entryList(QDir::Files), copies);
    }
}

// "Importar CSV...": what the preview announces is what is stored, the stored days are counted,
// and every refusal or cancel leaves the diary as it was.
void TestWindows::importingACsv_data() {
    columns<QByteArray, QStringList, QList<int>, QString, QString, int>(
        "csv", "inputs", "cancels", "preview", "message", "days"); // days stored after
    QByteArray binary(65536, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(binary.data()), binary.size() / 4);
    const QString done = QStringLiteral("Importación Hecha: %1 Días Nuevos, %2 Reemplazados, 0 "
                                        "Rellenados, 0 Saltados, 0 Sin Cambios Y %3 Filas "
                                        "Rechazadas. \"Deshacer Última Importación\" Vuelve Al "
                                        "Diario De Antes.");
    const QString cancelled = QStringLiteral("Importación Cancelada. No Se Ha Importado Nada.");
    const QByteArray unclosed = "fecha;peso\r\n07/12/2026;\"80\r\n08/12/2026;79\r\n05/12/26;81\r\n";
    const QList<int> none;
    row("quote left open", unclosed, QStringList{"@", "#1"}, none,
        QStringLiteral("Días Nuevos: 1\nDías Con Una Fecha Que Ya Está En El Diario: 1\nFilas "
                       "Rechazadas: 1\nLínea 2: \"07/12/2026 80\": Abre Unas Comillas Que No Se "
                       "Cierran."),
        done.arg(1).arg(1).arg(1), 3);
    row("into an empty diary", QByteArray("fecha\n07/12/2026\n08/12/2026\n"),
        QStringList{"empty", "@", "#0"}, none, QString(), done.arg(2).arg(0).arg(0), 2);
    row("binary file", binary, QStringList{"@"}, none, QString(),
        "ERROR. El Archivo No Tiene La Columna \"fecha\" En Su Primera Línea.", 2);
    row("empty file", QByteArray(), QStringList{"@"}, none, QString(),
        QStringLiteral("ERROR. El Archivo Está Vacío."), 2);
    row("cancel at the file dialog", unclosed, QStringList{""}, none, QString(), QString(), 2);
    row("cancel while reading", unclosed, QStringList{"@"}, QList<int>{1}, QString(), cancelled, 2);
    row("cancel at the preview", unclosed, QStringList{"@", ""}, none, QString(), QString(), 2);
    row("cancel while storing", unclosed, QStringList{"@", "#0"}, QList<int>{-1, 1}, QString(),
        cancelled, 2);
}

void TestWindows::importingACsv() {
    auto [csv, inputs, cancels, preview, message, days] =
        fetch<QByteArray, QStringList, QList<int>, QString, QString, int>(
            "csv", "inputs", "cancels", "preview", "message", "days");
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile());
    if (inputs.first() != u"empty")
        QVERIFY(
            diary.addDays({fixture::day({{Fh, "5/12/2026"}}), fixture::day({{Fh, "06/12/2026"}})}));
    else
        inputs.removeFirst();
    QCOMPARE(diary.reopen(), DiaryDatabase::Status::Ready);
    const QByteArray before = fixture::fileBytes(diary.path());
    const QString path = diary.folder() + QStringLiteral("/dias.csv");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size());
    file.close();
    DayStore stored(diary.database());
    QVERIFY(stored.open());
    m_dialogs.messages.clear();
    m_dialogs.shownPrompt.clear();
    m_dialogs.queueInputs(inputs.replaceInStrings(QStringLiteral("@"), path));
    m_dialogs.progressCancels = cancels;
    const bool imported = CsvFlow(diary.database(), stored, m_dialogs, m_clock).importCsv(nullptr);
    QCOMPARE(m_dialogs.pendingInputs() + m_dialogs.progressCancels.size(), 0);
    if (!preview.isEmpty())
        QCOMPARE(m_dialogs.shownPrompt.section(QStringLiteral("\n\n"), 0, 0), preview);
    QCOMPARE(m_dialogs.messages, message.isEmpty() ? QStringList() : QStringList(message));
    QCOMPARE(imported, message.startsWith(QStringLiteral("Importación Hecha")));
    QCOMPARE(stored.storedCount(), days);
    if (!message.startsWith(QStringLiteral("Importación Hecha")))
        QCOMPARE(fixture::fileBytes(diary.path()), before); // nothing written
}

// "Importar Entrenamientos..." from the diary window's menu: a Strong file chosen, its preview,
// the workout added after a stored day's text (its weight untouched) and written into a new day,
// in the diary file itself, after a backup.
void TestWindows::importingWorkoutsFromTheMenu() {
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile() &&
            diary.addDays({fixture::day({{Fh, "05/12/2026"}, {Peski, "80"}, {Qhash, "Correr"}})}) &&
            diary.close());
    const QString csv = diary.folder() + QStringLiteral("/strong.csv");
    QFile file(csv);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Date,Workout Name,Duration,Exercise Name,Set Order,Weight,Reps,Distance,Seconds,"
               "Notes,Workout Notes,RPE\n2026-12-05 10:00:00,A,1h,Squat (Barbell),W,40,10,0,0,,,\n"
               "2026-12-05 10:00:00,A,1h,Squat (Barbell),1,80,5,0,0,,,\n"
               "2026-12-06 09:00:00,B,1h,Pull Up,1,0,8,0,0,,,\n"
               "2026-12-06 09:00:00,B,1h,Pull Up,2,abc,8,0,0,,,\n");
    file.close();
    ApplicationController app(diary.database(), diary.profiles(), m_dialogs, m_clock);
    m_dialogs.queueInputs({fixture::password});
    QVERIFY(app.start(diary.path()));
    app.profileWindow()->Command1_Click();
    DiaryWindow *form2 = app.diaryWindow();
    m_dialogs.messages.clear();
    m_dialogs.queueInputs({csv, "#1"}); // add the workout after the day's text
    form2->findChild<QAction *>("importWorkoutsAction")->trigger();
    QCOMPARE(m_dialogs.pendingInputs(), 0);
    QCOMPARE(m_dialogs.shownPrompt,
             "Archivo De Strong: 2 Series\nDías Sin Texto En \"Que Has Hecho\": 1\nDías Que Ya "
             "Tienen Texto: 1\nSeries De Calentamiento Sin Contar: 1\nSeries Sin Repeticiones "
             "Sin Contar: 0\nNotas De Cardio: 0\nFilas Rechazadas: 1\nLínea 5, Weight: \"abc\": "
             "No Es Un Número.\n\n¿Qué Hago Con Los Días Que Ya Tienen Texto?");
    QCOMPARE(m_dialogs.messages,
             QStringList("Importación Hecha: 1 Días Nuevos, 0 Rellenados, 1 Con El Entrenamiento "
                         "Añadido, 0 Reemplazados, 0 Sin Cambios Y 1 Filas Rechazadas. \"Deshacer "
                         "Última Importación\" Vuelve Al Diario De Antes."));
    QCOMPARE(form2->days().storedCount(), 2);
    QCOMPARE(QDir(backups::folderOf(diary.path())).entryList({"*Antes De Importar.db"}).size(), 1);
    // The file the program wrote, opened on its own.
    QTemporaryDir elsewhere;
    const QString copy = elsewhere.filePath(DiaryDatabase::defaultFileName());
    QVERIFY(QFile::copy(diary.path(), copy));
    DiaryDatabase written;
    QCOMPARE(fixture::openWith(written, copy), DiaryDatabase::Status::Ready);
    QStringList days;
    for (const Box box : {Fh, Peski, Qhash})
        days += fixture::columnInOrder(written.connection(), orderStatement(ByDate),
                                       fields[box].column);
    QCOMPARE(days, (QStringList{"05/12/2026", "06/12/2026", "80", "", "Correr\nSentadilla 1x5 80",
                                "Dominadas 1x8"}));
    form2->close();
}

// Qt's own file dialog (the offscreen platform has no other) lists a folder and a file with
// their types and dates in Spanish, and gives the file chosen.
void TestWindows::fileDialogsListFilesInSpanish() {
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("dias.csv"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Copias")) &&
            QFile(csv).open(QIODevice::WriteOnly));
    const auto shown = [] {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QFileDialog *>(widget); dialog && dialog->isVisible())
                return dialog;
        return static_cast<QFileDialog *>(nullptr);
    };
    QStringList listed;
    QTimer::singleShot(0, this, [&] {
        const auto close = qScopeGuard([&] { // whatever happens, no test waits on the dialog
            if (QFileDialog *dialog = shown())
                dialog->reject();
        });
        QTRY_VERIFY(shown());
        shown()->setDirectory(dir.path());
        const QTreeView *view = shown()->findChild<QTreeView *>();
        QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 2);
        for (int row = 0; row < 2; ++row) {
            const QModelIndex name = view->model()->index(row, 0, view->rootIndex());
            listed += name.data().toString() + u'|' + name.siblingAtColumn(2).data().toString() +
                      u'|' + name.siblingAtColumn(3).data().toString();
        }
        auto *name = shown()->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        name->setText(QStringLiteral("dias.csv"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    QCOMPARE(QtDialogs().openFileName(nullptr, QStringLiteral("Importar CSV"), "(*)"), csv);
    const auto made = [&](const char *name) {
        return QFileInfo(dir.filePath(name)).lastModified().toString(u"dd/MM/yyyy HH:mm");
    };
    listed.sort();
    QCOMPARE(listed, (QStringList{"Copias|Carpeta|" + made("Copias"),
                                  "dias.csv|Archivo CSV|" + made("dias.csv")}));
}

// The other computer changed the day on display and added one; the sync tool set its file aside
// as a conflict copy. The copy is found, merged when the user says so and put away in Copias, and
// the diary window shows the merged days and their count at once, on the day it was showing.
void TestWindows::anotherComputersCopyIsMergedAndShown() {
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile() &&
            diary.addDays({fixture::day({{Fh, "31/12/2025"}}),
                           fixture::day({{Fh, "01/01/2026"}, {Desa, "pan"}})}) &&
            diary.close());
    QTemporaryDir elsewhere;
    const QString other = elsewhere.filePath(DiaryDatabase::defaultFileName());
    QVERIFY(QFile::copy(diary.path(), other));
    {
        DiaryDatabase computer;
        QCOMPARE(fixture::openWith(computer, other), DiaryDatabase::Status::Ready);
        computer.clock().setNode(computer.clock().node() + 1);
        QString error;
        QVERIFY(diarychange::commitThenSave(
            computer,
            [&](QString *) {
                return QSqlQuery(computer.connection())
                           .exec(
                               R"(UPDATE "El Día A Día En El Gimnasio" SET "Desayuno" = 'leche' WHERE "Desayuno" = 'pan')") &&
                       fixture::insertDays(computer.connection(),
                                           {fixture::day({{Fh, "02/01/2026"}})});
            },
            &error));
    }
    ApplicationController app(diary.database(), diary.profiles(), m_dialogs, m_clock);
    m_dialogs.queueInputs({fixture::password});
    QVERIFY(app.start(diary.path()));
    app.profileWindow()->Command1_Click();
    DiaryWindow *form2 = app.diaryWindow();
    auto *breakfast = form2->findChild<QPlainTextEdit *>(fields[Desa].box);
    QVERIFY(breakfast && QTest::qWaitForWindowActive(form2));
    form2->days().toNext();
    QCOMPARE(breakfast->toPlainText(), "pan");
    const QString name =
        QFileInfo(diary.path()).completeBaseName() + ".sync-conflict-20261207-101010-PORTATIL.db";
    m_dialogs.queueAnswers({true});
    QVERIFY(QFile::copy(other, QDir(diary.folder()).filePath(name)));
    QTRY_COMPARE(form2->days().storedCount(), 3);
    QCOMPARE(form2->findChild<QLineEdit *>(fields[Fh].box)->text(), "01/01/2026");
    QTRY_COMPARE(breakfast->toPlainText(), "leche");
    QCOMPARE(label(form2, "Label33"), QStringLiteral("3 Días"));
    QVERIFY(QFile::exists(QDir(backups::folderOf(diary.path())).filePath(name)));
    QVERIFY(!QFile::exists(QDir(diary.folder()).filePath(name)));
    QVERIFY(m_dialogs.messages.last().startsWith("1 Copias Combinadas"));
    form2->findChild<QAction *>("conflictsAction")->trigger();
    QCOMPARE(m_dialogs.messages.last(), "No Hay Conflictos.");
    form2->close();
}

QTEST_MAIN(TestWindows)
#include "test_windows.moc"

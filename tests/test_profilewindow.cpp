#include "closinganimation.h"
#include "dayfields.h"
#include "diarydatabase.h"
#include "diarywindow.h"
#include "manualclock.h"
#include "password.h"
#include "photo.h"
#include "photobox.h"
#include "profilewindow.h"
#include "scripteddialogs.h"
#include "twips.h"
#include "windowicon.h"

#include <QApplication>
#include <QBuffer>
#include <QDropEvent>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <sys/stat.h>

namespace {

const QString secret = QStringLiteral("secreto1");

QLabel *label(const QWidget &window, const char *name) {
    return window.findChild<QLabel *>(QLatin1String(name));
}

QImage solid(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QString writeImage(const QTemporaryDir &dir, const QString &name, const QImage &image) {
    const QString path = dir.filePath(name);
    return image.save(path) ? path : QString();
}

QString writeBytes(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

} // namespace

class TestProfileWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowLayout();
    void labelLooks_data();
    void labelLooks();
    void rulingLines_data();
    void rulingLines();
    void longNameKeepsGeometry();

    void tickFillsClockFields();
    void tickOnGymStartDay();
    void tickWithGymStartAfterToday();
    void ticksBeforeStartupDoNothing();
    void tickWithStoredNonDates_data();
    void tickWithStoredNonDates();
    void timerRunsEverySecond();

    void photoDropStoresFirstFile();
    void photoDropIgnoresWhatIsNoPicture_data();
    void photoDropIgnoresWhatIsNoPicture();
    void photoComesBackAfterReopening();
    void damagedStoredPhotoShowsEmptyBox();

    void enterOpensDiaryOnce();
    void closeBoxHidesProfileAndKeepsDiary();
    void leaveClosesBothWindows();
    void minimisedWindowClosesWithoutAnimation();
    void iconHasTwoSizesOfSixteenColours();

private:
    // A stored profile and a window that has passed the login.
    std::unique_ptr<ProfileWindow>
    startedWindow(const QString &birth = QStringLiteral("20/05/2000"),
                  const QString &gymStart = QStringLiteral("10/05/2003"));
    bool insertProfile(const QString &birth, const QString &gymStart,
                       const QByteArray &photoBytes = {});
    QByteArray storedPhoto() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<DiaryDatabase> m_database;
    ScriptedDialogs m_dialogs;
    ManualClock m_clock{QDateTime(QDate(2003, 5, 10), QTime(14, 5, 9))};
    QString m_hash;
};

void TestProfileWindow::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    m_hash = password::hash(secret);
    QVERIFY(!m_hash.isEmpty());
}

void TestProfileWindow::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_database = std::make_unique<DiaryDatabase>();
    QCOMPARE(m_database->open(m_dir->filePath(QStringLiteral("diario.db"))),
             DiaryDatabase::Status::Ready);
    m_dialogs = ScriptedDialogs();
    m_clock.set(QDateTime(QDate(2003, 5, 10), QTime(14, 5, 9)));
}

void TestProfileWindow::cleanup() {
    m_database.reset();
    m_dir.reset();
}

bool TestProfileWindow::insertProfile(const QString &birth, const QString &gymStart,
                                      const QByteArray &photoBytes) {
    QSqlQuery query(m_database->connection());
    query.prepare(
        QStringLiteral("INSERT INTO \"Datos Del Usuario\" (\"Nombre Usuario\", \"Fecha De "
                       "Nacimiento\", \"Altura Del Usuario Cm\", \"Fecha De Comienzo En "
                       "El Gimnasio\", \"Clave\", \"Foto Del Usuario\") VALUES (?, ?, ?, "
                       "?, ?, ?)"));
    query.addBindValue(QStringLiteral("Ana"));
    query.addBindValue(birth);
    query.addBindValue(QStringLiteral("168"));
    query.addBindValue(gymStart);
    query.addBindValue(m_hash);
    query.addBindValue(photoBytes.isEmpty() ? QVariant(QMetaType(QMetaType::QByteArray))
                                            : QVariant(photoBytes));
    return query.exec();
}

std::unique_ptr<ProfileWindow> TestProfileWindow::startedWindow(const QString &birth,
                                                                const QString &gymStart) {
    if (!insertProfile(birth, gymStart))
        return {};
    auto window = std::make_unique<ProfileWindow>(*m_database, m_dialogs, m_clock);
    m_dialogs.queueInputs({secret});
    if (!window->runStartup())
        return {};
    return window;
}

QByteArray TestProfileWindow::storedPhoto() const {
    QSqlQuery query(m_database->connection());
    query.exec(
        QStringLiteral("SELECT \"Foto Del Usuario\" FROM \"Datos Del Usuario\" ORDER BY Id"));
    return query.next() ? query.value(0).toByteArray() : QByteArray();
}

void TestProfileWindow::windowLayout() {
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    QCOMPARE(window.objectName(), QStringLiteral("Form1"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(window.size(), QSize(459, 223));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(window.windowFlags() & Qt::WindowSystemMenuHint);
    QCOMPARE(window.palette().color(QPalette::Window), QColor(Qt::black));
    QVERIFY(window.autoFillBackground());

    auto *timer = window.findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 1000);
    QVERIFY(timer->isActive());

    auto *photoBox = window.findChild<PhotoBox *>(QStringLiteral("Image1"));
    QVERIFY(photoBox);
    QCOMPARE(photoBox->geometry(), twips::rect(5760, 30, 1095, 1335));
    QCOMPARE(photoBox->toolTip(), QStringLiteral("Arrastra Tu Foto Hasta Aqui..."));
    QVERIFY(photoBox->acceptDrops());
    QCOMPARE(photoBox->frameShape(), QFrame::Box);
    QVERIFY(photoBox->picture().isNull());

    auto *enter = window.findChild<QPushButton *>(QStringLiteral("Command1"));
    auto *leave = window.findChild<QPushButton *>(QStringLiteral("Command2"));
    QVERIFY(enter && leave);
    QCOMPARE(enter->text(), QStringLiteral("&Entrar"));
    QCOMPARE(leave->text(), QStringLiteral("&Salir"));
    QCOMPARE(enter->toolTip(), QStringLiteral("Entrar Al Diario De Gimnasio"));
    QCOMPARE(leave->toolTip(), QStringLiteral("Salir Del Diario De Gimnasio"));
    QCOMPARE(enter->geometry(), twips::rect(5760, 2400, 1095, 375));
    QCOMPARE(leave->geometry(), twips::rect(5760, 2880, 1095, 375));
    QCOMPARE(enter->nextInFocusChain(), leave);

    // Only the two buttons take the focus, the first one when the window opens.
    for (QWidget *child : window.findChildren<QWidget *>())
        if (child != enter && child != leave)
            QCOMPARE(child->focusPolicy(), Qt::NoFocus);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), enter);

    auto *hiddenKey = label(window, "sclave");
    QVERIFY(hiddenKey->isHidden());
    QCOMPARE(hiddenKey->palette().color(QPalette::Window), QColor(0x00, 0x00, 0x80));
    QCOMPARE(hiddenKey->geometry(), twips::rect(5760, 3000, 1095, 255));
    QCOMPARE(window.findChildren<QLabel *>(Qt::FindDirectChildrenOnly).size(), 27); // 26 + Image1
}

void TestProfileWindow::labelLooks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place"); // twips
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<bool>("shown");

    const QColor white(0xFF, 0xFF, 0xFF);
    const QColor yellow(0xFF, 0xFF, 0x00);
    const QColor orange(0xFF, 0x80, 0x00);
    const auto row = [](const char *name, QRect place, double points, bool bold, QColor colour,
                        const QString &caption, const QString &tip, bool shown) {
        QTest::newRow(name) << QString::fromLatin1(name) << place << points << bold << colour
                            << caption << tip << shown;
    };
    row("nombre", {960, 360, 3915, 315}, 9.75, true, white, {}, {}, true);
    row("alturacm", {960, 1320, 3915, 315}, 9.75, true, white, {}, {}, true);
    row("fechanaci", {1560, 3000, 3915, 315}, 9.75, true, white, {}, {}, false);
    row("fechacom", {1080, 3000, 3915, 315}, 9.75, true, white, {}, {}, false);
    const QString l1 = QStringLiteral("Nombre Del Usuario");
    const QString l2 = QStringLiteral("Fecha De Nacimiento Del Usuario");
    const QString l3 = QStringLiteral("Altura En Centimetros Del Usuario");
    const QString l4 = QStringLiteral("Fecha De Comienzo En El Gimnasio");
    const QString l13 = QStringLiteral("Tiempo Que Llevas En El Gimnasio");
    row("Label1", {960, 120, 3855, 255}, 9.75, true, yellow, l1, l1, true);
    row("Label2", {960, 600, 3855, 255}, 9.75, true, yellow, l2, l2, true);
    row("Label3", {960, 1080, 3855, 255}, 9.75, true, yellow, l3, l3, true);
    row("Label4", {960, 1560, 3855, 255}, 9.75, true, yellow, l4, l4, true);
    row("Label13", {1560, 2400, 2535, 255}, 8.25, false, yellow, l13, l13, true);
    row("Label20", {960, 840, 3915, 255}, 9.75, true, white, {}, {}, true);
    row("Label21", {960, 1800, 3915, 315}, 9.75, true, white, {}, {}, true);
    row("Label14", {1530, 2790, 2595, 315}, 9.75, true, white, {}, {}, true);
    row("Label15", {5880, 1440, 855, 255}, 8.25, true, white, {}, {}, true);
    row("Label18", {5880, 1680, 855, 255}, 8.25, true, white, {}, {}, true);
    row("Label19", {5880, 1920, 855, 255}, 8.25, true, white, {}, {}, true);
    row("Label16", {170, 2940, 1215, 255}, 8.25, true, white, {}, QStringLiteral("Hora En Curso"),
        true);
    row("Label17", {4260, 2940, 1215, 255}, 8.25, true, white, {}, QStringLiteral("Día En Curso"),
        true);
    const char *left[] = {"Label5", "Label6", "Label7", "Label8"};
    const char *right[] = {"Label9", "Label10", "Label11", "Label12"};
    const int tops[] = {0, 600, 1320, 2040};
    const QString zorv = QStringLiteral("ZORV");
    for (int i = 0; i < 4; ++i) {
        row(left[i], {120, tops[i], 495, 375}, 14.25, true, orange, zorv.mid(i, 1), {}, true);
        row(right[i], {5160, tops[i], 495, 375}, 14.25, true, orange, zorv.mid(i, 1), {}, true);
    }
}

void TestProfileWindow::labelLooks() {
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(double, points);
    QFETCH(bool, bold);
    QFETCH(QColor, colour);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QFETCH(bool, shown);
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    auto *found = window.findChild<QLabel *>(name);
    QVERIFY(found);
    QCOMPARE(found->geometry(), twips::rect(place.x(), place.y(), place.width(), place.height()));
    QCOMPARE(found->font().family(), QStringLiteral("Arial"));
    QCOMPARE(found->font().pointSizeF(), points);
    QCOMPARE(found->font().bold(), bold);
    QCOMPARE(found->palette().color(QPalette::WindowText), colour);
    QCOMPARE(found->palette().color(QPalette::Window), QColor(Qt::black));
    QVERIFY(found->autoFillBackground());
    QVERIFY(found->alignment() & Qt::AlignHCenter);
    QCOMPARE(found->text(), caption);
    QCOMPARE(found->toolTip(), toolTip);
    QCOMPARE(found->isHidden(), !shown);
}

void TestProfileWindow::rulingLines_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    const auto row = [](const char *name, QPoint from, QPoint to) {
        QTest::newRow(name) << QString::fromLatin1(name) << from << to;
    };
    row("Line1", {840, 0}, {840, 2280});
    row("Line3", {4920, 0}, {4920, 2280});
    row("Line2", {4920, 2280}, {840, 2280});
    row("Line4", {1440, 2280}, {1440, 3360});
    row("Line5", {4200, 2280}, {4200, 3360});
    row("Line6", {5760, 1320}, {5760, 2280});
    row("Line8", {6840, 1320}, {6840, 2280});
    row("Line7", {6840, 2280}, {5760, 2280});
    row("Line9", {120, 2760}, {1440, 2760});
    row("Line10", {120, 3360}, {120, 2760});
    row("Line11", {4200, 2760}, {5520, 2760});
    row("Line12", {5520, 3360}, {5520, 2760});
}

void TestProfileWindow::rulingLines() {
    QFETCH(QString, name);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    auto *line = window.findChild<QFrame *>(name);
    QVERIFY(line);
    const QPoint a(twips::toPixels(from.x()), twips::toPixels(from.y()));
    const QPoint b(twips::toPixels(to.x()), twips::toPixels(to.y()));
    QCOMPARE(line->geometry().topLeft(), QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())));
    QCOMPARE(line->geometry().bottomRight(),
             QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
    QCOMPARE(line->frameShape(), a.x() == b.x() ? QFrame::VLine : QFrame::HLine);
    QCOMPARE(line->palette().color(QPalette::WindowText), QColor(0xFF, 0x00, 0x00));

    // The line is painted red on the black window.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage shown = window.grab().toImage();
    const QPoint middle = (a + b) / 2;
    QCOMPARE(QColor(shown.pixel(middle)), QColor(0xFF, 0x00, 0x00));
}

void TestProfileWindow::longNameKeepsGeometry() {
    const QString longName(300, u'W');
    QSqlQuery query(m_database->connection());
    QVERIFY(query.exec(QStringLiteral("INSERT INTO \"Datos Del Usuario\" (\"Nombre Usuario\", "
                                      "\"Clave\") VALUES ('") +
                       longName + QStringLiteral("', '") + m_hash + QStringLiteral("')")));
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    m_dialogs.queueInputs({secret});
    QVERIFY(window.runStartup());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(label(window, "nombre")->text(), longName);
    QCOMPARE(label(window, "nombre")->geometry(), twips::rect(960, 360, 3915, 315));
    QCOMPARE(window.size(), QSize(459, 223));
}

void TestProfileWindow::tickFillsClockFields() {
    const auto window = startedWindow(QStringLiteral("20/05/2000"), QStringLiteral("01/02/2002"));
    QVERIFY(window);
    window->Timer1_Timer();
    QCOMPARE(label(*window, "Label16")->text(), QStringLiteral("14:05:09"));
    QCOMPARE(label(*window, "Label17")->text(), QStringLiteral("10/05/2003"));
    QCOMPARE(label(*window, "Label15")->text(), QStringLiteral("2 Años"));
    QCOMPARE(label(*window, "Label18")->text(), QStringLiteral("11 Meses"));
    QCOMPARE(label(*window, "Label19")->text(), QStringLiteral("20 Días"));
    QCOMPARE(label(*window, "Label14")->text(), QStringLiteral("1 Años, 3 Meses Y 9 Días"));
    QCOMPARE(label(*window, "Label20")->text(), QStringLiteral("sábado, 20 de mayo de 2000"));
    QCOMPARE(label(*window, "Label21")->text(), QStringLiteral("viernes, 1 de febrero de 2002"));

    // Every tick works everything out anew from the clock.
    m_clock.set(QDateTime(QDate(2003, 5, 20), QTime(0, 0, 1)));
    window->Timer1_Timer();
    QCOMPARE(label(*window, "Label16")->text(), QStringLiteral("00:00:01"));
    QCOMPARE(label(*window, "Label17")->text(), QStringLiteral("20/05/2003"));
    QCOMPARE(label(*window, "Label15")->text(), QStringLiteral("3 Años"));
    QCOMPARE(label(*window, "Label18")->text(), QStringLiteral("0 Meses"));
    QCOMPARE(label(*window, "Label19")->text(), QStringLiteral("0 Días"));
    QCOMPARE(label(*window, "Label14")->text(), QStringLiteral("1 Años, 3 Meses Y 19 Días"));
}

void TestProfileWindow::tickOnGymStartDay() {
    const auto window = startedWindow(QStringLiteral("20/05/2000"), QStringLiteral("10/05/2003"));
    QVERIFY(window);
    window->Timer1_Timer();
    QCOMPARE(label(*window, "Label14")->text(), QStringLiteral("0 Años, 0 Meses Y 0 Días"));
    QCOMPARE(label(*window, "Label21")->text(), QStringLiteral("sábado, 10 de mayo de 2003"));
}

void TestProfileWindow::tickWithGymStartAfterToday() {
    const auto window = startedWindow(QStringLiteral("20/05/2000"), QStringLiteral("15/06/2004"));
    QVERIFY(window);
    window->Timer1_Timer();
    QCOMPARE(label(*window, "Label14")->text(), QStringLiteral("1 Años, 1 Meses Y 5 Días"));
}

void TestProfileWindow::ticksBeforeStartupDoNothing() {
    QVERIFY(insertProfile(QStringLiteral("20/05/2000"), QStringLiteral("10/05/2003")));
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    QCOMPARE(window.startupComplete(), 0);
    window.Timer1_Timer();
    for (const char *name :
         {"Label14", "Label15", "Label16", "Label17", "Label18", "Label19", "Label20", "Label21"})
        QCOMPARE(label(window, name)->text(), QString());
    m_dialogs.queueInputs({QStringLiteral("equivocada")});
    QVERIFY(!window.runStartup());
    window.Timer1_Timer();
    QCOMPARE(label(window, "Label16")->text(), QString());
}

void TestProfileWindow::tickWithStoredNonDates_data() {
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QString>("gymStart");
    QTest::newRow("birth no date") << QStringLiteral("ayer") << QStringLiteral("10/05/2003");
    QTest::newRow("gym start empty") << QStringLiteral("20/05/2000") << QString();
    QTest::newRow("both impossible")
        << QStringLiteral("31/02/2003") << QStringLiteral("99/99/9999");
}

void TestProfileWindow::tickWithStoredNonDates() {
    QFETCH(QString, birth);
    QFETCH(QString, gymStart);
    const auto window = startedWindow(birth, gymStart);
    QVERIFY(window);
    // Fields left from an earlier record must not survive a tick that cannot read the dates.
    for (const char *name : {"Label14", "Label15", "Label18", "Label19", "Label20", "Label21"})
        label(*window, name)->setText(QStringLiteral("antiguo"));
    window->Timer1_Timer();
    QCOMPARE(label(*window, "Label16")->text(), QStringLiteral("14:05:09"));
    QCOMPARE(label(*window, "Label17")->text(), QStringLiteral("10/05/2003"));
    const bool birthReads = birth == QStringLiteral("20/05/2000");
    const bool gymReads = gymStart == QStringLiteral("10/05/2003");
    for (const char *name : {"Label15", "Label18", "Label19", "Label20"})
        QCOMPARE(label(*window, name)->text().isEmpty(), !birthReads);
    for (const char *name : {"Label14", "Label21"})
        QCOMPARE(label(*window, name)->text().isEmpty(), !gymReads);
}

void TestProfileWindow::timerRunsEverySecond() {
    // The timer is wired to the tick handler: a timeout signal fills the clock.
    const auto window = startedWindow();
    QVERIFY(window);
    auto *timer = window->findChild<QTimer *>(QStringLiteral("Timer1"));
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
    QCOMPARE(label(*window, "Label16")->text(), QStringLiteral("14:05:09"));
}

void TestProfileWindow::photoDropStoresFirstFile() {
    const auto window = startedWindow();
    QVERIFY(window);
    QTemporaryDir pictures;
    const QString red = writeImage(pictures, QStringLiteral("roja.png"),
                                   solid(QSize(1024, 768), QColor(220, 0, 0)));
    const QString green =
        writeImage(pictures, QStringLiteral("verde.png"), solid(QSize(20, 20), QColor(0, 220, 0)));
    const QString blue =
        writeImage(pictures, QStringLiteral("azul.jpg"), solid(QSize(20, 20), QColor(0, 0, 220)));
    QVERIFY(!red.isEmpty() && !green.isEmpty() && !blue.isEmpty());

    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto *photoBox = window->findChild<PhotoBox *>(QStringLiteral("Image1"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(red), QUrl::fromLocalFile(green), QUrl::fromLocalFile(blue)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(photoBox, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(photoBox, &drop);
    QVERIFY(drop.isAccepted());

    QCOMPARE(photoBox->picture().size(), QSize(512, 384));
    QCOMPARE(QColor(photoBox->picture().pixel(10, 10)), QColor(220, 0, 0));
    const QImage stored = photo::decode(storedPhoto());
    QCOMPARE(stored.size(), QSize(512, 384));
    QCOMPARE(QColor(stored.pixel(100, 100)), QColor(220, 0, 0));
    QVERIFY(storedPhoto().startsWith("\x89PNG"));
    QVERIFY(m_dialogs.shown().size() == 1); // the login, nothing after it

    // A later drop replaces the photo.
    window->Image1_OLEDragDrop({QUrl::fromLocalFile(green)});
    QCOMPARE(QColor(photo::decode(storedPhoto()).pixel(5, 5)), QColor(0, 220, 0));
    QCOMPARE(QColor(photoBox->picture().pixel(5, 5)), QColor(0, 220, 0));
}

void TestProfileWindow::photoDropIgnoresWhatIsNoPicture_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("text file") << QStringLiteral("text");
    QTest::newRow("hostile png") << QStringLiteral("hostile");
    QTest::newRow("directory") << QStringLiteral("directory");
    QTest::newRow("fifo") << QStringLiteral("fifo");
    QTest::newRow("missing file") << QStringLiteral("missing");
    QTest::newRow("web address") << QStringLiteral("web");
    QTest::newRow("no files") << QStringLiteral("none");
    QTest::newRow("text first, picture second") << QStringLiteral("text first");
}

void TestProfileWindow::photoDropIgnoresWhatIsNoPicture() {
    QFETCH(QString, kind);
    const QByteArray before = photo::encode(solid(QSize(8, 8), QColor(10, 20, 30)));
    QVERIFY(insertProfile(QStringLiteral("20/05/2000"), QStringLiteral("10/05/2003"), before));
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    m_dialogs.queueInputs({secret});
    QVERIFY(window.runStartup());
    auto *photoBox = window.findChild<PhotoBox *>(QStringLiteral("Image1"));
    QCOMPARE(QColor(photoBox->picture().pixel(3, 3)), QColor(10, 20, 30));

    QTemporaryDir files;
    QList<QUrl> urls;
    if (kind == QStringLiteral("text")) {
        urls = {QUrl::fromLocalFile(writeBytes(files, QStringLiteral("nota.png"), "hola\n"))};
    } else if (kind == QStringLiteral("hostile")) {
        // Signature and a well-formed header claiming 30000 × 30000 pixels, nothing behind it.
        QByteArray png =
            QByteArray::fromHex("89504e470d0a1a0a0000000d494844520000753000007530080200"
                                "0000");
        png += QByteArray::fromHex("e9456fed"); // the header's checksum
        urls = {QUrl::fromLocalFile(writeBytes(files, QStringLiteral("enorme.png"), png))};
    } else if (kind == QStringLiteral("directory")) {
        urls = {QUrl::fromLocalFile(files.path())};
    } else if (kind == QStringLiteral("fifo")) {
        const QString fifo = files.filePath(QStringLiteral("tuberia.png"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        urls = {QUrl::fromLocalFile(fifo)};
    } else if (kind == QStringLiteral("missing")) {
        urls = {QUrl::fromLocalFile(files.filePath(QStringLiteral("no-existe.png")))};
    } else if (kind == QStringLiteral("web")) {
        urls = {QUrl(QStringLiteral("https://example.org/foto.png"))};
    } else if (kind == QStringLiteral("text first")) {
        urls = {QUrl::fromLocalFile(writeBytes(files, QStringLiteral("nota.txt"), "hola\n")),
                QUrl::fromLocalFile(
                    writeImage(files, QStringLiteral("buena.png"), solid(QSize(4, 4), Qt::white)))};
    }
    window.Image1_OLEDragDrop(urls);

    QCOMPARE(storedPhoto(), before);
    QCOMPARE(QColor(photoBox->picture().pixel(3, 3)), QColor(10, 20, 30));
    QCOMPARE(m_dialogs.shown().size(), 1); // the login only: no message
}

void TestProfileWindow::photoComesBackAfterReopening() {
    {
        const auto window = startedWindow();
        QVERIFY(window);
        QTemporaryDir pictures;
        QImage picture = solid(QSize(30, 60), QColor(0, 0, 200));
        picture.setPixel(0, 0, qRgb(255, 255, 0));
        window->Image1_OLEDragDrop(
            {QUrl::fromLocalFile(writeImage(pictures, QStringLiteral("foto.png"), picture))});
    }
    const QString file = m_database->filePath();
    m_database = std::make_unique<DiaryDatabase>();
    QCOMPARE(m_database->open(file), DiaryDatabase::Status::Ready);
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    const QImage shown = window.findChild<PhotoBox *>(QStringLiteral("Image1"))->picture();
    QCOMPARE(shown.size(), QSize(30, 60));
    QCOMPARE(QColor(shown.pixel(0, 0)), QColor(255, 255, 0));
    QCOMPARE(QColor(shown.pixel(10, 30)), QColor(0, 0, 200));
}

void TestProfileWindow::damagedStoredPhotoShowsEmptyBox() {
    QVERIFY(insertProfile(QStringLiteral("20/05/2000"), QStringLiteral("10/05/2003"),
                          QByteArray("\x89PNG\r\n\x1a\n-damaged-", 18)));
    ProfileWindow window(*m_database, m_dialogs, m_clock);
    QVERIFY(window.findChild<PhotoBox *>(QStringLiteral("Image1"))->picture().isNull());
    QCOMPARE(label(window, "nombre")->text(), QStringLiteral("Ana"));
}

void TestProfileWindow::enterOpensDiaryOnce() {
    const auto window = startedWindow();
    QVERIFY(window);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(!window->diaryWindow());
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    DiaryWindow *diary = window->diaryWindow();
    QVERIFY(diary);
    QVERIFY(diary->isVisible());
    QVERIFY(!diary->isModal());
    QVERIFY(window->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(diary));

    window->activateWindow();
    window->Command1_Click();
    QCOMPARE(window->diaryWindow(), diary);
    QVERIFY(QTest::qWaitForWindowActive(diary));
    QCOMPARE(QApplication::topLevelWidgets().count(diary), 1);
}

void TestProfileWindow::closeBoxHidesProfileAndKeepsDiary() {
    const auto window = startedWindow();
    QVERIFY(window);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->Command1_Click();
    QPointer<DiaryWindow> diary = window->diaryWindow();
    QVERIFY(diary);
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
    QVERIFY(diary && diary->isVisible());
    // The hidden window still answers the diary's reads, and its clock still runs.
    window->Timer1_Timer();
    QCOMPARE(label(*window, "Label15")->text(), QStringLiteral("2 Años"));
    QCOMPARE(label(*window, "nombre")->text(), QStringLiteral("Ana"));
    QVERIFY(window->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
}

void TestProfileWindow::leaveClosesBothWindows() {
    const auto window = startedWindow();
    QVERIFY(window);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->Command1_Click();
    QPointer<DiaryWindow> diary = window->diaryWindow();
    QVERIFY(diary);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("Command2")), Qt::LeftButton);
    QVERIFY(!window->isVisible());
    const int outerHeight = 223 + window->frameGeometry().height() - window->height();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!diary || !diary->isVisible());
    QVERIFY(!window->diaryWindow() || !window->diaryWindow()->isVisible());
    // The profile window played its closing animation down to its last step.
    const int lastStep = closinganimation::stepHeights(twips::fromPixels(outerHeight)).last();
    QVERIFY(lastStep <= 150);
    QCOMPARE(window->frameGeometry().height(), twips::toPixels(lastStep));
}

void TestProfileWindow::minimisedWindowClosesWithoutAnimation() {
    const auto window = startedWindow();
    QVERIFY(window);
    window->showMinimized();
    QVERIFY(window->windowState() & Qt::WindowMinimized);
    QVERIFY(window->close());
    QCOMPARE(window->size(), QSize(459, 223));
}

void TestProfileWindow::iconHasTwoSizesOfSixteenColours() {
    const QIcon icon = windowicon::gimnasioIcon();
    QCOMPARE(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
    for (const QSize &size : icon.availableSizes()) {
        const QImage picture = icon.pixmap(size).toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                colours.insert(picture.pixel(x, y));
        QVERIFY(colours.size() > 2);
        QVERIFY(colours.size() <= 16);
    }
}

QTEST_MAIN(TestProfileWindow)
#include "test_profilewindow.moc"

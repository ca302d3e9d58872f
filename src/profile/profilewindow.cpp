#include "profile/profilewindow.h"

#include "data/clock.h"
#include "data/diarydatabase.h"
#include "data/profilestore.h"
#include "flows/profilestartup.h"
#include "ui/closinganimation.h"
#include "ui/designtable.h"
#include "ui/dialogs.h"
#include "ui/messages.h"
#include "ui/photo.h"
#include "ui/photobox.h"
#include "ui/twips.h"
#include "ui/windowfit.h"
#include "ui/windowlook.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

namespace {

using designtable::LabelRow;
using windowlook::arial;

const QString photoNotStored =
    QStringLiteral("No Se Ha Podido Guardar Tu Foto En El Diario De Gimnasio. Comprueba Que Hay "
                   "Sitio En El Disco Y Que El Archivo Se Puede Escribir.");

// Headings: yellow text, each with its caption as tool tip.
const LabelRow headings[] = {
    {"Label1", u"Nombre Del Usuario", 960, 120, 3855, 255},
    {"Label2", u"Fecha De Nacimiento Del Usuario", 960, 600, 3855, 255},
    {"Label3", u"Altura En Centimetros Del Usuario", 960, 1080, 3855, 255},
    {"Label4", u"Fecha De Comienzo En El Gimnasio", 960, 1560, 3855, 255},
};
const LabelRow gymHeading = {"Label13", u"Tiempo Que Llevas En El Gimnasio", 1560, 2400, 2535, 255};

// White values in Arial bold 9.75, then in Arial bold 8.25.
const LabelRow largeValues[] = {
    {"nombre", u"", 960, 360, 3915, 315},      {"alturacm", u"", 960, 1320, 3915, 315},
    {"fechanaci", u"", 1560, 3000, 3915, 315}, {"fechacom", u"", 1080, 3000, 3915, 315},
    {"Label20", u"", 960, 840, 3915, 255},     {"Label21", u"", 960, 1800, 3915, 315},
    {"Label14", u"", 1530, 2790, 2595, 315},
};
const LabelRow smallValues[] = {
    {"Label15", u"", 5880, 1440, 855, 255},  {"Label18", u"", 5880, 1680, 855, 255},
    {"Label19", u"", 5880, 1920, 855, 255},  {"Label16", u"", 170, 2940, 1215, 255},
    {"Label17", u"", 4260, 2940, 1215, 255},
};

// "ZORV" spelt down both sides, in orange Arial bold 14.25.
const LabelRow letters[] = {
    {"Label5", u"Z", 120, 0, 495, 375},    {"Label9", u"Z", 5160, 0, 495, 375},
    {"Label6", u"O", 120, 600, 495, 375},  {"Label10", u"O", 5160, 600, 495, 375},
    {"Label7", u"R", 120, 1320, 495, 375}, {"Label11", u"R", 5160, 1320, 495, 375},
    {"Label8", u"V", 120, 2040, 495, 375}, {"Label12", u"V", 5160, 2040, 495, 375},
};

// Red ruling lines, from and to in twips.
const struct {
    const char *name;
    QPoint from, to;
} rules[] = {
    {"Line1", {840, 0}, {840, 2280}},       {"Line3", {4920, 0}, {4920, 2280}},
    {"Line2", {4920, 2280}, {840, 2280}},   {"Line4", {1440, 2280}, {1440, 3360}},
    {"Line5", {4200, 2280}, {4200, 3360}},  {"Line6", {5760, 1320}, {5760, 2280}},
    {"Line8", {6840, 1320}, {6840, 2280}},  {"Line7", {6840, 2280}, {5760, 2280}},
    {"Line9", {120, 2760}, {1440, 2760}},   {"Line10", {120, 3360}, {120, 2760}},
    {"Line11", {4200, 2760}, {5520, 2760}}, {"Line12", {5520, 3360}, {5520, 2760}},
};

} // namespace

ProfileWindow::ProfileWindow(DiaryDatabase &database, ProfileStore &profiles, Dialogs &dialogs,
                             const Clock &clock, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint)
    , m_database(database)
    , m_profiles(profiles)
    , m_dialogs(dialogs)
    , m_clock(clock) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    buildLayout();

    connect(&m_summary, &ProfileSummary::changed, this, &ProfileWindow::showSummary);
    connect(&m_summary, &ProfileSummary::photoChanged, this,
            [this] { Image1->setPicture(m_summary.photo()); });
    // A sealed diary is read only once the login has opened it.
    if (m_database.isOpen())
        loadProfile();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &ProfileWindow::Timer1_Timer);
    Timer1->start();

    connect(Command1, &QPushButton::clicked, this, &ProfileWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &ProfileWindow::Command2_Click);
    connect(Image1, &PhotoBox::filesDropped, this, &ProfileWindow::Image1_OLEDragDrop);
    // The photo from the keyboard too: Ctrl+F asks for the picture that a drop would give.
    Image1->setAccessibleName(QStringLiteral("Tu Foto"));
    Image1->setAccessibleDescription(
        QStringLiteral("Arrastra Una Imagen Aquí, O Pulsa Control+F Para Elegirla."));
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this), &QShortcut::activated, this,
            &ProfileWindow::choosePhoto);
}

ProfileWindow::~ProfileWindow() = default;

void ProfileWindow::buildLayout() {
    using designtable::addLabel;
    setFixedSize(twips::toPixels(6885), twips::toPixels(3345));
    setFont(windowlook::defaultFont());
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, windowlook::black);
    setPalette(palette);

    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;
    const QFont bold975 = arial(9.75, true);
    for (const LabelRow &row : largeValues)
        addLabel(this, row, {bold975, windowlook::white, centred, {}});
    for (const LabelRow &row : smallValues)
        addLabel(this, row, {arial(8.25, true), windowlook::white, centred, {}});
    // The headings come above the values, whose labels reach a pixel into them.
    for (const LabelRow &row : headings)
        addLabel(this, row,
                 {bold975, windowlook::yellow, centred, QString::fromUtf16(row.caption)});
    addLabel(
        this, gymHeading,
        {arial(8.25, false), windowlook::yellow, centred, QString::fromUtf16(gymHeading.caption)});
    for (const LabelRow &row : letters)
        addLabel(this, row, {arial(14.25, true), windowlook::orange, centred, {}});
    const auto label = [this](const char *name) {
        return findChild<QLabel *>(QLatin1String(name));
    };
    nombre = label("nombre");
    alturacm = label("alturacm");
    fechanaci = label("fechanaci");
    fechacom = label("fechacom");
    Label14 = label("Label14");
    Label15 = label("Label15");
    Label16 = label("Label16");
    Label17 = label("Label17");
    Label18 = label("Label18");
    Label19 = label("Label19");
    Label20 = label("Label20");
    Label21 = label("Label21");
    fechanaci->hide();
    fechacom->hide();
    Label16->setToolTip(QStringLiteral("Hora En Curso"));
    Label17->setToolTip(QStringLiteral("Día En Curso"));

    buildControls();
    for (const auto &rule : rules)
        designtable::addRule(this, rule.name, windowlook::red, rule.from, rule.to);

    if (const QScreen *screen = this->screen())
        move(windowfit::placeInside(frameGeometry(), screen->availableGeometry()));
}

void ProfileWindow::buildControls() {
    sclave = new QLabel(this);
    sclave->setObjectName(QStringLiteral("sclave"));
    sclave->setGeometry(twips::rect(5760, 3000, 1095, 255));
    sclave->setAutoFillBackground(true);
    QPalette navy = sclave->palette();
    navy.setColor(QPalette::Window, windowlook::navy);
    sclave->setPalette(navy);
    sclave->hide();

    Image1 = new PhotoBox(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twips::rect(5760, 30, 1095, 1335));
    Image1->setToolTip(QStringLiteral("Arrastra Tu Foto Hasta Aqui..."));
    Image1->setAcceptsFiles(true);

    Command1 = designtable::addButton(this, "Command1", QStringLiteral("&Entrar"),
                                      {"", u"", 5760, 2400, 1095, 375},
                                      QStringLiteral("Entrar Al Diario De Gimnasio"));
    Command2 = designtable::addButton(this, "Command2", QStringLiteral("&Salir"),
                                      {"", u"", 5760, 2880, 1095, 375},
                                      QStringLiteral("Salir Del Diario De Gimnasio"));
    setTabOrder(Command1, Command2);
    Command1->setFocus();
}

bool ProfileWindow::loadProfile() {
    const std::optional<StoredProfile> profile = m_profiles.load();
    m_summary.setProfile(profile.value_or(StoredProfile{}));
    // A photo that cannot be read leaves the box as it is.
    if (const std::optional<QByteArray> stored = m_profiles.photo())
        m_summary.setPhoto(photo::decode(*stored));
    return profile.has_value();
}

void ProfileWindow::showSummary() {
    const StoredProfile &profile = m_summary.profile();
    // An edited profile shows in the title too; before the start-up the title is the design's.
    if (m_startupComplete == 1)
        setWindowTitle(m_summary.windowTitle());
    nombre->setText(profile.name);
    fechanaci->setText(profile.birthDate);
    alturacm->setText(profile.height);
    fechacom->setText(profile.gymStart);
    const ClockTexts &clock = m_summary.clock();
    Label16->setText(clock.time);
    Label17->setText(clock.date);
    Label14->setText(clock.timeInGym);
    Label15->setText(clock.ageYears);
    Label18->setText(clock.ageMonths);
    Label19->setText(clock.ageDays);
    Label20->setText(clock.birthLong);
    Label21->setText(clock.gymStartLong);
}

bool ProfileWindow::runStartup() {
    m_startupComplete = 0;
    ProfileStartup startup(m_database, m_profiles, m_dialogs, m_clock, this);
    if (startup.run() != ProfileStartup::Outcome::Ready)
        return false;
    if (!reloadProfile())
        return false;
    m_startupComplete = 1;
    return true;
}

bool ProfileWindow::reloadProfile() {
    if (!loadProfile()) {
        m_dialogs.messageBox(this, profileUnreadable, noticeTitle);
        return false;
    }
    setWindowTitle(m_summary.windowTitle());
    return true;
}

void ProfileWindow::Timer1_Timer() {
    if (m_startupComplete != 1)
        return;
    // Only the summary is read: a tick never reaches the database.
    m_summary.tick(m_clock.now());
}

void ProfileWindow::choosePhoto() {
    const QString chosen = m_dialogs.openFileName(
        this, QStringLiteral("Elige Tu Foto"),
        QStringLiteral("Imágenes (*.png *.jpg *.jpeg *.bmp *.gif *.webp);;Todos Los Archivos (*)"));
    if (!chosen.isEmpty())
        Image1_OLEDragDrop({QUrl::fromLocalFile(chosen)});
}

void ProfileWindow::Image1_OLEDragDrop(const QList<QUrl> &urls) {
    // A file that is no readable picture is ignored without a word.
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    const std::optional<QImage> picture = photo::loadFile(urls.first().toLocalFile());
    if (!picture)
        return;
    const QByteArray stored = photo::encode(*picture);
    if (stored.isEmpty() || !m_profiles.setPhoto(stored)) {
        m_dialogs.messageBox(this, photoNotStored, noticeTitle);
        return;
    }
    m_summary.setPhoto(*picture);
}

void ProfileWindow::Command1_Click() {
    emit diaryRequested();
}

void ProfileWindow::Command2_Click() {
    close();
    emit leaveRequested();
}

bool ProfileWindow::event(QEvent *event) {
    if (event->type() == QEvent::WindowActivate)
        emit activated();
    return QWidget::event(event);
}

void ProfileWindow::closeEvent(QCloseEvent *event) {
    closinganimation::play(this);
    event->accept();
}

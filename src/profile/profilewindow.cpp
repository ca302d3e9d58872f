#include "profilewindow.h"

#include "clock.h"
#include "clocktexts.h"
#include "closinganimation.h"
#include "dayfields.h"
#include "diarydatabase.h"
#include "diarywindow.h"
#include "photo.h"
#include "photobox.h"
#include "profilestartup.h"
#include "twips.h"
#include "windowlook.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDataWidgetMapper>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSqlTableModel>
#include <QTimer>

namespace {

using windowlook::arial;
using windowlook::black;
using windowlook::navy;
using windowlook::orange;
using windowlook::red;
using windowlook::white;
using windowlook::yellow;

struct LabelLook {
    QFont font;
    QColor text;
    QString caption;
    QString toolTip;
};

// A centred label on a black background, placed in twips.
QLabel *addLabel(QWidget *parent, const char *name, QRect place, const LabelLook &look) {
    auto *label = new QLabel(look.caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(place);
    label->setFont(look.font);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setToolTip(look.toolTip);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, black);
    palette.setColor(QPalette::WindowText, look.text);
    label->setPalette(palette);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

// A red ruling line one pixel wide between two points given in twips.
void addLine(QWidget *parent, const char *name, QPoint from, QPoint to) {
    const QPoint a(twips::toPixels(from.x()), twips::toPixels(from.y()));
    const QPoint b(twips::toPixels(to.x()), twips::toPixels(to.y()));
    auto *line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setFrameShape(a.x() == b.x() ? QFrame::VLine : QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    line->setMidLineWidth(0);
    line->setGeometry(QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                            QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y()))));
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, red);
    line->setPalette(palette);
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
}

} // namespace

ProfileWindow::ProfileWindow(DiaryDatabase &database, Dialogs &dialogs, const Clock &clock,
                             QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint)
    , m_database(database)
    , m_dialogs(dialogs)
    , m_clock(clock) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    buildLayout();

    Usuario = new QSqlTableModel(this, m_database.connection());
    Usuario->setObjectName(QStringLiteral("Usuario"));
    Usuario->setTable(dayfields::profileTableName);
    Usuario->setEditStrategy(QSqlTableModel::OnManualSubmit);
    const int key = Usuario->fieldIndex(dayfields::keyColumn);
    if (key >= 0)
        Usuario->setSort(key, Qt::AscendingOrder);
    Usuario->select();

    m_mapper = new QDataWidgetMapper(this);
    m_mapper->setModel(Usuario);
    m_mapper->setSubmitPolicy(QDataWidgetMapper::ManualSubmit);
    const auto bind = [this](QWidget *widget, const QString &column, const char *property) {
        const int section = Usuario->fieldIndex(column);
        if (section >= 0)
            m_mapper->addMapping(widget, section, property);
    };
    bind(nombre, dayfields::nameColumn, "text");
    bind(fechanaci, dayfields::birthColumn, "text");
    bind(alturacm, dayfields::heightColumn, "text");
    bind(fechacom, dayfields::gymStartColumn, "text");
    bind(sclave, dayfields::passwordColumn, "text");
    bind(Image1, dayfields::photoColumn, "storedPicture");
    moveFirst();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &ProfileWindow::Timer1_Timer);
    Timer1->start();

    connect(Command1, &QPushButton::clicked, this, &ProfileWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &ProfileWindow::Command2_Click);
    connect(Image1, &PhotoBox::filesDropped, this, &ProfileWindow::Image1_OLEDragDrop);
}

ProfileWindow::~ProfileWindow() {
    // The diary window reads this window's labels; it must not outlive them.
    delete m_diary.data();
}

DiaryWindow *ProfileWindow::diaryWindow() const {
    return m_diary;
}

void ProfileWindow::buildLayout() {
    setFixedSize(twips::toPixels(6885), twips::toPixels(3345));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, black);
    setPalette(palette);

    const QFont bold975 = arial(9.75, true);
    const QFont bold825 = arial(8.25, true);
    const QFont bold1425 = arial(14.25, true);

    // Bound fields.
    nombre = addLabel(this, "nombre", twips::rect(960, 360, 3915, 315), {bold975, white, {}, {}});
    alturacm =
        addLabel(this, "alturacm", twips::rect(960, 1320, 3915, 315), {bold975, white, {}, {}});
    fechanaci =
        addLabel(this, "fechanaci", twips::rect(1560, 3000, 3915, 315), {bold975, white, {}, {}});
    fechanaci->hide();
    fechacom =
        addLabel(this, "fechacom", twips::rect(1080, 3000, 3915, 315), {bold975, white, {}, {}});
    fechacom->hide();
    sclave = new QLabel(this);
    sclave->setObjectName(QStringLiteral("sclave"));
    sclave->setGeometry(twips::rect(5760, 3000, 1095, 255));
    sclave->setAutoFillBackground(true);
    QPalette navyPalette = sclave->palette();
    navyPalette.setColor(QPalette::Window, navy);
    sclave->setPalette(navyPalette);
    sclave->hide();

    Image1 = new PhotoBox(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twips::rect(5760, 30, 1095, 1335));
    Image1->setToolTip(QStringLiteral("Arrastra Tu Foto Hasta Aqui..."));
    Image1->setAcceptsFiles(true);

    // Headings.
    const auto heading = [&](const char *name, QRect place, const QString &caption,
                             const QFont &font) {
        addLabel(this, name, place, {font, yellow, caption, caption});
    };
    heading("Label1", twips::rect(960, 120, 3855, 255), QStringLiteral("Nombre Del Usuario"),
            bold975);
    heading("Label2", twips::rect(960, 600, 3855, 255),
            QStringLiteral("Fecha De Nacimiento Del Usuario"), bold975);
    heading("Label3", twips::rect(960, 1080, 3855, 255),
            QStringLiteral("Altura En Centimetros Del Usuario"), bold975);
    heading("Label4", twips::rect(960, 1560, 3855, 255),
            QStringLiteral("Fecha De Comienzo En El Gimnasio"), bold975);
    heading("Label13", twips::rect(1560, 2400, 2535, 255),
            QStringLiteral("Tiempo Que Llevas En El Gimnasio"), arial(8.25, false));

    // Values written by the clock.
    Label20 = addLabel(this, "Label20", twips::rect(960, 840, 3915, 255), {bold975, white, {}, {}});
    Label21 =
        addLabel(this, "Label21", twips::rect(960, 1800, 3915, 315), {bold975, white, {}, {}});
    Label14 =
        addLabel(this, "Label14", twips::rect(1530, 2790, 2595, 315), {bold975, white, {}, {}});
    Label15 =
        addLabel(this, "Label15", twips::rect(5880, 1440, 855, 255), {bold825, white, {}, {}});
    Label18 =
        addLabel(this, "Label18", twips::rect(5880, 1680, 855, 255), {bold825, white, {}, {}});
    Label19 =
        addLabel(this, "Label19", twips::rect(5880, 1920, 855, 255), {bold825, white, {}, {}});
    Label16 = addLabel(this, "Label16", twips::rect(170, 2940, 1215, 255),
                       {bold825, white, {}, QStringLiteral("Hora En Curso")});
    Label17 = addLabel(this, "Label17", twips::rect(4260, 2940, 1215, 255),
                       {bold825, white, {}, QStringLiteral("Día En Curso")});

    // "ZORV" spelt down both sides.
    const struct {
        const char *left;
        const char *right;
        int top;
        const char *letter;
    } letters[] = {{"Label5", "Label9", 0, "Z"},
                   {"Label6", "Label10", 600, "O"},
                   {"Label7", "Label11", 1320, "R"},
                   {"Label8", "Label12", 2040, "V"}};
    for (const auto &row : letters) {
        const QString letter = QLatin1String(row.letter);
        addLabel(this, row.left, twips::rect(120, row.top, 495, 375),
                 {bold1425, orange, letter, {}});
        addLabel(this, row.right, twips::rect(5160, row.top, 495, 375),
                 {bold1425, orange, letter, {}});
    }

    Command1 = new QPushButton(QStringLiteral("&Entrar"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twips::rect(5760, 2400, 1095, 375));
    Command1->setToolTip(QStringLiteral("Entrar Al Diario De Gimnasio"));
    Command2 = new QPushButton(QStringLiteral("&Salir"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(twips::rect(5760, 2880, 1095, 375));
    Command2->setToolTip(QStringLiteral("Salir Del Diario De Gimnasio"));
    setTabOrder(Command1, Command2);
    Command1->setFocus();

    addLine(this, "Line1", {840, 0}, {840, 2280});
    addLine(this, "Line3", {4920, 0}, {4920, 2280});
    addLine(this, "Line2", {4920, 2280}, {840, 2280});
    addLine(this, "Line4", {1440, 2280}, {1440, 3360});
    addLine(this, "Line5", {4200, 2280}, {4200, 3360});
    addLine(this, "Line6", {5760, 1320}, {5760, 2280});
    addLine(this, "Line8", {6840, 1320}, {6840, 2280});
    addLine(this, "Line7", {6840, 2280}, {5760, 2280});
    addLine(this, "Line9", {120, 2760}, {1440, 2760});
    addLine(this, "Line10", {120, 3360}, {120, 2760});
    addLine(this, "Line11", {4200, 2760}, {5520, 2760});
    addLine(this, "Line12", {5520, 3360}, {5520, 2760});

    if (const QScreen *screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }
}

void ProfileWindow::moveFirst() {
    if (Usuario->rowCount() >= 1)
        m_mapper->toFirst();
}

bool ProfileWindow::runStartup() {
    m_startupComplete = 0;
    ProfileStartup startup(*Usuario, m_dialogs, this);
    if (startup.run() != ProfileStartup::Outcome::Ready)
        return false;
    moveFirst();
    setWindowTitle(QStringLiteral("Diario De Gimnasio De [[[ ") + nombre->text() +
                   QStringLiteral(" ]]]"));
    moveFirst();
    m_startupComplete = 1;
    return true;
}

void ProfileWindow::Timer1_Timer() {
    if (m_startupComplete != 1)
        return;
    // Only the bound labels are read: a tick never reaches the database.
    const ClockTexts texts = clockTexts(m_clock.now(), fechacom->text(), fechanaci->text());
    Label16->setText(texts.time);
    Label17->setText(texts.date);
    Label14->setText(texts.timeInGym);
    Label15->setText(texts.ageYears);
    Label18->setText(texts.ageMonths);
    Label19->setText(texts.ageDays);
    Label20->setText(texts.birthLong);
    Label21->setText(texts.gymStartLong);
}

void ProfileWindow::Image1_OLEDragDrop(const QList<QUrl> &urls) {
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        if (const std::optional<QImage> picture = photo::loadFile(urls.first().toLocalFile())) {
            Image1->setPicture(*picture);
            const int column = Usuario->fieldIndex(dayfields::photoColumn);
            if (Usuario->rowCount() >= 1 && column >= 0) {
                const QByteArray stored = photo::encode(*picture);
                if (stored.isEmpty() || !Usuario->setData(Usuario->index(0, column), stored) ||
                    !Usuario->submitAll())
                    Usuario->revertAll();
            }
        }
    }
    moveFirst();
}

void ProfileWindow::Command1_Click() {
    if (!m_diary)
        m_diary = new DiaryWindow(m_database, this, m_dialogs, m_clock);
    m_diary->show();
    m_diary->raise();
    m_diary->activateWindow();
}

void ProfileWindow::Command2_Click() {
    close();
    if (m_diary)
        m_diary->close();
    QCoreApplication::quit();
}

void ProfileWindow::closeEvent(QCloseEvent *event) {
    closinganimation::play(this);
    event->accept();
}

#include "diarywindow.h"

#include "clock.h"
#include "closinganimation.h"
#include "dates.h"
#include "dayeditor.h"
#include "dayrecordset.h"
#include "dialogs.h"
#include "diarydatabase.h"
#include "navigationbar.h"
#include "photo.h"
#include "photobox.h"
#include "statsexport.h"
#include "textwrap.h"
#include "twips.h"
#include "windowlook.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <limits>

using dayfields::Box;

namespace {

constexpr int clientWidthTwips = 7890;
constexpr int clientHeightTwips = 7740;

using windowlook::black;
using windowlook::green;
using windowlook::navy;
using windowlook::red;
using windowlook::white;
using windowlook::yellow;

const QString labelToolTip = QStringLiteral("Nombre Del Usuario");
const QString navigationCaption = QStringLiteral("                Día A Día En El Gimnasio...");

const QString saveRefused = QStringLiteral(
    "No Se Ha Podido Grabar El Día En El Diario De Gimnasio. Comprueba Que Hay Sitio En El Disco "
    "Y Que El Archivo Se Puede Escribir.");
const QString deleteRefused = QStringLiteral(
    "No Se Ha Podido Borrar El Día Del Diario De Gimnasio. Comprueba Que Hay Sitio En El Disco Y "
    "Que El Archivo Se Puede Escribir.");
const QString sortRefused =
    QStringLiteral("No Se Ha Podido Ordenar El Diario De Gimnasio. Los Días Siguen Como Estaban.");
const QString undatedDay = QStringLiteral(
    "El Día Que Estás Metiendo No Tiene Fecha. Escribe La Fecha En \"Fecha A Meter Datos\" Y Pulsa "
    "Grabar, O Borra Lo Escrito Para Dejarlo.");
const QString deleteQuestion = QStringLiteral("¿ Seguro Que Quieres Borrar Este Día De Gimnasio ?");

QFont arialBold(double points) {
    return windowlook::arial(points, true);
}

void setColours(QWidget *widget, QPalette::ColorRole backRole, const QColor &back,
                QPalette::ColorRole textRole, const QColor &text) {
    QPalette colours = widget->palette();
    colours.setColor(backRole, back);
    colours.setColor(textRole, text);
    widget->setPalette(colours);
}

struct LabelDesign {
    const char *name;
    const char16_t *caption;
    int left, top, width, height;
};

// Profile summary headings: yellow, Arial bold 9.75.
const LabelDesign headings[] = {
    {"Label2", u"Nombre Del Usuario", 120, 120, 2055, 255},
    {"Label1", u"Fecha De Nacimiento Del Usuario", 120, 600, 3855, 255},
    {"Label3", u"Altura En Centimetros", 120, 1080, 3855, 255},
    {"Label5", u"Tiempo Que Llevas En El Gimnasio", 2880, 120, 3615, 255},
    {"Label7", u"Edad", 3480, 600, 615, 255},
    {"Label32", u"Días Metidos", 3480, 840, 1335, 255},
    {"Label4", u"Fecha Comienzo En El Gimnasio", 2520, 1080, 3855, 255},
};

// Day-record captions: red, Arial bold 8.25.
const LabelDesign dayCaptions[] = {
    {"Label9", u"Fecha A Meter Datos", 120, 1800, 1695, 255},
    {"Label11", u"Horas En El Gimnasio Hoy", 120, 2160, 2175, 255},
    {"Label12", u"Desayuno", 120, 2400, 1695, 255},
    {"Label13", u"Comida", 120, 3120, 1695, 255},
    {"Label14", u"Cena", 120, 3840, 1695, 255},
    {"Label28", u"¿ Qué Has Hecho Hoy ?, En El Gim", 120, 4560, 2895, 255},
    {"Label30", u"¿ Has Picado Algo ?, Que...", 120, 5280, 2655, 255},
    {"Label34", u"Diario De", 120, 6000, 2895, 255},
    {"Label16", u"Diametro De Cuello", 3360, 2160, 2175, 255},
    {"Label17", u"Diametro De Pecho", 5640, 2160, 2175, 255},
    {"Label18", u"Diametro De Antebrazo D.", 3360, 2760, 2175, 255},
    {"Label19", u"Diametro De Antebrazo I.", 5640, 2760, 2055, 255},
    {"Label20", u"Diametro De Biceps D.", 3360, 3360, 1935, 255},
    {"Label21", u"Diametro De Biceps I.", 5640, 3360, 1815, 255},
    {"Label22", u"Diametro De Cintura", 3360, 3960, 1935, 255},
    {"Label23", u"Diametro De Pierna D.", 5640, 3960, 1935, 255},
    {"Label24", u"Diametro De Pierna I.", 3360, 4560, 1815, 255},
    {"Label25", u"Diametro De Gemelo D.", 5640, 4560, 2055, 255},
    {"Label26", u"Diametro De Gemelo I.", 3360, 5160, 1935, 255},
    {"Label27", u"Diametro De Culo", 5640, 5160, 1695, 255},
    {"Label10", u"Peso En Kg", 5640, 5520, 975, 255},
    {"Label29", u"Horario De Hoy", 3120, 6000, 2175, 255},
    {"Label15", u"+/- Litros De Agua Bebidos Hoy", 3120, 6360, 2655, 255},
};

struct BoxDesign {
    Box box;
    int left, top, width, height;
    QRgb background;
    bool navyText;
    bool arialBold;
    bool centred;
};

const QRgb pink = qRgb(0xFF, 0xC0, 0xC0);
const QRgb lightYellow = qRgb(0xFF, 0xFF, 0xC0);
const QRgb boxYellow = qRgb(0xFF, 0xFF, 0x00);
const QRgb lightGreen = qRgb(0xC0, 0xFF, 0xC0);
const QRgb lightCyan = qRgb(0xC0, 0xFF, 0xFF);

const BoxDesign boxDesigns[] = {
    {dayfields::Fh, 1920, 1800, 1095, 285, pink, false, true, true},
    {dayfields::Hgim, 2280, 2160, 735, 285, lightYellow, false, false, true},
    {dayfields::Desa, 120, 2640, 2895, 495, boxYellow, true, false, false},
    {dayfields::Comi, 120, 3360, 2895, 495, boxYellow, true, false, false},
    {dayfields::Cena, 120, 4080, 2895, 495, boxYellow, true, false, false},
    {dayfields::Qhash, 120, 4800, 2895, 495, boxYellow, true, false, false},
    {dayfields::Haspi, 120, 5520, 2895, 495, boxYellow, true, false, false},
    {dayfields::Eldiario, 120, 6240, 2895, 975, boxYellow, true, false, false},
    {dayfields::Horahoy, 4440, 6000, 3375, 285, lightGreen, false, false, true},
    {dayfields::Lagua, 5760, 6360, 2055, 285, lightGreen, false, false, false},
    {dayfields::Dcue, 3360, 2400, 735, 285, lightCyan, true, true, true},
    {dayfields::Dp, 5640, 2400, 735, 285, lightCyan, true, true, true},
    {dayfields::Dad, 3360, 3000, 735, 285, lightCyan, true, true, true},
    {dayfields::Dai, 5640, 3000, 735, 285, lightCyan, true, true, true},
    {dayfields::Dbd, 3360, 3600, 735, 285, lightCyan, true, true, true},
    {dayfields::Dbi, 5640, 3600, 735, 285, lightCyan, true, true, true},
    {dayfields::Dc, 3360, 4200, 735, 285, lightCyan, true, true, true},
    {dayfields::Dpd, 5640, 4200, 735, 285, lightCyan, true, true, true},
    {dayfields::Dpi, 3360, 4800, 735, 285, lightCyan, true, true, true},
    {dayfields::Dgd, 5640, 4800, 735, 285, lightCyan, true, true, true},
    {dayfields::Dgi, 3360, 5400, 735, 285, lightCyan, true, true, true},
    {dayfields::Dculo, 7080, 5130, 735, 285, lightCyan, true, true, false},
    {dayfields::Peski, 7080, 5520, 735, 285, lightCyan, true, true, false},
};

bool isMultiLine(Box box) {
    return box == dayfields::Desa || box == dayfields::Comi || box == dayfields::Cena ||
           box == dayfields::Qhash || box == dayfields::Haspi || box == dayfields::Eldiario;
}

QString textOf(const QWidget *box) {
    if (const auto *line = qobject_cast<const QLineEdit *>(box))
        return line->text();
    if (const auto *multi = qobject_cast<const QPlainTextEdit *>(box))
        return multi->toPlainText();
    return {};
}

void setLocked(QWidget *box, bool locked) {
    if (auto *line = qobject_cast<QLineEdit *>(box))
        line->setReadOnly(locked);
    else if (auto *multi = qobject_cast<QPlainTextEdit *>(box))
        multi->setReadOnly(locked);
}

} // namespace

DiaryWindow::DiaryWindow(DiaryDatabase &database, QWidget *profileWindow, Dialogs &dialogs,
                         const Clock &clock, QWidget *parent)
    : QMainWindow(parent)
    , m_database(database)
    , m_profileWindow(profileWindow)
    , m_dialogs(dialogs)
    , m_clock(clock) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Form2"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    Data1 = new DayRecordSet(m_database.connection(), dayfields::tableName, this);
    Data1->setObjectName(QStringLiteral("Data1"));
    Data2 = new QSqlTableModel(this, m_database.connection());
    Data2->setObjectName(QStringLiteral("Data2"));
    Data2->setTable(dayfields::profileTableName);
    m_editor = new DayEditor(*Data1, this);

    buildMenu();
    buildLayout();
    bindBoxes();

    // The summary refresh on activation must know whether the user comes from the profile window.
    if (m_profileWindow)
        m_profileWindow->installEventFilter(this);

    Form_Load();
    Form_Initialize();
}

DiaryWindow::~DiaryWindow() = default;

bool DiaryWindow::isAddingDay() const {
    return m_editor->isPending();
}

// ---------------------------------------------------------------------------------------------
// Layout

void DiaryWindow::buildMenu() {
    opciones = menuBar()->addMenu(QStringLiteral("&Opciones"));
    opciones->setObjectName(QStringLiteral("opciones"));
    const auto addEntry = [this](QAction *&action, const char *name, const QString &caption,
                                 void (DiaryWindow::*handler)()) {
        action = opciones->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
    };
    addEntry(porhoras, "porhoras", QStringLiteral("Ordenar Por Horas En El Gimnasio Al Día"),
             &DiaryWindow::porhoras_Click);
    addEntry(porfecha, "porfecha", QStringLiteral("Ordenar Por Fecha"),
             &DiaryWindow::porfecha_Click);
    addEntry(ordenarporagua, "ordenarporagua", QStringLiteral("Ordenar Por Litros De Agua Bebidos"),
             &DiaryWindow::ordenarporagua_Click);
    addEntry(porpeso, "porpeso", QStringLiteral("Ordenar Por Peso En Kg De Tu Body"),
             &DiaryWindow::porpeso_Click);
    addEntry(pordiaculo, "pordiaculo", QStringLiteral("Ordenar Por Diametro En Cm Del Culo"),
             &DiaryWindow::pordiaculo_Click);
    addEntry(porpecho, "porpecho", QStringLiteral("Ordenar Por Diametro De Pecho"),
             &DiaryWindow::porpecho_Click);
    addEntry(porbiceps, "porbiceps", QStringLiteral("Ordenar Por Diametro De Biceps"),
             &DiaryWindow::porbiceps_Click);
    addEntry(porante, "porante", QStringLiteral("Ordenar Por Diametro De Antebrazo"),
             &DiaryWindow::porante_Click);
    addEntry(porpie, "porpie", QStringLiteral("Ordenar Por Diametro De Pierna"),
             &DiaryWindow::porpie_Click);
    addEntry(porgeme, "porgeme", QStringLiteral("Ordenar Por Diametro De Gemelo"),
             &DiaryWindow::porgeme_Click);
    addEntry(porhorario, "porhorario", QStringLiteral("Ordenar Por Horario"),
             &DiaryWindow::porhorario_Click);
    addEntry(saliendo, "saliendo", QStringLiteral("Salir"), &DiaryWindow::saliendo_Click);
}

void DiaryWindow::buildLayout() {
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setAutoFillBackground(true);
    setColours(client, QPalette::Window, black, QPalette::WindowText, white);
    client->setFixedSize(twips::toPixels(clientWidthTwips), twips::toPixels(clientHeightTwips));
    setCentralWidget(client);
    setFixedSize(client->width(), client->height() + menuBar()->sizeHint().height());

    const auto makeLabel = [client](const char *name, const QString &caption, QRect geometry,
                                    const QColor &colour, double points) {
        auto *label = new QLabel(caption, client);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(geometry);
        label->setAutoFillBackground(true);
        setColours(label, QPalette::Window, black, QPalette::WindowText, colour);
        label->setFont(arialBold(points));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    };

    for (const LabelDesign &design : headings) {
        QLabel *label = makeLabel(design.name, QString::fromUtf16(design.caption),
                                  twips::rect(design.left, design.top, design.width, design.height),
                                  yellow, 9.75);
        label->setToolTip(labelToolTip);
        if (qstrcmp(design.name, "Label4") == 0)
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }

    const auto valueLabel = [&makeLabel](const char *name, int left, int top, int width) {
        return makeLabel(name, QString(), twips::rect(left, top, width, 255), white, 9.75);
    };
    n = valueLabel("n", 120, 360, 2595);
    fn = valueLabel("fn", 120, 840, 3195);
    ac = valueLabel("ac", 120, 1320, 2115);
    Label6 = valueLabel("Label6", 2880, 360, 3315);
    Label8 = valueLabel("Label8", 4080, 600, 2475);
    Label33 = valueLabel("Label33", 4800, 840, 975);
    fco = valueLabel("fco", 2880, 1320, 3675);

    for (const LabelDesign &design : dayCaptions) {
        QLabel *label =
            makeLabel(design.name, QString::fromUtf16(design.caption),
                      twips::rect(design.left, design.top, design.width, design.height), red, 8.25);
        label->setToolTip(labelToolTip);
        if (qstrcmp(design.name, "Label34") == 0)
            Label34 = label;
    }
    QLabel *note =
        makeLabel("Label31", QStringLiteral("Introducir Solo Números (( Nada Más )) En Cm."),
                  twips::rect(3360, 1800, 4455, 255), green, 8.25);
    note->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    note->setToolTip(labelToolTip);

    const auto makeLine = [client](const char *name, const QColor &colour, QRect geometry) {
        auto *line = new QFrame(client);
        line->setObjectName(QLatin1String(name));
        line->setFrameShape(QFrame::NoFrame);
        line->setAutoFillBackground(true);
        setColours(line, QPalette::Window, colour, QPalette::WindowText, colour);
        line->setGeometry(geometry);
        return line;
    };
    const int lineY = twips::toPixels(1680);
    const int girthX = twips::toPixels(3120);
    const int girthBottom = twips::toPixels(5880);
    const int rightEnd = twips::toPixels(7920);
    Line1 = makeLine("Line1", green, QRect(0, lineY, rightEnd + 1, 1));
    Line2 = makeLine("Line2", white, QRect(girthX, lineY, 1, girthBottom - lineY + 1));
    Line3 = makeLine("Line3", white, QRect(girthX, girthBottom, rightEnd - girthX + 1, 1));

    Image1 = new PhotoBox(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twips::rect(6600, 105, 1215, 1455));
    Image1->setToolTip(QStringLiteral("Este Soy Yo..."));
    Image1->setFocusPolicy(Qt::NoFocus);

    for (const BoxDesign &design : boxDesigns) {
        const auto &field = dayfields::fields[std::size_t(design.box)];
        QWidget *box = nullptr;
        if (isMultiLine(design.box)) {
            auto *multi = new QPlainTextEdit(client);
            multi->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            multi->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            multi->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            multi->setTabChangesFocus(true);
            textwrap::keepLinear(multi);
            box = multi;
        } else {
            auto *line = new QLineEdit(client);
            line->setMaxLength(std::numeric_limits<int>::max()); // no limit of its own
            line->setAlignment((design.centred ? Qt::AlignHCenter : Qt::AlignLeft) |
                               Qt::AlignVCenter);
            box = line;
        }
        box->setObjectName(QLatin1String(field.box));
        box->setGeometry(twips::rect(design.left, design.top, design.width, design.height));
        QPalette colours = box->palette();
        colours.setColor(QPalette::Base, QColor::fromRgb(design.background));
        if (design.navyText)
            colours.setColor(QPalette::Text, navy);
        box->setPalette(colours);
        if (design.arialBold)
            box->setFont(arialBold(8.25));
        m_boxes[std::size_t(design.box)] = box;
    }
    const auto lineBox = [this](Box box) { return static_cast<QLineEdit *>(m_boxes[box]); };
    const auto multiBox = [this](Box box) { return static_cast<QPlainTextEdit *>(m_boxes[box]); };
    fh = lineBox(dayfields::Fh);
    hgim = lineBox(dayfields::Hgim);
    desa = multiBox(dayfields::Desa);
    comi = multiBox(dayfields::Comi);
    cena = multiBox(dayfields::Cena);
    qhash = multiBox(dayfields::Qhash);
    haspi = multiBox(dayfields::Haspi);
    eldiario = multiBox(dayfields::Eldiario);
    horahoy = lineBox(dayfields::Horahoy);
    lagua = lineBox(dayfields::Lagua);
    dcue = lineBox(dayfields::Dcue);
    dp = lineBox(dayfields::Dp);
    dad = lineBox(dayfields::Dad);
    dai = lineBox(dayfields::Dai);
    dbd = lineBox(dayfields::Dbd);
    dbi = lineBox(dayfields::Dbi);
    dc = lineBox(dayfields::Dc);
    dpd = lineBox(dayfields::Dpd);
    dpi = lineBox(dayfields::Dpi);
    dgd = lineBox(dayfields::Dgd);
    dgi = lineBox(dayfields::Dgi);
    dculo = lineBox(dayfields::Dculo);
    peski = lineBox(dayfields::Peski);

    const auto makeButton = [client](const char *name, const QString &caption, QRect geometry,
                                     const QString &toolTip) {
        auto *button = new QPushButton(caption, client);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(geometry);
        button->setToolTip(toolTip);
        button->setAutoDefault(false);
        return button;
    };
    Command4 =
        makeButton("Command4", QStringLiteral("&Añadir"), twips::rect(3120, 6600, 1095, 255), {});
    Command3 =
        makeButton("Command3", QStringLiteral("&Grabar"), twips::rect(4320, 6600, 1095, 255), {});
    Command2 =
        makeButton("Command2", QStringLiteral("&Borrar"), twips::rect(3720, 6960, 1095, 255), {});
    Command5 = makeButton("Command5", QStringLiteral("&Estadísticas En TxT 1 Arch."),
                          twips::rect(5640, 6720, 2175, 255),
                          QStringLiteral(" Estadísticas De Gimnasio En Un Archivo De Texto"));
    Command6 =
        makeButton("Command6", QStringLiteral("&Estadísticas En TxT Var. Arc"),
                   twips::rect(5640, 7080, 2175, 255),
                   QStringLiteral("Estadísticas De Gimnasio En Tantos Archivos Como Días Metidos"));
    Command1 = makeButton("Command1", QStringLiteral("&Salir"), twips::rect(5640, 7440, 2175, 255),
                          QStringLiteral("Salir De Día A Día En El Gimnasio"));
    connect(Command4, &QPushButton::clicked, this, &DiaryWindow::Command4_Click);
    connect(Command3, &QPushButton::clicked, this, &DiaryWindow::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &DiaryWindow::Command2_Click);
    connect(Command5, &QPushButton::clicked, this, &DiaryWindow::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &DiaryWindow::Command6_Click);
    connect(Command1, &QPushButton::clicked, this, &DiaryWindow::Command1_Click);

    m_navigationBar = new NavigationBar(navigationCaption, client);
    m_navigationBar->setObjectName(QStringLiteral("Data1"));
    m_navigationBar->setGeometry(twips::rect(120, 7320, 4695, 375));
    connect(m_navigationBar, &NavigationBar::firstRequested, this, &DiaryWindow::moveFirst);
    connect(m_navigationBar, &NavigationBar::previousRequested, this, &DiaryWindow::movePrevious);
    connect(m_navigationBar, &NavigationBar::nextRequested, this, &DiaryWindow::moveNext);
    connect(m_navigationBar, &NavigationBar::lastRequested, this, &DiaryWindow::moveLast);

    const QList<QWidget *> tabOrder = {
        Command1, Command2, Command3, Command4, fh,    desa,  hgim,     comi,     cena,    qhash,
        haspi,    horahoy,  lagua,    dcue,     dp,    dad,   dai,      dbd,      dbi,     dc,
        dpd,      dpi,      dgd,      dgi,      dculo, peski, Command5, Command6, eldiario};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void DiaryWindow::bindBoxes() {
    for (int box = 0; box < dayfields::BoxCount; ++box)
        m_editor->bind(Box(box), m_boxes[std::size_t(box)]);
}

// ---------------------------------------------------------------------------------------------
// Loading and the summary

void DiaryWindow::Form_Load() {
    m_editor->open();
    loadPhoto();

    if (m_profileWindow) {
        setWindowTitle(m_profileWindow->windowTitle());
        setWindowIcon(m_profileWindow->windowIcon());
        n->setText(profileText("nombre"));
        fn->setText(profileText("Label20"));
        fco->setText(profileText("Label21"));
        m_loadedHeight = profileText("alturacm");
        ac->setText(m_loadedHeight + QStringLiteral(" Cm."));
        Label6->setText(profileText("Label14"));
        Label8->setText(profileText("Label15") + u' ' + profileText("Label18") +
                        QStringLiteral(" Y ") + profileText("Label19"));
        m_loadedGymStart = profileText("fechacom");
    }
    setBoxesLocked(true);
    Command3->setEnabled(false);
}

void DiaryWindow::Form_Initialize() {
    refreshSummary();
}

void DiaryWindow::Form_Activate() {
    refreshSummary();
}

void DiaryWindow::refreshSummary() {
    // A day being entered stays on display: only the count, the photo and Label34 change.
    showDayCount();

    loadPhoto();
    if (m_profileWindow) {
        const auto boxes = m_profileWindow->findChildren<PhotoBox *>(QStringLiteral("Image1"));
        for (PhotoBox *box : boxes) {
            if (!isAncestorOf(box)) {
                box->setPicture(Image1->picture());
                break;
            }
        }
    }
    Image1->update();

    const QString name = m_profileWindow ? profileText("nombre") : n->text();
    Label34->setText(QStringLiteral("Diario De ") + name);
}

void DiaryWindow::showDayCount() {
    const int count = m_editor->storedCount();
    if (count <= 0)
        return;
    Label33->setText(QString::number(count) + QStringLiteral(" Días"));
    m_editor->toFirst();
}

void DiaryWindow::loadPhoto() {
    // The photo is read afresh, so that a photo dropped on the profile window meanwhile is the
    // one copied back to it.
    QImage picture;
    if (Data2->select() && Data2->rowCount() > 0) {
        const int column = Data2->record().indexOf(dayfields::photoColumn);
        if (column >= 0)
            picture = photo::decode(Data2->data(Data2->index(0, column)).toByteArray());
    }
    Image1->setPicture(picture);
}

QLabel *DiaryWindow::profileLabel(const char *name) const {
    if (!m_profileWindow)
        return nullptr;
    const auto labels = m_profileWindow->findChildren<QLabel *>(QLatin1String(name));
    for (QLabel *label : labels)
        if (!isAncestorOf(label))
            return label;
    return nullptr;
}

QString DiaryWindow::profileText(const char *name) const {
    const QLabel *label = profileLabel(name);
    return label ? label->text() : QString();
}

// ---------------------------------------------------------------------------------------------
// Activation

bool DiaryWindow::event(QEvent *event) {
    if (event->type() == QEvent::WindowActivate) {
        // Only a return from the profile window (or the first showing) refreshes; coming back
        // from another program or from this window's own message boxes does not.
        const bool refresh = !m_firstActivationDone || m_profileWasActivated;
        m_firstActivationDone = true;
        m_profileWasActivated = false;
        if (refresh && !m_closing)
            Form_Activate();
    }
    return QMainWindow::event(event);
}

bool DiaryWindow::eventFilter(QObject *watched, QEvent *event) {
    // The window activated before this one was the profile window when the profile window was
    // activated after this window's last activation.
    if (watched == m_profileWindow && event->type() == QEvent::WindowActivate)
        m_profileWasActivated = true;
    return QMainWindow::eventFilter(watched, event);
}

void DiaryWindow::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    Command1->setFocus();
}

// ---------------------------------------------------------------------------------------------
// The editor

void DiaryWindow::setBoxesLocked(bool locked) {
    for (QWidget *box : m_boxes)
        setLocked(box, locked);
}

dayfields::DayTexts DiaryWindow::shownTexts() const {
    dayfields::DayTexts texts;
    for (std::size_t box = 0; box < texts.size(); ++box)
        texts[box] = textOf(m_boxes[box]);
    return texts;
}

void DiaryWindow::setViewModeButtons() {
    Command4->setEnabled(true);
    Command3->setEnabled(false);
    Command2->setEnabled(true);
    Command5->setEnabled(!m_exporting);
}

void DiaryWindow::setAddModeButtons() {
    Command4->setEnabled(false);
    Command3->setEnabled(true);
    Command2->setEnabled(false);
    Command5->setEnabled(false);
}

void DiaryWindow::tellRefusal(const QString &what) {
    QString text = what;
    const QString engine = m_editor->lastError().trimmed();
    if (!engine.isEmpty())
        text += QStringLiteral("\n\n") + engine;
    m_dialogs.messageBox(this, text, noticeTitle);
}

void DiaryWindow::Command4_Click() {
    if (m_editor->isPending() || m_exporting)
        return;
    setBoxesLocked(false);
    if (!m_editor->beginDay()) {
        setBoxesLocked(true);
        return;
    }
    fh->setText(dates::shortDate(m_clock.now().date()));
    setAddModeButtons();
    m_textsAsBegun = shownTexts();
}

void DiaryWindow::Command3_Click() {
    saveDay();
}

bool DiaryWindow::saveDay() {
    Command4->setEnabled(true);
    Command3->setEnabled(false);
    if (m_editor->isPending()) {
        if (fh->text().isEmpty()) {
            m_editor->dropPending();
        } else if (!m_editor->storePending()) {
            // The typed day stays in the editor, ready to be saved again.
            if (m_editor->isPending()) {
                setAddModeButtons();
                tellRefusal(saveRefused);
                return false;
            }
            tellRefusal(saveRefused);
        }
    }
    setBoxesLocked(true);
    showDayCount();
    Command2->setEnabled(true);
    Command5->setEnabled(!m_exporting);
    return true;
}

void DiaryWindow::dropPendingDay() {
    m_editor->dropPending();
    setBoxesLocked(true);
    setViewModeButtons();
}

bool DiaryWindow::settlePendingDay() {
    if (!m_editor->isPending())
        return true;
    switch (pendingday::beforeMoving(shownTexts())) {
    case pendingday::Step::Store:
        return saveDay();
    case pendingday::Step::Drop:
        dropPendingDay();
        return true;
    case pendingday::Step::Keep:
        break;
    }
    m_dialogs.messageBox(this, undatedDay, noticeTitle);
    return false;
}

void DiaryWindow::Command2_Click() {
    if (m_editor->isPending() || m_exporting)
        return;
    const bool yes = m_dialogs.askYesNo(this, deleteQuestion, applicationTitle);
    const int count = m_editor->storedCount();
    if (!yes || count <= 0)
        return;
    if (!m_editor->deleteCurrent()) {
        tellRefusal(deleteRefused);
        return;
    }
    Label33->setText(QString::number(m_editor->storedCount()) + QStringLiteral(" Días"));
}

// ---------------------------------------------------------------------------------------------
// Moving and sorting

void DiaryWindow::moveFirst() {
    if (settlePendingDay())
        m_editor->toFirst();
}

void DiaryWindow::movePrevious() {
    if (settlePendingDay())
        m_editor->toPrevious();
}

void DiaryWindow::moveNext() {
    if (settlePendingDay())
        m_editor->toNext();
}

void DiaryWindow::moveLast() {
    if (settlePendingDay())
        m_editor->toLast();
}

void DiaryWindow::sortBy(dayfields::Order order) {
    if (m_exporting || !settlePendingDay())
        return;
    if (!m_editor->setRecordSource(dayfields::orderStatements[std::size_t(order)]))
        tellRefusal(sortRefused);
}

// Each entry orders by what its caption names.
void DiaryWindow::porhoras_Click() {
    sortBy(dayfields::ByHours);
}
void DiaryWindow::porfecha_Click() {
    sortBy(dayfields::ByDate);
}
void DiaryWindow::ordenarporagua_Click() {
    sortBy(dayfields::ByWater);
}
void DiaryWindow::porpeso_Click() {
    sortBy(dayfields::ByWeight);
}
void DiaryWindow::pordiaculo_Click() {
    sortBy(dayfields::ByBottom);
}
void DiaryWindow::porpecho_Click() {
    sortBy(dayfields::ByChest);
}
void DiaryWindow::porbiceps_Click() {
    sortBy(dayfields::ByBiceps);
}
void DiaryWindow::porante_Click() {
    sortBy(dayfields::ByForearm);
}
void DiaryWindow::porpie_Click() {
    sortBy(dayfields::ByLeg);
}
void DiaryWindow::porgeme_Click() {
    sortBy(dayfields::ByCalf);
}
void DiaryWindow::porhorario_Click() {
    sortBy(dayfields::ByTimetable);
}

// ---------------------------------------------------------------------------------------------
// Statistics

void DiaryWindow::Command5_Click() {
    exportDays(false);
}

void DiaryWindow::Command6_Click() {
    exportDays(true);
}

ReportProfile DiaryWindow::reportProfile() const {
    ReportProfile profile;
    if (m_profileWindow) {
        profile.name = profileText("nombre");
        profile.birthLong = profileText("Label20");
        profile.height = profileText("alturacm");
        profile.gymStartTyped = profileText("fechacom");
    } else {
        profile.name = n->text();
        profile.birthLong = fn->text();
        profile.height = m_loadedHeight;
        profile.gymStartTyped = m_loadedGymStart;
    }
    profile.gymStartLong = fco->text();
    profile.age = Label8->text();
    profile.dayCount = Label33->text();
    return profile;
}

void DiaryWindow::exportDays(bool perDay) {
    if (m_exporting)
        return;
    // The single-file export is not offered while a day is being entered; the per-day one first
    // settles the pending day.
    if (perDay ? !settlePendingDay() : m_editor->isPending())
        return;
    if (m_editor->storedCount() <= 0)
        return;

    m_exporting = true;
    Command5->setEnabled(false);
    Command6->setEnabled(false);
    const auto finish = [this] {
        m_exporting = false;
        Command5->setEnabled(!m_editor->isPending());
        Command6->setEnabled(true);
    };

    if (!m_editor->setRecordSource(dayfields::orderStatements[dayfields::ByDate])) {
        finish();
        tellRefusal(sortRefused);
        return;
    }
    // Nothing is held back by the set here, so the stored days are what the boxes would show.
    const StoredDays days(m_database.connection(), dayfields::orderStatements[dayfields::ByDate]);
    const ReportProfile profile = reportProfile();
    const ExportOutcome outcome =
        perDay ? statsexport::writePerDayFiles(m_database.folder(), profile, days)
               : statsexport::writeSingleFile(m_database.folder(), profile, days);
    m_editor->toFirst();
    finish();

    if (outcome.written)
        m_dialogs.messageBox(
            this, perDay ? statsexport::perDayFilesDone : statsexport::singleFileDone, noticeTitle);
    else
        m_dialogs.messageBox(this, statsexport::cannotSaveMessage(outcome), noticeTitle);
}

// ---------------------------------------------------------------------------------------------
// Leaving

void DiaryWindow::Command1_Click() {
    close();
}

void DiaryWindow::saliendo_Click() {
    close();
}

void DiaryWindow::closeEvent(QCloseEvent *event) {
    if (m_closing || m_exporting) {
        event->ignore();
        return;
    }
    if (m_editor->isPending()) {
        if (pendingday::onClosing(shownTexts(), m_textsAsBegun) == pendingday::Step::Store) {
            if (!saveDay()) {
                // Refused: the window stays open with the typed day, so that nothing is lost.
                event->ignore();
                return;
            }
        } else {
            dropPendingDay();
        }
    }
    m_closing = true;
    Form_Unload();
    event->accept();
}

void DiaryWindow::Form_Unload() {
    // Nothing can be started while the window collapses.
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    closinganimation::play(this);
}

// The diary window's design: its controls, placed in twips, its menu and the bindings of its boxes.

#include "data/dayfields.h"
#include "data/daystore.h"
#include "diary/diarywindow.h"
#include "diary/navigationbar.h"
#include "ui/designtable.h"
#include "ui/photobox.h"
#include "ui/textwrap.h"
#include "ui/twips.h"
#include "ui/windowfit.h"
#include "ui/windowlook.h"

#include <QDataWidgetMapper>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <limits>

using dayfields::Box;
using designtable::LabelRow;

namespace {

constexpr int clientWidthTwips = 7890;
constexpr int clientHeightTwips = 7740;

const QString labelToolTip = QStringLiteral("Nombre Del Usuario");
const QString navigationCaption = QStringLiteral("                Día A Día En El Gimnasio...");

// Profile summary headings: yellow, Arial bold 9.75.
const LabelRow headings[] = {
    {"Label2", u"Nombre Del Usuario", 120, 120, 2055, 255},
    {"Label1", u"Fecha De Nacimiento Del Usuario", 120, 600, 3855, 255},
    {"Label3", u"Altura En Centimetros", 120, 1080, 3855, 255},
    {"Label5", u"Tiempo Que Llevas En El Gimnasio", 2880, 120, 3615, 255},
    {"Label7", u"Edad", 3480, 600, 615, 255},
    {"Label32", u"Días Metidos", 3480, 840, 1335, 255},
    {"Label4", u"Fecha Comienzo En El Gimnasio", 2520, 1080, 3855, 255},
};

// Profile summary values: white, Arial bold 9.75.
const LabelRow values[] = {
    {"n", u"", 120, 360, 2595, 255},       {"fn", u"", 120, 840, 3195, 255},
    {"ac", u"", 120, 1320, 2115, 255},     {"Label6", u"", 2880, 360, 3315, 255},
    {"Label8", u"", 4080, 600, 2475, 255}, {"Label33", u"", 4800, 840, 975, 255},
    {"fco", u"", 2880, 1320, 3675, 255},
};

// Day-record captions: red, Arial bold 8.25.
const LabelRow dayCaptions[] = {
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
const LabelRow girthNote = {
    "Label31", u"Introducir Solo Números (( Nada Más )) En Cm.", 3360, 1800, 4455, 255};

const QRgb pink = qRgb(0xFF, 0xC0, 0xC0);
const QRgb lightYellow = qRgb(0xFF, 0xFF, 0xC0);
const QRgb boxYellow = qRgb(0xFF, 0xFF, 0x00);
const QRgb lightGreen = qRgb(0xC0, 0xFF, 0xC0);
const QRgb lightCyan = qRgb(0xC0, 0xFF, 0xFF);

struct BoxRow {
    Box box;
    int left, top, width, height;
    QRgb background;
    bool multiLine; // with a vertical scroll bar
    bool navyText;
    bool arialBold; // else the window's default font
    bool centred;
};

const BoxRow boxRows[] = {
    {dayfields::Fh, 1920, 1800, 1095, 285, pink, false, false, true, true},
    {dayfields::Hgim, 2280, 2160, 735, 285, lightYellow, false, false, false, true},
    {dayfields::Desa, 120, 2640, 2895, 495, boxYellow, true, true, false, false},
    {dayfields::Comi, 120, 3360, 2895, 495, boxYellow, true, true, false, false},
    {dayfields::Cena, 120, 4080, 2895, 495, boxYellow, true, true, false, false},
    {dayfields::Qhash, 120, 4800, 2895, 495, boxYellow, true, true, false, false},
    {dayfields::Haspi, 120, 5520, 2895, 495, boxYellow, true, true, false, false},
    {dayfields::Eldiario, 120, 6240, 2895, 975, boxYellow, true, true, false, false},
    {dayfields::Horahoy, 4440, 6000, 3375, 285, lightGreen, false, false, false, true},
    {dayfields::Lagua, 5760, 6360, 2055, 285, lightGreen, false, false, false, false},
    {dayfields::Dcue, 3360, 2400, 735, 285, lightCyan, false, true, true, true},
    {dayfields::Dp, 5640, 2400, 735, 285, lightCyan, false, true, true, true},
    {dayfields::Dad, 3360, 3000, 735, 285, lightCyan, false, true, true, true},
    {dayfields::Dai, 5640, 3000, 735, 285, lightCyan, false, true, true, true},
    {dayfields::Dbd, 3360, 3600, 735, 285, lightCyan, false, true, true, true},
    {dayfields::Dbi, 5640, 3600, 735, 285, lightCyan, false, true, true, true},
    {dayfields::Dc, 3360, 4200, 735, 285, lightCyan, false, true, true, true},
    {dayfields::Dpd, 5640, 4200, 735, 285, lightCyan, false, true, true, true},
    {dayfields::Dpi, 3360, 4800, 735, 285, lightCyan, false, true, true, true},
    {dayfields::Dgd, 5640, 4800, 735, 285, lightCyan, false, true, true, true},
    {dayfields::Dgi, 3360, 5400, 735, 285, lightCyan, false, true, true, true},
    {dayfields::Dculo, 7080, 5130, 735, 285, lightCyan, false, true, true, false},
    {dayfields::Peski, 7080, 5520, 735, 285, lightCyan, false, true, true, false},
};

static_assert(std::size(boxRows) == dayfields::BoxCount, "every day field has its box");

// Binds the boxes like the default delegate, except that Escape in a box does not throw away
// what was typed into it.
class BoxDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    bool eventFilter(QObject *object, QEvent *event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->matches(QKeySequence::Cancel))
            return false;
        return QStyledItemDelegate::eventFilter(object, event);
    }
};

QWidget *makeBox(QWidget *client, const BoxRow &row) {
    QWidget *box = nullptr;
    if (row.multiLine) {
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
        line->setAlignment((row.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
        box = line;
    }
    box->setObjectName(QLatin1String(dayfields::fields[row.box].box));
    // A screen reader names each box after its field, as the diary's own table does.
    box->setAccessibleName(dayfields::fields[row.box].column);
    box->setGeometry(twips::rect(row.left, row.top, row.width, row.height));
    QPalette colours = box->palette();
    colours.setColor(QPalette::Base, QColor::fromRgb(row.background));
    if (row.navyText)
        colours.setColor(QPalette::Text, windowlook::navy);
    box->setPalette(colours);
    if (row.arialBold)
        box->setFont(windowlook::arial(8.25, true));
    return box;
}

} // namespace

void DiaryWindow::buildLayout() {
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setAutoFillBackground(true);
    QPalette colours = client->palette();
    colours.setColor(QPalette::Window, windowlook::black);
    colours.setColor(QPalette::WindowText, windowlook::white);
    client->setPalette(colours);
    client->setFixedSize(twips::toPixels(clientWidthTwips), twips::toPixels(clientHeightTwips));
    // On a screen too small for the design (a scaled one), the design scrolls inside the window.
    const int menuHeight = menuBar()->sizeHint().height();
    QWidget *shown =
        windowfit::scrollableWhenLarger(client, windowfit::roomFor(this) - QSize(0, menuHeight));
    setCentralWidget(shown);
    setFixedSize(shown->width(), shown->height() + menuHeight);
    // Below the design, while there is one, a notice that needs no answer ("¡Nuevo Récord!...").
    statusBar()->setObjectName(QStringLiteral("avisos"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->hide();

    buildLabels(client);
    designtable::addRule(client, "Line1", windowlook::green, {0, 1680}, {7920, 1680});
    designtable::addRule(client, "Line2", windowlook::white, {3120, 1680}, {3120, 5880});
    designtable::addRule(client, "Line3", windowlook::white, {3120, 5880}, {7920, 5880});
    Image1 = new PhotoBox(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twips::rect(6600, 105, 1215, 1455));
    Image1->setToolTip(QStringLiteral("Este Soy Yo..."));
    Image1->setFocusPolicy(Qt::NoFocus);
    buildBoxes(client);
    buildButtons(client);

    const QList<QWidget *> tabOrder = {
        Command1, Command2, Command3, Command4, fh,    desa,  hgim,     comi,     cena,    qhash,
        haspi,    horahoy,  lagua,    dcue,     dp,    dad,   dai,      dbd,      dbi,     dc,
        dpd,      dpi,      dgd,      dgi,      dculo, peski, Command5, Command6, eldiario};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void DiaryWindow::buildLabels(QWidget *client) {
    using designtable::addLabel;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignTop;
    const QFont bold975 = windowlook::arial(9.75, true);
    const QFont bold825 = windowlook::arial(8.25, true);
    for (const LabelRow &row : headings)
        addLabel(client, row, {bold975, windowlook::yellow, left, labelToolTip})
            ->setAlignment(qstrcmp(row.name, "Label4") == 0 ? Qt::AlignHCenter | Qt::AlignTop
                                                            : left);
    for (const LabelRow &row : values)
        addLabel(client, row, {bold975, windowlook::white, left, {}});
    for (const LabelRow &row : dayCaptions)
        addLabel(client, row, {bold825, windowlook::red, left, labelToolTip});
    addLabel(client, girthNote,
             {bold825, windowlook::green, Qt::AlignHCenter | Qt::AlignTop, labelToolTip});
    // The design gives every caption the same tool tip; a screen reader describes each caption
    // by its own words instead of reading that tip as its description.
    for (QLabel *caption : client->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
        if (caption->toolTip() == labelToolTip)
            caption->setAccessibleDescription(caption->text());
    const auto label = [client](const char *name) {
        return client->findChild<QLabel *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    };
    n = label("n");
    fn = label("fn");
    ac = label("ac");
    Label6 = label("Label6");
    Label8 = label("Label8");
    Label33 = label("Label33");
    fco = label("fco");
    Label34 = label("Label34");
}

void DiaryWindow::buildBoxes(QWidget *client) {
    for (const BoxRow &row : boxRows)
        m_boxes[std::size_t(row.box)] = makeBox(client, row);
    const auto line = [this](Box box) { return static_cast<QLineEdit *>(m_boxes[box]); };
    const auto multi = [this](Box box) { return static_cast<QPlainTextEdit *>(m_boxes[box]); };
    fh = line(dayfields::Fh);
    hgim = line(dayfields::Hgim);
    desa = multi(dayfields::Desa);
    comi = multi(dayfields::Comi);
    cena = multi(dayfields::Cena);
    qhash = multi(dayfields::Qhash);
    haspi = multi(dayfields::Haspi);
    eldiario = multi(dayfields::Eldiario);
    horahoy = line(dayfields::Horahoy);
    lagua = line(dayfields::Lagua);
    dcue = line(dayfields::Dcue);
    dp = line(dayfields::Dp);
    dad = line(dayfields::Dad);
    dai = line(dayfields::Dai);
    dbd = line(dayfields::Dbd);
    dbi = line(dayfields::Dbi);
    dc = line(dayfields::Dc);
    dpd = line(dayfields::Dpd);
    dpi = line(dayfields::Dpi);
    dgd = line(dayfields::Dgd);
    dgi = line(dayfields::Dgi);
    dculo = line(dayfields::Dculo);
    peski = line(dayfields::Peski);
}

void DiaryWindow::buildButtons(QWidget *client) {
    using designtable::addButton;
    Command4 = addButton(client, "Command4", QStringLiteral("&Añadir"),
                         {"", u"", 3120, 6600, 1095, 255}, {});
    Command3 = addButton(client, "Command3", QStringLiteral("&Grabar"),
                         {"", u"", 4320, 6600, 1095, 255}, {});
    Command2 = addButton(client, "Command2", QStringLiteral("&Borrar"),
                         {"", u"", 3720, 6960, 1095, 255}, {});
    Command5 = addButton(client, "Command5", QStringLiteral("&Estadísticas En TxT 1 Arch."),
                         {"", u"", 5640, 6720, 2175, 255},
                         QStringLiteral(" Estadísticas De Gimnasio En Un Archivo De Texto"));
    Command6 =
        addButton(client, "Command6", QStringLiteral("&Estadísticas En TxT Var. Arc"),
                  {"", u"", 5640, 7080, 2175, 255},
                  QStringLiteral("Estadísticas De Gimnasio En Tantos Archivos Como Días Metidos"));
    Command1 =
        addButton(client, "Command1", QStringLiteral("&Salir"), {"", u"", 5640, 7440, 2175, 255},
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

    // The navigation and "&Salir" from the keyboard too.
    const struct {
        QKeySequence keys;
        void (DiaryWindow::*handler)();
    } shortcuts[] = {
        {QKeySequence(Qt::ALT | Qt::Key_Home), &DiaryWindow::moveFirst},
        {QKeySequence(Qt::ALT | Qt::Key_Left), &DiaryWindow::movePrevious},
        {QKeySequence(Qt::ALT | Qt::Key_Right), &DiaryWindow::moveNext},
        {QKeySequence(Qt::ALT | Qt::Key_End), &DiaryWindow::moveLast},
        {QKeySequence(Qt::Key_Escape), &DiaryWindow::Command1_Click},
    };
    for (const auto &shortcut : shortcuts)
        connect(new QShortcut(shortcut.keys, this), &QShortcut::activated, this, shortcut.handler);
}

void DiaryWindow::bindBoxes() {
    m_mapper = new QDataWidgetMapper(this);
    m_mapper->setItemDelegate(new BoxDelegate(m_mapper));
    m_mapper->setSubmitPolicy(QDataWidgetMapper::ManualSubmit);
    m_mapper->setModel(m_days->model());
    for (int box = 0; box < dayfields::BoxCount; ++box)
        if (const int column = m_days->columnOf(Box(box)); column >= 0)
            m_mapper->addMapping(m_boxes[std::size_t(box)], column);
    connect(m_days, &DayStore::currentRowChanged, this, &DiaryWindow::showRow);
    connect(m_days, &DayStore::followedDisk, this, &DiaryWindow::countMergedDays);
}

void DiaryWindow::showRow(int row) {
    if (row >= 0) {
        m_mapper->setCurrentIndex(row);
        return;
    }
    // The mapper cannot show "no day": the boxes are emptied one by one.
    for (QWidget *box : m_boxes) {
        const QMetaProperty property = box->metaObject()->userProperty();
        if (property.isValid())
            property.write(box, QString());
    }
}

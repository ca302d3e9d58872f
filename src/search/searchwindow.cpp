#include "search/searchwindow.h"

#include "data/daystore.h"
#include "report/csvexport.h"
#include "search/resultlist.h"
#include "ui/besideparent.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShortcut>
#include <QStringList>
#include <QTimer>

namespace {

const QString title = QStringLiteral("Buscar En El Diario");
constexpr QSize preferredSize(560, 640);

QString dayCount(qsizetype days) {
    if (days == 0)
        return QStringLiteral("Ningún Día Encontrado");
    return days == 1 ? QStringLiteral("1 Día Encontrado")
                     : QStringLiteral("%1 Días Encontrados").arg(days);
}

QString fieldNames() {
    QStringList names;
    for (const char *name : csvexport::columnNames)
        names += QLatin1String(name);
    return names.join(u", ");
}

} // namespace

SearchWindow::SearchWindow(const QSqlDatabase &db, DayStore &days, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_index(db)
    , m_results(new ResultList(m_index, this))
    , m_box(new QLineEdit(this))
    , m_count(new QLabel(this))
    , m_list(new QListView(this))
    , m_show(new QPushButton(QStringLiteral("&Ver Día"), this))
    , m_pause(new QTimer(this)) {
    setObjectName(QStringLiteral("buscar"));
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose, false);

    setUpControls();
    layOut();
    connectControls(days);
    m_index.ensure();
    besideparent::place(this, preferredSize);
}

void SearchWindow::setUpControls() {
    m_box->setObjectName(QStringLiteral("buscarTexto"));
    m_box->setAccessibleName(QStringLiteral("Buscar"));
    m_box->setMaxLength(int(search::maxLength));
    m_box->setClearButtonEnabled(true);
    m_box->setToolTip(QStringLiteral("Campos: ") + fieldNames());
    m_count->setObjectName(QStringLiteral("diasEncontrados"));
    m_count->setText(QStringLiteral("Escribe Lo Que Buscas"));
    m_list->setObjectName(QStringLiteral("resultados"));
    m_list->setAccessibleName(QStringLiteral("Resultados"));
    m_list->setModel(m_results);
    m_list->setItemDelegate(new ResultDelegate(m_list));
    m_list->setUniformItemSizes(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_show->setObjectName(QStringLiteral("verDia"));
    m_show->setAccessibleName(QStringLiteral("Ver Día"));
}

void SearchWindow::layOut() {
    auto *boxLabel = new QLabel(QStringLiteral("&Buscar:"), this);
    boxLabel->setBuddy(m_box);
    auto *help = new QLabel(
        QStringLiteral("Varias Palabras: Todas. \"Entre Comillas\": Esa Frase. -Palabra: Sin "
                       "Ella. Un Solo Campo: Diario:Rodilla, Que_Has_Hecho:Muerto. Números: "
                       "Peso:>80, Peso:<80, Peso:=80."),
        this);
    help->setObjectName(QStringLiteral("ayudaBuscar"));
    help->setWordWrap(true);
    auto *listLabel = new QLabel(QStringLiteral("&Resultados:"), this);
    listLabel->setBuddy(m_list);
    auto *layout = new QGridLayout(this);
    layout->addWidget(boxLabel, 0, 0);
    layout->addWidget(m_box, 0, 1);
    layout->addWidget(help, 1, 0, 1, 2);
    layout->addWidget(m_count, 2, 0, 1, 2);
    layout->addWidget(listLabel, 3, 0, 1, 2);
    layout->addWidget(m_list, 4, 0, 1, 2);
    layout->addWidget(m_show, 5, 1, Qt::AlignRight);
    layout->setRowStretch(4, 1);
    layout->setColumnStretch(1, 1);
}

void SearchWindow::connectControls(DayStore &days) {
    m_pause->setSingleShot(true);
    m_pause->setInterval(pauseMs);
    connect(m_pause, &QTimer::timeout, this, &SearchWindow::search);
    connect(m_box, &QLineEdit::textChanged, m_pause, qOverload<>(&QTimer::start));
    connect(m_box, &QLineEdit::returnPressed, this, [this] {
        search();
        if (m_results->rowCount() > 0)
            m_list->setFocus();
    });
    m_box->installEventFilter(this);
    connect(m_list, &QListView::activated, this, &SearchWindow::chooseCurrent);
    connect(m_show, &QPushButton::clicked, this, &SearchWindow::chooseCurrent);
    // A day saved, changed or deleted is found as it now is.
    connect(&days, &DayStore::storedDaysChanged, this, &SearchWindow::search);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
}

bool SearchWindow::eventFilter(QObject *watched, QEvent *event) {
    // Down in the box goes on to the days found.
    if (watched == m_box && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down && m_results->rowCount() > 0) {
        search();
        m_list->setFocus();
        if (!m_list->currentIndex().isValid())
            m_list->setCurrentIndex(m_results->index(0));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SearchWindow::search() {
    m_pause->stop();
    const qint64 current = m_list->currentIndex().data(ResultList::IdRole).toLongLong();
    const search::Query query = search::parse(m_box->text());
    search::SearchIndex::Found found = m_index.find(query);
    showCount(query, found);
    m_results->show(query, std::move(found.ids));
    const int row = m_results->rowOf(current);
    m_list->setCurrentIndex(m_results->index(row >= 0 ? row : 0));
}

void SearchWindow::showCount(const search::Query &query, const search::SearchIndex::Found &found) {
    if (query.tooLong)
        m_count->setText(QStringLiteral("Búsqueda Demasiado Larga: Como Mucho %1 Letras Y %2 "
                                        "Palabras")
                             .arg(search::maxLength)
                             .arg(search::maxTerms));
    else if (found.refused)
        m_count->setText(QStringLiteral("No Se Ha Podido Buscar: ") + m_index.lastError());
    else if (query.asksNothing() && !query.impossible)
        m_count->setText(QStringLiteral("Escribe Lo Que Buscas"));
    else
        m_count->setText(dayCount(qsizetype(found.ids.size())));
}

void SearchWindow::chooseCurrent() {
    const QModelIndex current = m_list->currentIndex();
    if (current.isValid())
        emit dayChosen(current.data(ResultList::IdRole).toLongLong());
}

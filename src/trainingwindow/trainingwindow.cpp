#include "trainingwindow/trainingwindow.h"

#include "data/dates.h"
#include "data/daystore.h"
#include "data/diarydatabase.h"
#include "training/catalogue.h"
#include "trainingwindow/texttable.h"
#include "ui/besideparent.h"
#include "ui/dialogs.h"

#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString title = QStringLiteral("Entrenamiento");
constexpr QSize preferredSize(1000, 700);
// The letters of a text "Sin Leer" shows at most.
constexpr qsizetype shownLetters = 200;

QTableWidget *newTable(QWidget *parent, const char *name, const QStringList &headings) {
    auto *table = new QTableWidget(0, int(headings.size()), parent);
    table->setObjectName(QLatin1String(name));
    table->setHorizontalHeaderLabels(headings);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

QTableWidgetItem *cell(const QString &text, const QVariant &data = {}) {
    auto *item = new QTableWidgetItem(text);
    if (data.isValid())
        item->setData(Qt::UserRole, data);
    return item;
}

// A cell of "Sin Leer": the text on one line, its days, why it is there, its first dates.
QString unreadCell(const traininglog::Unread &unread, int column) {
    switch (column) {
    case 0:
        // A long text shown by its beginning: a cell is one line.
        return unread.text.size() > shownLetters
                   ? unread.text.left(shownLetters).replace(u'\n', QStringLiteral(" / ")) +
                         QStringLiteral("...")
                   : QString(unread.text).replace(u'\n', QStringLiteral(" / "));
    case 1:
        return QString::number(unread.dates.size() + unread.undated);
    case 2: {
        QString why = unread.doubtful ? QStringLiteral("Dudoso") : QStringLiteral("Sin Leer");
        if (unread.candidates.isEmpty())
            return why;
        QStringList shown;
        for (const QString &candidate : unread.candidates)
            shown += traininglog::displayName(candidate);
        return why + QStringLiteral(": ¿") + shown.join(QStringLiteral(" O ")) + u'?';
    }
    default: {
        QStringList days;
        for (qsizetype i = 0; i < unread.dates.size() && i < 5; ++i)
            days += dates::shortDate(unread.dates[i]);
        if (unread.dates.size() > 5)
            days += QStringLiteral("...");
        return days.join(QStringLiteral(", "));
    }
    }
}

} // namespace

TrainingWindow::TrainingWindow(DiaryDatabase &database, DayStore &days, Dialogs &dialogs,
                               QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_dialogs(dialogs)
    , m_database(database)
    , m_corrections(database) {
    setObjectName(QStringLiteral("TrainingWindow"));
    setWindowTitle(title);
    layOut();
    reload();
    connect(&days, &DayStore::storedDaysChanged, this, &TrainingWindow::reload);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    // Every list named for a screen reader.
    for (const auto &[list, name] :
         {std::pair<QAbstractItemView *, const char16_t *>{m_exercises, u"Ejercicios"},
          {m_history, u"Historial"},
          {m_records, u"Récords"},
          {m_volume, u"Volumen Semanal"},
          {m_unread, u"Textos Sin Leer"}})
        list->setAccessibleName(QString::fromUtf16(name));
    besideparent::place(this, preferredSize);
}

TrainingWindow::~TrainingWindow() = default;

void TrainingWindow::layOut() {
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("pestanas"));
    m_tabs->addTab(buildHistory(), QStringLiteral("Historial"));
    m_chart = new QChartView(m_tabs);
    m_chart->setObjectName(QStringLiteral("grafica"));
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_tabs->addTab(m_chart, QStringLiteral("Máximo Estimado"));
    m_records =
        newTable(m_tabs, "records",
                 {QStringLiteral("Repeticiones"), QStringLiteral("Kg"), QStringLiteral("Fecha")});
    m_tabs->addTab(m_records, QStringLiteral("Récords"));
    m_tabs->addTab(buildVolume(), QStringLiteral("Volumen Semanal"));
    m_tabs->addTab(buildUnread(), QStringLiteral("Sin Leer"));
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        if (m_tabs->currentWidget() == m_chart)
            drawChart();
    });
    auto *splitter = new QSplitter(this);
    splitter->addWidget(buildList());
    splitter->addWidget(m_tabs);
    splitter->setStretchFactor(1, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
}

QWidget *TrainingWindow::buildList() {
    auto *panel = new QWidget(this);
    m_exercises = newTable(panel, "ejercicios",
                           {QStringLiteral("Ejercicio"), QStringLiteral("Días"),
                            QStringLiteral("Último Día"), QStringLiteral("Mejor Máx. Estimado")});
    m_note = new QLabel(panel);
    m_note->setObjectName(QStringLiteral("nota"));
    m_note->setWordWrap(true);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_exercises);
    layout->addWidget(m_note);
    connect(m_exercises, &QTableWidget::currentCellChanged, this,
            [this](int row) { chooseRow(row); });
    return panel;
}

QWidget *TrainingWindow::buildHistory() {
    const QString volume = QStringLiteral("Volumen (Kg)");
    m_historyRows = new TextTable(
        {QStringLiteral("Fecha"), QStringLiteral("Mejor Serie"), volume, QStringLiteral("Series")},
        this);
    m_history = newTableView(m_tabs, "historial", m_historyRows);
    // Widths from the texts, not measured row by row: a date, a top set, the heading of volume.
    const QFontMetrics metrics = m_history->fontMetrics();
    const int margin = 2 * metrics.horizontalAdvance(QLatin1Char('x'));
    const int date = metrics.horizontalAdvance(QStringLiteral("00/00/0000")) + margin;
    m_history->setColumnWidth(0, date);
    m_history->setColumnWidth(1, date * 3 / 2);
    m_history->setColumnWidth(2, std::max(date, metrics.horizontalAdvance(volume) + margin));
    return m_history;
}

QWidget *TrainingWindow::buildVolume() {
    auto *panel = new QWidget(m_tabs);
    m_week = new QComboBox(panel);
    m_week->setAccessibleName(QStringLiteral("Semana Del Volumen"));
    m_week->setObjectName(QStringLiteral("semana"));
    m_volume = newTable(panel, "volumen",
                        {QStringLiteral("Grupo Muscular"), QStringLiteral("Kg Movidos"),
                         QStringLiteral("Series Duras")});
    auto *layout = new QVBoxLayout(panel);
    auto *row = new QHBoxLayout;
    auto *caption = new QLabel(QStringLiteral("Semana Del:"), panel);
    caption->setBuddy(m_week);
    row->addWidget(caption);
    row->addWidget(m_week, 1);
    layout->addLayout(row);
    layout->addWidget(m_volume);
    connect(m_week, &QComboBox::currentIndexChanged, this, &TrainingWindow::showWeek);
    return panel;
}

QWidget *TrainingWindow::buildUnread() {
    auto *panel = new QWidget(m_tabs);
    m_unreadRows = new TextTable({QStringLiteral("Texto"), QStringLiteral("Días"),
                                  QStringLiteral("Por Qué"), QStringLiteral("Fechas")},
                                 this);
    m_unread = newTableView(panel, "sinleer", m_unreadRows);
    m_unread->setColumnWidth(0, fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
    m_catalogue = new QComboBox(panel);
    m_catalogue->setAccessibleName(QStringLiteral("Ejercicio Del Catálogo"));
    m_catalogue->setObjectName(QStringLiteral("catalogo"));
    QStringList names;
    for (qsizetype i = 0; i < training::catalogue::size(); ++i)
        names += training::catalogue::entry(i).name;
    names.sort(Qt::CaseInsensitive);
    for (const QString &name : names)
        m_catalogue->addItem(traininglog::displayName(name), name);
    m_isExercise = new QPushButton(QStringLiteral("Es Este &Ejercicio"), panel);
    m_isExercise->setObjectName(QStringLiteral("esEjercicio"));
    m_notTraining = new QPushButton(QStringLiteral("&No Es Entrenamiento"), panel);
    m_notTraining->setObjectName(QStringLiteral("noEsEntrenamiento"));
    auto *row = new QHBoxLayout;
    row->addWidget(m_catalogue, 1);
    row->addWidget(m_isExercise);
    row->addWidget(m_notTraining);
    m_corrected = new QComboBox(panel);
    m_corrected->setAccessibleName(QStringLiteral("Correcciones Guardadas"));
    m_corrected->setObjectName(QStringLiteral("corregidos"));
    m_undoCorrection = new QPushButton(QStringLiteral("&Quitar Corrección"), panel);
    m_undoCorrection->setObjectName(QStringLiteral("quitarCorreccion"));
    auto *undoRow = new QHBoxLayout;
    undoRow->addWidget(m_corrected, 1);
    undoRow->addWidget(m_undoCorrection);
    auto *layout = new QVBoxLayout(panel);
    layout->addWidget(new QLabel(QStringLiteral("Textos Que No Se Han Podido Leer Solos. El "
                                                "Texto Escrito No Se Cambia."),
                                 panel));
    layout->addWidget(m_unread);
    layout->addLayout(row);
    layout->addWidget(new QLabel(QStringLiteral("Correcciones Guardadas:"), panel));
    layout->addLayout(undoRow);
    connect(m_isExercise, &QPushButton::clicked, this, &TrainingWindow::correctExercise);
    connect(m_notTraining, &QPushButton::clicked, this, &TrainingWindow::correctNoTraining);
    connect(m_undoCorrection, &QPushButton::clicked, this, &TrainingWindow::undoCorrection);
    return panel;
}

void TrainingWindow::reload() {
    const std::optional<QList<traininglog::DiaryEntry>> entries =
        traininglog::readEntries(m_database.connection());
    const QList<TrainingCorrections::Entry> stored = m_corrections.entries();
    m_log = traininglog::build(entries.value_or(QList<traininglog::DiaryEntry>{}),
                               traininglog::correctionsFrom(stored));
    fillList(m_chosen);
    fillWeeks();
    fillUnread();
    fillCorrected(stored);
}

void TrainingWindow::fillList(const QString &keep) {
    QList<training::ExerciseSummary> summaries = m_log.totals.exercises.values();
    // The most done first.
    std::stable_sort(summaries.begin(), summaries.end(),
                     [](const auto &a, const auto &b) { return a.days > b.days; });
    const QSignalBlocker quiet(m_exercises);
    m_exercises->setRowCount(int(summaries.size()));
    int chosenRow = summaries.isEmpty() ? -1 : 0;
    for (int row = 0; row < summaries.size(); ++row) {
        const training::ExerciseSummary &summary = summaries[row];
        QString name = traininglog::displayName(summary.name);
        if (summary.own)
            name += QStringLiteral(" (Propio)");
        m_exercises->setItem(row, 0, cell(name, summary.name));
        m_exercises->setItem(row, 1, cell(QString::number(summary.days)));
        m_exercises->setItem(row, 2, cell(dates::shortDate(summary.lastDay)));
        m_exercises->setItem(row, 3,
                             cell(summary.bestMax
                                      ? traininglog::kilos(*summary.bestMax) + QStringLiteral(" Kg")
                                      : QString()));
        if (summary.name == keep)
            chosenRow = row;
    }
    m_exercises->resizeColumnsToContents();
    // The list as wide as its columns, up to half the window: no heading cut on opening.
    int wide = 2 * m_exercises->frameWidth() + m_exercises->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < m_exercises->columnCount(); ++column)
        wide += m_exercises->columnWidth(column);
    m_exercises->setMinimumWidth(std::min(wide, preferredSize.width() / 2));
    m_exercises->setCurrentCell(chosenRow, 0);
    chooseRow(chosenRow);
}

void TrainingWindow::chooseRow(int row) {
    const QTableWidgetItem *item = row >= 0 ? m_exercises->item(row, 0) : nullptr;
    showExercise(item ? item->data(Qt::UserRole).toString() : QString());
}

void TrainingWindow::fillUnread() {
    QList<QVariant> keys;
    for (const traininglog::Unread &unread : std::as_const(m_log.unread))
        keys += unread.key;
    const auto count = int(m_log.unread.size());
    m_unreadRows->setRows(
        count,
        [unreadTexts = m_log.unread](int row, int column) {
            return unreadCell(unreadTexts[row], column);
        },
        std::move(keys));
    if (count > 0)
        m_unread->setCurrentIndex(m_unreadRows->index(0, 0));
    m_tabs->setTabText(4, QStringLiteral("Sin Leer (%1)").arg(count));
    m_isExercise->setEnabled(count > 0);
    m_notTraining->setEnabled(count > 0);
}

void TrainingWindow::correctExercise() {
    if (const QVariant key = m_unreadRows->key(m_unread->currentIndex().row()); key.isValid())
        storeCorrection({TrainingCorrections::Kind::Exercise, key.toString(),
                         m_catalogue->currentData().toString()});
}

void TrainingWindow::correctNoTraining() {
    if (const QVariant key = m_unreadRows->key(m_unread->currentIndex().row()); key.isValid())
        storeCorrection({TrainingCorrections::Kind::NoTraining, key.toString(), {}});
}

void TrainingWindow::fillCorrected(const QList<TrainingCorrections::Entry> &stored) {
    m_corrected->clear();
    for (const TrainingCorrections::Entry &entry : stored) {
        const QString reading = entry.kind == TrainingCorrections::Kind::NoTraining
                                    ? QStringLiteral("No Es Entrenamiento")
                                    : traininglog::displayName(entry.exercise);
        m_corrected->addItem(entry.key + QStringLiteral(" → ") + reading, entry.key);
    }
    m_undoCorrection->setEnabled(!stored.isEmpty());
}

void TrainingWindow::undoCorrection() {
    if (const QVariant key = m_corrected->currentData(); key.isValid())
        afterCorrection(m_corrections.remove(key.toString()));
}

bool TrainingWindow::storeCorrection(const TrainingCorrections::Entry &entry) {
    return afterCorrection(m_corrections.set(entry));
}

bool TrainingWindow::afterCorrection(bool changed) {
    if (!changed) {
        m_dialogs.messageBox(this,
                             QStringLiteral("ERROR. No Se Ha Podido Guardar La Corrección; El "
                                            "Diario Sigue Como Estaba.\n%1")
                                 .arg(m_corrections.lastError()),
                             title);
        return false;
    }
    reload();
    return true;
}

#include "calendar/calendarwindow.h"

#include "calendar/streaks.h"
#include "calendar/yeargrid.h"
#include "calendar/yearmodel.h"
#include "data/clock.h"
#include "data/daystore.h"
#include "data/diarydatabase.h"
#include "ui/besideparent.h"
#include "ui/dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>

using namespace calendar;

namespace {

const QString title = QStringLiteral("Calendario");
constexpr QSize preferredSize(480, 1000);
// The days a week are written to the diary once the box has been still for this long.
constexpr int storeAfterMs = 600;

QString counted(int count, const char16_t *one, const char16_t *many) {
    return QStringLiteral("%1 ").arg(count) + QString::fromUtf16(count == 1 ? one : many);
}

// The grid's keys move by days, weeks and years rather than by cells.
class CalendarView final : public QTableView {
public:
    using QTableView::QTableView;
    std::function<void(QDate)> goTo;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
        const QDate current = currentIndex().data(YearModel::DateRole).toDate();
        if (!current.isValid())
            return QTableView::moveCursor(action, modifiers);
        QDate target;
        switch (action) {
        case MoveLeft:
        case MovePrevious:
            target = current.addDays(-1);
            break;
        case MoveRight:
        case MoveNext:
            target = current.addDays(1);
            break;
        case MoveUp:
            target = current.addDays(-7);
            break;
        case MoveDown:
            target = current.addDays(7);
            break;
        case MoveHome:
            target = QDate(current.year(), 1, 1);
            break;
        case MoveEnd:
            target = QDate(current.year(), 12, 31);
            break;
        case MovePageUp:
        case MovePageDown:
            target = current.addYears(action == MovePageUp ? -1 : 1);
            break;
        }
        // Into another year: the window shows it, with the day current.
        if (target.year() != current.year())
            goTo(target);
        return static_cast<YearModel *>(model())->indexOf(target);
    }
};

} // namespace

CalendarWindow::CalendarWindow(DiaryDatabase &database, DayStore &days, Dialogs &dialogs,
                               const Clock &clock, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_days(days)
    , m_dialogs(dialogs)
    , m_clock(clock)
    , m_db(database.connection())
    , m_settings(database)
    , m_current(clock.now().date())
    , m_model(new YearModel(this))
    , m_grid(new CalendarView(this))
    , m_currentStreak(new QLabel(this))
    , m_bestStreak(new QLabel(this))
    , m_year(new QSpinBox(this))
    , m_shading(new QComboBox(this))
    , m_daysPerWeek(new QSpinBox(this))
    , m_pauseButton(new QPushButton(this))
    , m_pauseAction(new QAction(this))
    , m_legend(new QGridLayout)
    , m_undated(new QLabel(this))
    , m_storeDays(new QTimer(this)) {
    setObjectName(QStringLiteral("calendario"));
    setWindowTitle(title);
    buildControls();
    static_cast<CalendarView *>(m_grid)->goTo = [this](QDate date) { showDate(date); };
    connect(&days, &DayStore::storedDaysChanged, this, &CalendarWindow::reload);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    reload();
    besideparent::place(this, preferredSize);
}

CalendarWindow::~CalendarWindow() {
    // The days a week still to be written: a failure is told by the database, as any write.
    if (m_storeDays->isActive())
        m_settings.setDaysPerWeek(m_daysPerWeek->value());
}

void CalendarWindow::buildControls() {
    buildGrid();
    buildSettings();
    layOut();
}

void CalendarWindow::buildGrid() {
    m_grid->setObjectName(QStringLiteral("calendarioDias"));
    m_grid->setModel(m_model);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setTabKeyNavigation(false);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_grid->addAction(m_pauseAction);
    connect(m_grid, &QAbstractItemView::activated, this, [this](const QModelIndex &index) {
        if (const qint64 id = index.data(YearModel::IdRole).toLongLong(); id > 0)
            emit dayChosen(id);
    });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &index) {
                if (const QDate date = index.data(YearModel::DateRole).toDate(); date.isValid()) {
                    m_current = date;
                    showPauseCaption();
                }
            });
}

void CalendarWindow::buildSettings() {
    for (QLabel *streak : {m_currentStreak, m_bestStreak})
        streak->setWordWrap(true);
    m_currentStreak->setObjectName(QStringLiteral("rachaActual"));
    m_bestStreak->setObjectName(QStringLiteral("mejorRacha"));
    QFont bold = font();
    bold.setBold(true);
    m_currentStreak->setFont(bold);

    m_year->setObjectName(QStringLiteral("anio"));
    m_year->setAccessibleName(QStringLiteral("Año"));
    connect(m_year, &QSpinBox::valueChanged, this, &CalendarWindow::showYear);
    m_shading->setObjectName(QStringLiteral("sombrearPor"));
    m_shading->setAccessibleName(QStringLiteral("Sombrear Por"));
    m_shading->addItems({QStringLiteral("Horas En El Gimnasio"), QStringLiteral("Litros De Agua"),
                         QStringLiteral("Días Con Entrenamiento")});
    connect(m_shading, &QComboBox::currentIndexChanged, this, &CalendarWindow::refresh);
    m_daysPerWeek->setObjectName(QStringLiteral("diasPorSemana"));
    m_daysPerWeek->setAccessibleName(QStringLiteral("Días Por Semana"));
    m_daysPerWeek->setRange(1, 7);
    m_storeDays->setSingleShot(true);
    m_storeDays->setInterval(storeAfterMs);
    connect(m_storeDays, &QTimer::timeout, this, &CalendarWindow::storeDaysPerWeek);
    connect(m_daysPerWeek, &QSpinBox::valueChanged, this, [this] {
        showStreaks();
        m_storeDays->start();
    });
    m_pauseButton->setObjectName(QStringLiteral("pausa"));
    connect(m_pauseButton, &QPushButton::clicked, this, &CalendarWindow::togglePause);
    m_pauseAction->setObjectName(QStringLiteral("pausaAction"));
    connect(m_pauseAction, &QAction::triggered, this, &CalendarWindow::togglePause);
    m_undated->setObjectName(QStringLiteral("sinFecha"));
    m_undated->setWordWrap(true);
}

void CalendarWindow::layOut() {
    const auto labelled = [this](const QString &caption, QWidget *control) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(control);
        return label;
    };
    auto *controls = new QGridLayout;
    controls->addWidget(labelled(QStringLiteral("&Año:"), m_year), 0, 0);
    controls->addWidget(m_year, 0, 1);
    controls->addWidget(labelled(QStringLiteral("&Sombrear Por:"), m_shading), 0, 2);
    controls->addWidget(m_shading, 0, 3);
    controls->addWidget(labelled(QStringLiteral("&Días Por Semana:"), m_daysPerWeek), 1, 0);
    controls->addWidget(m_daysPerWeek, 1, 1);
    controls->addWidget(m_pauseButton, 1, 2, 1, 2);
    controls->setColumnStretch(3, 1);

    // Every day's cell has room for its number and an amount ("30  2,25"); the grid is never
    // narrower than its seven days, and a window too short for its weeks scrolls them.
    const int cell = fontMetrics().horizontalAdvance(QStringLiteral("30  2,25")) + 8;
    m_grid->horizontalHeader()->setMinimumSectionSize(cell);
    m_grid->verticalHeader()->setMinimumWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("Septiembre · Pausa")) + 8);
    m_grid->setMinimumWidth(m_grid->verticalHeader()->minimumWidth() + 7 * cell +
                            m_grid->verticalScrollBar()->sizeHint().width() +
                            2 * m_grid->frameWidth());
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_currentStreak);
    layout->addWidget(m_bestStreak);
    layout->addLayout(controls);
    layout->addLayout(m_legend);
    layout->addWidget(m_undated);
    layout->addWidget(labelled(QStringLiteral("Ca&lendario:"), m_grid));
    layout->addWidget(m_grid, 1);

    // Tab goes through the controls as they stand, then to the days, which have the keys first.
    setTabOrder(m_year, m_shading);
    setTabOrder(m_shading, m_daysPerWeek);
    setTabOrder(m_daysPerWeek, m_pauseButton);
    setTabOrder(m_pauseButton, m_grid);
    m_grid->setFocus();
}

void CalendarWindow::reload() {
    m_diary = readDays(m_db).value_or(DiaryDays{});
    m_paused = m_settings.pausedWeeks();
    const int thisYear = m_clock.now().date().year();
    const int first = m_diary.days.empty() ? thisYear : m_diary.days.begin()->first.year();
    const int last = m_diary.days.empty() ? thisYear : m_diary.days.rbegin()->first.year();
    const QSignalBlocker quiet(m_year);
    const QSignalBlocker still(m_daysPerWeek);
    m_year->setRange(std::min(first, thisYear), std::max(last, thisYear));
    m_year->setValue(m_current.year());
    if (!m_storeDays->isActive())
        m_daysPerWeek->setValue(m_settings.daysPerWeek());
    refresh();
}

void CalendarWindow::showDate(QDate date) {
    if (!date.isValid())
        return;
    const int year = std::clamp(date.year(), m_year->minimum(), m_year->maximum());
    m_current =
        QDate(year, date.month(), std::min(date.day(), QDate(year, date.month(), 1).daysInMonth()));
    if (m_model->year() != m_current.year()) {
        const QSignalBlocker quiet(m_year);
        m_year->setValue(m_current.year());
        refresh();
    } else {
        m_grid->setCurrentIndex(m_model->indexOf(m_current));
    }
}

void CalendarWindow::showYear(int year) {
    const QDate date(year, m_current.month(), 1);
    showDate(QDate(year, m_current.month(), std::min(m_current.day(), date.daysInMonth())));
}

void CalendarWindow::refresh() {
    const QDate today = m_clock.now().date();
    if (m_current.year() != m_year->value())
        m_current = QDate(m_year->value(), 1, 1);
    m_model->show(&m_diary, m_year->value(), Shading(m_shading->currentIndex()), m_paused, today);
    m_grid->setAccessibleName(QStringLiteral("Calendario De %1").arg(m_year->value()));
    const QModelIndex current = m_model->indexOf(m_current);
    m_grid->setCurrentIndex(current);
    m_grid->scrollTo(current);
    m_undated->setText(m_diary.undated == 0 ? QString()
                                            : counted(m_diary.undated, u"día sin fecha válida",
                                                      u"días sin fecha válida"));
    m_undated->setVisible(m_diary.undated > 0);
    showStreaks();
    showLegend();
    showPauseCaption();
}

void CalendarWindow::showStreaks() {
    const Streaks found =
        streaks(m_diary.gymDays(), m_paused, m_daysPerWeek->value(), m_clock.now().date());
    const QString week = QStringLiteral(" Con %1 O Más De Gimnasio")
                             .arg(counted(m_daysPerWeek->value(), u"Día", u"Días"));
    m_currentStreak->setText(
        QStringLiteral("Racha Actual: ") + counted(found.currentWeeks, u"Semana", u"Semanas") +
        week + QStringLiteral(", ") + counted(found.currentDays, u"Día Seguido", u"Días Seguidos"));
    m_bestStreak->setText(
        QStringLiteral("Mejor Racha: ") + counted(found.longestWeeks, u"Semana", u"Semanas") +
        week + QStringLiteral(", ") + counted(found.longestDays, u"Día Seguido", u"Días Seguidos"));
}

void CalendarWindow::showLegend() {
    while (QLayoutItem *item = m_legend->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const Shading shading = Shading(m_shading->currentIndex());
    DayTotals recorded;
    recorded.records = 1;
    QList<std::pair<QString, QBrush>> entries{
        {QStringLiteral("Sin Registro"), QBrush(Qt::white)},
        {shadeOf(&recorded, shading).spoken, QBrush(YearModel::levelColour(0))}};
    const QStringList levels = legend(shading);
    for (int level = 1; level <= topLevel; ++level)
        entries += {levels[level - 1], QBrush(YearModel::levelColour(level))};
    entries += {QStringLiteral("Semana En Pausa"), QBrush(Qt::gray, Qt::BDiagPattern)};
    for (qsizetype i = 0; i < entries.size(); ++i) {
        auto *swatch = new QLabel(this);
        swatch->setFixedSize(fontMetrics().height(), fontMetrics().height());
        swatch->setFrameShape(QFrame::Box);
        swatch->setAutoFillBackground(true);
        QPalette palette = swatch->palette();
        palette.setBrush(QPalette::Window, entries[i].second);
        swatch->setPalette(palette);
        swatch->setAccessibleName(entries[i].first);
        const int row = int(i) / 3;
        const int column = int(i) % 3 * 2;
        m_legend->addWidget(swatch, row, column);
        m_legend->addWidget(new QLabel(entries[i].first, this), row, column + 1);
    }
}

void CalendarWindow::showPauseCaption() {
    const bool paused = m_paused.contains(mondayOf(m_current));
    m_pauseButton->setText(paused ? QStringLiteral("Quitar &Pausa De La Semana")
                                  : QStringLiteral("Marcar Semana En &Pausa"));
    m_pauseAction->setText(QString(m_pauseButton->text()).remove(u'&'));
    m_pauseButton->setAccessibleName(m_pauseAction->text());
}

void CalendarWindow::togglePause() {
    const QDate monday = mondayOf(m_current);
    if (!m_settings.setPaused(monday, !m_paused.contains(monday))) {
        m_dialogs.messageBox(this,
                             QStringLiteral("No Se Ha Podido Guardar La Pausa En El Diario.\n") +
                                 m_settings.lastError(),
                             title);
        return;
    }
    m_paused = m_settings.pausedWeeks();
    refresh();
}

void CalendarWindow::storeDaysPerWeek() {
    m_storeDays->stop();
    if (!m_settings.setDaysPerWeek(m_daysPerWeek->value()))
        m_dialogs.messageBox(this,
                             QStringLiteral("No Se Han Podido Guardar Los Días Por Semana En El "
                                            "Diario.\n") +
                                 m_settings.lastError(),
                             title);
}

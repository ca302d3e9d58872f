#include "dayeditor.h"

#include "dayrecordset.h"

#include <QDataWidgetMapper>
#include <QKeyEvent>
#include <QMetaProperty>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace pendingday {

Step beforeMoving(const dayfields::DayTexts &shown) {
    if (!shown[dayfields::Fh].isEmpty())
        return Step::Store;
    const bool nothingTyped = std::all_of(shown.begin() + 1, shown.end(),
                                          [](const QString &text) { return text.isEmpty(); });
    return nothingTyped ? Step::Drop : Step::Keep;
}

Step onClosing(const dayfields::DayTexts &shown, const dayfields::DayTexts &asBegun) {
    if (!shown[dayfields::Fh].isEmpty() && shown != asBegun)
        return Step::Store;
    return Step::Drop;
}

} // namespace pendingday

namespace {

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

} // namespace

DayEditor::DayEditor(DayRecordSet &records, QObject *parent)
    : QObject(parent)
    , m_records(records)
    , m_mapper(new QDataWidgetMapper(this)) {
    for (int box = 0; box < dayfields::BoxCount; ++box)
        m_columns[std::size_t(box)] =
            m_records.columnOf(dayfields::fields[std::size_t(box)].column);
    m_mapper->setItemDelegate(new BoxDelegate(m_mapper));
    m_mapper->setSubmitPolicy(QDataWidgetMapper::ManualSubmit);
    m_mapper->setModel(&m_records);

    // The engine does not tell how many rows a statement gives, so the set reads its rows in
    // batches as they are reached; the rest is read a batch at a time whenever the program is
    // idle, so that a jump to the last day of a long diary does not read thousands at once.
    m_idleFetch = new QTimer(this);
    m_idleFetch->setInterval(0);
    connect(m_idleFetch, &QTimer::timeout, this, [this] {
        if (!isPending() && m_records.canFetchMore())
            m_records.fetchMore();
        else
            m_idleFetch->stop();
    });
    connect(&m_records, &QAbstractItemModel::modelReset, m_idleFetch, qOverload<>(&QTimer::start));
}

void DayEditor::bind(dayfields::Box box, QWidget *widget) {
    const int column = m_columns[std::size_t(box)];
    if (column >= 0 && widget)
        m_mapper->addMapping(widget, column);
}

bool DayEditor::open() {
    const bool opened = m_records.select();
    if (!opened)
        m_lastError = m_records.lastError().text();
    toFirst();
    return opened;
}

int DayEditor::storedCount() {
    // A pending day is held by the set, not stored.
    return m_records.storedCount();
}

int DayEditor::currentRow() const {
    const int row = m_mapper->currentIndex();
    return row >= 0 && row < m_records.rowCount() ? row : -1;
}

void DayEditor::toFirst() {
    if (isPending())
        return;
    showRow(ensureFetched(0) ? 0 : -1);
}

void DayEditor::toPrevious() {
    const int row = currentRow();
    if (isPending() || row <= 0)
        return;
    showRow(row - 1);
}

void DayEditor::toNext() {
    const int row = currentRow();
    if (isPending() || row < 0)
        return;
    if (ensureFetched(row + 1))
        showRow(row + 1);
}

void DayEditor::toLast() {
    if (isPending())
        return;
    showRow(m_records.exactCount() - 1);
}

bool DayEditor::setRecordSource(const QString &source) {
    if (isPending())
        return false;
    const QString previous = m_records.recordSource();
    bool opened = m_records.setRecordSource(source);
    if (!opened) {
        m_lastError = m_records.lastError().text();
        m_records.setRecordSource(previous);
    }
    toFirst();
    return opened;
}

bool DayEditor::beginDay() {
    if (isPending())
        return false;
    const int before = currentRow();
    const int row = m_records.exactCount();
    if (!m_records.insertRow(row))
        return false;
    m_rowBeforePending = before;
    m_pendingRow = row;
    showRow(row);
    return true;
}

bool DayEditor::storePending() {
    if (!isPending())
        return true;
    m_mapper->submit();
    const dayfields::DayTexts typed = textsAt(m_pendingRow);
    if (submitInTransaction()) {
        m_pendingRow = -1;
        m_rowBeforePending = -1;
        return true;
    }
    restorePending(typed);
    return false;
}

void DayEditor::dropPending() {
    if (!isPending())
        return;
    m_records.revertAll();
    m_pendingRow = -1;
    showRow(m_rowBeforePending);
    m_rowBeforePending = -1;
}

bool DayEditor::deleteCurrent() {
    const int row = currentRow();
    if (isPending() || row < 0)
        return false;
    if (!m_records.removeRow(row)) {
        m_lastError = m_records.lastError().text();
        m_records.revertAll();
        return false;
    }
    if (!submitInTransaction()) {
        m_records.revertAll();
        m_records.select();
        showRow(ensureFetched(row) ? row : (ensureFetched(0) ? 0 : -1));
        return false;
    }
    // The next day now stands where the deleted one stood.
    if (ensureFetched(row))
        showRow(row);
    else
        showRow(ensureFetched(0) ? 0 : -1);
    return true;
}

dayfields::DayTexts DayEditor::textsAt(int row) const {
    dayfields::DayTexts texts;
    for (std::size_t box = 0; box < texts.size(); ++box) {
        const int column = m_columns[box];
        if (column >= 0)
            texts[box] = m_records.data(m_records.index(row, column), Qt::EditRole).toString();
    }
    return texts;
}

void DayEditor::showRow(int row) {
    if (row >= 0 && row < m_records.rowCount())
        m_mapper->setCurrentIndex(row);
    else
        showNothing();
}

void DayEditor::showNothing() {
    // The mapper cannot show "no record": the boxes are emptied one by one.
    for (int box = 0; box < dayfields::BoxCount; ++box) {
        const int column = m_columns[std::size_t(box)];
        if (column < 0)
            continue;
        if (QWidget *widget = m_mapper->mappedWidgetAt(column)) {
            const QMetaProperty property = widget->metaObject()->userProperty();
            if (property.isValid())
                property.write(widget, QString());
        }
    }
}

bool DayEditor::ensureFetched(int row) {
    while (row >= m_records.rowCount() && m_records.canFetchMore())
        m_records.fetchMore();
    return row >= 0 && row < m_records.rowCount();
}

bool DayEditor::submitInTransaction() {
    QSqlDatabase db = m_records.database();
    const bool inTransaction = db.transaction();
    bool stored = m_records.submitAll();
    if (!stored)
        m_lastError = m_records.lastError().text();
    if (stored && inTransaction) {
        stored = db.commit();
        if (!stored)
            m_lastError = db.lastError().text();
    }
    if (!stored && inTransaction)
        db.rollback();
    return stored;
}

void DayEditor::restorePending(const dayfields::DayTexts &texts) {
    if (m_pendingRow < m_records.rowCount() &&
        m_records.isDirty(m_records.index(m_pendingRow, 0))) {
        // The engine refused the row: it is still pending as typed.
        showRow(m_pendingRow);
        return;
    }
    // The commit failed after the set had been read again: the set is read once more from what
    // the table really holds and the day is begun again with the typed texts.
    m_records.revertAll();
    m_records.select();
    const int row = m_records.exactCount();
    if (!m_records.insertRow(row)) {
        m_pendingRow = -1;
        showRow(ensureFetched(0) ? 0 : -1);
        return;
    }
    for (std::size_t box = 0; box < texts.size(); ++box) {
        const int column = m_columns[box];
        if (column >= 0)
            m_records.setData(m_records.index(row, column), texts[box]);
    }
    m_pendingRow = row;
    showRow(row);
}

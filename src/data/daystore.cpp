#include "data/daystore.h"

#include "data/backups.h"
#include "data/dayrecordset.h"
#include "data/diarychange.h"
#include "data/diarydatabase.h"

#include <QSqlError>
#include <QTimer>

DayStore::DayStore(DiaryDatabase &database, QObject *parent)
    : QObject(parent)
    , m_database(database)
    , m_records(new DayRecordSet(database.connection(), dayfields::tableName, this))
    , m_idleFetch(new QTimer(this)) {
    for (int box = 0; box < dayfields::BoxCount; ++box)
        m_columns[std::size_t(box)] =
            m_records->columnOf(dayfields::fields[std::size_t(box)].column);

    // The engine does not tell how many rows a statement gives, so the set reads its rows in
    // batches as they are reached; the rest is read a batch at a time whenever the program is
    // idle, so that a jump to the last day of a long diary does not read thousands at once.
    m_idleFetch->setInterval(0);
    connect(m_idleFetch, &QTimer::timeout, this, [this] {
        if (!isPending() && m_records->canFetchMore())
            m_records->fetchMore();
        else
            m_idleFetch->stop();
    });
    connect(m_records, &QAbstractItemModel::modelReset, m_idleFetch, qOverload<>(&QTimer::start));
    // A merge may come in the middle of a save: the set follows once the save is done.
    connect(&database, &DiaryDatabase::mergedFromDisk, this, &DayStore::followDisk,
            Qt::QueuedConnection);
}

void DayStore::followDisk() {
    m_followLater = isPending();
    if (m_followLater)
        return;
    const int key = m_records->columnOf(dayfields::keyColumn);
    const int row = currentRow();
    const qint64 id =
        row >= 0 && key >= 0 ? m_records->data(m_records->index(row, key)).toLongLong() : -1;
    if (!m_records->select())
        m_lastError = m_records->lastError().text();
    const int shown = id >= 0 ? rowOf(id) : -1;
    if (shown >= 0)
        showRow(shown);
    else
        toFirst();
    emit storedDaysChanged();
    emit followedDisk();
}

DayStore::~DayStore() = default;

QAbstractItemModel *DayStore::model() const {
    return m_records;
}

bool DayStore::open() {
    const bool opened = m_records->select();
    if (!opened)
        m_lastError = m_records->lastError().text();
    toFirst();
    return opened;
}

bool DayStore::reload() {
    const bool opened = open();
    emit storedDaysChanged();
    return opened;
}

int DayStore::storedCount() const {
    return m_records->storedCount();
}

int DayStore::currentRow() const {
    return m_currentRow >= 0 && m_currentRow < m_records->rowCount() ? m_currentRow : -1;
}

void DayStore::toFirst() {
    if (isPending())
        return;
    showRow(ensureFetched(0) ? 0 : -1);
}

void DayStore::toPrevious() {
    const int row = currentRow();
    if (isPending() || row <= 0)
        return;
    showRow(row - 1);
}

void DayStore::toNext() {
    const int row = currentRow();
    if (isPending() || row < 0)
        return;
    if (ensureFetched(row + 1))
        showRow(row + 1);
}

void DayStore::toLast() {
    if (isPending())
        return;
    showRow(m_records->exactCount() - 1);
}

int DayStore::rowOf(qint64 id) {
    // Read a batch at a time, only as far as the day: after a merge it is often near the top.
    const int key = m_records->columnOf(dayfields::keyColumn);
    for (int row = 0; key >= 0 && ensureFetched(row); ++row)
        if (m_records->data(m_records->index(row, key)).toLongLong() == id)
            return row;
    return -1;
}

void DayStore::toRow(int row) {
    if (!isPending() && row >= 0 && ensureFetched(row))
        showRow(row);
}

bool DayStore::setOrder(dayfields::Order order) {
    if (isPending())
        return false;
    const QString previous = m_records->recordSource();
    const bool opened = m_records->setRecordSource(dayfields::orderStatement(order));
    if (!opened) {
        m_lastError = m_records->lastError().text();
        m_records->setRecordSource(previous);
    }
    toFirst();
    return opened;
}

bool DayStore::beginDay() {
    if (isPending())
        return false;
    const int before = currentRow();
    const int row = m_records->exactCount();
    if (!m_records->insertRow(row))
        return false;
    m_rowBeforePending = before;
    m_pendingRow = row;
    showRow(row);
    return true;
}

bool DayStore::storePending(const dayfields::DayTexts &typed) {
    if (!isPending())
        return true;
    setTexts(m_pendingRow, typed);
    if (submitInTransaction()) {
        m_pendingRow = -1;
        m_rowBeforePending = -1;
        if (m_followLater)
            followDisk();
        return true;
    }
    restorePending(typed);
    return false;
}

void DayStore::dropPending() {
    if (!isPending())
        return;
    m_records->revertAll();
    m_pendingRow = -1;
    showRow(m_rowBeforePending);
    m_rowBeforePending = -1;
    if (m_followLater)
        followDisk();
}

bool DayStore::deleteCurrent() {
    const int row = currentRow();
    if (isPending() || row < 0)
        return false;
    if (!m_records->removeRow(row)) {
        m_lastError = m_records->lastError().text();
        m_records->revertAll();
        return false;
    }
    const bool deleted = submitInTransaction();
    if (!deleted) {
        m_records->revertAll();
        m_records->select();
    }
    // The next day now stands where the deleted one stood.
    showRow(ensureFetched(row) ? row : (ensureFetched(0) ? 0 : -1));
    return deleted;
}

dayfields::DayTexts DayStore::textsAt(int row) const {
    dayfields::DayTexts texts;
    for (std::size_t box = 0; box < texts.size(); ++box) {
        const int column = m_columns[box];
        if (column >= 0)
            texts[box] = m_records->data(m_records->index(row, column), Qt::EditRole).toString();
    }
    return texts;
}

bool DayStore::isReadingAhead() const {
    return m_idleFetch->isActive();
}

StoredDays DayStore::storedDaysByDate() const {
    return StoredDays(m_database.connection(), dayfields::orderStatement(dayfields::ByDate));
}

void DayStore::showRow(int row) {
    m_currentRow = row >= 0 && row < m_records->rowCount() ? row : -1;
    emit currentRowChanged(m_currentRow);
}

bool DayStore::ensureFetched(int row) {
    while (row >= m_records->rowCount() && m_records->canFetchMore())
        m_records->fetchMore();
    return row >= 0 && row < m_records->rowCount();
}

bool DayStore::submitInTransaction() {
    const auto submit = [this](QString *error) {
        if (m_records->submitAll())
            return true;
        *error = m_records->lastError().text();
        return false;
    };
    const bool stored = diarychange::commitThenSave(m_database, submit, &m_lastError);
    if (stored)
        emit storedDaysChanged();
    return stored;
}

dayimport::Applied DayStore::importDays(const dayimport::Days &days, dayimport::Existing existing,
                                        const QString &backupBefore,
                                        const dayimport::Progress &progress,
                                        dayimport::Written written) {
    if (isPending())
        return {};
    dayimport::Applied applied;
    const auto store = [&](QString *error) {
        return dayimport::store(m_database.connection(), days, existing, written, progress,
                                &applied, error);
    };
    const auto noteBackup = [&] {
        if (!backupBefore.isEmpty())
            backups::noteBeforeImport(m_database.filePath(), backupBefore);
    };
    QString error;
    if (!diarychange::commitThenSave(m_database, store, &error, noteBackup)) {
        // Nothing was stored: nothing is counted.
        dayimport::Applied refused;
        refused.cancelled = applied.cancelled;
        refused.error = applied.cancelled ? QString() : error;
        return refused;
    }
    applied.done = true;
    reload();
    return applied;
}

void DayStore::setTexts(int row, const dayfields::DayTexts &texts) {
    for (std::size_t box = 0; box < texts.size(); ++box) {
        const int column = m_columns[box];
        if (column >= 0)
            m_records->setData(m_records->index(row, column), texts[box]);
    }
}

void DayStore::restorePending(const dayfields::DayTexts &texts) {
    if (m_pendingRow < m_records->rowCount() &&
        m_records->isDirty(m_records->index(m_pendingRow, 0))) {
        // The engine refused the row: it is still pending as typed.
        showRow(m_pendingRow);
        return;
    }
    // The commit failed after the set had been read again: the set is read once more from what
    // the table really holds and the day is begun again with the typed texts.
    m_records->revertAll();
    m_records->select();
    const int row = m_records->exactCount();
    if (!m_records->insertRow(row)) {
        m_pendingRow = -1;
        showRow(ensureFetched(0) ? 0 : -1);
        return;
    }
    setTexts(row, texts);
    m_pendingRow = row;
    showRow(row);
}

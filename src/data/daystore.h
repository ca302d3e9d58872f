#pragma once

#include "data/dayfields.h"
#include "data/dayimport.h"
#include "data/daywalk.h"

#include <QObject>
#include <QString>
#include <array>

class DayRecordSet;
class DiaryDatabase;
class QAbstractItemModel;
class QTimer;

// The diary's days: the record set in the chosen order, the day on display and at most one
// pending new day. Saves, deletes and imports are each one transaction, committed and written
// (diarychange.h); a new day reaches the table through DayWriter whichever way it comes. While a
// day is pending the record set does not move. Every change of the day on display is told by
// currentRowChanged.
class DayStore : public QObject {
    Q_OBJECT
public:
    explicit DayStore(DiaryDatabase &database, QObject *parent = nullptr);
    ~DayStore() override;

    // The record set, for the boxes that show the day on display; its column for each field.
    QAbstractItemModel *model() const;
    int columnOf(dayfields::Box box) const { return m_columns[std::size_t(box)]; }

    // Opens the set from its record source and shows the first day; false when the engine
    // refused (lastError() says why) and the set is empty.
    bool open();
    // Opens the set again after its days were changed behind it, and tells so.
    bool reload();
    // Opens the set again after another computer's changes were merged in, the day on display
    // staying on display when it is still there; while a day is pending, once it is stored or
    // dropped.
    void followDisk();

    // The days stored in the table, asked of the engine; a pending day is not counted. -1 when
    // the engine refuses.
    int storedCount() const;
    bool isPending() const { return m_pendingRow >= 0; }
    // Row of the day on display, -1 when none is.
    int currentRow() const;

    // Moves that stay put at either end and do nothing while a day is pending.
    void toFirst();
    void toPrevious();
    void toNext();
    void toLast();

    // The row of the stored day with this key in the set's order, the set read as far as that
    // row; -1 when it is not there.
    int rowOf(qint64 id);
    // Shows a row of the set; nothing while a day is pending or when there is no such row.
    void toRow(int row);

    // Re-opens the set in another order and shows its first day. When the engine refuses, the
    // previous order is opened again and false is returned.
    bool setOrder(dayfields::Order order);

    // Begins a new, empty day after the last one and shows it.
    bool beginDay();
    // Writes the pending day with these texts. When the engine refuses, nothing is written and,
    // where the set allows, the day stays pending with the texts given.
    bool storePending(const dayfields::DayTexts &typed);
    // Forgets the pending day and shows again the day that was on display before it.
    void dropPending();
    // Deletes the day on display and shows the one after it, or the first when it was the last.
    // When the engine refuses, the day stays as it was.
    bool deleteCurrent();

    // Stores imported days in one transaction, as dayimport::store() does, while no day is
    // pending; then the diary is written and the set opened again from its first day. The backup
    // made before, when given, becomes the one that "Deshacer Última Importación" restores once
    // the days are committed (and before they are written). Nothing is stored unless it is done.
    dayimport::Applied importDays(const dayimport::Days &days, dayimport::Existing existing,
                                  const QString &backupBefore = {},
                                  const dayimport::Progress &progress = {},
                                  dayimport::Written written = {});

    // The texts of a row of the set, in walk order.
    dayfields::DayTexts textsAt(int row) const;
    // The stored days in date order, read straight from the engine one at a time.
    StoredDays storedDaysByDate() const;

    // Whether the rest of the days is still being read while the program is idle.
    bool isReadingAhead() const;

    // The engine's words for the last refusal.
    QString lastError() const { return m_lastError; }

signals:
    void currentRowChanged(int row);
    // A save or a delete was committed: the stored days are not what they were.
    void storedDaysChanged();
    // The set was opened again after another computer's changes were merged in.
    void followedDisk();

private:
    void showRow(int row);
    bool ensureFetched(int row);
    bool submitInTransaction();
    void restorePending(const dayfields::DayTexts &texts);
    void setTexts(int row, const dayfields::DayTexts &texts);

    DiaryDatabase &m_database;
    DayRecordSet *m_records;
    QTimer *m_idleFetch;
    std::array<int, dayfields::BoxCount> m_columns{};
    int m_currentRow = -1;
    int m_pendingRow = -1;
    int m_rowBeforePending = -1;
    bool m_followLater = false;
    QString m_lastError;
};

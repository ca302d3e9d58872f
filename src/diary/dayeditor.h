#pragma once

#include "dayfields.h"

#include <QObject>
#include <QString>
#include <vector>

class DayRecordSet;
class QDataWidgetMapper;
class QTimer;
class QWidget;

// What becomes of a day begun with "&Añadir" and not saved yet when something else needs the
// record set:
//  - before a move of the navigation bar, a sort or the per-day export: a day with a date is
//    stored exactly as "&Grabar" would store it; a day without a date and with nothing typed in it
//    is dropped (there is nothing to lose); a day without a date but with typed text stays pending
//    on display and the move is not made, so that nothing is dropped silently and nothing is
//    written into another day;
//  - the summary refresh on activation never moves while a day is pending;
//  - on closing the window, a day with a date that the user changed after "&Añadir" is stored;
//    a day left exactly as "&Añadir" made it, or without a date, is dropped.
namespace pendingday {

enum class Step { Store, Drop, Keep };

Step beforeMoving(const dayfields::DayTexts &shown);
// Never Keep.
Step onClosing(const dayfields::DayTexts &shown, const dayfields::DayTexts &asBegun);

} // namespace pendingday

// The day-record editor behind the diary window: the record set, the boxes bound to its columns
// and at most one pending new day. Every operation leaves the boxes showing the current record,
// or empty when the set has none. While a day is pending the record set does not move.
class DayEditor : public QObject {
    Q_OBJECT
public:
    explicit DayEditor(DayRecordSet &records, QObject *parent = nullptr);

    // Binds a box (a QLineEdit or a QPlainTextEdit) to the column of its day field.
    void bind(dayfields::Box box, QWidget *widget);
    QDataWidgetMapper *mapper() const { return m_mapper; }
    DayRecordSet &records() const { return m_records; }

    // Opens the set from its record source and shows the first day.
    bool open();

    // The days stored in the table, as the set reaches them; a pending day is not counted.
    int storedCount();
    bool isPending() const { return m_pendingRow >= 0; }
    // Row of the record on display, -1 when none is.
    int currentRow() const;

    // Moves that stay put at either end and do nothing while a day is pending.
    void toFirst();
    void toPrevious();
    void toNext();
    void toLast();

    // Re-opens the set from another record source and shows its first day. When the engine
    // refuses the source, the previous one is opened again and false is returned.
    bool setRecordSource(const QString &source);

    // Begins a new, empty day after the last one and shows it.
    bool beginDay();
    // Writes the pending day with the texts of its boxes, in one committed transaction. When the
    // engine refuses, nothing is written, the day stays pending and its boxes keep what was typed.
    bool storePending();
    // Forgets the pending day and shows again the record that was on display before it.
    void dropPending();
    // Deletes the day on display and shows the one after it, or the first when it was the last.
    // When the engine refuses, the day stays as it was.
    bool deleteCurrent();

    // The texts that the boxes show for a row, in walk order.
    dayfields::DayTexts textsAt(int row) const;

    // The engine's words for the last refusal.
    QString lastError() const { return m_lastError; }

private:
    void showRow(int row);
    void showNothing();
    bool ensureFetched(int row);
    bool submitInTransaction();
    void restorePending(const dayfields::DayTexts &texts);

    DayRecordSet &m_records;
    QDataWidgetMapper *m_mapper;
    QTimer *m_idleFetch;
    std::array<int, dayfields::BoxCount> m_columns{};
    int m_pendingRow = -1;
    int m_rowBeforePending = -1;
    QString m_lastError;
};

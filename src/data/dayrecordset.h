#pragma once

#include "data/dayfields.h"

#include <QSqlTableModel>

// The record set of a data control: a table model whose select statement is its record source,
// either the table itself (stored order) or one of the ordering SELECT texts, run as written.
// Edits are held until submitAll(); the hidden key column identifies rows for updates and deletes.
class DayRecordSet : public QSqlTableModel {
    Q_OBJECT
public:
    DayRecordSet(const QSqlDatabase &db, const QString &table, QObject *parent = nullptr);

    // Sets the record source (a table name or a SELECT text) and re-opens the set from it.
    bool setRecordSource(const QString &source);
    QString recordSource() const { return m_source; }

    // Fetches every row, so that rowCount() is the exact total.
    int exactCount();
    // The number of days stored in the table, asked of the engine without fetching any; -1 when
    // the engine refuses.
    int storedCount() const;
    // The column of the result that holds a named column.
    int columnOf(const QString &name) const;

protected:
    QString selectStatement() const override;
    // A new row is written by DayWriter, as an imported day is, not by a statement of the model's
    // own making: one way adds a day to the table.
    bool insertRowIntoTable(const QSqlRecord &values) override;

private:
    QString m_source;
};

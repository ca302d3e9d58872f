#include "dayrecordset.h"

#include <QSqlRecord>

DayRecordSet::DayRecordSet(const QSqlDatabase &db, const QString &table, QObject *parent)
    : QSqlTableModel(parent, db)
    , m_source(table) {
    setEditStrategy(OnManualSubmit);
    setTable(table);
}

bool DayRecordSet::setRecordSource(const QString &source) {
    m_source = source;
    return select();
}

int DayRecordSet::exactCount() {
    while (canFetchMore())
        fetchMore();
    return rowCount();
}

int DayRecordSet::columnOf(const QString &name) const {
    return record().indexOf(name);
}

QString DayRecordSet::selectStatement() const {
    if (m_source == tableName())
        return QSqlTableModel::selectStatement();
    return m_source;
}

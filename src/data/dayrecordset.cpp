#include "data/dayrecordset.h"

#include "data/daywriter.h"

#include <QSqlDriver>
#include <QSqlQuery>
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

int DayRecordSet::storedCount() const {
    QSqlQuery query(database());
    const QString table = database().driver()->escapeIdentifier(tableName(), QSqlDriver::TableName);
    if (!query.exec(QStringLiteral("SELECT count(*) FROM ") + table) || !query.next())
        return -1;
    return query.value(0).toInt();
}

int DayRecordSet::columnOf(const QString &name) const {
    return record().indexOf(name);
}

QString DayRecordSet::selectStatement() const {
    if (m_source == tableName())
        return QSqlTableModel::selectStatement();
    return m_source;
}

bool DayRecordSet::insertRowIntoTable(const QSqlRecord &values) {
    // The texts the row was given, by their columns; a column never set gives a null text, which
    // is stored as NULL as the model's own statement would leave it.
    dayfields::DayTexts texts;
    for (std::size_t box = 0; box < texts.size(); ++box)
        texts[box] = values.value(dayfields::fields[box].column).toString();
    DayWriter writer(database());
    if (writer.isReady() && writer.add(texts))
        return true;
    setLastError(writer.lastError());
    return false;
}

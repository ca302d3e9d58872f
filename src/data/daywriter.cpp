#include "data/daywriter.h"

#include "data/sqlfunctions.h"

#include <QStringList>

DayWriter::DayWriter(const QSqlDatabase &db)
    : m_insert(db) {
    QStringList columns;
    QStringList marks;
    for (const dayfields::DayField &field : dayfields::fields) {
        columns += quotedIdentifier(field.column);
        marks += QStringLiteral("?");
    }
    m_ready = m_insert.prepare(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(quotedIdentifier(dayfields::tableName), columns.join(u", "), marks.join(u", ")));
}

bool DayWriter::add(const dayfields::DayTexts &texts) {
    for (const QString &text : texts)
        m_insert.addBindValue(text);
    return m_insert.exec();
}

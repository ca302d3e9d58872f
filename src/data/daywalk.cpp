#include "data/daywalk.h"

#include "data/dates.h"
#include "data/sqlfunctions.h"

#include <QStringDecoder>
#include <sqlite3.h>

DayWalk::Summary DayList::summary() const {
    Summary summary;
    summary.count = qsizetype(m_days.size());
    for (auto day = m_days.rbegin(); day != m_days.rend() && !summary.lastDate; ++day)
        summary.lastDate = dates::readDate((*day)[dayfields::Fh]);
    return summary;
}

bool DayList::forEach(const Visit &visit) const {
    for (const dayfields::DayTexts &day : m_days)
        if (!visit(day))
            break;
    return true;
}

namespace {

// One statement of the engine behind a Qt connection, finalised when it goes out of scope.
// The Qt query classes would wrap every text in a variant and have the engine convert it to
// UTF-16 first, which makes a walk over thousands of days several times slower.
class Statement {
public:
    Statement(const QSqlDatabase &db, const QString &sql) {
        sqlite3 *connection = engineHandle(db);
        const QByteArray text = sql.toUtf8();
        if (connection && sqlite3_prepare_v2(connection, text.constData(), int(text.size()),
                                             &m_statement, nullptr) != SQLITE_OK) {
            sqlite3_finalize(m_statement);
            m_statement = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return m_statement != nullptr; }
    // True on a row, false at the end; failed() tells an end from a refusal.
    bool step() {
        m_lastStep = sqlite3_step(m_statement);
        return m_lastStep == SQLITE_ROW;
    }
    bool failed() const { return m_lastStep != SQLITE_DONE; }

    int columnOf(const QString &name) const {
        for (int column = 0; column < sqlite3_column_count(m_statement); ++column)
            if (QString::fromUtf8(sqlite3_column_name(m_statement, column)) == name)
                return column;
        return -1;
    }
    // The text of a column of the current row into text, reusing its buffer.
    void readInto(int column, QString &text) {
        const auto *bytes =
            reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
        const int size = sqlite3_column_bytes(m_statement, column);
        if (!bytes) {
            text.clear();
            return;
        }
        // A UTF-8 text never has fewer bytes than its UTF-16 form has code units.
        text.resize(size);
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QChar *end = decoder.appendToBuffer(text.data(), QByteArrayView(bytes, size));
        text.truncate(end - text.constData());
    }

private:
    sqlite3_stmt *m_statement = nullptr;
    int m_lastStep = SQLITE_DONE;
};

} // namespace

StoredDays::StoredDays(const QSqlDatabase &db, const QString &select)
    : m_db(db)
    , m_select(select) {}

DayWalk::Summary StoredDays::summary() const {
    Summary summary;
    // Only the date box is read; the engine reads it from the date index where it can.
    Statement query(m_db, QStringLiteral("SELECT [%1] FROM (%2)")
                              .arg(dayfields::fields[dayfields::Fh].column, m_select));
    if (!query.isValid()) {
        summary.complete = false;
        return summary;
    }
    QString date;
    while (query.step()) {
        ++summary.count;
        query.readInto(0, date);
        if (const auto read = dates::readDate(date))
            summary.lastDate = read;
    }
    summary.complete = !query.failed();
    return summary;
}

bool StoredDays::forEach(const Visit &visit) const {
    Statement query(m_db, m_select);
    if (!query.isValid())
        return false;
    std::array<int, dayfields::BoxCount> columns{};
    for (std::size_t box = 0; box < columns.size(); ++box)
        columns[box] = query.columnOf(dayfields::fields[box].column);
    dayfields::DayTexts day;
    while (query.step()) {
        for (std::size_t box = 0; box < columns.size(); ++box) {
            if (columns[box] >= 0)
                query.readInto(columns[box], day[box]);
        }
        if (!visit(day))
            return true;
    }
    return !query.failed();
}

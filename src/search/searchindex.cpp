#include "search/searchindex.h"

#include "data/dates.h"
#include "data/sqlfunctions.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <limits>
#include <sqlite3.h>
#include <tuple>

namespace search {

namespace {

const QString folded = QStringLiteral("busqueda");
const QString exact = QStringLiteral("busqueda_exacta");
const QString source = QStringLiteral("busqueda_dias");

// day_number(text): the day a date box reads as, counted from a fixed day; NULL when it is no
// date. Newest first sorts by it.
void dayNumber(sqlite3_context *context, int, sqlite3_value **arguments) {
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(arguments[0]));
    const std::optional<QDate> date =
        text ? dates::readDateUtf8(text, sqlite3_value_bytes(arguments[0])) : std::nullopt;
    if (date)
        sqlite3_result_int64(context, date->toJulianDay());
    else
        sqlite3_result_null(context);
}

// A statement of the engine, finalized when it goes.
class Statement {
public:
    Statement(sqlite3 *db, const QString &sql) {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_statement, nullptr) !=
            SQLITE_OK) {
            error = QString::fromUtf8(sqlite3_errmsg(db));
            m_statement = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    explicit operator bool() const { return m_statement; }
    QString error; // the engine's words when it could not be made
    void bind(int index, const QString &text) {
        const QByteArray bytes = text.toUtf8();
        sqlite3_bind_text(m_statement, index, bytes.constData(), int(bytes.size()),
                          SQLITE_TRANSIENT);
    }
    void bind(int index, double value) { sqlite3_bind_double(m_statement, index, value); }
    void bind(int index, qint64 value) { sqlite3_bind_int64(m_statement, index, value); }
    // SQLITE_ROW while there are rows, SQLITE_DONE at the end, an error code otherwise.
    int step() { return sqlite3_step(m_statement); }
    qint64 integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    bool isNull(int column) const {
        return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
    }
    QString text(int column) const {
        return QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column)),
            sqlite3_column_bytes(m_statement, column));
    }

private:
    sqlite3_stmt *m_statement = nullptr;
};

QString dayTable() {
    return QStringLiteral("main.") + quotedIdentifier(dayfields::tableName);
}

// The index's columns, and the day table's values for them (new."..." or old."...").
QString indexColumns() {
    QStringList columns;
    for (int box = 0; box < dayfields::BoxCount; ++box)
        columns += indexColumn(dayfields::Box(box));
    return columns.join(u", ");
}

QString rowValues(const QString &row) {
    QStringList values;
    for (const dayfields::DayField &field : dayfields::fields)
        values += row + u'.' + quotedIdentifier(field.column);
    return values.join(u", ");
}

QStringList buildStatements() {
    QStringList view;
    for (int box = 0; box < dayfields::BoxCount; ++box)
        view += quotedIdentifier(dayfields::fields[box].column) + QStringLiteral(" AS ") +
                indexColumn(dayfields::Box(box));
    QStringList statements{
        QStringLiteral("CREATE TEMP VIEW %1 AS SELECT %2, %3 FROM %4")
            .arg(source, quotedIdentifier(dayfields::keyColumn), view.join(u", "), dayTable())};
    for (const auto &[name, diacritics] : {std::pair{folded, 2}, std::pair{exact, 0}}) {
        statements += QStringLiteral("CREATE VIRTUAL TABLE temp.%1 USING fts5(%2, content='%3', "
                                     "content_rowid='%4', columnsize=0, tokenize='unicode61 "
                                     "remove_diacritics %5')")
                          .arg(name, indexColumns(), source, dayfields::keyColumn)
                          .arg(diacritics);
        statements += QStringLiteral("INSERT INTO temp.%1(%1) VALUES('rebuild')").arg(name);
    }
    const QString key = quotedIdentifier(dayfields::keyColumn);
    const auto insert = [&](const QString &row) {
        return QStringLiteral("INSERT INTO %1(rowid, %2) VALUES (%3.%4, %5); ")
                   .arg(folded, indexColumns(), row, key, rowValues(row)) +
               QStringLiteral("INSERT INTO %1(rowid, %2) VALUES (%3.%4, %5); ")
                   .arg(exact, indexColumns(), row, key, rowValues(row));
    };
    const auto remove = [&](const QString &row) {
        return QStringLiteral("INSERT INTO %1(%1, rowid, %2) VALUES ('delete', %3.%4, %5); ")
                   .arg(folded, indexColumns(), row, key, rowValues(row)) +
               QStringLiteral("INSERT INTO %1(%1, rowid, %2) VALUES ('delete', %3.%4, %5); ")
                   .arg(exact, indexColumns(), row, key, rowValues(row));
    };
    const QString trigger = QStringLiteral("CREATE TEMP TRIGGER %1 AFTER %2 ON %3 BEGIN %4END");
    statements += trigger.arg(folded + QStringLiteral("_nuevo"), QStringLiteral("INSERT"),
                              dayTable(), insert(QStringLiteral("new")));
    statements += trigger.arg(folded + QStringLiteral("_borrado"), QStringLiteral("DELETE"),
                              dayTable(), remove(QStringLiteral("old")));
    statements +=
        trigger.arg(folded + QStringLiteral("_cambio"), QStringLiteral("UPDATE"), dayTable(),
                    remove(QStringLiteral("old")) + insert(QStringLiteral("new")));
    return statements;
}

// The fields in the order in which a found day shows where the words are: the texts people
// write first.
constexpr std::array<dayfields::Box, dayfields::BoxCount> shownFirst = {
    dayfields::Eldiario, dayfields::Qhash,   dayfields::Desa, dayfields::Comi, dayfields::Cena,
    dayfields::Haspi,    dayfields::Horahoy, dayfields::Fh,   dayfields::Hgim, dayfields::Lagua,
    dayfields::Peski,    dayfields::Dcue,    dayfields::Dad,  dayfields::Dbd,  dayfields::Dc,
    dayfields::Dpi,      dayfields::Dgi,     dayfields::Dp,   dayfields::Dai,  dayfields::Dbi,
    dayfields::Dpd,      dayfields::Dgd,     dayfields::Dculo};

const char *comparison(NumberFilter::Op op) {
    switch (op) {
    case NumberFilter::Less:
        return "<";
    case NumberFilter::LessOrEqual:
        return "<=";
    case NumberFilter::Equal:
        return "=";
    case NumberFilter::GreaterOrEqual:
        return ">=";
    case NumberFilter::Greater:
        return ">";
    }
    return "=";
}

} // namespace

SearchIndex::SearchIndex(const QSqlDatabase &db)
    : m_db(db) {}

sqlite3 *SearchIndex::handle() {
    sqlite3 *db = engineHandle(m_db);
    if (!db)
        m_lastError = QStringLiteral("El Diario No Está Abierto.");
    return db;
}

bool SearchIndex::isBuilt(sqlite3 *db) {
    Statement built(
        db, QStringLiteral("SELECT 1 FROM temp.sqlite_schema WHERE name = '%1'").arg(folded));
    return built && built.step() == SQLITE_ROW;
}

bool SearchIndex::ensure() {
    sqlite3 *db = handle();
    if (!db)
        return false;
    // A function defined already cannot be defined again while a statement runs: it is there.
    const int defined = sqlite3_create_function_v2(
        db, "day_number", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
        dayNumber, nullptr, nullptr, nullptr);
    if (defined != SQLITE_OK && defined != SQLITE_BUSY) {
        m_lastError = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }
    return isBuilt(db) || build(db);
}

bool SearchIndex::build(sqlite3 *db) {
    // The temporary schema must live in memory: the engine's default would let it reach a file.
    // It is changed only when it is not so already, for changing it drops what is there.
    Statement store(db, QStringLiteral("PRAGMA temp_store"));
    if (!store || store.step() != SQLITE_ROW) {
        m_lastError = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }
    QStringList statements = buildStatements();
    if (store.integer(0) != 2)
        statements.prepend(QStringLiteral("PRAGMA temp_store = MEMORY"));
    statements.prepend(QStringLiteral("SAVEPOINT busqueda"));
    statements += QStringLiteral("RELEASE busqueda");
    for (const QString &statement : std::as_const(statements)) {
        if (sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, nullptr) !=
            SQLITE_OK) {
            m_lastError = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_exec(db, "ROLLBACK TO busqueda; RELEASE busqueda", nullptr, nullptr, nullptr);
            return false;
        }
    }
    return true;
}

namespace {

// The days a query finds with the day their date reads as: driven by the index when words must
// appear, else by the day table. The words bind to ?1, the words left out to ?2, the numbers
// from ?3 on.
QString selection(const Query &query) {
    const QString key = quotedIdentifier(dayfields::keyColumn);
    QStringList conditions;
    QString from = dayTable() + QStringLiteral(" AS d");
    if (!query.match.isEmpty()) {
        from = QStringLiteral("temp.%1 JOIN %2 ON d.%3 = %1.rowid").arg(folded, from, key);
        conditions += folded + QStringLiteral(" MATCH ?1");
    }
    if (!query.excluded.isEmpty())
        conditions += QStringLiteral("d.%1 NOT IN (SELECT rowid FROM temp.%2 WHERE %2 MATCH ?2)")
                          .arg(key, folded);
    for (qsizetype i = 0; i < query.numbers.size(); ++i) {
        const NumberFilter &filter = query.numbers[i];
        conditions += QStringLiteral("%1ifnull(val(d.%2) %3 ?%4, 0)")
                          .arg(filter.excluded ? QStringLiteral("NOT ") : QString(),
                               quotedIdentifier(dayfields::fields[filter.box].column),
                               QLatin1String(comparison(filter.op)))
                          .arg(i + 3);
    }
    return QStringLiteral("SELECT d.%1, day_number(d.%2) FROM %3 WHERE %4")
        .arg(key, quotedIdentifier(dayfields::fields[dayfields::Fh].column), from,
             conditions.join(QStringLiteral(" AND ")));
}

void bindSelection(Statement &select, const Query &query) {
    if (!query.match.isEmpty())
        select.bind(1, query.match);
    if (!query.excluded.isEmpty())
        select.bind(2, query.excluded);
    for (qsizetype i = 0; i < query.numbers.size(); ++i)
        select.bind(int(i) + 3, query.numbers[i].value);
}

struct FoundDay {
    bool exact;
    qint64 number; // of its date; below every date when it reads as none
    qint64 id;
};

// Those whose words are as typed first, then the newest first; asTyped is in the key's order.
void putInOrder(std::vector<FoundDay> &days, const std::vector<qint64> &asTyped,
                SearchIndex::Found *found) {
    for (FoundDay &day : days) {
        day.exact = std::binary_search(asTyped.begin(), asTyped.end(), day.id);
        found->exact += day.exact;
    }
    std::sort(days.begin(), days.end(), [](const FoundDay &a, const FoundDay &b) {
        return std::tie(a.exact, a.number, a.id) > std::tie(b.exact, b.number, b.id);
    });
    found->ids.reserve(days.size());
    for (const FoundDay &day : days)
        found->ids.push_back(day.id);
}

} // namespace

SearchIndex::Found SearchIndex::find(const Query &query) {
    Found found;
    if (query.impossible || query.asksNothing())
        return found;
    if (!ensure()) {
        found.refused = true;
        return found;
    }
    Statement select(handle(), selection(query));
    // The days whose words are as typed, accents too: in the index's order, the key's.
    Statement exactly(handle(),
                      QStringLiteral("SELECT rowid FROM temp.%1 WHERE %1 MATCH ?1").arg(exact));
    if (select)
        bindSelection(select, query);
    std::vector<FoundDay> days;
    int step = select ? select.step() : SQLITE_ERROR;
    for (; step == SQLITE_ROW; step = select.step())
        days.push_back({false,
                        select.isNull(1) ? std::numeric_limits<qint64>::min() : select.integer(1),
                        select.integer(0)});
    std::vector<qint64> asTyped;
    if (step == SQLITE_DONE && !query.match.isEmpty() && !days.empty()) {
        if (exactly)
            exactly.bind(1, query.match);
        for (step = exactly ? exactly.step() : SQLITE_ERROR; step == SQLITE_ROW;
             step = exactly.step())
            asTyped.push_back(exactly.integer(0));
    }
    if (step != SQLITE_DONE) {
        m_lastError = !select    ? select.error
                      : !exactly ? exactly.error
                                 : QString::fromUtf8(sqlite3_errmsg(engineHandle(m_db)));
        found.refused = true;
        return found;
    }
    putInOrder(days, asTyped, &found);
    return found;
}

std::optional<SearchIndex::Fragment> SearchIndex::fragment(const Query &query, qint64 id) {
    const std::vector<Fragment> found = fragments(query, {id});
    return found.empty() ? std::nullopt : std::optional<Fragment>(found.front());
}

std::vector<SearchIndex::Fragment> SearchIndex::fragments(const Query &query,
                                                          const std::vector<qint64> &ids) {
    std::vector<Fragment> found;
    if (ids.empty() || !ensure())
        return found;
    // The keys written into the statements: numbers, nothing typed.
    QStringList keys;
    for (const qint64 id : ids)
        keys += QString::number(id);
    const QString listed = keys.join(u',');
    const dayfields::Box shownBox = query.match.isEmpty() && !query.numbers.isEmpty()
                                        ? query.numbers.first().box
                                        : dayfields::Eldiario;
    Statement days(handle(), QStringLiteral("SELECT %1, %2, %3 FROM %4 WHERE %1 IN (%5)")
                                 .arg(quotedIdentifier(dayfields::keyColumn),
                                      quotedIdentifier(dayfields::fields[dayfields::Fh].column),
                                      quotedIdentifier(dayfields::fields[shownBox].column),
                                      dayTable(), listed));
    while (days && days.step() == SQLITE_ROW)
        found.push_back({days.integer(0), days.text(1), shownBox, days.text(2).left(120)});
    if (query.match.isEmpty() || found.empty())
        return found;

    // Each field's piece around the words found, the words marked; the first field that has one
    // in the order people read them shows. One reading of the index serves all the days: those
    // between the first and the last key, the others left out before any piece is made.
    QStringList pieces;
    for (int box = 0; box < dayfields::BoxCount; ++box)
        pieces += QStringLiteral("snippet(%1, %2, char(2), char(3), '…', 16)").arg(folded).arg(box);
    const auto [first, last] = std::minmax_element(ids.begin(), ids.end());
    Statement snippets(handle(), QStringLiteral("SELECT rowid, %1 FROM temp.%2 WHERE %2 MATCH ?1 "
                                                "AND rowid BETWEEN %3 AND %4 AND +rowid IN (%5)")
                                     .arg(pieces.join(u", "), folded)
                                     .arg(*first)
                                     .arg(*last)
                                     .arg(listed));
    if (!snippets)
        return found;
    snippets.bind(1, query.match);
    while (snippets.step() == SQLITE_ROW) {
        const auto day = std::find_if(found.begin(), found.end(), [&](const Fragment &fragment) {
            return fragment.id == snippets.integer(0);
        });
        for (const dayfields::Box box : shownFirst) {
            const QString piece = snippets.text(int(box) + 1);
            if (day != found.end() && piece.contains(QChar(markStart))) {
                day->box = box;
                day->text = piece;
                break;
            }
        }
    }
    return found;
}

} // namespace search

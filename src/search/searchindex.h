#pragma once

#include "data/dayfields.h"
#include "search/query.h"

#include <QSqlDatabase>
#include <QString>
#include <optional>
#include <vector>

struct sqlite3;

// The full-text index of the diary's days, kept where nothing of it reaches the disk: in the
// temporary schema of the diary's own connection, which the engine holds in memory (temp_store =
// MEMORY) and which is no part of the main database that is sealed, backed up or copied. It is
// built from the day table when first needed and kept in step with it by temporary triggers, so
// a day saved, changed or deleted is found as it now is. It goes with the connection.
//
// Two indexes over every field, named by the CSV export's column names: one folds case and
// accents ("cafe" finds "café", "ano" finds "año"), the other folds case only, to put first the
// days where the words appear as they were typed.
namespace search {

class SearchIndex {
public:
    explicit SearchIndex(const QSqlDatabase &db);

    // Builds the index when the connection does not have it yet; false when the engine refuses
    // (lastError() says why).
    bool ensure();

    struct Found {
        std::vector<qint64> ids; // exact ones first, then the newest first, then the last typed
        qsizetype exact = 0;     // how many of them have the words as they were typed
        bool refused = false;    // the engine refused (lastError() says why); no ids
    };
    // The days a query finds. A query that asks nothing, or nothing possible, finds none.
    Found find(const Query &query);

    // Where a found day shows what was searched: the field and a piece of its text around the
    // words found, each between markStart and markEnd; for a query of numbers alone, the first
    // number's field as typed. None when the day is not there.
    struct Fragment {
        qint64 id = 0;
        QString date; // the date box as typed
        dayfields::Box box = dayfields::BoxCount;
        QString text;
    };
    std::optional<Fragment> fragment(const Query &query, qint64 id);
    // The same of several days at once, in no order: one reading of the index for all.
    std::vector<Fragment> fragments(const Query &query, const std::vector<qint64> &ids);
    static constexpr char16_t markStart = u'\x02';
    static constexpr char16_t markEnd = u'\x03';

    QString lastError() const { return m_lastError; }

private:
    sqlite3 *handle();
    bool isBuilt(sqlite3 *db);
    bool build(sqlite3 *db);

    QSqlDatabase m_db;
    QString m_lastError;
};

} // namespace search

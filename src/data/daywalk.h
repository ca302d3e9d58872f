#pragma once

#include "data/dayfields.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

// A list of days that can be gone through in its order as often as needed, one day at a time, so
// that a diary of many thousand days is never held whole in memory.
class DayWalk {
public:
    // What one cheap pass over the list tells before the days themselves are read.
    struct Summary {
        qsizetype count = 0;
        std::optional<QDate> lastDate; // of the last day whose date box reads as a date
        bool complete = true;          // false when the list could not be read to its end
    };
    // Returns false to stop the walk.
    using Visit = std::function<bool(const dayfields::DayTexts &)>;

    virtual ~DayWalk() = default;
    virtual Summary summary() const = 0;
    // Hands every day to visit, in order. The texts handed over are valid during the call only.
    // False when the list could not be read to its end; a walk stopped by visit is complete.
    virtual bool forEach(const Visit &visit) const = 0;
};

// Days held in memory.
class DayList final : public DayWalk {
public:
    explicit DayList(const std::vector<dayfields::DayTexts> &days)
        : m_days(days) {}
    Summary summary() const override;
    bool forEach(const Visit &visit) const override;

private:
    const std::vector<dayfields::DayTexts> &m_days;
};

// The days that a SELECT text gives, read straight from the engine each time: what is stored,
// not edits held by a record set.
class StoredDays final : public DayWalk {
public:
    StoredDays(const QSqlDatabase &db, const QString &select);
    Summary summary() const override;
    bool forEach(const Visit &visit) const override;

private:
    QSqlDatabase m_db;
    QString m_select;
};

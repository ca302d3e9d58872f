#include "training/catalogue.h"

#include "training/catalogueentries.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

// The catalogue's look-ups, by name, by key and by a key with a slip, built once from the table
// in catalogueentries.cpp.

namespace training {
namespace {

constexpr std::array<const char16_t *, int(Muscle::Count)> muscleNames = {
    u"pecho",    u"espalda",     u"hombros",    u"bíceps",   u"tríceps",    u"antebrazos",
    u"trapecio", u"abdominales", u"oblicuos",   u"lumbares", u"cuádriceps", u"isquiotibiales",
    u"glúteos",  u"aductores",   u"abductores", u"gemelos"};

QStringList musclesOf(unsigned bits) {
    QStringList names;
    for (int m = 0; m < int(Muscle::Count); ++m)
        if (bits & (1u << m))
            names += QString::fromUtf16(muscleNames[std::size_t(m)]);
    return names;
}

struct Index {
    std::vector<CatalogueEntry> entries;
    QHash<QString, QList<qsizetype>> byKey;
    QHash<QString, qsizetype> byName;
    // Every key with its entries, by the key's length, for the near look-up.
    std::vector<std::vector<std::pair<QString, qsizetype>>> keysByLength;

    Index() {
        for (const internal::CatalogueRow &row : internal::catalogueRows()) {
            const qsizetype index = qsizetype(entries.size());
            const QString name = QString::fromUtf16(row.name);
            entries.push_back(
                {name, musclesOf(row.primary), musclesOf(row.secondary), row.bodyWeight});
            byName.insert(name, index);
            QStringList names = QString::fromUtf16(row.aliases).split(u'|');
            names.prepend(name);
            for (const QString &alias : std::as_const(names)) {
                QList<qsizetype> &list = byKey[nameKey(alias)];
                if (!list.contains(index))
                    list += index;
            }
        }
        for (auto it = byKey.cbegin(); it != byKey.cend(); ++it) {
            const auto length = std::size_t(it.key().size());
            if (keysByLength.size() <= length)
                keysByLength.resize(length + 1);
            for (const qsizetype entry : it.value())
                keysByLength[length].emplace_back(it.key(), entry);
        }
        // The hash's order changes from run to run; the look-up walks these in one order.
        for (auto &keys : keysByLength)
            std::sort(keys.begin(), keys.end());
    }
};

const Index &index() {
    static const Index built;
    return built;
}

// The number of typing slips between two texts of at most 40 letters (insertions, deletions,
// changes and swaps of neighbours), or more than limit when it is above the limit.
int slips(QStringView a, QStringView b, int limit) {
    const qsizetype n = a.size(), m = b.size();
    if (std::abs(int(n - m)) > limit || n > 40 || m > 40)
        return limit + 1;
    std::array<std::array<int, 41>, 3> dp{}; // rows i-2, i-1 and i, in turn
    for (qsizetype j = 0; j <= m; ++j)
        dp[0][std::size_t(j)] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        auto &current = dp[std::size_t(i % 3)];
        const auto &previous = dp[std::size_t((i - 1) % 3)];
        const auto &before = dp[std::size_t((i + 1) % 3)];
        current[0] = int(i);
        int best = current[0];
        for (qsizetype j = 1; j <= m; ++j) {
            const auto J = std::size_t(j);
            int d = std::min({previous[J] + 1, current[J - 1] + 1,
                              previous[J - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d = std::min(d, before[J - 2] + 1);
            current[J] = d;
            best = std::min(best, d);
        }
        if (best > limit)
            return limit + 1;
    }
    return dp[std::size_t(n % 3)][std::size_t(m)];
}

} // namespace

QString muscleName(Muscle muscle) {
    return QString::fromUtf16(muscleNames[std::size_t(muscle)]);
}

namespace catalogue {

qsizetype size() {
    return qsizetype(index().entries.size());
}

const CatalogueEntry &entry(qsizetype i) {
    return index().entries[std::size_t(i)];
}

qsizetype indexOf(QStringView name) {
    return index().byName.value(name.toString(), -1);
}

QList<qsizetype> withKey(QStringView key) {
    return index().byKey.value(key.toString());
}

QList<qsizetype> nearKey(QStringView key, int extra) {
    QList<qsizetype> found;
    if (key.size() < 5 || key.size() > 40)
        return found;
    // Diaries repeat their names: the last few thousand answers are kept, in each thread.
    thread_local QHash<QString, QList<qsizetype>> known[2];
    QHash<QString, QList<qsizetype>> &cache = known[extra > 0 ? 1 : 0];
    if (const auto it = cache.constFind(key.toString()); it != cache.cend())
        return *it;
    if (cache.size() > 4096)
        cache.clear();
    const QString cacheKey = key.toString();
    const int limit = (key.size() >= 10 ? 2 : 1) + extra;
    int nearest = limit + 1;
    const auto &byLength = index().keysByLength;
    for (qsizetype length = key.size() - limit; length <= key.size() + limit; ++length) {
        if (length < 0 || std::size_t(length) >= byLength.size())
            continue;
        for (const auto &[other, entry] : byLength[std::size_t(length)]) {
            if (other[0] != key[0])
                continue;
            const int d = slips(key, other, std::min(limit, nearest));
            if (d < nearest) {
                nearest = d;
                found.clear();
            }
            if (d == nearest && d <= limit && !found.contains(entry))
                found += entry;
        }
    }
    // The exercises a slip may stand for, in the catalogue's order whatever the hash's.
    std::sort(found.begin(), found.end());
    cache.insert(cacheKey, found);
    return found;
}

} // namespace catalogue
} // namespace training

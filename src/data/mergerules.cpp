#include "data/mergerules.h"

#include <QSet>
#include <algorithm>
#include <optional>

namespace mergerules {
namespace {

bool same(const QVariant &a, const QVariant &b) {
    return a.isNull() == b.isNull() && (a.isNull() || a == b);
}

QString conflictKey(const Conflict &conflict) {
    return conflict.uid + u'\x1f' + conflict.column + u'\x1f' +
           QString::number(conflict.stamp.time) + u'\x1f' + QString::number(conflict.stamp.node);
}

// A value lost when it was written after the value that the winner replaced: the two were
// typed without one seeing the other. One that the winner had seen is its past, not a conflict.
bool concurrent(const Field &winner, const Field &loser) {
    return loser.stamp.time > winner.previous;
}

struct FieldMerge {
    Field result;
    bool oursChanged = false;
    bool theirsLacks = false;
    std::optional<Conflict> lost;
};

FieldMerge mergeField(const Field &ours, const Field &theirs, const QString &uid,
                      const QString &column) {
    FieldMerge merged{ours, false, false, std::nullopt};
    if (same(ours.value, theirs.value)) {
        if (theirs.stamp > ours.stamp) {
            merged.result = theirs;
            merged.oursChanged = true;
        }
        return merged;
    }
    const bool theirsWin = theirs.stamp > ours.stamp;
    const Field &winner = theirsWin ? theirs : ours;
    const Field &loser = theirsWin ? ours : theirs;
    merged.result = winner;
    merged.oursChanged = theirsWin;
    merged.theirsLacks = !theirsWin;
    if (concurrent(winner, loser))
        merged.lost = Conflict{uid, column, loser.value, loser.stamp, winner.stamp.time};
    return merged;
}

// Days held by both: field by field.
void mergeBoth(const Day &ours, const Day &theirs, Outcome *outcome) {
    Day result = ours;
    bool changed = false;
    for (std::size_t box = 0; box < result.fields.size(); ++box) {
        const FieldMerge field = mergeField(ours.fields[box], theirs.fields[box], ours.uid,
                                            dayfields::fields[box].column);
        result.fields[box] = field.result;
        changed = changed || field.oursChanged;
        if (field.oursChanged && !same(ours.fields[box].value, field.result.value))
            result.changed |= 1u << box;
        outcome->theirsLacks = outcome->theirsLacks || field.theirsLacks;
        if (field.lost)
            outcome->conflicts += *field.lost;
    }
    if (changed)
        outcome->days.push_back(std::move(result));
}

// Fills *kept with the uids of the days the result holds.
void mergeDays(const Side &ours, const Side &theirs, Outcome *outcome, QSet<QString> *kept) {
    QHash<QString, const Day *> theirsByUid;
    for (const Day &day : theirs.days)
        theirsByUid.insert(day.uid, &day);
    QSet<QString> ourDates;
    QSet<QString> ourUids;
    for (const Day &day : ours.days) {
        ourUids.insert(day.uid);
        ourDates.insert(day.fields[dayfields::Fh].value.toString().trimmed());
        if (const Day *other = theirsByUid.value(day.uid)) {
            if (!sameStamps(day, *other))
                mergeBoth(day, *other, outcome);
        } else if (const auto deleted = theirs.gone.find(day.uid);
                   deleted != theirs.gone.end() && *deleted > day.latest()) {
            outcome->removed += day.id;
            if (ours.gone.value(day.uid) < *deleted)
                outcome->gone.insert(day.uid, *deleted);
            continue;
        } else {
            outcome->theirsLacks = true; // new to them, or edited after their deletion
        }
        kept->insert(day.uid);
    }
    for (const Day &day : theirs.days) {
        if (ourUids.contains(day.uid))
            continue;
        if (const auto deleted = ours.gone.find(day.uid);
            deleted != ours.gone.end() && *deleted > day.latest()) {
            outcome->theirsLacks = true;
            continue;
        }
        if (ours.gone.contains(day.uid))
            outcome->revived += day.uid;
        Day added = day;
        added.id = 0;
        added.changed = (1u << dayfields::BoxCount) - 1;
        const QString date = day.fields[dayfields::Fh].value.toString().trimmed();
        if (!date.isEmpty() && ourDates.contains(date))
            ++outcome->sameDate;
        ++outcome->added;
        kept->insert(day.uid);
        outcome->days.push_back(std::move(added));
    }
}

void mergeGone(const Side &ours, const Side &theirs, const QSet<QString> &kept, Outcome *outcome) {
    for (auto it = theirs.gone.begin(); it != theirs.gone.end(); ++it)
        if (!kept.contains(it.key()) && ours.gone.value(it.key()) < it.value())
            outcome->gone.insert(it.key(), it.value());
    for (auto it = ours.gone.begin(); it != ours.gone.end(); ++it)
        if (!kept.contains(it.key()) && theirs.gone.value(it.key()) < it.value())
            outcome->theirsLacks = true;
}

void mergeProfile(const Side &ours, const Side &theirs, Outcome *outcome) {
    for (const ProfileField &mine : ours.profile) {
        const auto other =
            std::find_if(theirs.profile.begin(), theirs.profile.end(),
                         [&](const ProfileField &field) { return field.column == mine.column; });
        if (other == theirs.profile.end())
            continue;
        const bool password = mine.column == QLatin1String("Clave");
        FieldMerge field = mergeField(mine.field, other->field, QString(), mine.column);
        if (field.oursChanged)
            outcome->profile.push_back({mine.column, field.result});
        outcome->theirsLacks = outcome->theirsLacks || field.theirsLacks;
        if (password) {
            outcome->passwordsDiffer = !same(mine.field.value, other->field.value);
            outcome->theirPassword = outcome->passwordsDiffer && field.oursChanged;
        } else if (field.lost) {
            outcome->conflicts += *field.lost;
        }
    }
}

// Every conflict either side kept stays listed, the new ones first, then the other side's, but
// those taken back on either side.
void mergeConflicts(const Side &ours, const Side &theirs, Outcome *outcome) {
    const auto takenBack = [&](const Conflict &conflict) {
        const QString key = takenBackKey(conflict);
        return ours.gone.contains(key) || theirs.gone.contains(key);
    };
    QSet<QString> known;
    for (const Conflict &conflict : ours.conflicts)
        known.insert(conflictKey(conflict));
    QSet<QString> theirsKnown;
    for (const Conflict &conflict : theirs.conflicts)
        theirsKnown.insert(conflictKey(conflict));
    QList<Conflict> result;
    for (const Conflict &conflict : std::as_const(outcome->conflicts))
        if (!known.contains(conflictKey(conflict)) && !takenBack(conflict)) {
            known.insert(conflictKey(conflict));
            outcome->theirsLacks =
                outcome->theirsLacks || !theirsKnown.contains(conflictKey(conflict));
            result += conflict;
        }
    for (const Conflict &conflict : theirs.conflicts)
        if (!known.contains(conflictKey(conflict)) && !takenBack(conflict)) {
            known.insert(conflictKey(conflict));
            result += conflict;
        }
    for (const Conflict &conflict : ours.conflicts) {
        if (takenBack(conflict))
            outcome->dropped += conflict;
        else
            outcome->theirsLacks =
                outcome->theirsLacks || !theirsKnown.contains(conflictKey(conflict));
    }
    outcome->conflicts = result;
}

qint64 newest(const Side &side) {
    qint64 latest = 0;
    for (const Day &day : side.days)
        latest = std::max(latest, day.latest().time);
    for (const Stamp &stamp : side.gone)
        latest = std::max(latest, stamp.time);
    for (const ProfileField &field : side.profile)
        latest = std::max(latest, field.field.stamp.time);
    return latest;
}

} // namespace

Stamp Day::latest() const {
    Stamp stamp;
    for (const Field &field : fields)
        stamp = std::max(stamp, field.stamp);
    return stamp;
}

QString takenBackKey(const Conflict &conflict) {
    return QLatin1String("taken\x1f") + conflictKey(conflict);
}

bool sameStamps(const Day &a, const Day &b) {
    for (std::size_t box = 0; box < a.fields.size(); ++box)
        if (a.fields[box].stamp != b.fields[box].stamp ||
            a.fields[box].previous != b.fields[box].previous)
            return false;
    return true;
}

Outcome merge(const Side &ours, const Side &theirs) {
    Outcome outcome;
    QSet<QString> kept;
    mergeDays(ours, theirs, &outcome, &kept);
    mergeGone(ours, theirs, kept, &outcome);
    for (auto it = ours.gone.begin(); it != ours.gone.end(); ++it)
        if (kept.contains(it.key()))
            outcome.revived += it.key(); // an edit later than our deletion came back
    mergeProfile(ours, theirs, &outcome);
    mergeConflicts(ours, theirs, &outcome);
    outcome.latest = newest(theirs);
    return outcome;
}

} // namespace mergerules

#pragma once

#include "data/dayfields.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <array>
#include <compare>
#include <vector>

// How two versions of one diary become one: plain rules on what each side holds, with no engine
// and no files (syncsides.h reads and writes them). Every change carries a stamp of the hybrid
// clock (hybridclock.h) and the computer that made it; the later stamp wins, the computer's number
// breaking a tie.
namespace mergerules {

struct Stamp {
    qint64 time = 0;
    qint64 node = 0;
    auto operator<=>(const Stamp &) const = default;
};

// One field's value and its stamps: when it last changed, and when the value it replaced did.
struct Field {
    QVariant value;
    Stamp stamp;
    qint64 previous = 0;
};

struct Day {
    qint64 id = 0; // the key in its own diary; 0 for a day new to it
    QString uid;
    std::array<Field, dayfields::BoxCount> fields;
    quint32 changed = 0; // in an outcome, the fields whose value changes, one bit each
    // The newest stamp of its fields.
    Stamp latest() const;
};

// A value that lost a merge, kept to be taken back: of a day (its uid) or of the profile (uid
// empty), the column it belongs to.
struct Conflict {
    QString uid;
    QString column;
    QVariant value;
    Stamp stamp;
    qint64 kept = 0; // the stamp of the value that won
};

// A conflict whose value was taken back is kept among the days deleted (Side::gone) under this
// key, stamped when it was taken: no merge lists it again, on either computer.
QString takenBackKey(const Conflict &conflict);

struct ProfileField {
    QString column;
    Field field;
};

// One diary as the merge sees it.
struct Side {
    QString diary; // the diary's own identity
    std::vector<Day> days;
    QHash<QString, Stamp> gone; // the days deleted, by uid
    std::vector<ProfileField> profile;
    QList<Conflict> conflicts;
};

// What the merge makes of our side: the days to write (changed or new), the days to delete, and so
// on; and what the other side lacks of the result, which tells whether it must be written.
struct Outcome {
    std::vector<Day> days;
    QList<qint64> removed;
    QHash<QString, Stamp> gone; // tombstones to store, new or newer
    QStringList revived;        // tombstones to drop: an edit later than the deletion won
    std::vector<ProfileField> profile;
    QList<Conflict> conflicts;
    QList<Conflict> dropped;    // conflicts of ours taken back on the other computer
    int added = 0;              // days of theirs new to us
    int sameDate = 0;           // of those, the days whose date we hold already in another day
    bool theirPassword = false; // their newer password won
    bool passwordsDiffer = false;
    bool theirsLacks = false; // the result holds something theirs does not
    qint64 latest = 0;        // the newest stamp of theirs

    bool changesOurs() const {
        return !days.empty() || !removed.isEmpty() || !gone.isEmpty() || !revived.isEmpty() ||
               !profile.empty() || !conflicts.isEmpty() || !dropped.isEmpty();
    }
};

// Whether two versions of a day hold the same changes: field by field the same stamps, and so the
// same values, which the merge then need not read.
bool sameStamps(const Day &a, const Day &b);

// The days whose values are left unread (sameStamps() with the other side's) merge as they are.
Outcome merge(const Side &ours, const Side &theirs);

} // namespace mergerules

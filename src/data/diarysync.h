#pragma once

#include "data/diarystatus.h"
#include "data/failure.h"
#include "data/mergerules.h"

#include <QByteArray>
#include <QString>
#include <cstddef>

class HybridClock;
class QSqlDatabase;

// Another version of the diary merged into the one in memory, and how the program knows that
// the file on disk is still the one it read or wrote last.
namespace diarysync {

// What a file was: its size, its time of change and its first bytes, which hold the sealed
// header and the stream's random header, new at every seal. A file that no other hand touched
// shows the same mark.
struct FileMark {
    qint64 size = -1; // -1: no file
    qint64 modified = 0;
    QByteArray head;

    bool operator==(const FileMark &) const = default;
    // The mark of the file at path as it is now.
    static FileMark of(const QString &path);
    // The mark of bytes read from a file changed at `modified`.
    static FileMark ofBytes(const QByteArray &bytes, qint64 modified);
};

// What a merge did, for the user to be told.
struct Report {
    enum class Password { Same, Ours, Theirs };
    int added = 0;     // days of the other side new to ours
    int changed = 0;   // days of ours changed by the other side
    int removed = 0;   // days of ours that the other side deleted after their last change
    int conflicts = 0; // values that lost, now listed among the conflicts
    int sameDate = 0;  // days added on a date that another day of ours has
    Password password = Password::Same;
    bool theirsLacks = false; // the result holds what the other file does not: it must be written
    bool changedOurs = false;
};

// Our side as the last merge read and wrote it, without its values, kept for the next merge: read
// again only when the diary changed since (the engine counts every row changed) or is another.
// A merge that follows another with nothing typed between reads the other side alone.
struct OurSide {
    mergerules::Side side;
    const void *connection = nullptr; // the engine's connection it is of; none: to be read
    qint64 changes = -1;              // the rows that connection had changed then
};

// Merges the image of another diary (`image`, in memory of engineimage::allocate(), which this
// owns from now on) into the diary of db: the other is opened in a connection of its own and
// brought up to date if it is older, both are read (ours from *ours when it is still the diary's)
// and the outcome of mergerules.h written into
// db in one transaction, the clock paused meanwhile and then set past every stamp of the other.
// OtherDiary when the other is a different diary and `anyDiary` is false; NewerVersion,
// WrongSchema or Damaged when it cannot be read as a diary; CannotWrite when the engine refuses
// (nothing is changed then).
DiaryStatus mergeImage(const QSqlDatabase &db, HybridClock &clock, unsigned char *image,
                       std::size_t size, bool anyDiary, OurSide *ours, Report *report,
                       Failure *failure);

} // namespace diarysync

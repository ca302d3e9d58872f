#pragma once

#include <QString>
#include <QVariant>
#include <vector>

class DiaryDatabase;

// The values that lost a merge (syncschema.h), listed to be read and taken back.
namespace conflictlist {

struct Entry {
    qint64 id = 0;
    QString date;   // the day's date as stored; empty for the profile
    QString column; // the field's column
    QVariant lost;  // the value that lost
    QVariant kept;  // the value there now; invalid when the day is gone
};

// Newest first; empty when there is none or the engine refuses.
std::vector<Entry> list(const DiaryDatabase &database);

// Puts the lost value back in its field, as a change of now that wins over the other, and takes
// it off the list; false when the day is gone or the engine refuses.
bool takeBack(DiaryDatabase &database, qint64 id);

} // namespace conflictlist

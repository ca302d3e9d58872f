#include "data/diarychange.h"

#include "data/diarydatabase.h"

#include <QSqlDatabase>
#include <QSqlError>

namespace diarychange {

bool commitThenSave(DiaryDatabase &database, const std::function<bool(QString *error)> &change,
                    QString *error, const std::function<void()> &committed) {
    QSqlDatabase db = database.connection();
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }
    if (!change(error)) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        *error = db.lastError().text();
        db.rollback();
        return false;
    }
    if (committed)
        committed();
    database.save();
    return true;
}

} // namespace diarychange

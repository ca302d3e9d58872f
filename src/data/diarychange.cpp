#include "data/diarychange.h"

#include "data/diarydatabase.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

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

bool runThenSave(DiaryDatabase &database, const QString &statement, const QVariantList &values,
                 QString *error) {
    return commitThenSave(
        database,
        [&](QString *failure) {
            QSqlQuery query(database.connection());
            bool done = query.prepare(statement);
            for (const QVariant &value : values)
                query.addBindValue(value);
            done = done && query.exec();
            if (!done)
                *failure = query.lastError().text();
            return done;
        },
        error);
}

} // namespace diarychange

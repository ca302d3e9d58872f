#include "support/diaryfixture.h"

#include "data/password.h"

#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <unistd.h>

namespace fixture {

dayfields::DayTexts day(std::initializer_list<std::pair<dayfields::Box, QString>> values) {
    dayfields::DayTexts texts;
    texts.fill(QLatin1String(""));
    for (const auto &[box, text] : values)
        texts[box] = text;
    return texts;
}

bool insertDays(const QSqlDatabase &db, const QList<dayfields::DayTexts> &days) {
    QStringList columns;
    QStringList marks;
    for (const auto &field : dayfields::fields) {
        columns += u'"' + field.column + u'"';
        marks += QStringLiteral("?");
    }
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                           .arg(dayfields::tableName, columns.join(u','), marks.join(u','))))
        return false;
    for (const auto &texts : days) {
        for (int i = 0; i < dayfields::BoxCount; ++i)
            query.bindValue(i, texts[i]);
        if (!query.exec())
            return false;
    }
    return true;
}

QStringList columnInOrder(const QSqlDatabase &db, const QString &select, const QString &column) {
    QSqlQuery query(db);
    QStringList texts;
    if (!query.exec(select))
        return texts;
    const int index = query.record().indexOf(column);
    while (query.next())
        texts += query.value(index).toString();
    return texts;
}

QByteArray fileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool damage(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.seek(file.size() - 5) && file.write("!") == 1;
}

bool dropStampTriggers(const QSqlDatabase &db) {
    QSqlQuery query(db);
    for (const char *trigger : {"sync_day_added", "sync_day_changed", "sync_day_deleted",
                                "sync_profile_added", "sync_profile_changed"})
        if (!query.exec(QStringLiteral("DROP TRIGGER IF EXISTS temp.%1").arg(trigger)))
            return false;
    return true;
}

bool makeOlderVersion(const QSqlDatabase &db, int version) {
    QSqlQuery query(db);
    if (!dropStampTriggers(db))
        return false;
    for (const QString &index : version < 4 ? indexNames(db) : QStringList()) {
        if (version >= 2 && index == dayfields::orderKeys[dayfields::ByDate].indexName)
            continue;
        if (!query.exec(QStringLiteral("DROP INDEX \"%1\"").arg(index)))
            return false;
    }
    for (int order = 1; version == 3 && order < dayfields::OrderCount; ++order) {
        const dayfields::OrderKey &key = dayfields::orderKeys[order];
        QString expression = u'"' + dayfields::fields[key.first].column + u'"';
        if (key.second != dayfields::BoxCount)
            expression = QStringLiteral("val(%1+\"%2\")")
                             .arg(expression, dayfields::fields[key.second].column);
        if (!query.exec(QStringLiteral("CREATE INDEX \"%1\" ON \"%2\" (%3)")
                            .arg(key.indexName, dayfields::tableName, expression)))
            return false;
    }
    if (version < 7 && !query.exec(QStringLiteral("DROP TABLE \"Correcciones De Entrenamiento\"")))
        return false;
    for (const char *table :
         {"sync_meta", "sync_day", "sync_gone", "sync_profile", "sync_conflict"})
        if (version < 8 && !query.exec(QStringLiteral("DROP TABLE \"%1\"").arg(table)))
            return false;
    for (const char *table : {"Ajustes", "Semanas En Pausa"})
        if (version < 6 && !query.exec(QStringLiteral("DROP TABLE \"%1\"").arg(table)))
            return false;
    if (version < 5 && !query.exec(QStringLiteral("ALTER TABLE \"%1\" DROP COLUMN \"%2\"")
                                       .arg(profilefields::tableName, profilefields::goalWeight)))
        return false;
    return query.exec(QStringLiteral("PRAGMA user_version = %1").arg(version));
}

QStringList indexNames(const QSqlDatabase &db) {
    return columnInOrder(db,
                         QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'index' AND "
                                        "sql IS NOT NULL ORDER BY name"),
                         QStringLiteral("name"));
}

bool setWritable(const QString &path, bool writable) {
    if (geteuid() == 0) {
        // Root writes through file modes; the immutable attribute stops it.
        return QProcess::execute(QStringLiteral("chattr"),
                                 {writable ? QStringLiteral("-i") : QStringLiteral("+i"), path}) ==
               0;
    }
    const auto readable = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    return QFile::setPermissions(path, writable ? readable | QFileDevice::WriteOwner : readable);
}

bool writePlain(const QSqlDatabase &db, const QString &path) {
    return QSqlQuery(db).exec(QStringLiteral("VACUUM INTO '%1'").arg(path));
}

DiaryDatabase::Status openWith(DiaryDatabase &database, const QString &path, const QString &with) {
    const DiaryDatabase::Status status = database.open(path);
    return status == DiaryDatabase::Status::Ready &&
                   database.source() == DiaryDatabase::Source::Sealed
               ? database.unlock(with)
               : status;
}

bool TempDiary::close() {
    const bool written = m_database.source() == DiaryDatabase::Source::Sealed
                             ? m_database.save()
                             : m_database.seal(password) == DiaryDatabase::Status::Ready;
    m_database.close();
    return written;
}

TempDiary::TempDiary()
    : m_path(m_dir.filePath(DiaryDatabase::defaultFileName())) {
    m_database.open(m_path);
}

bool TempDiary::addProfile() {
    return m_profiles.create({fixture::profile, password::hash(password)});
}

} // namespace fixture

#include "data/engineimage.h"

#include "data/dayfields.h"
#include "data/sqlfunctions.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <cstring>
#include <sodium.h>
#include <sqlite3.h>

namespace engineimage {

unsigned char *allocate(std::size_t size) {
    return static_cast<unsigned char *>(sqlite3_malloc64(sqlite3_uint64(size)));
}

void release(unsigned char *image) {
    sqlite3_free(image);
}

unsigned char *readFile(const QString &path, std::size_t *size, Failure *failure) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *failure = Failure::said(file.errorString());
        return nullptr;
    }
    const qint64 bytes = file.size();
    unsigned char *image = allocate(std::size_t(bytes));
    if (!image || file.read(reinterpret_cast<char *>(image), bytes) != bytes) {
        *failure = Failure::said(file.errorString());
        release(image);
        return nullptr;
    }
    *size = std::size_t(bytes);
    return image;
}

bool load(const QString &connection, unsigned char *image, std::size_t size, Failure *failure) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(QStringLiteral(":memory:"));
    sqlite3 *handle = db.open() ? engineHandle(db) : nullptr;
    const unsigned flags = SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE;
    if (!handle) {
        *failure = Failure::said(db.lastError().text());
        release(image);
        return false;
    }
    if (sqlite3_deserialize(handle, "main", image, sqlite3_int64(size), sqlite3_int64(size),
                            flags) != SQLITE_OK) {
        // The engine has freed the image.
        *failure = Failure::said(QString::fromUtf8(sqlite3_errmsg(handle)));
        return false;
    }
    return registerDiaryFunctions(handle);
}

unsigned char *view(const QSqlDatabase &db, std::size_t *size) {
    sqlite3 *handle = engineHandle(db);
    sqlite3_int64 bytes = 0;
    unsigned char *image =
        handle ? sqlite3_serialize(handle, "main", &bytes, SQLITE_SERIALIZE_NOCOPY) : nullptr;
    *size = image ? std::size_t(bytes) : 0;
    return image;
}

void drop(const QString &connection) {
    if (!QSqlDatabase::contains(connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        std::size_t size = 0;
        if (unsigned char *image = view(db, &size))
            sodium_memzero(image, size);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

std::optional<qint64> countedDays(const unsigned char *image, std::size_t size) {
    const QString name =
        QLatin1String("diary-check-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    std::optional<qint64> days;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        sqlite3 *handle = db.open() ? engineHandle(db) : nullptr;
        unsigned char *copy = allocate(size);
        if (copy)
            std::memcpy(copy, image, size);
        if (!handle) {
            release(copy);
        } else if (copy &&
                   sqlite3_deserialize(
                       handle, "main", copy, sqlite3_int64(size), sqlite3_int64(size),
                       SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY) == SQLITE_OK &&
                   registerDiaryFunctions(handle)) {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("PRAGMA integrity_check")) && query.next() &&
                query.value(0).toString() == QLatin1String("ok") && !query.next() &&
                query.exec(QStringLiteral("SELECT count(*) FROM ") +
                           quotedIdentifier(dayfields::tableName)) &&
                query.next())
                days = query.value(0).toLongLong();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return days;
}

void wipe(QByteArray &bytes) {
    if (!bytes.isEmpty())
        sodium_memzero(bytes.data(), std::size_t(bytes.size()));
    bytes.clear();
}

} // namespace engineimage

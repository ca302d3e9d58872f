#include "diarydatabase.h"

#include "dayfields.h"
#include "sqlfunctions.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QUuid>
#include <sqlite3.h>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

const QString folderName = QStringLiteral("Gimnasio Por ^Zorvend^");

QStringList profileColumns() {
    QStringList columns(profilefields::textColumns.begin(), profilefields::textColumns.end());
    return columns << profilefields::photo;
}

QStringList dayColumns() {
    QStringList columns;
    for (const dayfields::DayField &field : dayfields::fields)
        columns += field.column;
    return columns;
}

// The two tables, every column as the description gives it.
QStringList tableStatements() {
    const QString key =
        quotedIdentifier(dayfields::keyColumn) + QLatin1String(" INTEGER PRIMARY KEY");
    QStringList profile{key};
    for (const QString &column : profilefields::textColumns)
        profile += quotedIdentifier(column) + QLatin1String(" TEXT");
    profile += quotedIdentifier(profilefields::photo) + QLatin1String(" BLOB");
    QStringList day{key};
    for (const dayfields::DayField &field : dayfields::fields) {
        QString definition = quotedIdentifier(field.column) + QLatin1String(" TEXT");
        if (field.collation)
            definition += QLatin1String(" COLLATE ") + QLatin1String(field.collation);
        day += definition;
    }
    const auto table = [](const QString &name, const QStringList &columns) {
        return QStringLiteral("CREATE TABLE %1 (%2)")
            .arg(quotedIdentifier(name), columns.join(u", "));
    };
    return {table(profilefields::tableName, profile), table(dayfields::tableName, day)};
}

// Every order of the menu has an index on the very expression it sorts by, so that a sort, and
// the first day shown again after a save, read the first days in order instead of sorting the
// whole diary. Indexes already there are kept.
QStringList indexStatements() {
    QStringList statements;
    for (int order = 0; order < dayfields::OrderCount; ++order)
        statements += QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                          .arg(quotedIdentifier(dayfields::orderKeys[order].indexName),
                               quotedIdentifier(dayfields::tableName),
                               dayfields::sortExpression(dayfields::Order(order)));
    return statements;
}

// Version 3 indexed the pairs of girths on val() of the two texts joined; version 4 sorts them by
// the sum of their numbers, and those indexes are made anew.
QStringList dropOldPairIndexes() {
    QStringList statements;
    for (const dayfields::OrderKey &key : dayfields::orderKeys)
        if (key.second != dayfields::BoxCount)
            statements += QLatin1String("DROP INDEX IF EXISTS ") + quotedIdentifier(key.indexName);
    return statements;
}

bool hasColumns(const QSqlDatabase &db, const QString &table, const QStringList &columns) {
    const QSqlRecord record = db.record(table);
    if (record.indexOf(dayfields::keyColumn) < 0)
        return false;
    for (const QString &column : columns)
        if (record.indexOf(column) < 0)
            return false;
    return true;
}

QString setVersion() {
    return QStringLiteral("PRAGMA user_version = %1").arg(DiaryDatabase::schemaVersion);
}

// A lock file that names no process is one whose copy was killed between making the file and
// writing its name into it, for QLockFile holds the file locked before it writes. No running copy
// holds such a file, and nothing but this takes it over.
bool isAbandonedLock(const QLockFile &lock, const QString &path) {
    qint64 pid = 0;
    QString hostName;
    QString appName;
    if (lock.getLockInfo(&pid, &hostName, &appName))
        return false;
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool heldByNobody = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return heldByNobody;
#else
    Q_UNUSED(path);
    return false;
#endif
}

} // namespace

DiaryDatabase::DiaryDatabase()
    : m_connectionName(QLatin1String("diary-") +
                       QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

DiaryDatabase::~DiaryDatabase() {
    close();
}

QString DiaryDatabase::defaultFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(folderName);
}

QString DiaryDatabase::defaultFileName() {
    return folderName + QLatin1String(".db");
}

QString DiaryDatabase::folder() const {
    return QFileInfo(m_filePath).absolutePath();
}

QSqlDatabase DiaryDatabase::connection() const {
    return QSqlDatabase::database(m_connectionName, false);
}

void DiaryDatabase::close() {
    disconnect();
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}

DiaryDatabase::Status DiaryDatabase::open(const QString &filePath) {
    close();
    m_filePath = QFileInfo(filePath).absoluteFilePath();
    m_engineError.clear();

    const QFileInfo info(m_filePath);
    if (!QDir().mkpath(info.absolutePath()))
        return Status::CannotCreate;
    if (const Status locked = takeLock(); locked != Status::Ready)
        return locked;

    if (!info.exists()) {
        if (const Status made = createFile(); made != Status::Ready) {
            close();
            return made;
        }
    } else {
        if (!info.isFile() || !info.isReadable())
            return Status::CannotOpen;
        if (!info.isWritable())
            return Status::ReadOnly;
        // SQLite would take an empty file for an empty database; for this program it is a
        // damaged diary, never one to fill.
        if (info.size() == 0)
            return Status::NotADatabase;
    }

    const Status status = connectTo(m_filePath, false, Status::CannotOpen);
    if (status != Status::Ready)
        close();
    return status;
}

DiaryDatabase::Status DiaryDatabase::takeLock() {
    // One running copy per diary. A lock left by a copy that was killed names a process that no
    // longer runs, and QLockFile takes it over; a live lock never goes stale by age. A lock left
    // by a copy killed while it made the lock names nothing, and is taken over here.
    const QString lockPath = m_filePath + QLatin1String(".lock");
    auto lock = std::make_unique<QLockFile>(lockPath);
    lock->setStaleLockTime(0);
    bool locked = lock->tryLock(0);
    if (!locked && lock->error() == QLockFile::LockFailedError &&
        isAbandonedLock(*lock, lockPath)) {
        QFile::remove(lockPath);
        locked = lock->tryLock(0);
    }
    if (!locked) {
        if (lock->error() == QLockFile::LockFailedError)
            return Status::AlreadyRunning;
        const bool folderWritable = QFileInfo(folder()).isWritable();
        return lock->error() == QLockFile::PermissionError || !folderWritable ? Status::ReadOnly
                                                                              : Status::CannotOpen;
    }
    m_lock = std::move(lock);
    return Status::Ready;
}

// A new diary is made whole under a name of its own and takes the diary's name only then: a
// first start cut short by a crash leaves no empty or half-made diary that no later start would
// open.
DiaryDatabase::Status DiaryDatabase::createFile() {
    const QString newPath = m_filePath + QLatin1String(".new");
    // Left by a first start that was cut short; the lock makes it ours.
    QFile::remove(newPath);
    QFile::remove(newPath + QLatin1String("-journal"));
    Status made = connectTo(newPath, true, Status::CannotCreate);
    if (made == Status::Ready) {
        disconnect();
        QFile file(newPath);
        if (!file.rename(m_filePath)) {
            m_engineError = file.errorString();
            made = Status::CannotCreate;
        }
    }
    if (made != Status::Ready)
        QFile::remove(newPath);
    return made;
}

// Opens the connection on a file and checks it; the connection stays open only when Ready.
DiaryDatabase::Status DiaryDatabase::connectTo(const QString &path, bool fresh, Status failed) {
    Status status = failed;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        db.setDatabaseName(path);
        if (!db.open())
            m_engineError = db.lastError().text();
        else if (sqlite3 *handle = engineHandle(db); handle && registerDiaryFunctions(handle))
            status = checkAndMigrate(fresh);
    }
    if (status != Status::Ready)
        disconnect();
    return status;
}

void DiaryDatabase::disconnect() {
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

DiaryDatabase::Status DiaryDatabase::checkAndMigrate(bool fresh) {
    QSqlDatabase db = connection();
    QSqlQuery query(db);

    if (!fresh) {
        if (!query.exec(QStringLiteral("PRAGMA quick_check"))) {
            m_engineError = query.lastError().text();
            const QString code = query.lastError().nativeErrorCode();
            return code == QLatin1String("26") ? Status::NotADatabase : Status::Damaged;
        }
        if (!query.next() || query.value(0).toString() != QLatin1String("ok")) {
            m_engineError = query.value(0).toString();
            return Status::Damaged;
        }
        query.finish();
    }
    if (sqlite3_db_readonly(engineHandle(db), "main") == 1)
        return Status::ReadOnly;

    // Every commit reaches the disk before it returns; the rollback journal keeps the file whole
    // whatever moment a crash or a power cut strikes.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = DELETE")) ||
        !query.exec(QStringLiteral("PRAGMA synchronous = FULL"))) {
        m_engineError = query.lastError().text();
        return Status::CannotOpen;
    }

    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        m_engineError = query.lastError().text();
        return Status::CannotOpen;
    }
    const int version = query.value(0).toInt();
    query.finish();
    if (version > schemaVersion)
        return Status::NewerVersion;

    if (version == 0) {
        if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_schema")) || !query.next())
            return Status::CannotOpen;
        const bool empty = query.value(0).toInt() == 0;
        query.finish();
        if (!empty)
            return Status::WrongSchema;
        if (!createSchema())
            return fresh ? Status::CannotCreate : Status::ReadOnly;
    }

    // Every table and column the program reaches must be there, before anything is migrated.
    if (!hasColumns(db, profilefields::tableName, profileColumns()) ||
        !hasColumns(db, dayfields::tableName, dayColumns()))
        return Status::WrongSchema;

    if (version > 0 && version < schemaVersion && !migrate(version))
        return Status::MigrationFailed;
    return Status::Ready;
}

bool DiaryDatabase::createSchema() {
    return runInTransaction(tableStatements() + indexStatements() + QStringList{setVersion()});
}

bool DiaryDatabase::runInTransaction(const QStringList &statements) {
    QSqlDatabase db = connection();
    if (!db.transaction()) {
        m_engineError = db.lastError().text();
        return false;
    }
    QSqlQuery query(db);
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            m_engineError = query.lastError().text();
            query.finish();
            db.rollback();
            return false;
        }
    }
    query.finish();
    if (!db.commit()) {
        m_engineError = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

bool DiaryDatabase::migrate(int fromVersion) {
    QSqlDatabase db = connection();
    QSqlQuery query(db);

    // A copy of the file as it was goes aside first, so that nothing is lost whatever happens.
    // It is made under a name of its own and takes its backup name only once whole, so that a
    // copy cut short by a crash never passes for a backup, and it never takes the name of one.
    const QString partPath = m_filePath + QLatin1String(".bak.part");
    // Left by a migration that was cut short; the lock makes it ours.
    QFile::remove(partPath);
    if (!query.exec(QLatin1String("VACUUM INTO '") + QString(partPath).replace(u'\'', "''") +
                    u'\'')) {
        m_engineError = query.lastError().text();
        QFile::remove(partPath);
        return false;
    }
    query.finish();
    const QString stem =
        m_filePath +
        QStringLiteral(".v%1-%2")
            .arg(fromVersion)
            .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss")));
    QString backup = stem + QLatin1String(".bak");
    for (int copy = 2; QFileInfo::exists(backup); ++copy)
        backup = stem + QStringLiteral("-%1.bak").arg(copy);
    QFile part(partPath);
    if (!part.rename(backup)) {
        m_engineError = part.errorString();
        QFile::remove(partPath);
        return false;
    }

    // The whole migration is one transaction: a crash leaves the old schema or the new one.
    return runInTransaction(dropOldPairIndexes() + indexStatements() + QStringList{setVersion()});
}

QString DiaryDatabase::errorMessage(Status status) const {
    const QString file = QDir::toNativeSeparators(m_filePath);
    switch (status) {
    case Status::Ready:
        return {};
    case Status::AlreadyRunning:
        return QStringLiteral("El Diario De Gimnasio Ya Está Abierto En Otra Ventana. Usa Esa "
                              "Ventana O Ciérrala Antes De Volver A Abrirlo.");
    case Status::CannotCreate:
        return QStringLiteral("No Se Ha Podido Crear El Diario De Gimnasio En:\n%1\nComprueba "
                              "Que Se Puede Escribir En Esa Carpeta.")
            .arg(file);
    case Status::CannotOpen:
        return QStringLiteral("No Se Ha Podido Abrir El Diario De Gimnasio:\n%1").arg(file);
    case Status::ReadOnly:
        return QStringLiteral("El Diario De Gimnasio No Se Puede Escribir:\n%1\nComprueba Los "
                              "Permisos Del Archivo Y De Su Carpeta.")
            .arg(file);
    case Status::NotADatabase:
        return QStringLiteral("El Archivo Del Diario De Gimnasio No Es Una Base De Datos Válida:"
                              "\n%1\nNo Se Ha Tocado. Restáuralo Desde Una Copia De Seguridad.")
            .arg(file);
    case Status::Damaged:
        return QStringLiteral("El Archivo Del Diario De Gimnasio Está Dañado:\n%1\nNo Se Ha "
                              "Tocado. Restáuralo Desde Una Copia De Seguridad.")
            .arg(file);
    case Status::WrongSchema:
        return QStringLiteral("El Archivo Del Diario De Gimnasio No Tiene Las Tablas Del Diario:"
                              "\n%1\nNo Se Ha Tocado.")
            .arg(file);
    case Status::NewerVersion:
        return QStringLiteral("El Diario De Gimnasio Fue Guardado Por Una Versión Más Nueva Del "
                              "Programa:\n%1\nActualiza El Programa Para Abrirlo. No Se Ha Tocado.")
            .arg(file);
    case Status::MigrationFailed:
        return QStringLiteral("No Se Ha Podido Poner Al Día El Diario De Gimnasio:\n%1\nEl "
                              "Archivo Sigue Como Estaba.")
            .arg(file);
    }
    return {};
}

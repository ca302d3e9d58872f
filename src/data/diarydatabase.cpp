#include "data/diarydatabase.h"

#include "data/atomicfile.h"
#include "data/dayfields.h"
#include "data/enginememory.h"
#include "data/privatefile.h"
#include "data/sqlfunctions.h"

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
#include <cstring>
#include <sodium.h>
#include <sqlite3.h>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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
    profile += quotedIdentifier(profilefields::goalWeight) + QLatin1String(" TEXT");
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

// Version 5 keeps the goal weight in the profile; the column comes last, as a new table has it.
QString addGoalWeight() {
    return QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 TEXT")
        .arg(quotedIdentifier(profilefields::tableName),
             quotedIdentifier(profilefields::goalWeight));
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

// Whether no running copy holds the lock file: QLockFile holds it locked for as long as its copy
// runs.
bool heldByNobody(const QString &path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

// A lock file that names no process is one whose copy was killed between making the file and
// writing its name into it, for QLockFile holds the file locked before it writes. No running copy
// holds such a file, and nothing but this takes it over.
bool isAbandonedLock(const QLockFile &lock, const QString &path) {
    qint64 pid = 0;
    QString hostName;
    QString appName;
    return !lock.getLockInfo(&pid, &hostName, &appName) && heldByNobody(path);
}

// Why the folder cannot be written, 0 when it can.
int writeRefusal(const QString &folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0 ? 0 : errno;
}

// The image of the diary in memory, as the engine holds it (no copy); nullptr when there is none.
unsigned char *imageOf(const QSqlDatabase &db, std::size_t *size) {
    sqlite3 *handle = engineHandle(db);
    sqlite3_int64 bytes = 0;
    unsigned char *image =
        handle ? sqlite3_serialize(handle, "main", &bytes, SQLITE_SERIALIZE_NOCOPY) : nullptr;
    *size = image ? std::size_t(bytes) : 0;
    return image;
}

void wipe(QByteArray &bytes) {
    if (!bytes.isEmpty())
        sodium_memzero(bytes.data(), std::size_t(bytes.size()));
    bytes.clear();
}

} // namespace

DiaryDatabase::DiaryDatabase()
    : m_connectionName(QLatin1String("diary-") +
                       QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    enginememory::wipeOnFree();
}

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

bool DiaryDatabase::isOpen() const {
    return QSqlDatabase::contains(m_connectionName);
}

void DiaryDatabase::close() {
    disconnect();
    m_key.reset();
    wipe(m_sealedFile);
    wipe(m_beforeMigration);
    m_migratedFrom = 0;
    m_unwritten = false;
    m_changed = false;
    m_source = Source::New;
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}

DiaryDatabase::Status DiaryDatabase::open(const QString &filePath) {
    close();
    m_filePath = QFileInfo(filePath).absoluteFilePath();
    m_failure = {};

    // A diary that its owner keeps elsewhere through a link is followed here, once: from now on
    // every file is written beside the link's target, and the link stays as it is.
    const QString ownFolder = folder();
    if (const QFileInfo given(m_filePath); given.isSymLink())
        m_filePath = given.exists() ? given.canonicalFilePath()
                                    : QFileInfo(given.symLinkTarget()).absoluteFilePath();
    // The program's folder is its owner's alone, and so is everything in it, also what earlier
    // versions left open to others.
    if (!privatefile::makeFolder(ownFolder) || !QDir().mkpath(folder()))
        return Status::CannotCreate;
    privatefile::tighten(ownFolder);
    if (const Status locked = takeLock(); locked != Status::Ready)
        return locked;
    // Left by a write or an earlier version's migration cut short; the lock makes them ours.
    for (const QString &leftover :
         {atomicfile::pendingPath(m_filePath), m_filePath + QLatin1String(".new-journal"),
          m_filePath + QLatin1String(".bak.part")})
        QFile::remove(leftover);

    Status status = Status::Ready;
    if (!QFileInfo::exists(m_filePath)) {
        m_source = Source::New;
        status = openImage(nullptr, 0);
        if (status != Status::Ready && !QFileInfo(folder()).isWritable())
            status = Status::ReadOnly;
    } else {
        status = readFile();
    }
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
    // QLockFile makes its file with the umask's modes; this one is the owner's alone.
    const mode_t earlier = ::umask(077);
    bool locked = lock->tryLock(0);
    if (!locked && lock->error() == QLockFile::LockFailedError &&
        isAbandonedLock(*lock, lockPath)) {
        QFile::remove(lockPath);
        locked = lock->tryLock(0);
    }
    ::umask(earlier);
    if (!locked) {
        // A lock that no running copy holds and that the folder does not let go of.
        const int refusal = lock->error() != QLockFile::LockFailedError || heldByNobody(lockPath)
                                ? writeRefusal(folder())
                                : 0;
        if (refusal != 0)
            m_failure = Failure::system(refusal);
        if (lock->error() == QLockFile::LockFailedError && refusal == 0)
            return Status::AlreadyRunning;
        return lock->error() == QLockFile::PermissionError || refusal != 0 ? Status::ReadOnly
                                                                           : Status::CannotOpen;
    }
    m_lock = std::move(lock);
    return Status::Ready;
}

// Reads the file that is there: a sealed diary waits for its password, a plain one is read.
DiaryDatabase::Status DiaryDatabase::readFile() {
    const QFileInfo info(m_filePath);
    if (!info.isFile() || !info.isReadable())
        return Status::CannotOpen;
    if (!info.isWritable())
        return Status::ReadOnly;
    if (const int refusal = writeRefusal(folder()); refusal != 0) {
        m_failure = Failure::system(refusal);
        return Status::ReadOnly;
    }
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_failure = Failure::said(file.errorString());
        return Status::CannotOpen;
    }
    // A file cut to nothing is a damaged diary, never an empty one to fill.
    if (file.size() == 0)
        return Status::Damaged;
    const QByteArray start = file.peek(100);
    if (!sealedfile::looksSealed(start))
        return start.startsWith(QByteArrayView("SQLite format 3", 16)) ? openPlain()
                                                                       : Status::NotADatabase;
    m_sealedFile = file.readAll();
    if (m_sealedFile.size() != file.size()) {
        m_failure = Failure::said(file.errorString());
        return Status::CannotOpen;
    }
    m_source = Source::Sealed;
    switch (sealedfile::readHeader(m_sealedFile).state) {
    case sealedfile::Header::State::Intact:
        return Status::Ready;
    case sealedfile::Header::State::NewerVersion:
        return Status::NewerVersion;
    case sealedfile::Header::State::NotSealed:
    case sealedfile::Header::State::Damaged:
        break;
    }
    return Status::Damaged;
}

// A plain diary is read whole into memory. The engine opens the file itself first, so that a
// transaction an earlier version left unfinished in its journal is rolled back as it always was.
DiaryDatabase::Status DiaryDatabase::openPlain() {
    m_source = Source::Plain;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        db.setDatabaseName(m_filePath);
        if (db.open())
            QSqlQuery(QStringLiteral("SELECT count(*) FROM sqlite_schema"), db).finish();
    }
    disconnect();
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_failure = Failure::said(file.errorString());
        return Status::CannotOpen;
    }
    const qint64 size = file.size();
    auto *image = static_cast<unsigned char *>(sqlite3_malloc64(sqlite3_uint64(size)));
    if (!image || file.read(reinterpret_cast<char *>(image), size) != size) {
        m_failure = Failure::said(file.errorString());
        sqlite3_free(image);
        return Status::CannotOpen;
    }
    return openImage(image, std::size_t(size));
}

// Opens the connection on an image in memory, which the engine owns from here on (nullptr for a
// new diary), and checks it; the connection stays open only when Ready.
DiaryDatabase::Status DiaryDatabase::openImage(unsigned char *image, std::size_t size) {
    Status status = Status::CannotOpen;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        db.setDatabaseName(QStringLiteral(":memory:"));
        sqlite3 *handle = db.open() ? engineHandle(db) : nullptr;
        const unsigned flags = SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE;
        if (!handle) {
            m_failure = Failure::said(db.lastError().text());
            sqlite3_free(image);
        } else if (sqlite3_deserialize(handle, "main", image, sqlite3_int64(size),
                                       sqlite3_int64(size), flags) != SQLITE_OK) {
            // The engine has freed the image.
            m_failure = Failure::said(QString::fromUtf8(sqlite3_errmsg(handle)));
        } else if (registerDiaryFunctions(handle)) {
            status = checkAndMigrate(image == nullptr);
        }
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
        std::size_t size = 0;
        if (unsigned char *image = imageOf(db, &size))
            sodium_memzero(image, size);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

DiaryDatabase::Status DiaryDatabase::unlock(const QString &password) {
    if (m_source != Source::Sealed)
        return Status::CannotOpen;
    if (m_key) {
        const auto answer = sealedfile::Key::derive(password, m_key->recipe());
        return answer && answer->sameAs(*m_key) ? Status::Ready : Status::WrongPassword;
    }
    const sealedfile::Header header = sealedfile::readHeader(m_sealedFile);
    auto key = sealedfile::Key::derive(password, header.recipe);
    if (!key) {
        m_failure = Failure::of(Failure::Kind::NoKeyMemory);
        return Status::CannotOpen;
    }
    if (!sealedfile::Sealer::fits(*key, m_sealedFile))
        return Status::WrongPassword;
    const std::optional<std::size_t> size =
        sealedfile::Sealer::imageSize(std::size_t(m_sealedFile.size()));
    if (!size)
        return Status::Damaged;
    auto *image = static_cast<unsigned char *>(sqlite3_malloc64(*size));
    if (!image)
        return Status::CannotOpen;
    if (!sealedfile::Sealer::open(*key, m_sealedFile, image)) {
        sqlite3_free(image);
        return Status::Damaged;
    }
    if (const Status opened = openImage(image, *size); opened != Status::Ready)
        return opened;
    if (m_migratedFrom > 0 &&
        (!writeMigrationBackup(*key) || !writeSealed(*key, m_filePath, Check::SameImage))) {
        disconnect();
        return Status::MigrationFailed;
    }
    m_key = std::move(key);
    wipe(m_sealedFile);
    return Status::Ready;
}

DiaryDatabase::Status DiaryDatabase::seal(const QString &password) {
    if (!isOpen())
        return Status::CannotOpen;
    auto key = sealedfile::Key::derive(password, sealedfile::KeyRecipe::fresh());
    if (!key) {
        m_failure = Failure::of(Failure::Kind::NoKeyMemory);
        return Status::CannotWrite;
    }
    if (m_migratedFrom > 0 && !writeMigrationBackup(*key))
        return Status::MigrationFailed;
    if (!writeSealed(*key, m_filePath, Check::SameImage))
        return Status::CannotWrite;
    m_key = std::move(key);
    const bool wasPlain = m_source == Source::Plain;
    m_source = Source::Sealed;
    m_unwritten = false;
    if (wasPlain)
        sealPlainCopies(*m_key);
    return Status::Ready;
}

DiaryDatabase::Status DiaryDatabase::checkAndMigrate(bool fresh) {
    QSqlDatabase db = connection();
    QSqlQuery query(db);

    if (!fresh) {
        if (!query.exec(QStringLiteral("PRAGMA quick_check"))) {
            m_failure = Failure::said(query.lastError().text());
            const QString code = query.lastError().nativeErrorCode();
            return code == QLatin1String("26") ? Status::NotADatabase : Status::Damaged;
        }
        if (!query.next() || query.value(0).toString() != QLatin1String("ok")) {
            m_failure = Failure::said(query.value(0).toString());
            return Status::Damaged;
        }
        query.finish();
    }

    // The rollback journal and the engine's scratch tables stay in memory: nothing of the diary
    // reaches the disk but the sealed file.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = MEMORY")) ||
        !query.exec(QStringLiteral("PRAGMA temp_store = MEMORY")) ||
        !query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        m_failure = Failure::said(query.lastError().text());
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
            return Status::CannotCreate;
    }

    // Every table and column the program reaches must be there, before anything is migrated.
    if (!hasColumns(db, profilefields::tableName, profileColumns()) ||
        !hasColumns(db, dayfields::tableName, dayColumns()))
        return Status::WrongSchema;

    if (version > 0 && version < schemaVersion) {
        m_migratedFrom = version;
        if (!migrate())
            return Status::MigrationFailed;
    }
    return Status::Ready;
}

bool DiaryDatabase::createSchema() {
    return runInTransaction(tableStatements() + indexStatements() + QStringList{setVersion()});
}

bool DiaryDatabase::runInTransaction(const QStringList &statements) {
    QSqlDatabase db = connection();
    if (!db.transaction()) {
        m_failure = Failure::said(db.lastError().text());
        return false;
    }
    QSqlQuery query(db);
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            m_failure = Failure::said(query.lastError().text());
            query.finish();
            db.rollback();
            return false;
        }
    }
    query.finish();
    if (!db.commit()) {
        m_failure = Failure::said(db.lastError().text());
        db.rollback();
        return false;
    }
    return true;
}

// The image as it was goes aside first, to be set aside sealed beside the diary, so that nothing
// is lost whatever happens. The whole migration is one transaction in memory; the file on disk is
// replaced only when the migrated diary is written sealed.
bool DiaryDatabase::migrate() {
    std::size_t size = 0;
    const unsigned char *image = imageOf(connection(), &size);
    if (!image)
        return false;
    m_beforeMigration = QByteArray(reinterpret_cast<const char *>(image), qsizetype(size));
    QStringList statements = dropOldPairIndexes() + indexStatements();
    if (m_migratedFrom < 5)
        statements += addGoalWeight();
    return runInTransaction(statements << setVersion());
}

// The diary as it was before its migration, sealed under a name of its own that no earlier copy
// has: "<file>.v<version>-<time>.bak".
bool DiaryDatabase::writeMigrationBackup(const sealedfile::Key &key) {
    const QByteArray sealed = sealedfile::Sealer::seal(
        key, reinterpret_cast<const unsigned char *>(m_beforeMigration.constData()),
        std::size_t(m_beforeMigration.size()));
    const QString stem =
        m_filePath +
        QStringLiteral(".v%1-%2")
            .arg(m_migratedFrom)
            .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss")));
    QString backup = stem + QLatin1String(".bak");
    for (int copy = 2; QFileInfo::exists(backup); ++copy)
        backup = stem + QStringLiteral("-%1.bak").arg(copy);
    if (sealed.isEmpty() || !atomicfile::write(backup, sealed, &m_failure))
        return false;
    wipe(m_beforeMigration);
    m_migratedFrom = 0;
    return true;
}

// Earlier versions set plain copies aside when they migrated the diary. Once the sealed diary is
// on disk they are sealed with its key too; one that cannot be sealed is removed, for the diary
// holds all it held.
void DiaryDatabase::sealPlainCopies(const sealedfile::Key &key) {
    const QFileInfo diary(m_filePath);
    const QStringList copies = diary.dir().entryList(
        {QDir(diary.fileName()).dirName() + QLatin1String(".v*.bak")}, QDir::Files);
    for (const QString &name : copies) {
        const QString path = diary.dir().filePath(name);
        QFile file(path);
        QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        file.close();
        if (sealedfile::looksSealed(bytes))
            continue;
        const QByteArray sealed = sealedfile::Sealer::seal(
            key, reinterpret_cast<const unsigned char *>(bytes.constData()),
            std::size_t(bytes.size()));
        Failure error;
        if (sealed.isEmpty() || !atomicfile::write(path, sealed, &error))
            QFile::remove(path);
        wipe(bytes);
    }
}

// The days of an image that opens as a diary and passes the engine's whole check; none
// otherwise. The image is read in a connection of its own, read-only.
std::optional<qint64> DiaryDatabase::countedDays(const unsigned char *image, std::size_t size) {
    const QString name = m_connectionName + QLatin1String("-check");
    std::optional<qint64> days;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        sqlite3 *handle = db.open() ? engineHandle(db) : nullptr;
        auto *copy = static_cast<unsigned char *>(sqlite3_malloc64(size));
        if (copy)
            std::memcpy(copy, image, size);
        if (!handle) {
            sqlite3_free(copy);
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

// Seals the image as it is now and writes it to path; the written copy must open again with the
// key and give back the very image, and a whole copy must pass the engine's check and hold the
// diary's days too, before it takes its name.
bool DiaryDatabase::writeSealed(const sealedfile::Key &key, const QString &path, Check check) {
    std::size_t size = 0;
    const unsigned char *image = imageOf(connection(), &size);
    if (!image) {
        m_failure = Failure::of(Failure::Kind::NotOpen);
        return false;
    }
    qint64 days = 0;
    if (check == Check::WholeDiary) {
        QSqlQuery query(connection());
        if (!query.exec(QStringLiteral("SELECT count(*) FROM ") +
                        quotedIdentifier(dayfields::tableName)) ||
            !query.next()) {
            m_failure = Failure::said(query.lastError().text());
            return false;
        }
        days = query.value(0).toLongLong();
    }
    const QByteArray sealed = sealedfile::Sealer::seal(key, image, size);
    if (sealed.isEmpty()) {
        m_failure = Failure::of(Failure::Kind::NotSealable);
        return false;
    }
    const auto opensAgain = [&](const QString &written) {
        QFile file(written);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = file.readAll();
        QByteArray reopened(qsizetype(size), Qt::Uninitialized);
        auto *reopenedImage = reinterpret_cast<unsigned char *>(reopened.data());
        const bool same = sealedfile::Sealer::imageSize(std::size_t(bytes.size())) == size &&
                          sealedfile::Sealer::open(key, bytes, reopenedImage) &&
                          std::memcmp(reopened.constData(), image, size) == 0 &&
                          (check != Check::WholeDiary || countedDays(reopenedImage, size) == days);
        wipe(reopened);
        return same;
    };
    if (check == Check::None)
        return atomicfile::write(path, sealed, &m_failure);
    return atomicfile::write(path, sealed, &m_failure, opensAgain);
}

bool DiaryDatabase::writeCopy(const QString &path) {
    if (!m_key) {
        m_failure = Failure::of(Failure::Kind::NotSealedYet);
        return false;
    }
    return writeSealed(*m_key, path, Check::WholeDiary);
}

DiaryDatabase::CopyImage DiaryDatabase::openCopy(const QString &path, const QString &password) {
    CopyImage copy;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_failure = Failure::said(file.errorString());
        return copy;
    }
    QByteArray bytes = file.readAll();
    const sealedfile::Header header = sealedfile::readHeader(bytes);
    copy.status = header.state == sealedfile::Header::State::NewerVersion ? Status::NewerVersion
                                                                          : Status::Damaged;
    if (header.state != sealedfile::Header::State::Intact)
        return copy;
    // Made with the key of today, or with an older password given.
    std::unique_ptr<sealedfile::Key> older;
    const sealedfile::Key *key = m_key.get();
    if (!key || !sealedfile::Sealer::fits(*key, bytes)) {
        older = password.isEmpty() ? nullptr : sealedfile::Key::derive(password, header.recipe);
        copy.status = Status::WrongPassword;
        if (!older || !sealedfile::Sealer::fits(*older, bytes))
            return copy;
        key = older.get();
    }
    copy.status = Status::Damaged;
    const std::optional<std::size_t> size =
        sealedfile::Sealer::imageSize(std::size_t(bytes.size()));
    if (!size)
        return copy;
    copy.image = QByteArray(qsizetype(*size), Qt::Uninitialized);
    auto *image = reinterpret_cast<unsigned char *>(copy.image.data());
    if (!sealedfile::Sealer::open(*key, bytes, image))
        return copy;
    const std::optional<qint64> days = countedDays(image, *size);
    if (!days) {
        wipe(copy.image);
        return copy;
    }
    copy.days = *days;
    copy.status = Status::Ready;
    copy.sealed = bytes;
    return copy;
}

DiaryDatabase::CopyInfo DiaryDatabase::inspectCopy(const QString &path, const QString &password) {
    CopyImage copy = openCopy(path, password);
    wipe(copy.image);
    return {copy.status, copy.days};
}

DiaryDatabase::Status DiaryDatabase::restoreFrom(CopyImage copy) {
    if (copy.status != Status::Ready)
        return copy.status;
    if (!m_key)
        return Status::CannotOpen;
    const auto size = std::size_t(copy.image.size());
    auto *image = static_cast<unsigned char *>(sqlite3_malloc64(size));
    if (!image) {
        wipe(copy.image);
        return Status::CannotOpen;
    }
    std::memcpy(image, copy.image.constData(), size);
    wipe(copy.image);
    // The copy takes the diary's place in memory, brought up to date if it is older, and is
    // written sealed with today's key; on any failure the diary is read again from its file.
    disconnect();
    Status status = openImage(image, size);
    if (status == Status::Ready && m_migratedFrom > 0 && !writeMigrationBackup(*m_key))
        status = Status::MigrationFailed;
    if (status == Status::Ready && !writeSealed(*m_key, m_filePath, Check::WholeDiary))
        status = Status::CannotWrite;
    if (status != Status::Ready) {
        const Failure reason = m_failure;
        disconnect();
        reloadFromFile();
        m_failure = reason;
        return status;
    }
    m_changed = true;
    return Status::Ready;
}

// Reads the diary again from its file with the key it was opened with.
DiaryDatabase::Status DiaryDatabase::reloadFromFile() {
    QFile file(m_filePath);
    if (!m_key || !file.open(QIODevice::ReadOnly))
        return Status::CannotOpen;
    const QByteArray bytes = file.readAll();
    const std::optional<std::size_t> size =
        sealedfile::Sealer::imageSize(std::size_t(bytes.size()));
    auto *image = size ? static_cast<unsigned char *>(sqlite3_malloc64(*size)) : nullptr;
    if (!image || !sealedfile::Sealer::open(*m_key, bytes, image)) {
        sqlite3_free(image);
        return Status::Damaged;
    }
    return openImage(image, *size);
}

bool DiaryDatabase::writePlainCopy(const QString &path) {
    // The engine writes the copy into an empty file made for the owner alone, under a name of its
    // own; the file keeps its modes. Its journal, of the same modes, is the engine's to make anew.
    privatefile::NewFile file(path);
    if (!file.create()) {
        m_failure = file.failure();
        return false;
    }
    file.close();
    QFile::remove(file.pendingPath() + QLatin1String("-journal"));
    QSqlQuery query(connection());
    if (!query.exec(QLatin1String("VACUUM INTO '") +
                    QString(file.pendingPath()).replace(u'\'', "''") + u'\'')) {
        m_failure = Failure::said(query.lastError().text());
        return false;
    }
    if (!file.commit(privatefile::NewFile::Sync::No)) {
        m_failure = file.failure();
        return false;
    }
    return true;
}

bool DiaryDatabase::save() {
    if (!m_key)
        return true;
    m_unwritten = !writeSealed(*m_key, m_filePath, Check::None);
    m_changed = m_changed || !m_unwritten;
    if (m_unwritten)
        emit writeFailed();
    return !m_unwritten;
}

DiaryDatabase::CopyImage::CopyImage(CopyImage &&other) noexcept
    : status(other.status)
    , days(other.days)
    , image(std::exchange(other.image, {}))
    , sealed(std::exchange(other.sealed, {})) {}

DiaryDatabase::CopyImage &DiaryDatabase::CopyImage::operator=(CopyImage &&other) noexcept {
    wipe(image);
    status = other.status;
    days = other.days;
    image = std::exchange(other.image, {});
    sealed = std::exchange(other.sealed, {});
    return *this;
}

DiaryDatabase::CopyImage::~CopyImage() {
    wipe(image);
}

DiaryDatabase::Status DiaryDatabase::replaceWithCopy(CopyImage copy, const QString &setAside) {
    if (copy.status != Status::Ready)
        return copy.status;
    close();
    if (const Status locked = takeLock(); locked != Status::Ready)
        return locked;
    QFile there(m_filePath);
    const bool present = there.exists();
    if (present && !there.rename(setAside)) {
        m_failure = Failure::said(there.errorString());
        close();
        return Status::CannotWrite;
    }
    const QByteArray sealed = copy.sealed;
    const auto same = [&sealed](const QString &written) {
        QFile file(written);
        return file.open(QIODevice::ReadOnly) && file.readAll() == sealed;
    };
    if (!atomicfile::write(m_filePath, sealed, &m_failure, same)) {
        if (present)
            QFile::rename(setAside, m_filePath);
        close();
        return Status::CannotWrite;
    }
    return open(m_filePath);
}

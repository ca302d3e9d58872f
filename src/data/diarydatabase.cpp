#include "data/diarydatabase.h"

#include "data/atomicfile.h"
#include "data/engineimage.h"
#include "data/enginememory.h"
#include "data/privatefile.h"
#include "data/syncschema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>
#include <optional>
#include <utility>

namespace {

const QString folderName = QStringLiteral("Gimnasio Por ^Zorvend^");

using Check = sealedcopies::Check;

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
    engineimage::drop(m_connectionName);
    m_key.reset();
    engineimage::wipe(m_sealedFile);
    engineimage::wipe(m_migration.before);
    m_migration.from = 0;
    m_unwritten = false;
    m_changed = false;
    m_source = Source::New;
    m_known = {};
    m_ours = {};
    m_otherKey.reset();
    m_lock.release();
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
    if (const Status locked = m_lock.take(m_filePath, &m_failure); locked != Status::Ready)
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

// Reads the file that is there: a sealed diary waits for its password, a plain one is read.
DiaryDatabase::Status DiaryDatabase::readFile() {
    const QFileInfo info(m_filePath);
    if (!info.isFile() || !info.isReadable())
        return Status::CannotOpen;
    if (!info.isWritable())
        return Status::ReadOnly;
    if (const int refusal = privatefile::writeRefusal(folder()); refusal != 0) {
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
    m_known = diarysync::FileMark::ofBytes(m_sealedFile, info.lastModified().toMSecsSinceEpoch());
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
    engineimage::drop(m_connectionName);
    std::size_t size = 0;
    unsigned char *image = engineimage::readFile(m_filePath, &size, &m_failure);
    return image ? openImage(image, size) : Status::CannotOpen;
}

// Opens the connection on an image in memory, which the engine owns from here on (nullptr for a
// new diary), and checks it; the connection stays open only when Ready.
DiaryDatabase::Status DiaryDatabase::openImage(unsigned char *image, std::size_t size) {
    const bool fresh = image == nullptr;
    m_ours = {};
    Status status = engineimage::load(m_connectionName, image, size, &m_failure)
                        ? diaryschema::check(connection(), fresh, &m_migration, &m_failure)
                        : Status::CannotOpen;
    if (status == Status::Ready && !syncschema::install(connection(), &m_clock))
        status = Status::CannotOpen;
    if (status != Status::Ready)
        engineimage::drop(m_connectionName);
    return status;
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
    unsigned char *image = engineimage::allocate(*size);
    if (!image)
        return Status::CannotOpen;
    if (!sealedfile::Sealer::open(*key, m_sealedFile, image)) {
        engineimage::release(image);
        return Status::Damaged;
    }
    if (const Status opened = openImage(image, *size); opened != Status::Ready)
        return opened;
    const bool migrated = m_migration.from > 0;
    if (m_migration.from > 0 &&
        (!sealedcopies::setAsideBeforeMigration(*key, m_filePath, &m_migration, &m_failure) ||
         !sealedcopies::write(connection(), *key, m_filePath, Check::SameImage, &m_failure))) {
        engineimage::drop(m_connectionName);
        return Status::MigrationFailed;
    }
    if (migrated)
        m_known = diarysync::FileMark::of(m_filePath);
    m_key = std::move(key);
    engineimage::wipe(m_sealedFile);
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
    if (m_migration.from > 0 &&
        !sealedcopies::setAsideBeforeMigration(*key, m_filePath, &m_migration, &m_failure))
        return Status::MigrationFailed;
    // What another hand wrote is merged before the diary is sealed anew.
    if ((m_key && !catchUp()) ||
        !sealedcopies::write(connection(), *key, m_filePath, Check::SameImage, &m_failure))
        return Status::CannotWrite;
    m_known = diarysync::FileMark::of(m_filePath);
    m_key = std::move(key);
    const bool wasPlain = m_source == Source::Plain;
    m_source = Source::Sealed;
    m_unwritten = false;
    if (wasPlain)
        sealedcopies::sealPlainCopies(*m_key, m_filePath);
    return Status::Ready;
}

bool DiaryDatabase::save() {
    if (!m_key)
        return true;
    m_unwritten = !catchUp() || !writeFile(Check::None);
    m_changed = m_changed || !m_unwritten;
    if (m_unwritten)
        emit writeFailed();
    return !m_unwritten;
}

bool DiaryDatabase::writeCopy(const QString &path) {
    if (!m_key) {
        m_failure = Failure::of(Failure::Kind::NotSealedYet);
        return false;
    }
    return sealedcopies::write(connection(), *m_key, path, Check::WholeDiary, &m_failure);
}

DiaryDatabase::CopyImage DiaryDatabase::openCopy(const QString &path, const QString &password) {
    return CopyImage::open(path, m_key.get(), password, &m_failure);
}

DiaryDatabase::CopyInfo DiaryDatabase::inspectCopy(const QString &path, const QString &password) {
    const CopyImage copy = openCopy(path, password);
    return {copy.status, copy.days};
}

DiaryDatabase::Status DiaryDatabase::restoreFrom(CopyImage copy) {
    if (copy.status != Status::Ready)
        return copy.status;
    if (!m_key)
        return Status::CannotOpen;
    std::size_t size = 0;
    unsigned char *image = copy.intoEngine(&size);
    if (!image)
        return Status::CannotOpen;
    // The copy takes the diary's place in memory, brought up to date if it is older, and is
    // written sealed with today's key; on any failure the diary is read again from its file.
    engineimage::drop(m_connectionName);
    Status status = openImage(image, size);
    if (status == Status::Ready && m_migration.from > 0 &&
        !sealedcopies::setAsideBeforeMigration(*m_key, m_filePath, &m_migration, &m_failure))
        status = Status::MigrationFailed;
    if (status == Status::Ready && !writeFile(Check::WholeDiary))
        status = Status::CannotWrite;
    if (status != Status::Ready) {
        const Failure reason = m_failure;
        engineimage::drop(m_connectionName);
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
    unsigned char *image = size ? engineimage::allocate(*size) : nullptr;
    if (!image || !sealedfile::Sealer::open(*m_key, bytes, image)) {
        engineimage::release(image);
        return Status::Damaged;
    }
    return openImage(image, *size);
}

bool DiaryDatabase::writePlainCopy(const QString &path) {
    return sealedcopies::writePlain(connection(), path, &m_failure);
}

DiaryDatabase::Status DiaryDatabase::replaceWithCopy(CopyImage copy, const QString &setAside) {
    if (copy.status != Status::Ready)
        return copy.status;
    close();
    if (const Status locked = m_lock.take(m_filePath, &m_failure); locked != Status::Ready)
        return locked;
    QFile there(m_filePath);
    const bool present = there.exists();
    if (present && !there.rename(setAside)) {
        m_failure = Failure::said(there.errorString());
        close();
        return Status::CannotWrite;
    }
    if (!copy.writeAsItWas(m_filePath, &m_failure)) {
        if (present)
            QFile::rename(setAside, m_filePath);
        close();
        return Status::CannotWrite;
    }
    return open(m_filePath);
}

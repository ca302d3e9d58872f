#include "data/sealedcopies.h"

#include "data/atomicfile.h"
#include "data/dayfields.h"
#include "data/engineimage.h"
#include "data/privatefile.h"
#include "data/sqlfunctions.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstring>
#include <memory>
#include <optional>

namespace sealedcopies {

bool write(const QSqlDatabase &db, const sealedfile::Key &key, const QString &path, Check check,
           Failure *failure) {
    std::size_t size = 0;
    const unsigned char *image = engineimage::view(db, &size);
    if (!image) {
        *failure = Failure::of(Failure::Kind::NotOpen);
        return false;
    }
    qint64 days = 0;
    if (check == Check::WholeDiary) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("SELECT count(*) FROM ") +
                        quotedIdentifier(dayfields::tableName)) ||
            !query.next()) {
            *failure = Failure::said(query.lastError().text());
            return false;
        }
        days = query.value(0).toLongLong();
    }
    const QByteArray sealed = sealedfile::Sealer::seal(key, image, size);
    if (sealed.isEmpty()) {
        *failure = Failure::of(Failure::Kind::NotSealable);
        return false;
    }
    // The written copy must open again with the key and give back the very image, and a whole
    // copy must pass the engine's check and hold the diary's days too.
    const auto opensAgain = [&](const QString &written) {
        QFile file(written);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = file.readAll();
        QByteArray reopened(qsizetype(size), Qt::Uninitialized);
        auto *reopenedImage = reinterpret_cast<unsigned char *>(reopened.data());
        const bool same =
            sealedfile::Sealer::imageSize(std::size_t(bytes.size())) == size &&
            sealedfile::Sealer::open(key, bytes, reopenedImage) &&
            std::memcmp(reopened.constData(), image, size) == 0 &&
            (check != Check::WholeDiary || engineimage::countedDays(reopenedImage, size) == days);
        engineimage::wipe(reopened);
        return same;
    };
    if (check == Check::None)
        return atomicfile::write(path, sealed, failure);
    return atomicfile::write(path, sealed, failure, opensAgain);
}

CopyImage CopyImage::open(const QString &path, const sealedfile::Key *today,
                          const QString &password, Failure *failure) {
    CopyImage copy;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *failure = Failure::said(file.errorString());
        return copy;
    }
    QByteArray bytes = file.readAll();
    const sealedfile::Header header = sealedfile::readHeader(bytes);
    copy.status = header.state == sealedfile::Header::State::NewerVersion
                      ? DiaryStatus::NewerVersion
                      : DiaryStatus::Damaged;
    if (header.state != sealedfile::Header::State::Intact)
        return copy;
    // Made with the key of today, or with an older password given.
    std::unique_ptr<sealedfile::Key> older;
    const sealedfile::Key *key = today;
    if (!key || !sealedfile::Sealer::fits(*key, bytes)) {
        older = password.isEmpty() ? nullptr : sealedfile::Key::derive(password, header.recipe);
        copy.status = DiaryStatus::WrongPassword;
        if (!older || !sealedfile::Sealer::fits(*older, bytes))
            return copy;
        key = older.get();
    }
    copy.status = DiaryStatus::Damaged;
    const std::optional<std::size_t> size =
        sealedfile::Sealer::imageSize(std::size_t(bytes.size()));
    if (!size)
        return copy;
    copy.m_image = QByteArray(qsizetype(*size), Qt::Uninitialized);
    auto *image = reinterpret_cast<unsigned char *>(copy.m_image.data());
    if (!sealedfile::Sealer::open(*key, bytes, image))
        return copy;
    const std::optional<qint64> days = engineimage::countedDays(image, *size);
    if (!days) {
        engineimage::wipe(copy.m_image);
        return copy;
    }
    copy.days = *days;
    copy.status = DiaryStatus::Ready;
    copy.m_sealed = bytes;
    return copy;
}

CopyImage::~CopyImage() {
    engineimage::wipe(m_image);
}

unsigned char *CopyImage::intoEngine(std::size_t *size) {
    *size = std::size_t(m_image.size());
    unsigned char *image = engineimage::allocate(*size);
    if (image)
        std::memcpy(image, m_image.constData(), *size);
    engineimage::wipe(m_image);
    return image;
}

bool CopyImage::writeAsItWas(const QString &path, Failure *failure) const {
    const QByteArray sealed = m_sealed;
    const auto same = [&sealed](const QString &written) {
        QFile file(written);
        return file.open(QIODevice::ReadOnly) && file.readAll() == sealed;
    };
    return atomicfile::write(path, sealed, failure, same);
}

bool writePlain(const QSqlDatabase &db, const QString &path, Failure *failure) {
    // The engine writes the copy into an empty file made for the owner alone, under a name of its
    // own; the file keeps its modes. Its journal, of the same modes, is the engine's to make anew.
    privatefile::NewFile file(path);
    if (!file.create()) {
        *failure = file.failure();
        return false;
    }
    file.close();
    QFile::remove(file.pendingPath() + QLatin1String("-journal"));
    QSqlQuery query(db);
    if (!query.exec(QLatin1String("VACUUM INTO '") +
                    QString(file.pendingPath()).replace(u'\'', "''") + u'\'')) {
        *failure = Failure::said(query.lastError().text());
        return false;
    }
    if (!file.commit(privatefile::NewFile::Sync::No)) {
        *failure = file.failure();
        return false;
    }
    return true;
}

bool setAsideBeforeMigration(const sealedfile::Key &key, const QString &diaryPath,
                             diaryschema::Migration *migration, Failure *failure) {
    const QByteArray sealed = sealedfile::Sealer::seal(
        key, reinterpret_cast<const unsigned char *>(migration->before.constData()),
        std::size_t(migration->before.size()));
    const QString stem =
        diaryPath +
        QStringLiteral(".v%1-%2")
            .arg(migration->from)
            .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss")));
    QString backup = stem + QLatin1String(".bak");
    for (int copy = 2; QFileInfo::exists(backup); ++copy)
        backup = stem + QStringLiteral("-%1.bak").arg(copy);
    if (sealed.isEmpty() || !atomicfile::write(backup, sealed, failure))
        return false;
    engineimage::wipe(migration->before);
    migration->from = 0;
    return true;
}

void sealPlainCopies(const sealedfile::Key &key, const QString &diaryPath) {
    const QFileInfo diary(diaryPath);
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
        Failure ignored;
        if (sealed.isEmpty() || !atomicfile::write(path, sealed, &ignored))
            QFile::remove(path);
        engineimage::wipe(bytes);
    }
}

} // namespace sealedcopies

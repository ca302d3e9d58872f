// The diary's file kept in step with other computers: before every write the file is looked at,
// and what another hand wrote there is merged first (see diarysync.h).

#include "data/diarydatabase.h"
#include "data/engineimage.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

bool DiaryDatabase::writeFile(sealedcopies::Check check) {
    if (!sealedcopies::write(connection(), *m_key, m_filePath, check, &m_failure))
        return false;
    m_known = diarysync::FileMark::of(m_filePath);
    return true;
}

bool DiaryDatabase::catchUp() {
    const diarysync::FileMark now = diarysync::FileMark::of(m_filePath);
    // Nothing there (a sync tool between its remove and its rename) loses nothing when written.
    if (now == m_known || now.size < 0)
        return true;
    diarysync::Report report;
    const Status merged = mergeFile(m_filePath, false, &report);
    if (merged == Status::Ready) {
        m_lastMerge = report;
        emit mergedFromDisk();
        return true;
    }
    // A damaged file is set aside, never written over: the diary in memory holds all it can.
    const QString setAside =
        m_filePath + QStringLiteral(".dañado-") +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (merged == Status::Damaged && QFile::rename(m_filePath, setAside))
        return true;
    m_failure = Failure::of(Failure::Kind::NotMerged);
    return false;
}

bool DiaryDatabase::fileIsCurrent() const {
    return m_key && !m_unwritten && diarysync::FileMark::of(m_filePath) == m_known;
}

bool DiaryDatabase::saveVerified() {
    if (!m_key)
        return false;
    m_unwritten = !catchUp() || !writeFile(sealedcopies::Check::WholeDiary);
    m_changed = m_changed || !m_unwritten;
    if (m_unwritten)
        emit writeFailed();
    return !m_unwritten;
}

DiaryDatabase::Status DiaryDatabase::refresh() {
    if (!m_key)
        return Status::Ready;
    const diarysync::FileMark now = diarysync::FileMark::of(m_filePath);
    if (now == m_known || now.size < 0)
        return Status::Ready;
    diarysync::Report report;
    const Status merged = mergeFile(m_filePath, false, &report);
    if (merged != Status::Ready)
        return merged;
    m_lastMerge = report;
    if (report.theirsLacks || m_unwritten) {
        m_unwritten = !writeFile(sealedcopies::Check::None);
        m_changed = m_changed || !m_unwritten;
        if (m_unwritten)
            emit writeFailed();
    }
    emit mergedFromDisk();
    return Status::Ready;
}

const sealedfile::Key *DiaryDatabase::keyFor(const QByteArray &sealed,
                                             const sealedfile::Header &header) {
    if (m_key && sealedfile::Sealer::fits(*m_key, sealed))
        return m_key.get();
    if (m_otherKey && sealedfile::Sealer::fits(*m_otherKey, sealed))
        return m_otherKey.get();
    QString password = m_askPassword ? m_askPassword() : QString();
    if (password.isEmpty())
        return nullptr;
    auto key = sealedfile::Key::derive(password, header.recipe);
    password.fill(u'\0');
    if (!key || !sealedfile::Sealer::fits(*key, sealed))
        return nullptr;
    m_otherKey = std::move(key);
    return m_otherKey.get();
}

DiaryDatabase::Status DiaryDatabase::mergeFile(const QString &path, bool anyDiary,
                                               diarysync::Report *report) {
    if (!isOpen())
        return Status::CannotOpen;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_failure = Failure::said(file.errorString());
        return Status::CannotOpen;
    }
    const qint64 modified = QFileInfo(file).lastModified().toMSecsSinceEpoch();
    QByteArray sealed = file.readAll();
    const sealedfile::Header header = sealedfile::readHeader(sealed);
    if (header.state != sealedfile::Header::State::Intact)
        return header.state == sealedfile::Header::State::NewerVersion ? Status::NewerVersion
                                                                       : Status::Damaged;
    const sealedfile::Key *key = keyFor(sealed, header);
    if (!key)
        return Status::WrongPassword;
    const std::optional<std::size_t> size =
        sealedfile::Sealer::imageSize(std::size_t(sealed.size()));
    unsigned char *image = size ? engineimage::allocate(*size) : nullptr;
    if (!image || !sealedfile::Sealer::open(*key, sealed, image)) {
        engineimage::release(image);
        return Status::Damaged;
    }
    const Status merged = diarysync::mergeImage(connection(), m_clock, image, *size, anyDiary,
                                                &m_ours, report, &m_failure);
    if (merged != Status::Ready)
        return merged;
    if (QFileInfo(path).absoluteFilePath() == m_filePath)
        m_known = diarysync::FileMark::ofBytes(sealed, modified);
    if (key == m_otherKey.get() && report->password == diarysync::Report::Password::Theirs)
        m_key = std::move(m_otherKey);
    return Status::Ready;
}

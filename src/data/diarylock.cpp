#include "data/diarylock.h"

#include "data/privatefile.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

} // namespace

DiaryLock::DiaryLock() = default;

DiaryLock::~DiaryLock() {
    release();
}

DiaryStatus DiaryLock::take(const QString &diaryPath, Failure *failure) {
    // A lock left by a copy that was killed names a process that no longer runs, and QLockFile
    // takes it over; a live lock never goes stale by age. A lock left by a copy killed while it
    // made the lock names nothing, and is taken over here.
    const QString lockPath = diaryPath + QLatin1String(".lock");
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
                                ? privatefile::writeRefusal(QFileInfo(diaryPath).absolutePath())
                                : 0;
        if (refusal != 0)
            *failure = Failure::system(refusal);
        if (lock->error() == QLockFile::LockFailedError && refusal == 0)
            return DiaryStatus::AlreadyRunning;
        return lock->error() == QLockFile::PermissionError || refusal != 0
                   ? DiaryStatus::ReadOnly
                   : DiaryStatus::CannotOpen;
    }
    m_lock = std::move(lock);
    return DiaryStatus::Ready;
}

void DiaryLock::release() {
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}

#include "data/privatefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace privatefile {
namespace {

constexpr mode_t fileMode = S_IRUSR | S_IWUSR;
constexpr mode_t folderMode = S_IRWXU;
int failingWrite = 0;

// The rename is an entry of the folder, which reaches the disk when the folder is flushed.
bool flushFolder(const QString &path) {
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return flushed;
}

// Narrows what stands at name to the owner alone, and what a folder holds; what is no file or
// folder of this account is left alone. The entry is opened without following a link, so that
// a link put in its place meanwhile changes nothing.
void narrow(const QByteArray &name) {
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0 || info.st_uid != ::geteuid())
        return;
    const bool folder = S_ISDIR(info.st_mode);
    if (!folder && !S_ISREG(info.st_mode))
        return;
    const mode_t wanted = folder ? folderMode : fileMode;
    if ((info.st_mode & 07777 & ~wanted) != 0) {
        const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            struct stat opened {};
            if (::fstat(fd, &opened) == 0 && opened.st_ino == info.st_ino)
                ::fchmod(fd, opened.st_mode & 07777 & wanted);
            ::close(fd);
        }
    }
    if (!folder)
        return;
    DIR *dir = ::opendir(name.constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            narrow(name + '/' + entry->d_name);
    ::closedir(dir);
}

} // namespace

bool makeFolder(const QString &path) {
    const QByteArray name = QFile::encodeName(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    int made = ::mkdir(name.constData(), folderMode) == 0 ? 0 : errno;
    if (made == ENOENT && QDir().mkpath(QFileInfo(path).absolutePath()))
        made = ::mkdir(name.constData(), folderMode) == 0 ? 0 : errno;
    struct stat info {};
    if (::stat(name.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    if ((info.st_mode & 077) != 0 && info.st_uid == ::geteuid())
        ::chmod(name.constData(), info.st_mode & 07777 & folderMode);
    return true;
}

int writeRefusal(const QString &folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0 ? 0 : errno;
}

void tighten(const QString &path) {
    // The folder itself may be reached through a link of its owner's; nothing within it is.
    const QString folder = QFileInfo(path).canonicalFilePath();
    if (!folder.isEmpty())
        narrow(QFile::encodeName(folder));
}

void failNextWrite(int error) {
    failingWrite = error;
}

NewFile::NewFile(QString path, QString pending)
    : m_path(std::move(path))
    , m_pending(pending.isEmpty() ? m_path + QLatin1String(".new") : std::move(pending)) {}

NewFile::~NewFile() {
    cancel();
}

bool NewFile::create() {
    cancel();
    const QByteArray name = QFile::encodeName(m_pending);
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(name.constData(), flags, fileMode);
    // Left by a write cut short, or put there by someone else: removed, never opened.
    if (fd < 0 && errno == EEXIST && ::unlink(name.constData()) == 0)
        fd = ::open(name.constData(), flags, fileMode);
    if (fd < 0)
        return fail(errno);
    m_fd = fd;
    m_made = true;
    // The umask may have taken the owner's own rights away; nobody else's were ever given.
    if (::fchmod(fd, fileMode) != 0) {
        const int error = errno;
        cancel();
        return fail(error);
    }
    m_failure = {};
    return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

void NewFile::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (isOpen())
        QIODevice::close();
}

bool NewFile::commit(Sync sync, const std::function<bool(const QString &written)> &check) {
    if (!m_made)
        return fail(EBADF);
    if (m_fd >= 0 && sync == Sync::ToDisk && ::fsync(m_fd) != 0) {
        const int error = errno;
        cancel();
        return fail(error);
    }
    // Some file systems tell a failed write only when the file is closed.
    const int closed = m_fd >= 0 ? ::close(m_fd) : 0;
    const int closeError = errno;
    m_fd = -1;
    close();
    if (closed != 0) {
        cancel();
        return fail(closeError);
    }
    if (check && !check(m_pending)) {
        cancel();
        m_failure = Failure::of(Failure::Kind::NotReadBack);
        return false;
    }
    // rename() replaces what stands at the name in one step, a link too: nothing is written
    // through it.
    if (std::rename(QFile::encodeName(m_pending).constData(),
                    QFile::encodeName(m_path).constData()) != 0) {
        const int error = errno;
        cancel();
        return fail(error);
    }
    m_made = false;
    // The new file is in place; only its survival of a power cut is uncertain.
    return sync == Sync::No || flushFolder(m_path) || fail(errno);
}

void NewFile::cancel() {
    close();
    if (m_made)
        ::unlink(QFile::encodeName(m_pending).constData());
    m_made = false;
}

qint64 NewFile::readData(char *, qint64) {
    return -1;
}

qint64 NewFile::writeData(const char *data, qint64 size) {
    if (failingWrite != 0) {
        fail(std::exchange(failingWrite, 0));
        return -1;
    }
    qint64 done = 0;
    while (done < size) {
        const ssize_t written = ::write(m_fd, data + done, std::size_t(size - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            fail(written < 0 ? errno : EIO);
            return -1;
        }
        done += written;
    }
    return done;
}

bool NewFile::fail(int error) {
    m_failure = Failure::system(error);
    setErrorString(QString::fromLocal8Bit(std::strerror(error)));
    return false;
}

} // namespace privatefile

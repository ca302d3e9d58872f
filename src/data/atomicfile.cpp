#include "atomicfile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace atomicfile {
namespace {

bool flushToDisk(QFile &file) {
    if (!file.flush())
        return false;
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return true;
#endif
}

// The rename is an entry of the folder, which reaches the disk when the folder is flushed.
bool flushFolder(const QString &path) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = ::fsync(fd) == 0;
    ::close(fd);
    return flushed;
#else
    Q_UNUSED(path);
    return true;
#endif
}

} // namespace

QString pendingPath(const QString &path) {
    return path + QLatin1String(".new");
}

bool write(const QString &path, const QByteArray &bytes, QString *error,
           const std::function<bool(const QString &written)> &check) {
    const QString pending = pendingPath(path);
    QFile file(pending);
    const auto fail = [&](const QString &reason) {
        *error = reason;
        file.close();
        QFile::remove(pending);
        return false;
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(file.errorString());
    if (file.write(bytes) != bytes.size() || !flushToDisk(file))
        return fail(file.errorString());
    file.close();
    if (check && !check(pending))
        return fail(QStringLiteral("El Archivo Escrito No Se Ha Podido Leer De Nuevo."));
    // rename() replaces the old file in one step; QFile::rename() would refuse an existing one.
    if (std::rename(QFile::encodeName(pending).constData(), QFile::encodeName(path).constData()) !=
        0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (!flushFolder(path)) {
        // The new file is in place; only its survival of a power cut is uncertain.
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace atomicfile

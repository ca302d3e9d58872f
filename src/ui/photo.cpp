#include "ui/photo.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace photo {
namespace {

QImage fitted(const QImage &image) {
    if (image.width() <= storedSide && image.height() <= storedSide)
        return image;
    QSize target = image.size().scaled(storedSide, storedSide, Qt::KeepAspectRatio);
    target = target.expandedTo(QSize(1, 1));
    return image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// Decodes a picture held in memory, refusing it before decoding when it claims to be too large.
QImage decodeBytes(const QByteArray &data) {
    if (data.isEmpty() || data.size() > maxFileBytes)
        return {};
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    reader.setAllocationLimit(allocationLimitMegabytes);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return {};
    const QSize claimed = reader.size();
    if (claimed.isValid() && !withinLimits(claimed))
        return {};
    const QImage image = reader.read();
    if (image.isNull() || !withinLimits(image.size()))
        return {};
    return fitted(image);
}

// The whole content of a regular file of at most maxFileBytes. The file is opened without
// blocking, so that a path swapped for a FIFO after the check cannot stall the program.
std::optional<QByteArray> readRegularFile(const QString &path) {
#ifdef Q_OS_UNIX
    const QByteArray encoded = QFile::encodeName(path);
    const int fd = ::open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > maxFileBytes) {
        ::close(fd);
        return std::nullopt;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
#endif
    // A file that grew since it was measured is read only up to the limit and then refused.
    QByteArray data = file.read(maxFileBytes + 1);
    if (data.size() > maxFileBytes)
        return std::nullopt;
    return data;
}

} // namespace

bool withinLimits(QSize size) {
    if (size.width() < 1 || size.height() < 1)
        return false;
    if (size.width() > maxSide || size.height() > maxSide)
        return false;
    return qint64(size.width()) * qint64(size.height()) <= maxPixels;
}

std::optional<QImage> loadFile(const QString &path) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maxFileBytes)
        return std::nullopt;
    const std::optional<QByteArray> data = readRegularFile(path);
    if (!data)
        return std::nullopt;
    QImage image = decodeBytes(*data);
    if (image.isNull())
        return std::nullopt;
    return image;
}

QByteArray encode(const QImage &image) {
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return {};
    return bytes;
}

QImage decode(const QByteArray &data) {
    return decodeBytes(data);
}

} // namespace photo

#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

// The user's photo: read from a dropped image file, kept in the profile as PNG bytes. Every
// decoding step is bounded, because both the dropped file and the stored bytes may be hostile.
namespace photo {

// Files larger than this are not read at all.
constexpr qint64 maxFileBytes = 32 * 1024 * 1024;
// The largest picture that is decoded: no side above maxSide, no more than maxPixels pixels.
constexpr int maxSide = 8000;
constexpr qint64 maxPixels = 40'000'000;
// Memory that the decoder may take for one picture, in megabytes.
constexpr int allocationLimitMegabytes = 256;
// Pictures are kept no larger than this, with their aspect ratio.
constexpr int storedSide = 512;

// True when a picture of this size may be decoded.
bool withinLimits(QSize size);

// The picture in a regular image file, scaled down to fit storedSide × storedSide; no value for a
// file that is no regular file, too large, unreadable or no picture within the limits.
std::optional<QImage> loadFile(const QString &path);

// The stored form of a picture (PNG); empty for a null picture.
QByteArray encode(const QImage &image);
// The picture behind stored bytes, scaled down to fit storedSide × storedSide; a null picture for
// empty, damaged or oversized data.
QImage decode(const QByteArray &data);

} // namespace photo

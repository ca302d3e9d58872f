#pragma once

#include "data/failure.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <optional>

class QSqlDatabase;

// The diary in memory: the engine's image of a database, handed to it whole and viewed in place,
// never copied to a file unsealed. Every image is wiped before its memory goes.
namespace engineimage {

// Memory for an image that the engine frees once it is given it; nullptr when there is none.
unsigned char *allocate(std::size_t size);
// Frees memory of allocate() that the engine was never given.
void release(unsigned char *image);
// The whole file at path in memory of allocate(); nullptr, with the system's words, when it
// cannot be read.
unsigned char *readFile(const QString &path, std::size_t *size, Failure *failure);

// Opens a connection of that name on the image, which the engine owns from here on (nullptr for
// a new, empty diary), with the diary's functions registered. False when it cannot, with the
// engine's words when it gave any; the connection is there until drop() all the same.
bool load(const QString &connection, unsigned char *image, std::size_t size, Failure *failure);
// The image of a connection as the engine holds it (no copy); nullptr when there is none.
unsigned char *view(const QSqlDatabase &db, std::size_t *size);
// Wipes the image of the connection, closes it and removes it; nothing when there is none.
void drop(const QString &connection);

// The days of an image that opens as a diary and passes the engine's whole check; none
// otherwise. The image is read in a connection of its own, read-only.
std::optional<qint64> countedDays(const unsigned char *image, std::size_t size);

// Wipes the bytes and empties them.
void wipe(QByteArray &bytes);

} // namespace engineimage

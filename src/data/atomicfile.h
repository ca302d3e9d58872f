#pragma once

#include "data/failure.h"

#include <QByteArray>
#include <QString>
#include <functional>

// Files that are replaced whole or not at all: the bytes go under a name of their own beside the
// file, reach the disk, are checked if asked, and only then take the file's name; the folder is
// flushed last, so that the new name survives a power cut too. The file is its owner's alone (see
// privatefile.h).
namespace atomicfile {

// The name the bytes are written under before they take the file's name. A crash leaves at most
// this file beside the old one.
QString pendingPath(const QString &path);

// Writes bytes as the whole new content of path. `check`, when given, is asked about the written
// file before it replaces the old one. False, with the reason in *failure, when anything fails;
// the old file is then as it was and the pending file is gone.
bool write(const QString &path, const QByteArray &bytes, Failure *failure,
           const std::function<bool(const QString &written)> &check = {});

} // namespace atomicfile

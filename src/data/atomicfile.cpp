#include "data/atomicfile.h"

#include "data/privatefile.h"

namespace atomicfile {

QString pendingPath(const QString &path) {
    return path + QLatin1String(".new");
}

bool write(const QString &path, const QByteArray &bytes, Failure *failure,
           const std::function<bool(const QString &written)> &check) {
    privatefile::NewFile file(path, pendingPath(path));
    if (file.create() && file.write(bytes) == bytes.size() &&
        file.commit(privatefile::NewFile::Sync::ToDisk, check))
        return true;
    *failure = file.failure();
    return false;
}

} // namespace atomicfile

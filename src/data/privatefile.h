#pragma once

#include "data/failure.h"

#include <QIODevice>
#include <QString>
#include <functional>

// Files and folders that belong to the diary's owner alone. Every file the program writes holds
// the diary or a part of it, so each is made readable and writable by its owner only (0600) from
// the moment it exists, whatever the umask, and each folder it makes is open to its owner only
// (0700). A file is always made anew under a name of its own and then renamed into place: a
// symbolic link that stands at either name is replaced, never written through.
namespace privatefile {

// Makes the folder and any missing folders above it; the folder itself, new or not, is left open
// to its owner alone. False when it cannot be made.
bool makeFolder(const QString &path);

// Why the folder cannot be written (the system's error), 0 when it can.
int writeRefusal(const QString &folder);

// Narrows a file or folder of an earlier version to its owner alone, and every file and folder
// within a folder; links within it are left as they are, as is what belongs to someone else.
void tighten(const QString &path);

// The next write of a NewFile fails with this error, as a full or read-only disk would make it
// fail; 0 for none. Only for tests of what the user is then told.
void failNextWrite(int error);

// A file written under a pending name beside it and renamed over its name once whole. The
// pending file is made anew (whatever stood at its name is removed first, and a link planted in
// between makes the opening fail instead of being followed), 0600. Writes reach the file at
// once; failure() tells why one failed, errorString() in the system's words.
class NewFile : public QIODevice {
public:
    explicit NewFile(QString path, QString pending = {});
    ~NewFile() override;

    QString path() const { return m_path; }
    QString pendingPath() const { return m_pending; }
    // Makes the pending file, open for writing.
    bool create();
    // Closes the pending file and leaves it as written, for commit() or cancel().
    void close() override;
    // Whether the bytes must reach the disk before the file takes its name (and the folder after
    // it, so that the new name survives a power cut too).
    enum class Sync { No, ToDisk };
    // Closes the pending file and renames it over the file's name; `check`, when given, is asked
    // about the written file first. On failure the pending file is gone; a folder that could not
    // be flushed after the rename leaves the new file in place and still says false.
    bool commit(Sync sync, const std::function<bool(const QString &written)> &check = {});
    // Closes and removes the pending file.
    void cancel();
    // The system's error of the last failure, 0 for none.
    int errorNumber() const { return m_failure.errorNumber; }
    // Why the last write, commit or creation failed: the system's error, or the check refused.
    Failure failure() const { return m_failure; }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool fail(int error);

    QString m_path;
    QString m_pending;
    int m_fd = -1;
    Failure m_failure;
    bool m_made = false; // the pending file stands and is ours
};

} // namespace privatefile

#pragma once

#include "data/diarylock.h"
#include "data/diaryschema.h"
#include "data/diarystatus.h"
#include "data/diarysync.h"
#include "data/failure.h"
#include "data/hybridclock.h"
#include "data/sealedcopies.h"
#include "data/sealedfile.h"

#include <QByteArray>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <memory>

// The diary's one database file, guarded against a second running copy of the program. On disk
// the diary is sealed with the password (see sealedfile.h); while the program runs it lives in
// memory, and every committed change is sealed and written whole again by save(). Nothing of it
// ever reaches the disk unsealed.
//
// The work is done by pieces that take what they need as arguments: the lock (diarylock.h), the
// tables (diaryschema.h), the image in memory (engineimage.h) and the copies on disk
// (sealedcopies.h). This holds the state that ties them together: the file, the key, the
// connection, and what is written.
class DiaryDatabase : public QObject {
    Q_OBJECT
public:
    using Status = DiaryStatus;

    // What open() found on disk.
    enum class Source {
        New,    // no file yet: an empty diary in memory, written by the first seal()
        Plain,  // an unsealed diary of an earlier version, read into memory
        Sealed, // a sealed diary; unlock() opens it
    };

    static constexpr int schemaVersion = diaryschema::version;

    DiaryDatabase();
    ~DiaryDatabase() override;

    // "Gimnasio Por ^Zorvend^" under the XDG data home.
    static QString defaultFolder();
    static QString defaultFileName(); // "Gimnasio Por ^Zorvend^.db"

    // Takes the diary for this running copy and reads what the file holds. New and plain diaries
    // are open in memory when this returns Ready; a sealed one waits for unlock(). Nothing is
    // written to an existing file.
    Status open(const QString &filePath);
    void close();

    Source source() const { return m_source; }
    // Whether the diary is in memory, its tables readable.
    bool isOpen() const;

    // The login of a sealed diary: opens the file with the password, or, once open, checks the
    // password against its key. WrongPassword when it is not the diary's; the file is unchanged
    // unless the diary had to be brought up to date.
    Status unlock(const QString &password);

    // Seals the diary with the password, under a new salt, and writes it; the file is replaced
    // only once the written copy opens again with the new key. A plain diary is replaced by the
    // sealed one, and the plain copies that earlier versions set aside beside it are sealed too.
    // On failure the key and the file stay as they were.
    Status seal(const QString &password);

    // Writes the diary as it is now, sealed, in place of the file. Until the first seal() there
    // is nothing to write and this returns true. On failure the file stays as it was, the changes
    // stay in memory for the next save, and writeFailed() is emitted with lastFailure() set.
    // The file is never written over when another hand changed it since it was last read or
    // written: that file is merged first (mergedFromDisk), and when it cannot be merged (another
    // password not given, a newer version) it stays as it is and the save fails (NotMerged); a
    // damaged one is set aside beside the diary as "<diary>.dañado-<time>".
    bool save();
    // Like save(), and the written file is read back and checked whole (the engine's check, the
    // same days) before it takes the diary's place.
    bool saveVerified();

    // Looks at the file: when another hand changed it, it is merged into the diary in memory at
    // once (mergedFromDisk), and written again only when the merged diary holds something it
    // lacks, or changes of ours were waiting to be written. Ready when there was nothing to do.
    Status refresh();
    // Merges another sealed diary file into the diary in memory, without writing anything: with
    // today's key, or another password asked once (passwordAsker). A different diary is refused
    // (OtherDiary) unless `anyDiary`. What it did goes to *report; the merged diary keeps the
    // newer of the two passwords.
    Status mergeFile(const QString &path, bool anyDiary, diarysync::Report *report);
    // The last merge of a file changed by another hand.
    diarysync::Report lastMerge() const { return m_lastMerge; }
    // Asked when a file to merge was sealed with another password: the password, or empty.
    void setPasswordAsker(std::function<QString()> ask) { m_askPassword = std::move(ask); }
    std::function<QString()> passwordAsker() const { return m_askPassword; }
    // The clock that stamps the diary's changes; tests set its computer and its wall clock.
    HybridClock &clock() { return m_clock; }
    // Whether the file holds every change committed so far.
    bool isWritten() const { return !m_unwritten; }
    // Whether the file holds the diary as it is in memory: written, and no other hand has
    // touched it since.
    bool fileIsCurrent() const;
    // Whether a change was written since the diary was opened.
    bool wasChanged() const { return m_changed; }

    // Writes a sealed copy of the diary as it is now to path: flushed, opened again with the key
    // and checked (the engine's integrity check, the same number of days) before it takes the
    // name. False, with the reason in lastFailure(), when anything fails; an earlier file of
    // that name is then as it was.
    bool writeCopy(const QString &path);
    // What a sealed copy holds: Ready with its days when it opens with today's key, or with the
    // older password given (or its own, when no diary is open), and passes the engine's whole
    // check; WrongPassword when it needs a password that was not given or is not its own; Damaged
    // or NewerVersion otherwise.
    struct CopyInfo {
        Status status;
        qint64 days;
    };
    CopyInfo inspectCopy(const QString &path, const QString &password = {});
    // A sealed copy opened and checked as inspectCopy() does (see sealedcopies.h).
    using CopyImage = sealedcopies::CopyImage;
    CopyImage openCopy(const QString &path, const QString &password = {});
    // Puts an opened copy in the diary's place: brought up to date if it is older, and written
    // sealed with today's key. Nothing may hold the connection. On failure the diary is as it was.
    Status restoreFrom(CopyImage copy);
    // When the diary cannot be opened, or there is none: puts an opened copy in its place sealed
    // as it was (its own password opens it), after the file that is there, if any, has been
    // renamed to `setAside`. Then the diary is opened again as open() does, for the login. On
    // failure both files are as they were.
    Status replaceWithCopy(CopyImage copy, const QString &setAside);

    // Writes the diary as a plain SQLite file anyone can read, for the user's own SQL tools: under
    // a name of its own first, then renamed into place. False, with the reason, on failure.
    bool writePlainCopy(const QString &path);

    QSqlDatabase connection() const;
    QString filePath() const { return m_filePath; }
    QString folder() const;
    // Why the last open, unlock, seal or write failed, as the system or the engine told it.
    Failure lastFailure() const { return m_failure; }

signals:
    // A save could not reach the disk: lastFailure() tells why.
    void writeFailed();
    // Another hand's changes were merged into the diary in memory: lastMerge() tells what.
    void mergedFromDisk();

private:
    Status readFile();
    Status openPlain();
    Status openImage(unsigned char *image, std::size_t size);
    Status reloadFromFile();
    // Writes the diary to its own file and remembers what the file is now.
    bool writeFile(sealedcopies::Check check);
    // Merges the file when another hand changed it; false when it could not be merged.
    bool catchUp();
    const sealedfile::Key *keyFor(const QByteArray &sealed, const sealedfile::Header &header);

    QString m_connectionName;
    QString m_filePath;
    Failure m_failure;
    DiaryLock m_lock;
    Source m_source = Source::New;
    QByteArray m_sealedFile; // a sealed diary read by open(), until unlock() opens it
    std::unique_ptr<sealedfile::Key> m_key;
    diaryschema::Migration m_migration; // until its image as it was is set aside
    HybridClock m_clock;
    diarysync::FileMark m_known; // the file as it was last read or written
    diarysync::Report m_lastMerge;
    diarysync::OurSide m_ours;                   // as the last merge left it
    std::unique_ptr<sealedfile::Key> m_otherKey; // another password's, given for a merge
    std::function<QString()> m_askPassword;
    bool m_unwritten = false;
    bool m_changed = false;
};

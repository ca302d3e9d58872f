#pragma once

#include <QLockFile>
#include <QSqlDatabase>
#include <QString>
#include <memory>

// The diary's one database file: found or created, checked, migrated, and guarded against a second
// running copy of the program. All writes go through this connection.
class DiaryDatabase {
public:
    enum class Status {
        Ready,
        AlreadyRunning,  // another copy of the program holds the diary
        CannotCreate,    // the folder or the new file cannot be made
        CannotOpen,      // the file exists but cannot be opened or read
        ReadOnly,        // the file or its folder cannot be written
        NotADatabase,    // the file is no SQLite database
        Damaged,         // PRAGMA quick_check fails
        WrongSchema,     // a table or column is missing
        NewerVersion,    // written by a newer version of the program
        MigrationFailed, // an older file could not be brought up to date; it is left unchanged
    };

    static constexpr int schemaVersion = 4;

    DiaryDatabase();
    ~DiaryDatabase();
    DiaryDatabase(const DiaryDatabase &) = delete;
    DiaryDatabase &operator=(const DiaryDatabase &) = delete;

    // "Gimnasio Por ^Zorvend^" under the XDG data home.
    static QString defaultFolder();
    static QString defaultFileName(); // "Gimnasio Por ^Zorvend^.db"

    // Opens (creating the folder and an empty diary when the file is missing) and checks the file.
    // On any status but Ready nothing has been written to an existing file.
    Status open(const QString &filePath);
    void close();

    QSqlDatabase connection() const;
    QString filePath() const { return m_filePath; }
    QString folder() const;
    // The Spanish text that tells the user what went wrong, for the status open() returned.
    QString errorMessage(Status status) const;
    // The engine's own words for the last failure, for the message boxes.
    QString lastEngineError() const { return m_engineError; }

private:
    Status takeLock();
    Status createFile();
    Status connectTo(const QString &path, bool fresh, Status failed);
    void disconnect();
    Status checkAndMigrate(bool fresh);
    bool createSchema();
    bool migrate(int fromVersion);
    bool runInTransaction(const QStringList &statements);

    QString m_connectionName;
    QString m_filePath;
    QString m_engineError;
    std::unique_ptr<QLockFile> m_lock;
};

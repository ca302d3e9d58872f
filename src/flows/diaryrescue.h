#pragma once

#include <QString>

class Clock;
class Dialogs;
class DiaryDatabase;
class QWidget;

// The way out of a diary that cannot be opened, at start: the backups of "Copias" are offered,
// the chosen one is opened with the password it was made with and checked, the file that is
// there is set aside beside the diary (never deleted), and the backup takes the diary's place
// sealed as it was, so that its own password opens it at the login. Cancel at any box ends it
// with nothing written. Every box goes through the dialogs given, parented to dialogParent.
class DiaryRescue {
public:
    DiaryRescue(DiaryDatabase &database, Dialogs &dialogs, const Clock &clock,
                QWidget *dialogParent = nullptr);

    // Opens the diary at path as the start does. A damaged file, or one that is no diary, is told
    // and the backups are offered; with no file but backups kept, the user chooses between a
    // backup and a new diary. True when the diary is open for the login or the first-run
    // questions; false when the program must end (the user has been told).
    bool open(const QString &path);

    // Tells why the diary cannot be opened, then offers the backups: true when one has taken the
    // diary's place and the diary is open again for the login.
    bool offerCopies(const QString &message);

private:
    // The list, the password, the check and the word of the user: true when a backup took the
    // diary's place. A wrong password or a damaged backup is told and the list offered again.
    bool restoreOne();

    DiaryDatabase &m_database;
    Dialogs &m_dialogs;
    const Clock &m_clock;
    QWidget *m_parent;
};

#pragma once

#include <QString>

// Why something asked of the system or the engine could not be done, as facts: what the system
// or the engine said, or which of the program's own checks refused. The windows put it into
// words (ui/messages.h); nothing here is written for the user.
struct Failure {
    enum class Kind {
        None,
        System,         // the system refused: errorNumber tells why
        Said,           // the engine or the system said why in its own words
        NoKeyMemory,    // no memory to turn the password into a key
        NotOpen,        // the diary is not in memory
        NotSealable,    // the diary could not be sealed
        NotSealedYet,   // the diary has no key yet: it was never sealed
        NotReadBack,    // a written file did not read back as it was written
        NoFolder,       // the folder at `path` could not be made
        DaysUnreadable, // the diary's days could not be read
        NotMerged,      // another hand changed the file, and it could not be merged: it stays
    };
    Kind kind = Kind::None;
    int errorNumber = 0;
    QString words; // the engine's or the system's own words, for Said
    QString path;  // the folder, for NoFolder

    static Failure of(Kind kind) { return {kind, 0, {}, {}}; }
    static Failure system(int error) { return {Kind::System, error, {}, {}}; }
    static Failure said(const QString &words) { return {Kind::Said, 0, words, {}}; }
    static Failure noFolder(const QString &path) { return {Kind::NoFolder, 0, {}, path}; }
};

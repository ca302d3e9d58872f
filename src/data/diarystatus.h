#pragma once

// What became of an open, a login, a seal, a write or a restore of the diary.
enum class DiaryStatus {
    Ready,
    AlreadyRunning,  // another copy of the program holds the diary
    CannotCreate,    // the folder cannot be made
    CannotOpen,      // the file exists but cannot be opened or read
    ReadOnly,        // the file or its folder cannot be written
    NotADatabase,    // the file is no diary at all
    Damaged,         // the file was changed or cut, or the engine's check fails
    WrongSchema,     // a table or column is missing
    NewerVersion,    // written by a newer version of the program
    MigrationFailed, // an older diary could not be brought up to date; the file is unchanged
    WrongPassword,   // the password does not open the file; the file is unchanged
    CannotWrite,     // the sealed diary could not be written; the file on disk is unchanged
    OtherDiary,      // a sealed diary, but another one than this
};

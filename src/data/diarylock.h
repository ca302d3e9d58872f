#pragma once

#include "data/diarystatus.h"
#include "data/failure.h"

#include <QString>
#include <memory>

class QLockFile;

// One running copy of the program per diary: a lock file beside it, "<diary>.lock", held for as
// long as the copy that took it runs. A lock left by a copy that was killed is taken over.
class DiaryLock {
public:
    DiaryLock();
    ~DiaryLock();
    DiaryLock(const DiaryLock &) = delete;
    DiaryLock &operator=(const DiaryLock &) = delete;

    // Takes the lock of the diary at diaryPath for this running copy: Ready, AlreadyRunning when
    // another copy holds it, ReadOnly (with the system's error when the folder refuses to be
    // written) or CannotOpen.
    DiaryStatus take(const QString &diaryPath, Failure *failure);
    // Lets the lock go; nothing when none is held.
    void release();

private:
    std::unique_ptr<QLockFile> m_lock;
};

#pragma once

#include "data/failure.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class DiaryDatabase;

// The profile as it is stored, without the password.
struct StoredProfile {
    QString name;      // as typed, also empty
    QString birthDate; // as typed
    QString height;    // whole centimetres in decimal digits
    QString gymStart;  // as typed
};

// A new profile as the first-run questions give it.
struct NewProfile {
    StoredProfile profile;
    QString passwordHash; // password::hash() of the chosen password
};

// The profile record, the first row of its table: read, created once, checked against a password
// and given a photo. The password's stored form never leaves this class. Each change is one
// transaction, committed and written (diarychange.h).
class ProfileStore {
public:
    explicit ProfileStore(DiaryDatabase &database);

    // Whether a profile is stored; no value when the engine refuses.
    std::optional<bool> exists() const;
    // The stored profile; no value when there is none or the engine refuses.
    std::optional<StoredProfile> load() const;
    // Stores the profile as the first record; false (and nothing stored) when the engine refuses
    // or the hash is empty, which would lock the user out for good.
    bool create(const NewProfile &profile);
    // Stores the four answers of the profile over the stored ones; false (and the stored profile
    // as it was) when the engine refuses.
    bool update(const StoredProfile &profile);
    // True when the answer is the password of the stored profile.
    bool checkPassword(const QString &answer) const;

    // The photo in its stored form; empty when there is none, no value when the engine refuses.
    std::optional<QByteArray> photo() const;
    bool setPhoto(const QByteArray &stored);

    // The goal weight as typed; empty when none is set, no value when the engine refuses.
    std::optional<QString> goalWeight() const;
    bool setGoalWeight(const QString &typed);

    enum class PasswordChange {
        Changed,      // the diary is sealed with the new password and written
        WrongCurrent, // the current password given is not the diary's
        NotWritten,   // the diary could not be written; it keeps the old password
    };
    // Whether the answer is the password that the diary is sealed with.
    bool opensDiary(const QString &answer) const;
    // Seals the diary with the next password, once the current one is checked.
    PasswordChange changePassword(const QString &current, const QString &next);

    // Why the last change was refused: the engine's words, or why the diary was not written.
    Failure lastFailure() const { return m_lastFailure; }
    void setLastFailure(const Failure &failure) { m_lastFailure = failure; }

private:
    // The column of the first record; an invalid value when there is none, no value when the
    // engine refuses.
    std::optional<QVariant> firstRowValue(const QString &column) const;
    bool updateFirstRow(const QString &column, const QVariant &value);
    // Makes a change as every store does (diarychange.h), the engine's words kept on refusal.
    bool change(const std::function<bool()> &work);

    DiaryDatabase &m_database;
    mutable Failure m_lastFailure;
};

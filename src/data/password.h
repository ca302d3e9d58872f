#pragma once

#include <QString>

// The personal password, kept as an Argon2id hash (libsodium, interactive limits) so that the
// database file never gives it back.
namespace password {

constexpr int minimumLength = 6;

// Characters as the user sees them (a letter with its accent is one, an emoji is one).
int characterCount(const QString &text);
// True when the answer is long enough to become a password.
bool isAcceptable(const QString &text);

// The stored form of a new password; empty only if the hashing itself failed.
QString hash(const QString &plain);
// True when the answer is the password behind the stored form. A damaged or tampered stored
// form is a failed login, never a crash.
bool verify(const QString &stored, const QString &answer);

} // namespace password

#pragma once

#include <QByteArray>
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

// Overwrites the characters of a password where they lie and empties the text, once it has been
// used: the last copy of a password wipes it. A text that another copy still shares, or a literal,
// is only emptied, for that copy may still need it.
void wipe(QString &text);
void wipe(QByteArray &bytes);
// Overwrites the characters wherever they lie, in every copy that shares them: for a text that
// all its holders are done with, such as the text of a password box about to close.
void wipeEverywhere(const QString &text);

} // namespace password

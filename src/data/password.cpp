#include "password.h"

#include <QList>
#include <sodium.h>

namespace password {
namespace {

bool sodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

} // namespace

int characterCount(const QString &text) {
    return int(text.toUcs4().size());
}

bool isAcceptable(const QString &text) {
    return characterCount(text) >= minimumLength;
}

QString hash(const QString &plain) {
    if (!sodiumReady())
        return {};
    const QByteArray bytes = plain.toUtf8();
    char stored[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(stored, bytes.constData(), quint64(bytes.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return {};
    return QString::fromLatin1(stored);
}

bool verify(const QString &stored, const QString &answer) {
    if (!sodiumReady())
        return false;
    // libsodium reads a NUL-terminated text of at most crypto_pwhash_STRBYTES - 1 characters;
    // anything else cannot be a stored password.
    const QByteArray storedBytes = stored.toLatin1();
    if (storedBytes.isEmpty() || storedBytes.size() >= qsizetype(crypto_pwhash_STRBYTES) ||
        storedBytes.contains('\0') || !storedBytes.startsWith("$argon2id$"))
        return false;
    // Only the limits this program writes are honoured: a stored form edited to demand gigabytes
    // of memory or hours of work is refused instead of being computed.
    if (crypto_pwhash_str_needs_rehash(storedBytes.constData(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                       crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return false;
    const QByteArray answerBytes = answer.toUtf8();
    return crypto_pwhash_str_verify(storedBytes.constData(), answerBytes.constData(),
                                    quint64(answerBytes.size())) == 0;
}

} // namespace password

#include "data/password.h"

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
    QByteArray bytes = plain.toUtf8();
    char stored[crypto_pwhash_STRBYTES];
    const bool hashed = crypto_pwhash_str(stored, bytes.constData(), quint64(bytes.size()),
                                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                          crypto_pwhash_MEMLIMIT_INTERACTIVE) == 0;
    wipe(bytes);
    return hashed ? QString::fromLatin1(stored) : QString();
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
    QByteArray answerBytes = answer.toUtf8();
    const bool same = crypto_pwhash_str_verify(storedBytes.constData(), answerBytes.constData(),
                                               quint64(answerBytes.size())) == 0;
    wipe(answerBytes);
    return same;
}

void wipe(QString &text) {
    if (text.isDetached())
        sodium_memzero(text.data(), std::size_t(text.size()) * sizeof(QChar));
    text.resize(0);
}

void wipe(QByteArray &bytes) {
    if (bytes.isDetached())
        sodium_memzero(bytes.data(), std::size_t(bytes.size()));
    bytes.resize(0);
}

void wipeEverywhere(const QString &text) {
    // The characters are the holders' own (no literal); they change under every holder at once.
    if (text.data_ptr().isMutable())
        sodium_memzero(const_cast<QChar *>(text.constData()),
                       std::size_t(text.size()) * sizeof(QChar));
}

} // namespace password

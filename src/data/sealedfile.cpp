#include "data/sealedfile.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <iterator>
#include <sodium.h>

namespace sealedfile {
namespace {

// Where each part of the header stands.
constexpr std::size_t magicSize = sizeof(magic) - 1;
constexpr std::size_t versionAt = magicSize;
constexpr std::size_t algorithmAt = versionAt + 4;
constexpr std::size_t opsAt = algorithmAt + 4;
constexpr std::size_t memAt = opsAt + 8;
constexpr std::size_t saltAt = memAt + 8;
constexpr std::size_t streamAt = saltAt + crypto_pwhash_SALTBYTES;
constexpr std::size_t keyCheckAt = streamAt + crypto_secretstream_xchacha20poly1305_HEADERBYTES;
constexpr std::size_t checksumAt = keyCheckAt + 32;
static_assert(checksumAt + 32 == headerSize);

constexpr std::size_t keyBytes = crypto_secretstream_xchacha20poly1305_KEYBYTES;
constexpr std::size_t chunkSize = 64 * 1024;
constexpr std::size_t sealedChunkSize = chunkSize + crypto_secretstream_xchacha20poly1305_ABYTES;

// The Argon2id limits that versions of this program have written, the newest last; new diaries
// get the newest. A header that asks for any other limits was written by no version of the
// program: it is refused as damaged at once, without a key being made, instead of being computed
// with a gigabyte of memory or taken for a wrong password. A change of the limits adds a pair
// here.
struct Limits {
    quint64 ops;
    quint64 mem;
};
constexpr Limits writtenLimits[] = {
    {crypto_pwhash_OPSLIMIT_INTERACTIVE,
     crypto_pwhash_MEMLIMIT_INTERACTIVE}, // since the first sealed diary
};

bool wasWritten(quint64 ops, quint64 mem) {
    return std::any_of(
        std::begin(writtenLimits), std::end(writtenLimits),
        [&](const Limits &limits) { return limits.ops == ops && limits.mem == mem; });
}

bool sodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

const unsigned char *bytesOf(const QByteArray &array) {
    return reinterpret_cast<const unsigned char *>(array.constData());
}

void hashOf(const unsigned char *data, std::size_t size, const unsigned char *key,
            unsigned char *out) {
    crypto_generichash(out, 32, data, size, key, key ? 32 : 0);
}

} // namespace

KeyRecipe KeyRecipe::fresh() {
    const Limits &newest = std::end(writtenLimits)[-1];
    KeyRecipe recipe{newest.ops, newest.mem, QByteArray(crypto_pwhash_SALTBYTES, '\0')};
    if (sodiumReady())
        randombytes_buf(recipe.salt.data(), std::size_t(recipe.salt.size()));
    return recipe;
}

Key::Key(KeyRecipe recipe, unsigned char *bytes)
    : m_recipe(std::move(recipe))
    , m_bytes(bytes) {}

Key::~Key() {
    sodium_free(m_bytes);
}

std::unique_ptr<Key> Key::derive(const QString &password, const KeyRecipe &recipe) {
    if (!sodiumReady() || recipe.salt.size() != crypto_pwhash_SALTBYTES)
        return {};
    auto *bytes = static_cast<unsigned char *>(sodium_malloc(2 * keyBytes));
    if (!bytes)
        return {};
    QByteArray utf8 = password.toUtf8();
    const int derived = crypto_pwhash(bytes, 2 * keyBytes, utf8.constData(), quint64(utf8.size()),
                                      bytesOf(recipe.salt), recipe.opsLimit,
                                      std::size_t(recipe.memLimit), crypto_pwhash_ALG_ARGON2ID13);
    sodium_memzero(utf8.data(), std::size_t(utf8.size()));
    if (derived != 0) {
        sodium_free(bytes);
        return {};
    }
    return std::unique_ptr<Key>(new Key(recipe, bytes));
}

bool Key::sameAs(const Key &other) const {
    return m_recipe.salt == other.m_recipe.salt &&
           sodium_memcmp(m_bytes, other.m_bytes, 2 * keyBytes) == 0;
}

const unsigned char *Key::streamKey() const {
    return m_bytes;
}

const unsigned char *Key::checkKey() const {
    return m_bytes + keyBytes;
}

bool looksSealed(const QByteArray &bytes) {
    return bytes.startsWith(QByteArrayView(magic, qsizetype(magicSize)));
}

Header readHeader(const QByteArray &file) {
    Header header;
    if (!looksSealed(file))
        return header;
    header.state = Header::State::Damaged;
    if (std::size_t(file.size()) < headerSize || !sodiumReady())
        return header;
    const unsigned char *bytes = bytesOf(file);
    unsigned char checksum[32];
    hashOf(bytes, checksumAt, nullptr, checksum);
    if (sodium_memcmp(checksum, bytes + checksumAt, sizeof checksum) != 0)
        return header;
    if (qFromLittleEndian<quint32>(bytes + versionAt) > quint32(formatVersion)) {
        header.state = Header::State::NewerVersion;
        return header;
    }
    KeyRecipe &recipe = header.recipe;
    recipe.opsLimit = qFromLittleEndian<quint64>(bytes + opsAt);
    recipe.memLimit = qFromLittleEndian<quint64>(bytes + memAt);
    recipe.salt = file.mid(qsizetype(saltAt), crypto_pwhash_SALTBYTES);
    if (qFromLittleEndian<quint32>(bytes + versionAt) != quint32(formatVersion) ||
        qFromLittleEndian<quint32>(bytes + algorithmAt) != quint32(crypto_pwhash_ALG_ARGON2ID13) ||
        !wasWritten(recipe.opsLimit, recipe.memLimit))
        return header;
    header.state = Header::State::Intact;
    return header;
}

QByteArray Sealer::seal(const Key &key, const unsigned char *image, std::size_t size) {
    if (!sodiumReady() || size == 0)
        return {};
    const std::size_t chunks = (size + chunkSize - 1) / chunkSize;
    QByteArray file(
        qsizetype(headerSize + size + chunks * crypto_secretstream_xchacha20poly1305_ABYTES),
        Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(file.data());
    std::memcpy(out, magic, magicSize);
    qToLittleEndian<quint32>(quint32(formatVersion), out + versionAt);
    qToLittleEndian<quint32>(quint32(crypto_pwhash_ALG_ARGON2ID13), out + algorithmAt);
    qToLittleEndian<quint64>(key.recipe().opsLimit, out + opsAt);
    qToLittleEndian<quint64>(key.recipe().memLimit, out + memAt);
    std::memcpy(out + saltAt, key.recipe().salt.constData(), crypto_pwhash_SALTBYTES);
    crypto_secretstream_xchacha20poly1305_state state;
    crypto_secretstream_xchacha20poly1305_init_push(&state, out + streamAt, key.streamKey());
    hashOf(out, keyCheckAt, key.checkKey(), out + keyCheckAt);
    hashOf(out, checksumAt, nullptr, out + checksumAt);

    unsigned char *sealed = out + headerSize;
    for (std::size_t done = 0; done < size; done += chunkSize) {
        const std::size_t length = std::min(chunkSize, size - done);
        const bool last = done + length == size;
        // The first chunk carries the header as additional data: no other header opens it.
        crypto_secretstream_xchacha20poly1305_push(
            &state, sealed, nullptr, image + done, length, done == 0 ? out : nullptr,
            done == 0 ? headerSize : 0,
            last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
                 : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
        sealed += length + crypto_secretstream_xchacha20poly1305_ABYTES;
    }
    sodium_memzero(&state, sizeof state);
    return file;
}

bool Sealer::fits(const Key &key, const QByteArray &file) {
    if (std::size_t(file.size()) < headerSize)
        return false;
    unsigned char check[32];
    hashOf(bytesOf(file), keyCheckAt, key.checkKey(), check);
    return sodium_memcmp(check, bytesOf(file) + keyCheckAt, sizeof check) == 0;
}

std::optional<std::size_t> Sealer::imageSize(std::size_t fileSize) {
    if (fileSize <= headerSize)
        return std::nullopt;
    const std::size_t body = fileSize - headerSize;
    const std::size_t chunks = (body + sealedChunkSize - 1) / sealedChunkSize;
    const std::size_t overhead = chunks * crypto_secretstream_xchacha20poly1305_ABYTES;
    if (body <= overhead || (body - overhead) <= (chunks - 1) * chunkSize)
        return std::nullopt;
    return body - overhead;
}

bool Sealer::open(const Key &key, const QByteArray &file, unsigned char *image) {
    const std::optional<std::size_t> size = imageSize(std::size_t(file.size()));
    if (!size || !sodiumReady())
        return false;
    const unsigned char *header = bytesOf(file);
    crypto_secretstream_xchacha20poly1305_state state;
    bool whole = crypto_secretstream_xchacha20poly1305_init_pull(&state, header + streamAt,
                                                                 key.streamKey()) == 0;
    const unsigned char *sealed = header + headerSize;
    for (std::size_t done = 0; whole && done < *size; done += chunkSize) {
        const std::size_t length = std::min(chunkSize, *size - done);
        const bool last = done + length == *size;
        unsigned char tag = 0;
        whole = crypto_secretstream_xchacha20poly1305_pull(
                    &state, image + done, nullptr, &tag, sealed,
                    length + crypto_secretstream_xchacha20poly1305_ABYTES,
                    done == 0 ? header : nullptr, done == 0 ? headerSize : 0) == 0 &&
                // A file cut after a whole chunk ends without the final mark.
                (tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL) == last;
        sealed += length + crypto_secretstream_xchacha20poly1305_ABYTES;
    }
    sodium_memzero(&state, sizeof state);
    if (!whole)
        sodium_memzero(image, *size);
    return whole;
}

} // namespace sealedfile

#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <memory>
#include <optional>

// The diary at rest: a header and the database image sealed with a key that only the password
// gives. The header holds the magic text, the format version, the Argon2id limits and salt that
// turn the password into the key, a check that tells whether a key is the right one, and a
// checksum of all that; the image follows in chunks of authenticated encryption
// (XChaCha20-Poly1305), the first bound to the header and the last marked final, so that a
// changed, cut or lengthened file is told from a wrong password.
namespace sealedfile {

inline constexpr char magic[] = "Gimnasio Cifrado";
inline constexpr int formatVersion = 1;
inline constexpr std::size_t headerSize = 144;

// The Argon2id limits and salt that turn a password into a key.
struct KeyRecipe {
    quint64 opsLimit = 0;
    quint64 memLimit = 0;
    QByteArray salt;

    // The interactive limits and a new random salt.
    static KeyRecipe fresh();
};

// A key made from a password, in guarded memory (sodium_malloc: locked in RAM, left out of core
// files, fenced by guard pages) that is wiped when the key goes.
class Key {
public:
    ~Key();
    Key(const Key &) = delete;
    Key &operator=(const Key &) = delete;

    // No key when the password cannot be turned into one (the limits ask for too much memory).
    static std::unique_ptr<Key> derive(const QString &password, const KeyRecipe &recipe);

    const KeyRecipe &recipe() const { return m_recipe; }
    // Whether both keys are the same, in time that does not depend on where they differ.
    bool sameAs(const Key &other) const;

private:
    friend class Sealer;
    explicit Key(KeyRecipe recipe, unsigned char *bytes);
    const unsigned char *streamKey() const;
    const unsigned char *checkKey() const;

    KeyRecipe m_recipe;
    unsigned char *m_bytes;
};

// What the header of a file says.
struct Header {
    enum class State {
        Intact,       // read whole, of this format version
        NotSealed,    // no sealed diary at all: the magic text is missing
        Damaged,      // the checksum fails, or no version of the program wrote its limits
        NewerVersion, // sealed by a newer version of the program
    };
    State state = State::NotSealed;
    KeyRecipe recipe;
};

// Whether the bytes begin as a sealed diary does.
bool looksSealed(const QByteArray &bytes);

Header readHeader(const QByteArray &file);

class Sealer {
public:
    // The whole sealed file for the image, with a new stream header; empty when sealing fails.
    static QByteArray seal(const Key &key, const unsigned char *image, std::size_t size);
    // Whether the key is the one the file was sealed with. The header must be intact.
    static bool fits(const Key &key, const QByteArray &file);
    // The size of the image a file of that size holds; no value when no image fits in it.
    static std::optional<std::size_t> imageSize(std::size_t fileSize);
    // Opens the image into `image`, which holds imageSize() bytes; false when the file is damaged.
    // On false the bytes of `image` are wiped.
    static bool open(const Key &key, const QByteArray &file, unsigned char *image);
};

} // namespace sealedfile

#pragma once

#include "data/diaryschema.h"
#include "data/diarystatus.h"
#include "data/engineimage.h"
#include "data/failure.h"
#include "data/sealedfile.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <utility>

class QSqlDatabase;

// Copies of the diary on disk: the sealed diary itself and its sealed copies, each verified
// before it takes its name; sealed copies opened and checked to be restored; the plain copy for
// the user's own SQL tools; and the copies set aside beside the diary when it was brought up to
// date. Each takes the connection, the key and the paths it works with.
namespace sealedcopies {

// What a written file must show before it takes its name: nothing, that it opens again with the
// key to the very image, or that it does and also passes the engine's check with the same days.
enum class Check { None, SameImage, WholeDiary };

// Seals the image of db as it is now with the key and writes it to path, replacing the file only
// once the written copy shows what `check` asks. False, with the reason, when anything fails; the
// file at path is then as it was.
bool write(const QSqlDatabase &db, const sealedfile::Key &key, const QString &path, Check check,
           Failure *failure);

// A sealed copy opened and checked. When Ready it holds the diary it opens to, wiped when it
// goes, and its sealed bytes as they were read: what was checked is what is restored, and the
// file is not read again.
class CopyImage {
public:
    CopyImage() = default;
    CopyImage(CopyImage &&other) noexcept = default; // the other is left empty
    CopyImage &operator=(CopyImage &&other) noexcept {
        engineimage::wipe(m_image);
        status = other.status;
        days = other.days;
        m_image = std::exchange(other.m_image, {});
        m_sealed = std::exchange(other.m_sealed, {});
        return *this;
    }
    ~CopyImage();

    // Ready with its days when the copy at path opens with `today` (the key of the diary open
    // now, none when no diary is) or with the older password given, and passes the engine's whole
    // check; WrongPassword when it needs a password that was not given or is not its own; Damaged
    // or NewerVersion otherwise. The system's words go to *failure when the file cannot be read.
    static CopyImage open(const QString &path, const sealedfile::Key *today,
                          const QString &password, Failure *failure);

    DiaryStatus status = DiaryStatus::CannotOpen;
    qint64 days = 0;

    // The image moved into memory of engineimage::allocate(), for the engine to own; its own is
    // wiped. Nullptr when there is no memory for it.
    unsigned char *intoEngine(std::size_t *size);
    // Writes the sealed bytes as they were read to path, checked byte for byte before they take
    // its name.
    bool writeAsItWas(const QString &path, Failure *failure) const;

private:
    QByteArray m_image;
    QByteArray m_sealed;
};

// Writes the diary of db as a plain SQLite file anyone can read, for the user's own SQL tools:
// under a name of its own first, then renamed into place.
bool writePlain(const QSqlDatabase &db, const QString &path, Failure *failure);

// The diary as it was before its migration, sealed under a name of its own that no earlier copy
// has: "<diary>.v<version>-<time>.bak". Once written, the migration is forgotten.
bool setAsideBeforeMigration(const sealedfile::Key &key, const QString &diaryPath,
                             diaryschema::Migration *migration, Failure *failure);

// Earlier versions set plain copies aside beside the diary when they migrated it. Once the
// sealed diary is on disk they are sealed with its key too; one that cannot be sealed is
// removed, for the diary holds all it held.
void sealPlainCopies(const sealedfile::Key &key, const QString &diaryPath);

} // namespace sealedcopies

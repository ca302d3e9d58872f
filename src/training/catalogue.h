#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The exercises the training reader knows: one name each, the names people write for them, the
// muscle groups they work and how they carry the body's weight. The table itself is
// catalogueentries.cpp.
namespace training {

// The muscle groups, in the order the windows list them; muscleName() gives their Spanish names.
enum class Muscle {
    Pecho,
    Espalda,
    Hombros,
    Biceps,
    Triceps,
    Antebrazos,
    Trapecio,
    Abdominales,
    Oblicuos,
    Lumbares,
    Cuadriceps,
    Isquiotibiales,
    Gluteos,
    Aductores,
    Abductores,
    Gemelos,
    Count
};
QString muscleName(Muscle muscle);

// How an exercise carries the body's own weight.
enum class BodyWeight {
    No,       // the load written is what is lifted; none written, the load is unknown
    Always,   // the body is the load, and a load written is added to it ("lastre")
    Unloaded, // the body is the load when none is written; a load written is what is held
    Held,     // as Always, held for a time rather than repeated (plancha)
};

struct CatalogueEntry {
    QString name;
    QStringList primary;   // muscle names, as muscleName() writes them
    QStringList secondary; // muscle names
    BodyWeight bodyWeight = BodyWeight::No;
};

namespace catalogue {

qsizetype size();
const CatalogueEntry &entry(qsizetype index);
// The entry of this exact name, or -1.
qsizetype indexOf(QStringView name);
// The entries one of whose names has this key (nameKey()): two or more when a name is shared,
// as "pm" is by "peso muerto" and "press militar".
QList<qsizetype> withKey(QStringView key);
// The entries whose names are one typing slip away from the key (a letter missing, added,
// changed or two swapped; two slips for keys of ten letters or more), those of the nearest names
// only, with extra slips more allowed. A slip is never in the first letter, and keys shorter than
// five letters or longer than forty have no near names.
QList<qsizetype> nearKey(QStringView key, int extra = 0);

} // namespace catalogue

// Lowercase without accents, blanks collapsed: "Press  De Banca " is "press de banca".
QString fold(QStringView text);
// fold() of a Latin-1 text character by character, blanks kept: as long as the text, so that a
// position in one is a position in the other. Empty for a text beyond Latin-1.
QString foldInPlace(QStringView text);
// What names are compared by: folded, with the words that change nothing left out ("de", "con",
// "al", ...), plurals made singular and the blanks between words removed, so that "Press de
// Banca", "press banca" and "PRESS-BANCA" share the key "pressbanca".
QString nameKey(QStringView text);
// The key of words already folded, one word each.
QString nameKey(const QStringList &foldedWords);

} // namespace training

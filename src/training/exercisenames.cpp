#include "training/exercisenames.h"

#include <QSet>

using namespace Qt::Literals::StringLiterals;

namespace training {
namespace internal {
namespace {

// Words after which a name's own words start: "hoy", "luego dominadas".
bool isLeadIn(const QString &word) {
    static const QSet<QString> words = {
        u"hoy"_s,        u"luego"_s,   u"despues"_s, u"tambien"_s,  u"hice"_s,   u"hecho"_s,
        u"he"_s,         u"mas"_s,     u"ademas"_s,  u"otra"_s,     u"otro"_s,   u"vez"_s,
        u"finalmente"_s, u"final"_s,   u"para"_s,    u"terminar"_s, u"acabar"_s, u"empezar"_s,
        u"empece"_s,     u"primero"_s, u"tras"_s,    u"eso"_s,      u"y"_s,      u"de"_s,
        u"un"_s,         u"poco"_s,    u"al"_s,      u"por"_s,      u"el"_s,     u"la"_s};
    return words.contains(word);
}

// Drops the words at the end that tell no exercise: "press banca con".
void dropTrailingFillers(QStringList &words) {
    while (!words.isEmpty()) {
        const Kind kind = wordKinds().value(words.last(), Kind::Word);
        if (kind != Kind::Filler && kind != Kind::LoadMark)
            return;
        words.removeLast();
    }
}

// The name as typed, folded, for an exercise the catalogue does not say.
QString typedName(const QList<Token> &tokens, qsizetype from, qsizetype to) {
    QStringList shown;
    for (qsizetype i = from; i < to; ++i)
        if (tokens[i].kind != Kind::Ballast)
            shown += tokens[i].word;
    dropTrailingFillers(shown);
    QString typed = shown.join(u' ');
    typed.detach(); // the words point into the folded text, which goes
    return typed;
}

} // namespace

// Words that make a piece a note whatever its numbers: cardio, stretching, rest.
bool isNoteWord(const QString &word) {
    static const QSet<QString> words = {
        u"cardio"_s,        u"cinta"_s,        u"bici"_s,     u"bicicleta"_s,  u"eliptica"_s,
        u"correr"_s,        u"carrera"_s,      u"andar"_s,    u"caminar"_s,    u"caminata"_s,
        u"estiramientos"_s, u"estiramiento"_s, u"estirar"_s,  u"descanso"_s,   u"calentamiento"_s,
        u"calentar"_s,      u"movilidad"_s,    u"spinning"_s, u"natacion"_s,   u"nadar"_s,
        u"piscina"_s,       u"yoga"_s,         u"pilates"_s,  u"zumba"_s,      u"comba"_s,
        u"sauna"_s,         u"hiit"_s,         u"tabata"_s,   u"futbol"_s,     u"padel"_s,
        u"tenis"_s,         u"running"_s,      u"trote"_s,    u"escaladora"_s, u"stepper"_s,
        u"remoergometro"_s};
    return words.contains(word);
}

NameWords nameWordsOf(const QList<Token> &tokens, qsizetype from, qsizetype to) {
    NameWords name;
    name.words.reserve(to - from);
    for (qsizetype i = from; i < to; ++i) {
        if (tokens[i].kind == Kind::Ballast)
            name.ballast = true;
        else if (!tokens[i].word.isEmpty())
            name.words += tokens[i].word;
        name.noteWord |= isNoteWord(tokens[i].word);
    }
    dropTrailingFillers(name.words);
    return name;
}

Named lookUp(const QStringList &words, const QString &key, const Corrections &corrections,
             int *nearLookUps) {
    if (const auto corrected = corrections.exerciseFor(key))
        return namedAs(*corrected);
    Named named;
    for (qsizetype skip = 0; skip < words.size(); ++skip) {
        if (skip > 0 && !isLeadIn(words[skip - 1]))
            break;
        const QList<qsizetype> found =
            catalogue::withKey(skip == 0 ? key : nameKey(words.mid(skip)));
        if (found.size() == 1) {
            named.entry = found[0];
            return named;
        }
        if (found.size() > 1) {
            named.candidates = found;
            return named;
        }
    }
    // A slip: bounded in number, so that a long text of unknown words is read in linear time.
    if (++*nearLookUps > 200)
        return named;
    const QList<qsizetype> near = catalogue::nearKey(key);
    if (near.size() == 1)
        named.entry = near[0];
    else if (near.size() > 1)
        named.candidates = near;
    named.near = true;
    if (near.isEmpty() && key.size() < 10) {
        named.candidates = catalogue::nearKey(key, 1);
        named.near = !named.candidates.isEmpty();
    }
    return named;
}

Named namedAs(const QString &exercise) {
    Named named;
    named.entry = catalogue::indexOf(exercise);
    if (named.entry < 0)
        named.own = exercise;
    return named;
}

Exercise exerciseNamed(const Named &named, const QList<Token> &tokens, qsizetype from,
                       qsizetype to) {
    Exercise exercise;
    if (named.entry >= 0 && (named.candidates.isEmpty() || named.candidates.size() == 1)) {
        const CatalogueEntry &entry = catalogue::entry(named.entry);
        exercise.name = entry.name;
        exercise.muscles = entry.primary;
        exercise.secondaryMuscles = entry.secondary;
        exercise.bodyWeight = entry.bodyWeight;
        return exercise;
    }
    // Shared by two exercises, nearly a known one, or the user's own.
    exercise.name = named.own.isEmpty() ? typedName(tokens, from, to) : named.own;
    exercise.own = named.candidates.isEmpty(); // else one of the candidates
    for (const qsizetype c : named.candidates)
        exercise.candidates += catalogue::entry(c).name;
    exercise.doubtful = !named.candidates.isEmpty();
    return exercise;
}

} // namespace internal
} // namespace training

#include "training/reader.h"

#include "training/pieces.h"
#include "training/sets.h"
#include "training/tokens.h"

#include <algorithm>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace training {
namespace {

using namespace internal;

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

// --- Names ----------------------------------------------------------------------------------

struct Named {
    qsizetype entry = -1;
    QList<qsizetype> candidates; // two or more: doubtful
    QString own;                 // a name of the user's own, from a correction
    bool near = false;           // one slip away, or nearly a name when not found
};

Named lookUp(const QStringList &words, const QString &key, const Corrections &corrections,
             int *nearLookUps) {
    Named named;
    if (const auto corrected = corrections.exerciseFor(key)) {
        named.entry = catalogue::indexOf(*corrected);
        if (named.entry < 0)
            named.own = *corrected;
        return named;
    }
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

// The text of a note: as typed, without the blanks and marks around it.
QString noteText(QStringView text) {
    const auto edge = [](QChar c) {
        return isBlank(c) || isBullet(c) || c == u'.' || c == u',' || c == u';' || c == u':' ||
               c == u'+' || c == u'(' || c == u')' || c == u'[' || c == u']';
    };
    while (!text.isEmpty() && edge(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && edge(text.back()))
        text.chop(1);
    return text.toString();
}

} // namespace

// --- Corrections ----------------------------------------------------------------------------

void Corrections::setExercise(QStringView typedName, const QString &exercise) {
    names.insert(nameKey(typedName), exercise);
}
void Corrections::setTextExercise(QStringView text, const QString &exercise) {
    texts.insert(fold(text), exercise);
}
void Corrections::setNoTraining(QStringView text) {
    notTraining.insert(fold(text));
}
std::optional<QString> Corrections::exerciseFor(QStringView key) const {
    if (names.isEmpty())
        return std::nullopt;
    const auto it = names.constFind(key.toString());
    return it == names.cend() ? std::nullopt : std::optional(*it);
}
std::optional<QString> Corrections::textExercise(QStringView text) const {
    const auto it = texts.constFind(fold(text));
    return it == texts.cend() ? std::nullopt : std::optional(*it);
}
bool Corrections::isNoTraining(QStringView text) const {
    return !notTraining.isEmpty() && notTraining.contains(fold(text));
}

// --- Reading --------------------------------------------------------------------------------

Reading read(QStringView text, const Corrections &corrections) {
    Reading reading;
    if (corrections.isNoTraining(text)) {
        if (const QString note = noteText(text); !note.isEmpty())
            reading.notes += note;
        return reading;
    }
    const std::optional<QString> textExercise =
        corrections.texts.isEmpty() ? std::nullopt : corrections.textExercise(text);
    const QString folded = foldInPlace(text);
    int nearLookUps = 0;

    // The exercise being read, its tokens and where it began.
    struct Open {
        Exercise exercise;
        QList<Token> tokens;
        bool ballast = false;
        qsizetype start = 0, end = 0;
    };
    std::optional<Open> open;
    // The last note, while the next piece may join it.
    qsizetype noteStart = -1, noteEnd = -1;
    bool lastWasNote = false;

    const auto addNote = [&](qsizetype start, qsizetype end, Separator before) {
        if (lastWasNote && (before == Separator::Weak || before == Separator::Colon) &&
            !reading.notes.isEmpty()) {
            reading.notes.last() = noteText(text.mid(noteStart, end - noteStart));
        } else {
            const QString note = noteText(text.mid(start, end - start));
            if (note.isEmpty())
                return;
            reading.notes += note;
            noteStart = start;
        }
        noteEnd = end;
        lastWasNote = true;
    };
    const auto close = [&] {
        if (!open)
            return;
        Exercise &exercise = open->exercise;
        const SetsReading sets =
            readSets(open->tokens, exercise.bodyWeight, exercise.own, open->ballast);
        if (sets.noteOnly && !exercise.doubtful) {
            const QString note = noteText(text.mid(open->start, open->end - open->start));
            reading.notes += note;
        } else {
            exercise.sets = sets.sets;
            exercise.doubtful |= sets.doubtful;
            reading.doubtful |= exercise.doubtful;
            reading.exercises += std::move(exercise);
        }
        open.reset();
    };

    for (const Piece &piece : piecesOf(text)) {
        QList<Token> tokens = tokensOf(text, folded, piece.start, piece.end);
        // The name: the words before the numbers, or after them when none come before.
        qsizetype nameFrom = 0, nameTo = 0;
        while (nameTo < tokens.size() &&
               (tokens[nameTo].kind == Kind::Word || tokens[nameTo].kind == Kind::Filler ||
                tokens[nameTo].kind == Kind::LoadMark || tokens[nameTo].kind == Kind::Ballast ||
                tokens[nameTo].kind == Kind::Times))
            ++nameTo;
        // "press banca con 70 4x8": the words that bring a load belong to the numbers.
        while (
            nameTo > 0 && nameTo < tokens.size() &&
            (tokens[nameTo - 1].kind == Kind::LoadMark || tokens[nameTo - 1].kind == Kind::Filler))
            --nameTo;
        const auto hasWord = [&](qsizetype from, qsizetype to) {
            return std::any_of(tokens.begin() + from, tokens.begin() + to,
                               [](const Token &t) { return t.kind == Kind::Word; });
        };
        // Trailing words after the numbers: a comment, kept as a note.
        qsizetype commentFrom = tokens.size();
        while (commentFrom > nameTo && (tokens[commentFrom - 1].kind == Kind::Word ||
                                        tokens[commentFrom - 1].kind == Kind::Filler ||
                                        tokens[commentFrom - 1].kind == Kind::LoadMark))
            --commentFrom;
        while (commentFrom < tokens.size() && tokens[commentFrom].kind != Kind::Word)
            ++commentFrom;
        if (!hasWord(nameFrom, nameTo)) {
            nameFrom = nameTo = 0;
            if (commentFrom < tokens.size()) {
                nameFrom = commentFrom;
                nameTo = tokens.size();
                commentFrom = tokens.size();
            }
        }
        const qsizetype numbersFrom = nameFrom == 0 ? nameTo : 0;
        const qsizetype numbersTo = nameFrom == 0 ? commentFrom : nameFrom;
        QList<Token> numbers = tokens.mid(numbersFrom, numbersTo - numbersFrom);
        const bool hasNumbers = std::any_of(numbers.begin(), numbers.end(), [](const Token &t) {
            return t.kind == Kind::Number || t.kind == Kind::Failure;
        });
        const qsizetype commentStart =
            commentFrom < tokens.size() ? tokens[commentFrom].start : piece.end;

        if (nameTo == nameFrom) {
            // Numbers alone go on with the exercise just before.
            if (!hasNumbers)
                continue;
            if (open && !lastWasNote) {
                numbers.prepend(
                    Token(piece.before == Separator::Bracket ? Kind::Bracket : Kind::ListMark,
                          piece.start, piece.start));
                open->tokens += numbers;
                open->end = piece.end;
            } else {
                close();
                reading.doubtful = true; // sets of no exercise
                addNote(piece.start, piece.end, Separator::Strong);
                lastWasNote = false;
            }
            if (commentStart < piece.end) {
                close();
                addNote(commentStart, piece.end, Separator::Strong);
            }
            continue;
        }

        QStringList words;
        words.reserve(nameTo - nameFrom);
        bool ballast = false, noteWord = false;
        for (qsizetype i = nameFrom; i < nameTo; ++i) {
            if (tokens[i].kind == Kind::Ballast)
                ballast = true;
            else if (!tokens[i].word.isEmpty())
                words += tokens[i].word;
            noteWord |= isNoteWord(tokens[i].word);
        }
        while (!words.isEmpty() && (wordKinds().value(words.last(), Kind::Word) == Kind::Filler ||
                                    wordKinds().value(words.last(), Kind::Word) == Kind::LoadMark))
            words.removeLast();
        // "Abdominales: crunch 3x20": a name without sets before a colon and another name is
        // a heading.
        if (open && piece.before == Separator::Colon &&
            std::none_of(open->tokens.begin(), open->tokens.end(), [](const Token &t) {
                return t.kind == Kind::Number || t.kind == Kind::Failure;
            })) {
            addNote(open->start, open->end, Separator::Strong);
            open.reset();
        }
        close();
        const QString key = nameKey(words);
        Named named = lookUp(words, key, corrections, &nearLookUps);
        const bool found = named.entry >= 0 && !named.near;
        if (!found &&
            (noteWord || (!hasNumbers && named.entry < 0) || (!hasNumbers && named.near))) {
            addNote(piece.start, commentStart < piece.end ? piece.end : piece.end, piece.before);
            continue;
        }
        lastWasNote = false;
        Exercise exercise;
        exercise.typedKey = key;
        if (textExercise && (named.entry < 0 || !named.candidates.isEmpty())) {
            named = {};
            named.entry = catalogue::indexOf(*textExercise);
            if (named.entry < 0)
                named.own = *textExercise;
        }
        if (named.entry >= 0 && (named.candidates.isEmpty() || named.candidates.size() == 1)) {
            const CatalogueEntry &entry = catalogue::entry(named.entry);
            exercise.name = entry.name;
            exercise.muscles = entry.primary;
            exercise.secondaryMuscles = entry.secondary;
            exercise.bodyWeight = entry.bodyWeight;
        } else {
            // Shared by two exercises, nearly a known one, or the user's own.
            QString typed;
            if (!named.own.isEmpty()) {
                typed = named.own;
            } else {
                QStringList shown;
                for (qsizetype i = nameFrom; i < nameTo; ++i)
                    if (tokens[i].kind != Kind::Ballast)
                        shown += tokens[i].word;
                while (!shown.isEmpty() && (wordKinds().value(shown.last()) == Kind::Filler ||
                                            wordKinds().value(shown.last()) == Kind::LoadMark))
                    shown.removeLast();
                typed = shown.join(u' ');
                typed.detach(); // the words point into the folded text, which goes
            }
            exercise.name = typed;
            exercise.own = named.candidates.isEmpty(); // else one of the candidates
            for (const qsizetype c : std::as_const(named.candidates))
                exercise.candidates += catalogue::entry(c).name;
            exercise.doubtful = !named.candidates.isEmpty();
        }
        open = Open{std::move(exercise), std::move(numbers), ballast, piece.start, commentStart};
        if (commentStart < piece.end) {
            close();
            addNote(commentStart, piece.end, Separator::Strong);
        }
    }
    close();
    return reading;
}

// --- Summary --------------------------------------------------------------------------------

QString summary(const Reading &reading) {
    if (reading.doubtful)
        return u"?"_s;
    const auto number = [](double v) { return QString::number(v, 'g', 10); };
    QStringList items;
    for (const Exercise &exercise : reading.exercises) {
        QString item = exercise.name + (exercise.own ? u" (propio)"_s : QString());
        QStringList groups;
        for (qsizetype i = 0; i < exercise.sets.size();) {
            const Set &set = exercise.sets[i];
            qsizetype j = i;
            while (j < exercise.sets.size() && exercise.sets[j] == set)
                ++j;
            QString group = QString::number(j - i) + u'x';
            if (set.seconds)
                group += QString::number(*set.seconds) + u's';
            else if (set.reps)
                group += QString::number(*set.reps) + (set.toFailure ? u"!"_s : QString());
            else
                group += set.toFailure ? u"max"_s : u"?"_s;
            if (set.bodyWeight)
                group += u"@pc"_s + (set.addedKg != 0 ? u'+' + number(set.addedKg) : QString());
            else if (set.kg)
                group += u'@' + number(*set.kg);
            if (set.perHand)
                group += u"cu"_s;
            groups += group;
            i = j;
        }
        if (!groups.isEmpty())
            item += u':' + groups.join(u',');
        items += item;
    }
    for (const QString &note : reading.notes)
        items += u'"' + note + u'"';
    return items.join(u" | "_s);
}

} // namespace training

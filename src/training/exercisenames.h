#pragma once

#include "training/reader.h"
#include "training/tokens.h"

// Which exercise a name written in a day's text is: the catalogue's, one of those that share it,
// or the user's own.
namespace training {
namespace internal {

// What a name was found to be.
struct Named {
    qsizetype entry = -1;
    QList<qsizetype> candidates; // two or more: doubtful
    QString own;                 // a name of the user's own, from a correction
    bool near = false;           // one slip away, or nearly a name when not found
};

// Whether a folded word makes a piece a note whatever its numbers: cardio, stretching, rest.
bool isNoteWord(const QString &word);

// The words of the name in tokens from..to, folded.
struct NameWords {
    QStringList words;     // without "lastre" nor the words that end it and tell nothing ("de")
    bool ballast = false;  // "lastrado", "con lastre"
    bool noteWord = false; // cardio, stretching, rest: a note whatever its numbers
};
NameWords nameWordsOf(const QList<Token> &tokens, qsizetype from, qsizetype to);

// The name of these words, whose key is key (nameKey()), looked up as the user corrected it, in
// the catalogue, then without the words before it that tell no exercise ("hoy", "luego"), then
// with a typing slip. Slips are looked for in at most 200 names of a text, counted in
// nearLookUps, so that a long text of unknown words is read in linear time.
Named lookUp(const QStringList &words, const QString &key, const Corrections &corrections,
             int *nearLookUps);

// The exercise a correction names: the catalogue's, or the user's own.
Named namedAs(const QString &exercise);

// The exercise a name stands for: the catalogue's entry, or the name as typed (the tokens
// from..to) when it is shared, nearly a known one or the user's own.
Exercise exerciseNamed(const Named &named, const QList<Token> &tokens, qsizetype from,
                       qsizetype to);

} // namespace internal
} // namespace training

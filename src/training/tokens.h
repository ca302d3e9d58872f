#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <utility>

// The tokens of a piece of a day's text: numbers, signs and words, each with its kind.
namespace training {
namespace internal {

enum class Kind {
    Number,
    Times,    // "x", "×", "*", "por" between numbers
    Plus,     // "+" before a number: added load
    ListMark, // "/", "-", "," between numbers, and the start of a piece that goes on
    Bracket,  // a parenthesis between pieces
    Minutes,  // "min", "'", also "h" as 60 minutes
    Seconds,  // "s", "seg", '"'
    Distance, // "km", "m", "pasos"
    Kilos,
    Pounds,
    Reps,
    Series,
    Failure,
    Last,
    PerHand,
    BodyWeight,
    Ballast,  // "lastre", "lastrado"
    Filler,   // "de", "con", "a", "@"...
    LoadMark, // "con", "a", "@": a number after it is a load
    Word,     // any other word: a name, or a comment
    // Words of phrases, which become one of the above once their neighbours are known.
    By,      // "por": "4 por 8", "por mano"
    Each,    // "cada mano"
    Without, // "sin peso"
    Weight,  // "peso corporal", or a name ("peso muerto")
    Percent, // "80%": a share of a maximum, not a load
    End,     // past the last token
};

struct Token {
    Token(Kind k, qsizetype from, qsizetype to, QString folded = {})
        : kind(k)
        , start(from)
        , end(to)
        , word(std::move(folded)) {}
    Kind kind;
    qsizetype start;
    qsizetype end;
    QString word;     // folded
    double value = 0; // a number's value
    bool huge = false;
};

// The kind of each word a set is written with; other words are Kind::Word.
const QHash<QString, Kind> &wordKinds();

// The tokens of text from from to to. The folded text, when it folds in place (foldInPlace()),
// saves folding each word apart.
QList<Token> tokensOf(QStringView text, const QString &folded, qsizetype from, qsizetype to);

} // namespace internal
} // namespace training

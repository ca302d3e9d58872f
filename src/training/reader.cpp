#include "training/reader.h"

#include "training/exercisenames.h"
#include "training/pieces.h"
#include "training/sets.h"
#include "training/tokens.h"

#include <algorithm>
#include <utility>

// A day's reading put together: each piece a name with its numbers, an exercise or a note.
namespace training {
namespace {

using namespace internal;

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

bool isSetToken(const Token &t) {
    return t.kind == Kind::Number || t.kind == Kind::Failure;
}

// Where a piece's name, numbers and comment lie among its tokens.
struct PieceParts {
    qsizetype nameFrom = 0, nameTo = 0; // none when nameFrom == nameTo
    qsizetype numbersFrom = 0, numbersTo = 0;
    qsizetype commentFrom = 0; // up to the end
};

// The name is the words before the numbers, or after them when none come before; the words after
// the numbers are a comment, kept as a note.
PieceParts partsOf(const QList<Token> &tokens) {
    const qsizetype size = tokens.size();
    const auto kindAt = [&tokens](qsizetype i) { return tokens[i].kind; };
    qsizetype nameFrom = 0, nameTo = 0;
    while (nameTo < size && (kindAt(nameTo) == Kind::Word || kindAt(nameTo) == Kind::Filler ||
                             kindAt(nameTo) == Kind::LoadMark || kindAt(nameTo) == Kind::Ballast ||
                             kindAt(nameTo) == Kind::Times))
        ++nameTo;
    // "press banca con 70 4x8": the words that bring a load belong to the numbers.
    while (nameTo > 0 && nameTo < size &&
           (kindAt(nameTo - 1) == Kind::LoadMark || kindAt(nameTo - 1) == Kind::Filler))
        --nameTo;
    qsizetype commentFrom = size;
    while (commentFrom > nameTo &&
           (kindAt(commentFrom - 1) == Kind::Word || kindAt(commentFrom - 1) == Kind::Filler ||
            kindAt(commentFrom - 1) == Kind::LoadMark))
        --commentFrom;
    while (commentFrom < size && kindAt(commentFrom) != Kind::Word)
        ++commentFrom;
    if (std::none_of(tokens.begin(), tokens.begin() + nameTo,
                     [](const Token &t) { return t.kind == Kind::Word; })) {
        nameFrom = nameTo = 0;
        if (commentFrom < size) {
            nameFrom = commentFrom;
            nameTo = size;
            commentFrom = size;
        }
    }
    PieceParts parts;
    parts.nameFrom = nameFrom;
    parts.nameTo = nameTo;
    parts.numbersFrom = nameFrom == 0 ? nameTo : 0;
    parts.numbersTo = nameFrom == 0 ? commentFrom : nameFrom;
    parts.commentFrom = commentFrom;
    return parts;
}

// Reads a day's text piece by piece. An exercise stays open while the pieces after it bring it
// numbers, and is closed, its sets read, when another name or a note comes; notes next to each
// other across a weak separator join.
class DayReader {
public:
    DayReader(QStringView text, const Corrections &corrections)
        : m_text(text)
        , m_corrections(corrections)
        , m_textExercise(corrections.texts.isEmpty() ? std::nullopt
                                                     : corrections.textExercise(text))
        , m_folded(foldInPlace(text)) {}

    Reading read() {
        for (const Piece &piece : piecesOf(m_text))
            readPiece(piece);
        close();
        return std::move(m_reading);
    }

private:
    // The exercise being read, its tokens and where it began.
    struct Open {
        Exercise exercise;
        QList<Token> tokens;
        bool ballast = false;
        qsizetype start = 0, end = 0;
    };

    void readPiece(const Piece &piece) {
        const QList<Token> tokens = tokensOf(m_text, m_folded, piece.start, piece.end);
        const PieceParts parts = partsOf(tokens);
        QList<Token> numbers = tokens.mid(parts.numbersFrom, parts.numbersTo - parts.numbersFrom);
        const bool hasNumbers = std::any_of(numbers.cbegin(), numbers.cend(), isSetToken);
        const qsizetype commentStart =
            parts.commentFrom < tokens.size() ? tokens[parts.commentFrom].start : piece.end;
        if (parts.nameTo != parts.nameFrom)
            readNamed(piece, tokens, parts, std::move(numbers), hasNumbers, commentStart);
        else if (hasNumbers)
            readNumbersAlone(piece, std::move(numbers), commentStart);
    }

    // Numbers alone go on with the exercise just before; with none, they are sets of no exercise.
    void readNumbersAlone(const Piece &piece, QList<Token> numbers, qsizetype commentStart) {
        if (m_open && !m_lastWasNote) {
            numbers.prepend(
                Token(piece.before == Separator::Bracket ? Kind::Bracket : Kind::ListMark,
                      piece.start, piece.start));
            m_open->tokens += numbers;
            m_open->end = piece.end;
        } else {
            close();
            m_reading.doubtful = true; // sets of no exercise
            addNote(piece.start, piece.end, Separator::Strong);
            m_lastWasNote = false;
        }
        addComment(piece, commentStart);
    }

    // A name, with the numbers after it: an exercise opened, or a note.
    void readNamed(const Piece &piece, const QList<Token> &tokens, const PieceParts &parts,
                   QList<Token> numbers, bool hasNumbers, qsizetype commentStart) {
        const NameWords name = nameWordsOf(tokens, parts.nameFrom, parts.nameTo);
        closeHeading(piece);
        close();
        const QString key = nameKey(name.words);
        Named named = lookUp(name.words, key, m_corrections, &m_nearLookUps);
        const bool found = named.entry >= 0 && !named.near;
        if (!found &&
            (name.noteWord || (!hasNumbers && named.entry < 0) || (!hasNumbers && named.near))) {
            addNote(piece.start, piece.end, piece.before);
            return;
        }
        m_lastWasNote = false;
        if (m_textExercise && (named.entry < 0 || !named.candidates.isEmpty()))
            named = namedAs(*m_textExercise);
        Exercise exercise = exerciseNamed(named, tokens, parts.nameFrom, parts.nameTo);
        exercise.typedKey = key;
        m_open =
            Open{std::move(exercise), std::move(numbers), name.ballast, piece.start, commentStart};
        addComment(piece, commentStart);
    }

    // "Abdominales: crunch 3x20": a name without sets before a colon and another name is a
    // heading.
    void closeHeading(const Piece &piece) {
        if (m_open && piece.before == Separator::Colon &&
            std::none_of(m_open->tokens.cbegin(), m_open->tokens.cend(), isSetToken)) {
            addNote(m_open->start, m_open->end, Separator::Strong);
            m_open.reset();
        }
    }

    // The words after a piece's numbers, from commentStart: a note of their own.
    void addComment(const Piece &piece, qsizetype commentStart) {
        if (commentStart < piece.end) {
            close();
            addNote(commentStart, piece.end, Separator::Strong);
        }
    }

    // A note, or the last one longer when this follows it across a weak separator or a colon.
    void addNote(qsizetype start, qsizetype end, Separator before) {
        if (m_lastWasNote && (before == Separator::Weak || before == Separator::Colon) &&
            !m_reading.notes.isEmpty()) {
            m_reading.notes.last() = noteText(m_text.mid(m_noteStart, end - m_noteStart));
        } else {
            const QString note = noteText(m_text.mid(start, end - start));
            if (note.isEmpty())
                return;
            m_reading.notes += note;
            m_noteStart = start;
        }
        m_lastWasNote = true;
    }

    // The open exercise with its sets read; cardio with times alone becomes a note.
    void close() {
        if (!m_open)
            return;
        Exercise &exercise = m_open->exercise;
        const SetsReading sets =
            readSets(m_open->tokens, exercise.bodyWeight, exercise.own, m_open->ballast);
        if (sets.noteOnly && !exercise.doubtful) {
            const QString note = noteText(m_text.mid(m_open->start, m_open->end - m_open->start));
            m_reading.notes += note;
        } else {
            exercise.sets = sets.sets;
            exercise.doubtful |= sets.doubtful;
            m_reading.doubtful |= exercise.doubtful;
            m_reading.exercises += std::move(exercise);
        }
        m_open.reset();
    }

    QStringView m_text;
    const Corrections &m_corrections;
    const std::optional<QString> m_textExercise; // what the user said this whole text names
    const QString m_folded; // the text folded in place, when it can be; the tokens point into it
    int m_nearLookUps = 0;
    Reading m_reading;
    std::optional<Open> m_open;
    qsizetype m_noteStart = -1; // where the last note began, while the next piece may join it
    bool m_lastWasNote = false;
};

} // namespace

Reading read(QStringView text, const Corrections &corrections) {
    if (corrections.isNoTraining(text)) {
        Reading reading;
        if (const QString note = noteText(text); !note.isEmpty())
            reading.notes += note;
        return reading;
    }
    return DayReader(text, corrections).read();
}

} // namespace training

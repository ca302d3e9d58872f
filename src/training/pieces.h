#pragma once

#include <QList>
#include <QStringView>

// A day's text cut into pieces, each a name with its numbers, as the rules in reader.h tell.
namespace training {
namespace internal {

// What comes before a piece: notes next to each other join across a weak separator only.
enum class Separator { Strong, Weak, Colon, Bracket };

struct Piece {
    qsizetype start;
    qsizetype end;
    Separator before;
};

QList<Piece> piecesOf(QStringView text);

// Inline: the tokenizer asks these of every character.
inline bool isBlank(QChar c) {
    // Marks of direction and other invisible formats count as blanks.
    return c.isSpace() || (c.unicode() > 0x7F && c.category() == QChar::Other_Format);
}
inline bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
inline bool isBullet(QChar c) {
    switch (c.unicode()) {
    case u'-':
    case u'*':
    case u'•':
    case u'·':
    case u'–':
    case u'—':
    case u'>':
        return true;
    default:
        return false;
    }
}

} // namespace internal
} // namespace training

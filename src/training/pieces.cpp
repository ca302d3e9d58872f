#include "training/pieces.h"

#include <algorithm>
#include <optional>

namespace training {
namespace internal {
namespace {

bool isLineBreak(QChar c) {
    return c == u'\n' || c == u'\r' || c == QChar(0x2028) || c == QChar(0x2029);
}

// Walks the text once, cutting a piece at each separator.
class PieceCutter {
public:
    explicit PieceCutter(QStringView text)
        : m_text(text)
        , m_n(text.size()) {}

    QList<Piece> pieces() {
        for (qsizetype i = 0; i < m_n; ++i) {
            const QChar c = m_text[i];
            if (isLineBreak(c)) {
                cut(i, i + 1, Separator::Strong);
                m_lineStart = true;
                continue;
            }
            if (m_lineStart) {
                if (isBlank(c))
                    continue;
                m_lineStart = false;
                if (const qsizetype markEnd = listMarkEnd(i); markEnd > i) {
                    cut(i, markEnd, Separator::Strong);
                    i = markEnd - 1;
                    continue;
                }
            }
            if (const std::optional<Separator> separator = separatorAt(i))
                cut(i, i + 1, *separator);
        }
        cut(m_n, m_n, Separator::Strong);
        return std::move(m_found);
    }

private:
    QChar at(qsizetype i) const { return i >= 0 && i < m_n ? m_text[i] : QChar(u' '); }

    // Ends the piece at end, unless it holds no letter nor digit, and starts the next at next.
    void cut(qsizetype end, qsizetype next, Separator separator) {
        const bool content = std::any_of(m_text.begin() + m_start, m_text.begin() + end,
                                         [](QChar c) { return c.isLetterOrNumber(); });
        if (content)
            m_found += {m_start, end, m_pending};
        m_pending = content || m_pending == Separator::Weak || m_pending == Separator::Colon
                        ? separator
                        : m_pending;
        m_start = next;
    }

    // Where a bullet ("-", "*") or a number of a list ("1.", "2)") at the start of a line ends;
    // i itself when there is none.
    qsizetype listMarkEnd(qsizetype i) const {
        if (isBullet(m_text[i]) && isBlank(at(i + 1)))
            return i + 1;
        qsizetype j = i;
        while (j < m_n && isDigit(m_text[j]))
            ++j;
        if (j > i && j - i <= 2 && (at(j) == u'.' || at(j) == u')') && isBlank(at(j + 1)))
            return j + 1;
        return i;
    }

    // The separator the character at i is, if any, within a line.
    std::optional<Separator> separatorAt(qsizetype i) const {
        const bool digitsAround = isDigit(at(i - 1)) && isDigit(at(i + 1));
        switch (m_text[i].unicode()) {
        case u';':
        case u'|':
        case u'•':
        case u'·':
            return Separator::Strong;
        case u',': // not a decimal comma
            return digitsAround ? std::nullopt : std::optional(Separator::Strong);
        case u'.': // ending a sentence
            if (!digitsAround && (isBlank(at(i + 1)) || i + 1 == m_n))
                return Separator::Strong;
            return std::nullopt;
        case u'+': // not "+10"
            return isDigit(at(i + 1)) ? std::nullopt : std::optional(Separator::Weak);
        case u':':
            return Separator::Colon;
        case u'(':
        case u')':
        case u'[':
        case u']':
            return Separator::Bracket;
        case u'-':
        case u'–':
        case u'—':
            if (isBlank(at(i - 1)) && isBlank(at(i + 1)))
                return Separator::Weak;
            return std::nullopt;
        case u'/':
            return slashBeforeWord(i) ? std::optional(Separator::Weak) : std::nullopt;
        case u'y':
        case u'Y':
            if (i > 0 && isBlank(at(i - 1)) && isBlank(at(i + 1)))
                return Separator::Weak;
            return std::nullopt;
        default:
            return std::nullopt;
        }
    }

    // " / " before a word: "press 3x10 / remo 3x10", not "5/5/3" nor "c/u".
    bool slashBeforeWord(qsizetype i) const {
        qsizetype j = i + 1;
        while (j < m_n && isBlank(m_text[j]))
            ++j;
        return isBlank(at(i - 1)) && j > i + 1 && at(j).isLetter();
    }

    QStringView m_text;
    qsizetype m_n;
    QList<Piece> m_found;
    qsizetype m_start = 0;
    Separator m_pending = Separator::Strong;
    bool m_lineStart = true;
};

} // namespace

QList<Piece> piecesOf(QStringView text) {
    return PieceCutter(text).pieces();
}

} // namespace internal
} // namespace training

#include "training/tokens.h"

#include "training/catalogue.h"
#include "training/pieces.h"

#include <QSet>

using namespace Qt::Literals::StringLiterals;

namespace training {
namespace internal {

const QHash<QString, Kind> &wordKinds() {
    static const QHash<QString, Kind> kinds = [] {
        QHash<QString, Kind> k;
        const auto add = [&k](Kind kind, std::initializer_list<const char16_t *> words) {
            for (const char16_t *w : words)
                k.insert(QString::fromUtf16(w), kind);
        };
        add(Kind::Times, {u"x"});
        add(Kind::By, {u"por"});
        add(Kind::Each, {u"cada"});
        add(Kind::Without, {u"sin"});
        add(Kind::Weight, {u"peso"});
        add(Kind::Minutes, {u"min", u"mins", u"minuto", u"minutos", u"h", u"hora", u"horas"});
        add(Kind::Seconds, {u"s", u"seg", u"segs", u"sg", u"segundo", u"segundos", u"sec"});
        add(Kind::Distance, {u"km", u"kms", u"m", u"metros", u"metro", u"pasos", u"kilometros"});
        add(Kind::Kilos, {u"kg", u"kgs", u"k", u"kilo", u"kilos", u"kilogramos", u"kgr"});
        add(Kind::Pounds, {u"lb", u"lbs", u"libra", u"libras"});
        add(Kind::Reps, {u"reps", u"rep", u"repeticiones", u"repeticion", u"repes", u"r"});
        add(Kind::Series, {u"series", u"serie", u"sets", u"set", u"tandas"});
        add(Kind::Failure, {u"fallo", u"max", u"maximo", u"maximas", u"amrap", u"maximo"});
        add(Kind::Last, {u"ultima", u"ultimas", u"ultimo", u"ultimos"});
        add(Kind::PerHand, {u"cu"});
        add(Kind::BodyWeight, {u"pc", u"bw", u"corporal"});
        add(Kind::Ballast, {u"lastre", u"lastrada", u"lastradas", u"lastrado", u"lastrados"});
        add(Kind::LoadMark, {u"con", u"a", u"@"});
        add(Kind::Filler,
            {u"de", u"del", u"la", u"las", u"el", u"los", u"al", u"en", u"y", u"e", u"peso"});
        return k;
    }();
    return kinds;
}

namespace {

bool isWordChar(QChar c) {
    return c.isLetter() || (c.unicode() >= 0x300 && c.category() == QChar::Mark_NonSpacing);
}

// Reads a piece's characters into tokens, one number, word or sign at a time.
class Tokenizer {
public:
    Tokenizer(QStringView text, const QString &folded, qsizetype to)
        : m_text(text)
        , m_folded(folded)
        , m_to(to) {}

    QList<Token> tokens(qsizetype from) {
        m_found.reserve((m_to - from) / 3 + 4);
        for (qsizetype i = from; i < m_to;) {
            const QChar c = m_text[i];
            if (isDigit(c)) {
                i = numberAt(i);
            } else if (isWordChar(c)) {
                i = wordAt(i);
            } else {
                signAt(i);
                ++i;
            }
        }
        joinPhrases();
        return std::move(m_found);
    }

private:
    QChar at(qsizetype i) const { return i < m_to ? m_text[i] : QChar(u' '); }

    // The number at i, whole digits first; returns where it ends.
    qsizetype numberAt(qsizetype i) {
        qsizetype j = i;
        while (j < m_to && isDigit(m_text[j]))
            ++j;
        const qsizetype end = fractionEnd(j);
        Token t(Kind::Number, i, end);
        t.huge = j - i > 6;
        if (!t.huge) {
            double whole = 0, fraction = 0, scale = 1;
            for (qsizetype k = i; k < j; ++k)
                whole = whole * 10 + (m_text[k].unicode() - u'0');
            for (qsizetype k = j + 1; k < end; ++k, scale *= 10)
                fraction = fraction * 10 + (m_text[k].unicode() - u'0');
            t.value = whole + fraction / scale;
        }
        m_found += t;
        return end;
    }

    // Where a number whose whole digits end at j ends: after a decimal point, or a decimal comma
    // with a fraction a load has (",5", ",25", ",75", ",50") that is not a list of numbers
    // ("12,10,8").
    qsizetype fractionEnd(qsizetype j) const {
        if ((at(j) != u'.' && at(j) != u',') || !isDigit(at(j + 1)))
            return j;
        qsizetype k = j + 1;
        while (k < m_to && isDigit(m_text[k]))
            ++k;
        const QStringView fraction = m_text.mid(j + 1, k - j - 1);
        const bool list = at(k) == u',' && isDigit(at(k + 1));
        if (at(j) == u'.' ? fraction.size() <= 3
                          : !list && (fraction.size() == 1 || fraction == u"25" ||
                                      fraction == u"75" || fraction == u"50"))
            return k;
        return j;
    }

    // The word at i, with a times sign glued to it split off; returns where it ends.
    qsizetype wordAt(qsizetype i) {
        qsizetype j = i;
        while (j < m_to && isWordChar(m_text[j]))
            ++j;
        // "c/u"
        const bool each = j == i + 1 && (m_text[i] == u'c' || m_text[i] == u'C') && at(j) == u'/' &&
                          (at(j + 1) == u'u' || at(j + 1) == u'U') && !isWordChar(at(j + 2));
        if (each)
            j += 2;
        QString word = m_folded.isEmpty() ? fold(m_text.mid(i, j - i))
                                          : QString::fromRawData(m_folded.constData() + i, j - i);
        if (each)
            word = u"cu"_s;
        if (word.isEmpty()) // accents alone
            return j;
        const bool afterNumber =
            !m_found.isEmpty() && m_found.last().kind == Kind::Number && m_found.last().end == i;
        // "3xmax", "4x8", "60kgx10": the times sign is glued to what is beside it.
        if (word.size() > 1 && word.startsWith(u'x') && (afterNumber || isDigit(at(j))) &&
            !wordKinds().contains(word)) {
            m_found += Token(Kind::Times, i, i + 1);
            word.remove(0, 1);
            i += 1;
        }
        if (word.size() > 1 && word.endsWith(u'x') &&
            wordKinds().value(word.chopped(1), Kind::Word) == Kind::Kilos) {
            m_found += Token(Kind::Kilos, i, j - 1, word.chopped(1));
            m_found += Token(Kind::Times, j - 1, j);
            return j;
        }
        // No word of a set is longer than "repeticiones".
        const Kind kind = word.size() > 12 ? Kind::Word : wordKinds().value(word, Kind::Word);
        m_found += Token(kind, i, j, word);
        return j;
    }

    // The sign at i, if it is one a set is written with.
    void signAt(qsizetype i) {
        switch (m_text[i].unicode()) {
        case u'×':
        case u'*':
            m_found += Token(Kind::Times, i, i + 1);
            break;
        case u'+':
            m_found += Token(Kind::Plus, i, i + 1);
            break;
        case u'/':
        case u'-':
        case u',':
        case u'–':
            m_found += Token(Kind::ListMark, i, i + 1);
            break;
        case u'@':
            m_found += Token(Kind::LoadMark, i, i + 1);
            break;
        case u'%':
            m_found += Token(Kind::Percent, i, i + 1);
            break;
        case u'\'':
        case u'’':
            m_found += Token(Kind::Minutes, i, i + 1);
            break;
        case u'"':
        case u'”':
            m_found += Token(Kind::Seconds, i, i + 1);
            break;
        default:
            break;
        }
    }

    // Phrases: "cada mano", "por lado", "peso corporal", "sin peso", "por" between numbers.
    void joinPhrases() {
        static const QSet<QString> sides = {u"mano"_s,      u"manos"_s, u"una"_s,   u"uno"_s,
                                            u"lado"_s,      u"lados"_s, u"brazo"_s, u"pierna"_s,
                                            u"mancuerna"_s, u"pesa"_s};
        const qsizetype n = m_found.size();
        for (qsizetype i = 0; i < n; ++i) {
            Token &t = m_found[i];
            const Kind next = i + 1 < n ? m_found[i + 1].kind : Kind::End;
            const bool side =
                (next == Kind::Word || next == Kind::Filler) &&
                (t.kind == Kind::Each || t.kind == Kind::By || t.kind == Kind::Times) &&
                sides.contains(m_found[i + 1].word);
            if (side) {
                t.kind = Kind::PerHand;
                m_found[i + 1].kind = Kind::Filler;
            } else if (t.kind == Kind::Weight) {
                t.kind = next == Kind::BodyWeight ? Kind::BodyWeight : Kind::Word; // "peso muerto"
            } else if (t.kind == Kind::Without && (next == Kind::Weight || next == Kind::Ballast)) {
                t.kind = Kind::BodyWeight;
                m_found[i + 1].kind = Kind::Filler;
            } else if (t.kind == Kind::By) {
                const bool between =
                    i > 0 && next == Kind::Number && m_found[i - 1].kind == Kind::Number;
                t.kind = between ? Kind::Times : Kind::Filler;
            } else if (t.kind == Kind::Each || t.kind == Kind::Without) {
                t.kind = Kind::Word;
            }
        }
    }

    QStringView m_text;
    const QString &m_folded;
    qsizetype m_to;
    QList<Token> m_found;
};

} // namespace

QList<Token> tokensOf(QStringView text, const QString &folded, qsizetype from, qsizetype to) {
    return Tokenizer(text, folded, to).tokens(from);
}

} // namespace internal
} // namespace training

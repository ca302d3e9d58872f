#include "search/query.h"

#include "data/dates.h"
#include "report/csvexport.h"

#include <QStringList>

namespace search {

namespace {

// Blanks and control characters part words; the engine reads no NUL inside an expression.
bool parts(QChar c) {
    return c.isSpace() || c.unicode() < 0x20;
}

bool isNameCharacter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

// Whether the index would find a word in the text: a letter or a digit somewhere.
bool hasWordCharacter(QStringView text) {
    for (const char32_t c : text.toUcs4())
        if (QChar::isLetterOrNumber(c))
            return true;
    return false;
}

// A term between quotes, as the engine reads text: its own quotes doubled.
QString quoted(QStringView text) {
    return u'"' + text.toString().replace(u'"', QStringLiteral("\"\"")) + u'"';
}

struct Comparison {
    NumberFilter::Op op;
    int length;
};

// The comparison a numeric filter's value begins with, if any.
std::optional<Comparison> comparisonOf(QStringView value) {
    static const std::pair<QStringView, NumberFilter::Op> signs[] = {
        {u">=", NumberFilter::GreaterOrEqual},
        {u"<=", NumberFilter::LessOrEqual},
        {u">", NumberFilter::Greater},
        {u"<", NumberFilter::Less},
        {u"=", NumberFilter::Equal}};
    for (const auto &[sign, op] : signs)
        if (value.startsWith(sign))
            return Comparison{op, int(sign.size())};
    return std::nullopt;
}

} // namespace

std::optional<dayfields::Box> fieldNamed(QStringView name) {
    for (std::size_t box = 0; box < csvexport::columnNames.size(); ++box)
        if (name.compare(QLatin1String(csvexport::columnNames[box]), Qt::CaseInsensitive) == 0)
            return dayfields::Box(box);
    return std::nullopt;
}

QString indexColumn(dayfields::Box box) {
    return QLatin1String(csvexport::columnNames[std::size_t(box)]);
}

namespace {

// One word, phrase or filter of the query as typed: "-" before it leaves its days out, a field's
// CSV name and ":" before it keeps it to that field.
struct Term {
    bool excluded = false;
    std::optional<dayfields::Box> field;
    QStringView value;
    bool phrase = false;
};

// Reads the term that begins at *i (past any separators) and moves *i past it.
Term readTerm(QStringView text, qsizetype *i) {
    const qsizetype n = text.size();
    Term term;
    term.excluded = text[*i] == u'-' && *i + 1 < n && !parts(text[*i + 1]);
    if (term.excluded)
        ++*i;
    qsizetype nameEnd = *i;
    while (nameEnd < n && isNameCharacter(text[nameEnd]))
        ++nameEnd;
    if (nameEnd > *i && nameEnd < n && text[nameEnd] == u':') {
        term.field = fieldNamed(text.sliced(*i, nameEnd - *i));
        if (term.field)
            *i = nameEnd + 1;
    }
    term.phrase = *i < n && text[*i] == u'"';
    if (term.phrase) {
        qsizetype close = text.indexOf(u'"', *i + 1);
        if (close < 0)
            close = n;
        term.value = text.sliced(*i + 1, close - *i - 1);
        *i = std::min(n, close + 1);
    } else {
        qsizetype end = *i;
        while (end < n && !parts(text[end]))
            ++end;
        term.value = text.sliced(*i, end - *i);
        *i = end;
    }
    return term;
}

// A number filter ("peso:>80") goes to query->numbers; true when the term was one (or one being
// typed, or one that can match nothing), false when it is to be searched as text.
bool takeNumberFilter(const Term &term, Query *query) {
    if (!term.field || dayfields::fields[*term.field].kind != dayfields::Kind::Number ||
        term.phrase)
        return false;
    const std::optional<Comparison> comparison = comparisonOf(term.value);
    const QStringView number =
        comparison ? term.value.sliced(comparison->length).trimmed() : term.value;
    const std::optional<double> read = dates::readNumber(number);
    if (comparison && number.isEmpty())
        return true; // still being typed
    if (comparison && !read) {
        query->impossible = true;
        return true;
    }
    if (!read)
        return false;
    query->numbers +=
        {*term.field, comparison ? comparison->op : NumberFilter::Equal, *read, term.excluded};
    return true;
}

} // namespace

Query parse(QStringView text) {
    Query query;
    if (text.size() > maxLength) {
        query.tooLong = query.impossible = true;
        return query;
    }
    QStringList must;
    QStringList leaveOut;
    for (qsizetype i = 0; i < text.size();) {
        if (parts(text[i])) {
            ++i;
            continue;
        }
        const Term term = readTerm(text, &i);
        if (takeNumberFilter(term, &query) || !hasWordCharacter(term.value))
            continue;
        QString match = quoted(term.value) + (term.phrase ? QString() : QStringLiteral("*"));
        if (term.field)
            match = u'{' + indexColumn(*term.field) + QStringLiteral("} : ") + match;
        QStringList &terms = term.excluded ? leaveOut : must;
        if (!terms.contains(match))
            terms += match;
    }
    if (must.size() + leaveOut.size() + query.numbers.size() > maxTerms) {
        query = Query{};
        query.tooLong = query.impossible = true;
        return query;
    }
    query.match = must.join(QStringLiteral(" AND "));
    query.excluded = leaveOut.join(QStringLiteral(" OR "));
    return query;
}

} // namespace search

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

Query parse(QStringView text) {
    Query query;
    if (text.size() > maxLength) {
        query.tooLong = query.impossible = true;
        return query;
    }
    QStringList must;
    QStringList leaveOut;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (parts(text[i])) {
            ++i;
            continue;
        }
        const bool excluded = text[i] == u'-' && i + 1 < n && !parts(text[i + 1]);
        if (excluded)
            ++i;
        std::optional<dayfields::Box> field;
        qsizetype nameEnd = i;
        while (nameEnd < n && isNameCharacter(text[nameEnd]))
            ++nameEnd;
        if (nameEnd > i && nameEnd < n && text[nameEnd] == u':') {
            field = fieldNamed(text.sliced(i, nameEnd - i));
            if (field)
                i = nameEnd + 1;
        }
        QStringView value;
        const bool phrase = i < n && text[i] == u'"';
        if (phrase) {
            qsizetype close = text.indexOf(u'"', i + 1);
            if (close < 0)
                close = n;
            value = text.sliced(i + 1, close - i - 1);
            i = std::min(n, close + 1);
        } else {
            qsizetype end = i;
            while (end < n && !parts(text[end]))
                ++end;
            value = text.sliced(i, end - i);
            i = end;
        }

        if (field && dayfields::fields[*field].kind == dayfields::Kind::Number && !phrase) {
            const std::optional<Comparison> comparison = comparisonOf(value);
            const QStringView number =
                comparison ? value.sliced(comparison->length).trimmed() : value;
            const std::optional<double> read = dates::readNumber(number);
            if (comparison && number.isEmpty())
                continue; // still being typed
            if (comparison && !read) {
                query.impossible = true;
                continue;
            }
            if (read) {
                query.numbers +=
                    {*field, comparison ? comparison->op : NumberFilter::Equal, *read, excluded};
                continue;
            }
        }
        if (!hasWordCharacter(value))
            continue;
        QString term = quoted(value) + (phrase ? QString() : QStringLiteral("*"));
        if (field)
            term = u'{' + indexColumn(*field) + QStringLiteral("} : ") + term;
        QStringList &terms = excluded ? leaveOut : must;
        if (!terms.contains(term))
            terms += term;
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

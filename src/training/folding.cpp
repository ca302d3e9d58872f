#include "training/catalogue.h"

#include <algorithm>

// Texts folded for comparing, and the keys names are compared by.
namespace training {
namespace {

// Words that change nothing in a name.
bool isFiller(QStringView word) {
    static constexpr QStringView fillers[] = {u"de",  u"del",  u"la",  u"las", u"el", u"los",
                                              u"lo",  u"con",  u"en",  u"a",   u"al", u"un",
                                              u"una", u"para", u"por", u"and"};
    return word.size() <= 4 &&
           std::find(std::begin(fillers), std::end(fillers), word) != std::end(fillers);
}

// The length of the singular of a word, near enough to compare: "laterales" "lateral", "fondos"
// "fondo".
qsizetype singularLength(QStringView word) {
    const qsizetype n = word.size();
    if (n > 4 && word.endsWith(u"es") && QStringView(u"lnrdj").contains(word[n - 3]))
        return n - 2;
    if (n > 4 && word.endsWith(u's') && !word.endsWith(u"ss"))
        return n - 1;
    return n;
}

// Lowercase without its accent, for a character of Latin-1.
QChar foldedLatin1(char16_t u) {
    static constexpr char16_t accented[] =
        u"aaaaaa\u00e6ceeeeiiii\u00f0nooooo\u00f7\u00f8uuuuy\u00fey";
    if (u < 0x80)
        return QChar(u >= 'A' && u <= 'Z' ? char16_t(u + 32) : u);
    if (u >= 0xC0 && u != 0xD7 && u != 0xDF)
        return QChar(accented[u & 0x1F]);
    return QChar(u).toLower();
}

} // namespace

QString fold(QStringView text) {
    // Latin-1 is folded by a table, other text through its canonical decomposition.
    const bool latin =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
    const QString decomposed =
        latin ? QString() : text.toString().normalized(QString::NormalizationForm_D);
    const QStringView from = latin ? text : QStringView(decomposed);
    QString folded(from.size(), Qt::Uninitialized);
    QChar *out = folded.data();
    qsizetype length = 0;
    bool blank = true; // no blank at the start
    for (const QChar c : from) {
        if (c.isSpace()) {
            if (!blank)
                out[length++] = u' ';
            blank = true;
        } else if (c.unicode() < 0x100) {
            out[length++] = foldedLatin1(c.unicode());
            blank = false;
        } else if (c.category() != QChar::Mark_NonSpacing) {
            out[length++] = c.toLower();
            blank = false;
        }
    }
    if (length > 0 && out[length - 1] == u' ')
        --length;
    folded.truncate(length);
    return folded;
}

QString foldInPlace(QStringView text) {
    QString folded(text.size(), Qt::Uninitialized);
    QChar *out = folded.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() >= 0x100)
            return {};
        out[i] = foldedLatin1(text[i].unicode());
    }
    return folded;
}

QString nameKey(QStringView text) {
    QString key = fold(text);
    QChar *out = key.data();
    qsizetype length = 0, word = 0; // the key so far, and where its last word starts
    const auto endWord = [&] {
        const QStringView last(out + word, length - word);
        length = isFiller(last) ? word : word + singularLength(last);
        word = length;
    };
    for (const QChar c : QStringView(key)) {
        if (c.isLetterOrNumber())
            out[length++] = c;
        else
            endWord();
    }
    endWord();
    key.truncate(length);
    return key;
}

QString nameKey(const QStringList &foldedWords) {
    qsizetype length = 0;
    for (const QString &word : foldedWords)
        length += word.size();
    QString key;
    key.reserve(length);
    for (const QString &word : foldedWords) {
        if (std::all_of(word.begin(), word.end(), [](QChar c) { return c.isLetterOrNumber(); })) {
            if (!isFiller(word))
                key += QStringView(word).left(singularLength(word));
        } else {
            key += nameKey(word);
        }
    }
    return key;
}

} // namespace training

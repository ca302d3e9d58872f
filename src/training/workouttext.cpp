#include "training/workouttext.h"

#include "training/exercisenames.h"
#include "training/tokens.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace training {
namespace {

// The most sets of one group: more loaded sets would read as a load ("12x5 80"), more unloaded
// ones next to other groups as loads or doubtful ("8x8, 2x6").
constexpr int mostLoadedInGroup = 10;
constexpr int mostUnloadedInGroup = 5;
constexpr qsizetype mostOnALine = 200;

// Whether a folded word of an app's name would be read as anything but a name's word (a note's,
// unless `noteWords` are kept).
bool readsAsMore(const QString &folded, bool noteWords) {
    using internal::Kind;
    const QHash<QString, Kind> &kinds = internal::wordKinds();
    return kinds.contains(folded) || (!noteWords && internal::isNoteWord(folded)) ||
           (folded.size() > 1 && folded.endsWith(u'x') &&
            kinds.value(folded.chopped(1), Kind::Word) == Kind::Kilos);
}

// The app's words alone: letters and their accents, blanks for anything else.
QStringList nameWords(QStringView appName, bool noteWords) {
    QString letters;
    letters.reserve(appName.size());
    for (const QChar c : appName)
        letters += c.isLetter() || c.category() == QChar::Mark_NonSpacing ? c : u' ';
    QStringList kept;
    for (const QString &word : letters.split(u' ', Qt::SkipEmptyParts))
        if (!readsAsMore(fold(word), noteWords))
            kept += word;
    return kept;
}

QString group(int count, const DoneSet &set, bool added) {
    QString text = u"%1x%2"_s.arg(count).arg(set.reps);
    if (set.kg)
        text += (added ? u" +"_s : u" "_s) + writtenNumber(*set.kg);
    if (set.toFailure)
        text += u" al fallo"_s;
    return text;
}

} // namespace

QString writtenName(QStringView appName) {
    if (const std::optional<QString> known = catalogueNameOf(appName))
        return known->left(1).toUpper() + known->mid(1);
    const QStringList words = nameWords(appName, false);
    return words.isEmpty() ? u"Ejercicio"_s : words.join(u' ');
}

double asRead(double value) {
    const double hundredths = std::round(value * 100);
    return std::floor(hundredths / 100) + std::fmod(hundredths, 100) / 100;
}

QString writtenNumber(double value) {
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    // The reader takes a comma before one digit, or before 25 or 75, for a decimal comma; before
    // other two digits, for a list ("61,23" is 61 and 23).
    const QStringView fraction = QStringView(text).sliced(text.indexOf(u'.') + 1);
    if (text.contains(u'.') && (fraction.size() == 1 || fraction == u"25" || fraction == u"75"))
        text.replace(u'.', u',');
    return text;
}

QString cardioLine(QStringView appName, qint64 seconds, double km) {
    QStringList parts{u"Cardio"_s};
    parts += nameWords(appName, true);
    if (seconds > 0)
        parts += seconds % 60 == 0 ? u"%1 min"_s.arg(seconds / 60) : u"%1 s"_s.arg(seconds);
    if (km > 0)
        parts += writtenNumber(km) + u" km"_s;
    return seconds > 0 || km > 0 ? parts.join(u' ') : QString();
}

QString WorkoutWriter::exerciseLine(const QString &name, const QList<DoneSet> &sets) {
    const BodyWeight kind = kindOf(name);
    const bool added = kind == BodyWeight::Always || kind == BodyWeight::Held;
    QStringList lines;
    QStringList groups;
    qsizetype onLine = 0;
    for (qsizetype i = 0; i < sets.size();) {
        const int most = sets[i].kg ? mostLoadedInGroup : mostUnloadedInGroup;
        qsizetype j = i + 1;
        while (j < sets.size() && j - i < most && sets[j] == sets[i])
            ++j;
        // The reader keeps 200 sets of an exercise at most: more go on a line of their own.
        if (onLine + (j - i) > mostOnALine) {
            lines += name + u' ' + groups.join(u", "_s);
            groups.clear();
            onLine = 0;
        }
        groups += group(int(j - i), sets[i], added);
        onLine += j - i;
        i = j;
    }
    if (!groups.isEmpty())
        lines += name + u' ' + groups.join(u", "_s);
    return lines.join(u'\n');
}

BodyWeight WorkoutWriter::kindOf(const QString &name) {
    const auto found = m_kinds.constFind(name);
    if (found != m_kinds.constEnd())
        return *found;
    const Reading reading = read(QString(name + u" 1x5"_s));
    const BodyWeight kind =
        reading.exercises.isEmpty() ? BodyWeight::No : reading.exercises.first().bodyWeight;
    m_kinds.insert(name, kind);
    return kind;
}

} // namespace training

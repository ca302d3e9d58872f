#include "training/reader.h"

using namespace Qt::Literals::StringLiterals;

// The short written form of a reading, for lists and checks (reader.h).
namespace training {

QString summary(const Reading &reading) {
    if (reading.doubtful)
        return u"?"_s;
    const auto number = [](double v) { return QString::number(v, 'g', 10); };
    QStringList items;
    for (const Exercise &exercise : reading.exercises) {
        QString item = exercise.name + (exercise.own ? u" (propio)"_s : QString());
        QStringList groups;
        for (qsizetype i = 0; i < exercise.sets.size();) {
            const Set &set = exercise.sets[i];
            qsizetype j = i;
            while (j < exercise.sets.size() && exercise.sets[j] == set)
                ++j;
            QString group = QString::number(j - i) + u'x';
            if (set.seconds)
                group += QString::number(*set.seconds) + u's';
            else if (set.reps)
                group += QString::number(*set.reps) + (set.toFailure ? u"!"_s : QString());
            else
                group += set.toFailure ? u"max"_s : u"?"_s;
            if (set.bodyWeight)
                group += u"@pc"_s + (set.addedKg != 0 ? u'+' + number(set.addedKg) : QString());
            else if (set.kg)
                group += u'@' + number(*set.kg);
            if (set.perHand)
                group += u"cu"_s;
            groups += group;
            i = j;
        }
        if (!groups.isEmpty())
            item += u':' + groups.join(u',');
        items += item;
    }
    for (const QString &note : reading.notes)
        items += u'"' + note + u'"';
    return items.join(u" | "_s);
}

} // namespace training

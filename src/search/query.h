#pragma once

#include "data/dayfields.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

// What the search box asks, read into what the engine's full-text index answers. The rules:
// - Words separated by blanks must all appear, each as the beginning of a word of the day ("sent"
//   finds "Sentadilla"); case and accents do not matter ("cafe" finds "café").
// - "Words between quotes" must appear together, in that order, as whole words; a quote left
//   open runs to the end of the text.
// - "-word" (or -"a phrase") leaves out the days that have it.
// - "field:word" and field:"a phrase" look in one field only, named as the CSV export names its
//   columns ("diario:rodilla", "que_has_hecho:muerto"); an unknown name is text like any other.
// - On the numeric fields "peso:>80", "peso:<80", "peso:>=80", "peso:<=80", "peso:=80" and
//   "peso:80" compare the number that the box starts with ("80,5" and "80.5" alike); "-peso:>80"
//   leaves those days out.
// Every word goes to the engine between quotes, so its own search syntax typed as text is text.
// A word with no letter or digit is no word. Nothing typed gives no days, never an error.
namespace search {

// A comparison with the number of a numeric field.
struct NumberFilter {
    enum Op { Less, LessOrEqual, Equal, GreaterOrEqual, Greater };
    dayfields::Box box;
    Op op;
    double value;
    bool excluded = false; // the days that pass it are left out
    bool operator==(const NumberFilter &) const = default;
};

// At most this much text and this many words, phrases and filters: a longer search finds no day.
inline constexpr qsizetype maxLength = 1000;
inline constexpr int maxTerms = 64;

struct Query {
    // The engine's expression of what must appear (all its terms), empty when nothing must.
    QString match;
    // The engine's expression of what leaves a day out (any of its terms), empty when nothing.
    QString excluded;
    QList<NumberFilter> numbers;
    // No day can be found: a number that does not read, or a search too long.
    bool impossible = false;
    bool tooLong = false;
    // Whether anything was asked at all: a search that asks nothing finds no day.
    bool asksNothing() const { return match.isEmpty() && excluded.isEmpty() && numbers.isEmpty(); }
    bool operator==(const Query &) const = default;
};

Query parse(QStringView text);

// The field a CSV column name names, whatever its case.
std::optional<dayfields::Box> fieldNamed(QStringView name);
// The column name of a field in the index: its CSV column name.
QString indexColumn(dayfields::Box box);

} // namespace search

#pragma once

#include "training/tokens.h"

#include <QList>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>
#include <optional>

// The set grammar: the forms sets are written in ("4x8 80", "60x10, 70x8", "5/5/3 con 100",
// "4 series de 8 con 80", "3x max +10"...), read from the tokens after an exercise's name into
// blocks, before sets.cpp makes them sets.
namespace training {
namespace internal {

// A number with what was written beside it.
struct Amount {
    double value = 0;
    bool kilos = false;   // with "kg" or pounds: surely a load
    bool failure = false; // "max" instead of a number
    std::optional<int> seconds;
    bool written = false;
};

// What the numbers of one exercise say, before they become sets.
struct Block {
    enum Type { Pair, List } type = List;
    Amount a;               // Pair: sets or load
    Amount b;               // Pair: repetitions or load
    Amount c;               // a third number ("4x8x80")
    bool setsFirst = false; // "4 series de 8": a is surely the sets
    QList<int> reps;        // List
    std::optional<double> load;
    bool addedLoad = false;
    bool failure = false;
    bool lastFailure = false;
};

// All the blocks of one exercise, with what applies to all of them.
struct SetsWritten {
    QVarLengthArray<Block, 8> blocks;
    QVarLengthArray<int, 4> durations; // seconds of times written alone ("30 min", "45s")
    bool bodyWeight = false;           // "pc", "peso corporal", "sin peso"
    bool perHand = false;              // "c/u", "cada mano"
    bool ballast = false;              // "lastre", "lastrado": loads are added to the body
    bool distance = false;             // "5 km"
    bool doubtful = false;
};

inline bool isCount(double v, double most) {
    return v >= 1 && v <= most && v == std::floor(v);
}

// A repetition count as kept: 0 to 100 (more is doubtful).
inline int repetitions(double value) {
    return int(std::clamp(value, 0.0, 100.0));
}

// Reads the tokens after an exercise's name into written, whose ballast tells whether the name
// said "lastrado". Written in place: the blocks are many and read often.
void readSetsWritten(const QList<Token> &tokens, SetsWritten &written);

} // namespace internal
} // namespace training

#pragma once

#include "training/reader.h"
#include "training/tokens.h"

// An exercise's sets, read from the tokens after its name.
namespace training {
namespace internal {

struct SetsReading {
    QList<Set> sets;
    bool doubtful = false;
    bool noteOnly = false; // durations or distances alone: cardio, written as a note
};

// kind is how the exercise carries the body's weight, own whether it is the user's own, ballast
// whether its name says the load is added ("dominadas lastradas").
SetsReading readSets(const QList<Token> &tokens, BodyWeight kind, bool own, bool ballast);

} // namespace internal
} // namespace training

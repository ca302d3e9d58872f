#include "training/sets.h"

#include "training/setgrammar.h"

namespace training {
namespace internal {
namespace {

constexpr qsizetype maxSets = 200;

// Times or distances with no sets: held sets of a held exercise ("plancha 2 minutos"), or cardio,
// which is a note.
void readTimesAlone(const SetsWritten &written, BodyWeight kind, SetsReading &result) {
    const bool held = kind == BodyWeight::Held;
    if ((!written.durations.isEmpty() && !held) || written.distance) {
        result.noteOnly = true;
        return;
    }
    for (const int secs : written.durations) {
        Set set;
        set.seconds = secs;
        set.bodyWeight = true;
        result.sets += set;
    }
}

// "4 series al fallo (8, 7, 6, 5)": the repetitions of sets counted before them.
void joinCountedLists(QVarLengthArray<Block, 8> &blocks) {
    for (qsizetype i = 0; i + 1 < blocks.size(); ++i) {
        Block &pair = blocks[i];
        Block &list = blocks[i + 1];
        if (pair.type == Block::Pair && list.type == Block::List && !pair.c.written &&
            (pair.b.failure || !pair.b.written) && !pair.a.kilos &&
            double(list.reps.size()) == pair.a.value && !(pair.load && list.load)) {
            list.failure |= pair.b.failure;
            if (!list.load) {
                list.load = pair.load;
                list.addedLoad = pair.addedLoad;
            }
            blocks.remove(i);
        }
    }
}

// How the pairs with no load of their own are read: all as loads ("60x10, 70x8") or all as sets
// ("4x8"). True for loads; a mix that is neither ("8x10, 10x8") is doubtful.
bool pairsAreLoadsFirst(const QVarLengthArray<Block, 8> &blocks, bool &doubtful) {
    double least = 1e300, most = 0;
    int unloaded = 0;
    for (const Block &b : blocks) {
        if (b.type == Block::Pair && !b.setsFirst && !b.load && !b.a.kilos && !b.c.written) {
            least = std::min(least, b.a.value);
            most = std::max(most, b.a.value);
            ++unloaded;
        }
    }
    const bool loadsFirst = unloaded > 0 && most > 10 && least > 5;
    const bool setsFirst = unloaded > 0 && most <= 10 && (unloaded == 1 || most <= 5);
    doubtful |= unloaded > 0 && !loadsFirst && !setsFirst;
    return loadsFirst;
}

// Makes the sets of each block, as the exercise and the words around the numbers tell.
class SetBuilder {
public:
    SetBuilder(const SetsWritten &written, BodyWeight kind, bool own, bool loadsFirst,
               SetsReading &result)
        : m_written(written)
        , m_kind(kind)
        , m_bodyKind(kind == BodyWeight::Always || kind == BodyWeight::Held)
        , m_own(own)
        , m_loadsFirst(loadsFirst)
        , m_result(result) {}

    void add(const Block &block, bool last) {
        Plan plan;
        plan.failure = block.failure;
        plan.load = block.load;
        plan.added = block.addedLoad || m_written.ballast;
        if (block.type == Block::List) {
            if (!plan.load && !(m_bodyKind || m_kind == BodyWeight::Unloaded) &&
                !m_written.bodyWeight)
                m_result.doubtful = true; // "press banca 10 8 6": repetitions or loads?
            if (m_kind == BodyWeight::Held)
                m_result.doubtful = true;
        } else if (!planPair(block, plan)) {
            return;
        }
        if (plan.load && (*plan.load > 1000 || *plan.load < 0))
            m_result.doubtful = true;
        if (block.type == Block::List) {
            for (const int r : block.reps)
                m_result.sets += setOf(plan, r);
        } else {
            for (int s = 0; s < plan.count; ++s)
                m_result.sets += setOf(plan, plan.reps);
        }
        if (block.lastFailure && last && !m_result.sets.isEmpty())
            m_result.sets.last().toFailure = true;
    }

private:
    // What the sets of one block share.
    struct Plan {
        int count = 0;
        std::optional<int> reps;
        std::optional<int> seconds;
        bool failure = false;
        std::optional<double> load;
        bool added = false;
    };

    // The sets, repetitions and load of a pair; false when the numbers cannot be told apart.
    bool planPair(const Block &block, Plan &plan) {
        Amount sets = block.a, repetitions = block.b;
        bool loadFirst =
            block.a.kilos || (!block.setsFirst && !block.load && !block.c.written && m_loadsFirst);
        if (block.c.written) {
            if (block.load)
                m_result.doubtful = true;
            if (!block.a.kilos && block.a.value <= 10) {
                // "4x8x80": sets, repetitions, load.
                plan.load = block.c.value;
                m_result.doubtful |= !block.c.kilos && block.c.value <= 10;
            } else if (block.b.value == block.c.value && !block.b.kilos && !block.c.kilos) {
                // "100x5x5": five sets of five, whichever is which.
                plan.load = block.a.value;
                sets = block.b;
                repetitions = block.c;
                loadFirst = false;
            } else {
                m_result.doubtful = true; // "80x8x4"
                return false;
            }
        } else if (!block.a.kilos && block.load && block.a.value > 10) {
            m_result.doubtful = true; // "100x5 110"
        }
        if (loadFirst) {
            if (m_bodyKind)
                m_result.doubtful = true; // "dominadas 20x3": written the other way round?
            plan.load = block.a.value;
            plan.count = 1;
        } else {
            if (!isCount(sets.value, 20) || sets.kilos)
                m_result.doubtful = true;
            plan.count = int(std::clamp(sets.value, 0.0, 20.0));
        }
        planRepetitions(repetitions, plan);
        return true;
    }

    // A count, "max" or a time held.
    void planRepetitions(const Amount &repetitions, Plan &plan) {
        if (repetitions.failure) {
            plan.failure = true;
        } else if (repetitions.seconds) {
            plan.seconds = repetitions.seconds;
        } else if (repetitions.written) {
            if (repetitions.kilos || !isCount(repetitions.value, 100) ||
                (repetitions.value > 50 && !m_bodyKind && m_kind != BodyWeight::Unloaded && !m_own))
                m_result.doubtful = true;
            plan.reps = int(std::clamp(repetitions.value, 0.0, 100.0));
        }
    }

    Set setOf(const Plan &plan, std::optional<int> reps) const {
        Set set;
        set.reps = reps;
        set.seconds = plan.seconds;
        set.toFailure = plan.failure;
        set.perHand = m_written.perHand;
        set.bodyWeight = m_written.bodyWeight || m_bodyKind || plan.added ||
                         (m_kind == BodyWeight::Unloaded && !plan.load);
        if (plan.load && set.bodyWeight)
            set.addedKg = *plan.load; // on top of the body
        else if (plan.load)
            set.kg = *plan.load;
        return set;
    }

    const SetsWritten &m_written;
    const BodyWeight m_kind;
    const bool m_bodyKind; // the body is the load, whatever is written
    const bool m_own;
    const bool m_loadsFirst;
    SetsReading &m_result;
};

} // namespace

SetsReading readSets(const QList<Token> &tokens, BodyWeight kind, bool own, bool ballast) {
    SetsWritten written;
    written.ballast = ballast;
    readSetsWritten(tokens, written);
    SetsReading result;
    result.doubtful = written.doubtful;
    if (written.blocks.isEmpty()) {
        readTimesAlone(written, kind, result);
        return result;
    }
    result.doubtful |= !written.durations.isEmpty() || written.distance;
    joinCountedLists(written.blocks);
    const bool loadsFirst = pairsAreLoadsFirst(written.blocks, result.doubtful);
    SetBuilder builder(written, kind, own, loadsFirst, result);
    const qsizetype lastBlock = written.blocks.size() - 1;
    for (qsizetype i = 0; i < written.blocks.size(); ++i)
        builder.add(written.blocks[i], i == lastBlock);
    // No day has this many sets of one exercise: a list of numbers that is no training.
    if (result.sets.size() > maxSets) {
        result.sets.resize(maxSets);
        result.doubtful = true;
    }
    return result;
}

} // namespace internal
} // namespace training

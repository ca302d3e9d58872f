#include "training/setgrammar.h"

namespace training {
namespace internal {
namespace {

constexpr double poundInKilos = 0.45359237;

double roundedKilos(double kilos) {
    return std::round(kilos * 100) / 100;
}

// Reads the tokens in order, one form at a time, keeping what a later number may need: a load
// written before its sets, "la última" before "al fallo", and what came just before ("con", a
// separator, a bracket).
class SetGrammar {
public:
    SetGrammar(const QList<Token> &tokens, SetsWritten &written)
        : m_tokens(tokens)
        , m_n(tokens.size())
        , m_written(written)
        , m_blocks(written.blocks) {}

    void read() {
        for (qsizetype i = 0; i < m_n;)
            i = readAt(i);
        placePendingLoad();
        if (m_blocks.isEmpty() && m_pendingFailure)
            m_blocks += failureAlone();
    }

private:
    Kind kindAt(qsizetype i) const { return i < m_n ? m_tokens[i].kind : Kind::End; }

    qsizetype skipFillers(qsizetype i) const {
        while (i < m_n && (m_tokens[i].kind == Kind::Filler || m_tokens[i].kind == Kind::LoadMark))
            ++i;
        return i;
    }

    // The token at i, or the form it starts; returns the index after it.
    qsizetype readAt(qsizetype i) {
        switch (m_tokens[i].kind) {
        case Kind::Number: {
            const qsizetype next = numberAt(i);
            m_separated = m_bracket = m_loadMark = false;
            return next;
        }
        case Kind::Plus:
            if (kindAt(i + 1) == Kind::Number) {
                Amount load;
                const qsizetype next = amountAt(i + 1, &load);
                addLoad(load.value, true);
                m_separated = m_bracket = m_loadMark = false;
                return next;
            }
            break;
        case Kind::ListMark:
            m_separated = true;
            break;
        case Kind::Bracket:
            m_separated = m_bracket = true;
            break;
        case Kind::LoadMark:
            m_loadMark = true;
            break;
        case Kind::Failure:
            markFailure();
            break;
        case Kind::Last:
            m_lastMark = true;
            break;
        case Kind::PerHand:
            m_written.perHand = true;
            break;
        case Kind::BodyWeight:
            m_written.bodyWeight = true;
            break;
        case Kind::Ballast:
            m_written.ballast = true;
            break;
        case Kind::Filler:
        case Kind::Reps:
        case Kind::Series:
            break;
        default:
            m_written.doubtful = true; // words among the numbers, a sign alone
            break;
        }
        return i + 1;
    }

    // A number at i with its unit: returns the index after it.
    qsizetype amountAt(qsizetype i, Amount *amount) {
        amount->value = m_tokens[i].value;
        amount->written = true;
        m_written.doubtful |= m_tokens[i].huge;
        ++i;
        switch (kindAt(i)) {
        case Kind::Kilos:
            amount->kilos = true;
            return i + 1;
        case Kind::Pounds:
            amount->kilos = true;
            amount->value = roundedKilos(amount->value * poundInKilos);
            return i + 1;
        case Kind::Percent:
            m_written.doubtful = true; // "al 80%": of a maximum the text does not give
            return i + 1;
        case Kind::Seconds:
            amount->seconds = int(std::min(amount->value, 1e6));
            return i + 1;
        case Kind::Minutes:
            amount->seconds =
                int(std::min(amount->value * (m_tokens[i].word.startsWith(u'h') ? 3600 : 60), 1e6));
            return i + 1;
        default:
            return i;
        }
    }

    // A number at i and the form it starts, told by what follows it.
    qsizetype numberAt(qsizetype i) {
        Amount first;
        const qsizetype j = amountAt(i, &first);
        if (kindAt(j) == Kind::Times)
            return pairFrom(first, j);
        if (kindAt(j) == Kind::Series)
            return seriesFrom(first, j);
        if (kindAt(j) == Kind::Reps) {
            repetitionsAlone(first);
            return j + 1;
        }
        if (first.seconds) {
            m_written.durations += *first.seconds;
            return j;
        }
        if (kindAt(j) == Kind::Distance) {
            m_written.distance = true;
            return j + 1;
        }
        if (first.kilos || m_loadMark || pairAfter(j)) {
            // A load, written as one or just before its sets ("140 3x5", "28 c/u 4x8").
            addLoad(first.value, m_written.ballast);
            return j;
        }
        bareNumber(first, j);
        return j;
    }

    // "4x8", "3x max", "4x8x80", "100x5": first and the times sign at j.
    qsizetype pairFrom(const Amount &first, qsizetype j) {
        Block block;
        block.type = Block::Pair;
        block.a = first;
        j = skipFillers(j + 1);
        if (kindAt(j) == Kind::Failure) {
            block.b.failure = block.b.written = true;
            ++j;
        } else if (kindAt(j) == Kind::Number) {
            j = amountAt(j, &block.b);
            if (kindAt(j) == Kind::Times && kindAt(j + 1) == Kind::Number)
                j = amountAt(j + 1, &block.c);
            if (kindAt(j) == Kind::Times)
                m_written.doubtful = true;
        } else {
            m_written.doubtful = true;
        }
        if (kindAt(j) == Kind::Reps)
            ++j;
        takePending(block);
        m_blocks += block;
        return j;
    }

    // "4 series de 8", "3 series x 10", "4 series al fallo": first and "series" at j.
    qsizetype seriesFrom(const Amount &first, qsizetype j) {
        Block block;
        block.type = Block::Pair;
        block.setsFirst = true;
        block.a = first;
        j = skipFillers(j + 1);
        if (kindAt(j) == Kind::Times)
            j = skipFillers(j + 1);
        if (kindAt(j) == Kind::Failure) {
            block.b.failure = block.b.written = true;
            ++j;
        } else if (kindAt(j) == Kind::Number) {
            j = amountAt(j, &block.b);
            if (kindAt(j) == Kind::Reps)
                ++j;
        }
        takePending(block);
        m_blocks += block;
        return j;
    }

    // "12 reps": one set of that many.
    void repetitionsAlone(const Amount &first) {
        Block block;
        block.reps += repetitions(first.value);
        m_written.doubtful |= first.kilos || !isCount(first.value, 100);
        m_blocks += block;
    }

    // A bare number: the load of the pair just before it ("4x8 80"), or a repetition count of
    // a list ("5/5/3", "10, 8, 6").
    void bareNumber(const Amount &first, qsizetype j) {
        Block *last = m_blocks.isEmpty() ? nullptr : &m_blocks.last();
        const bool listed = kindAt(j) == Kind::ListMark || kindAt(j) == Kind::Number;
        if (last && last->type == Block::Pair && !last->load && !last->c.written &&
            (!m_separated || (m_bracket && !listed)) && !m_pendingLoad) {
            last->load = first.value;
            last->addedLoad = m_written.ballast;
        } else if (last && last->type == Block::List && !last->load && m_separated && !m_bracket &&
                   !(last->reps.isEmpty())) {
            last->reps += repetitions(first.value);
            m_written.doubtful |= !isCount(first.value, 100);
        } else {
            Block block;
            block.reps += repetitions(first.value);
            m_written.doubtful |= !isCount(first.value, 100);
            m_blocks += block;
        }
    }

    // Whether a pair follows at i, past "c/u": then a number before it is its load.
    bool pairAfter(qsizetype i) const {
        while (kindAt(i) == Kind::PerHand)
            ++i;
        return kindAt(i) == Kind::Number && kindAt(i + 1) == Kind::Times;
    }

    // A load: the last block's when it has none, else kept for the blocks to come.
    void addLoad(double kilos, bool added) {
        if (!m_blocks.isEmpty() && !m_blocks.last().load && !m_pendingLoad) {
            m_blocks.last().load = kilos;
            m_blocks.last().addedLoad = added;
        } else if (!m_pendingLoad) {
            m_pendingLoad = kilos;
            m_pendingAdded = added;
        } else {
            m_written.doubtful = true; // two loads for one set
        }
    }

    // The load written before a pair is that pair's.
    void takePending(Block &block) {
        if (m_pendingLoad && !block.c.written) {
            block.load = m_pendingLoad;
            block.addedLoad = m_pendingAdded;
            m_pendingLoad.reset();
        }
    }

    // "al fallo", "max": the sets just read, or the last of them after "la última".
    void markFailure() {
        if (!m_blocks.isEmpty() && !m_separated) {
            m_blocks.last().failure = !m_lastMark;
            m_blocks.last().lastFailure = m_lastMark;
        } else if (!m_blocks.isEmpty() && m_lastMark) {
            m_blocks.last().lastFailure = true;
        } else if (!m_blocks.isEmpty()) {
            m_blocks.last().failure = true;
        } else {
            m_pendingFailure = true;
        }
    }

    // A load no pair took ("con 100 5/5/3") is that of every block without one; with none, the
    // reading is doubtful.
    void placePendingLoad() {
        if (!m_pendingLoad)
            return;
        bool used = false;
        for (Block &block : m_blocks)
            if (!block.load && !block.c.written) {
                block.load = m_pendingLoad;
                block.addedLoad = m_pendingAdded;
                used = true;
            }
        m_written.doubtful |= !used;
    }

    // "al fallo" with no numbers: one set to failure.
    static Block failureAlone() {
        Block block;
        block.type = Block::Pair;
        block.setsFirst = true;
        block.a = {1, false, false, {}, true};
        block.b.failure = block.b.written = true;
        return block;
    }

    const QList<Token> &m_tokens;
    const qsizetype m_n;
    SetsWritten &m_written;
    QVarLengthArray<Block, 8> &m_blocks;
    std::optional<double> m_pendingLoad;
    bool m_pendingAdded = false;
    bool m_pendingFailure = false;
    bool m_lastMark = false; // "la última": "al fallo" marks the last set only
    bool m_loadMark = false; // "con", "a", "@": the next number is a load
    bool m_separated = true; // a list mark or a bracket since the last number
    bool m_bracket = false;  // a bracket since the last number
};

} // namespace

void readSetsWritten(const QList<Token> &tokens, SetsWritten &written) {
    SetGrammar(tokens, written).read();
}

} // namespace internal
} // namespace training

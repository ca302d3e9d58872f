#pragma once

#include <QtGlobal>
#include <functional>

// The clock that stamps every change of the diary, so that two computers that keep the same diary
// agree on which change came last. A hybrid logical clock: a stamp is the wall clock's
// milliseconds times 65536 plus a counter, and never goes backwards. It is never below a stamp
// it has seen, so that a computer whose clock is a day behind still stamps its next change after
// every change it has read from the other.
class HybridClock {
public:
    HybridClock();

    // A new stamp, later than every stamp given or seen so far.
    qint64 tick();
    // A stamp read from elsewhere: the next tick comes after it.
    void observe(qint64 stamp);
    qint64 latest() const { return m_last; }

    // The computer that stamps: a number of its own, the same on every run.
    qint64 node() const { return m_node; }
    void setNode(qint64 node) { m_node = node; }
    // The wall clock in milliseconds since 1970; tests give one of their own.
    void setWallClock(std::function<qint64()> milliseconds) { m_wall = std::move(milliseconds); }

    // While paused, the diary's changes are not stamped: a merge writes the stamps it brings.
    bool isPaused() const { return m_paused; }
    void setPaused(bool paused) { m_paused = paused; }

    // This computer's number, drawn from its machine id (the host name when there is none) and the
    // user's data folder.
    static qint64 thisComputer();

private:
    std::function<qint64()> m_wall;
    qint64 m_last = 0;
    qint64 m_node = 0;
    bool m_paused = false;
};

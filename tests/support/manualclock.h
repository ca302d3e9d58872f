#pragma once

#include "clock.h"

// A clock that stands still until the test moves it.
class ManualClock final : public Clock {
public:
    explicit ManualClock(QDateTime start)
        : m_now(std::move(start)) {}
    QDateTime now() const override { return m_now; }
    void set(QDateTime moment) { m_now = std::move(moment); }
    void advanceSecond() { m_now = m_now.addSecs(1); }

private:
    QDateTime m_now;
};

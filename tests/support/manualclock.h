#pragma once

#include "data/clock.h"

// A clock that stands still at the moment the test gives.
class ManualClock final : public Clock {
public:
    explicit ManualClock(QDateTime moment)
        : m_now(std::move(moment)) {}
    QDateTime now() const override { return m_now; }

private:
    QDateTime m_now;
};

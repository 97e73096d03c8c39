#pragma once

#include "system/Clock.h"

// A clock that stands still until the test moves it.
class ManualClock final : public Clock
{
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 12, 6), QTime(2, 51, 38)))
        : m_now(std::move(start))
    {
    }
    QDateTime now() const override { return m_now; }
    void set(QDateTime when) { m_now = std::move(when); }
    void advanceSeconds(qint64 seconds) { m_now = m_now.addSecs(seconds); }

private:
    QDateTime m_now;
};

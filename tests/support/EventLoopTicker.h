#pragma once

#include <QTimer>

// Counts the ticks of a timer on the calling thread; a test that waits for something compares
// the count with the time taken to show that the event loop kept running meanwhile.
class EventLoopTicker
{
public:
    explicit EventLoopTicker(int intervalMs)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { ++m_ticks; });
        m_timer.start(intervalMs);
    }

    int ticks() const { return m_ticks; }

private:
    QTimer m_timer;
    int m_ticks = 0;
};

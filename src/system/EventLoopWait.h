#pragma once

#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <chrono>

// Sleeps in a local event loop, serving window events, until `done` fires or the time is up;
// true when `done` fired.
template <typename Sender, typename Signal>
bool WaitForSignal(const Sender* sender, Signal done, std::chrono::milliseconds limit)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    bool fired = false;
    QObject::connect(sender, done, &loop, [&] {
        fired = true;
        loop.quit();
    });
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(limit);
    loop.exec();
    return fired;
}

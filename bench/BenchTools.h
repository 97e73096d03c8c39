#pragma once

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <vector>

// The middle value of the runs.
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Sleeps in the event loop for `span`.
inline void pause(std::chrono::milliseconds span)
{
    QEventLoop loop;
    QTimer::singleShot(span, &loop, &QEventLoop::quit);
    loop.exec();
}

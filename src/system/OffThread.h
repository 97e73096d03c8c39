#pragma once

#include <QEventLoop>
#include <QThread>

#include <memory>

// Runs `work` (a blocking call: a DNS exchange, an HTTP request) on a thread of its own and
// waits for it in an event loop, so the program goes on serving its events meanwhile; returns
// what `work` returned. The call must end by itself: its own time limits bound the wait.
template <class Work> auto WaitOffThread(Work work) -> decltype(work())
{
    decltype(work()) result{};
    const std::unique_ptr<QThread> thread(QThread::create([&] { result = work(); }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    // An ending program leaves the loop early; the call still ends within its limits.
    thread->wait();
    return result;
}

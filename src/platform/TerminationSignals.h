#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP, delivered as a Qt signal on the thread that owns this object.
// The handler only writes the signal number into a socket pair; the event loop reads it there,
// so nothing but that write runs inside the handler. One instance at a time; the previous
// dispositions are put back when it goes away.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

signals:
    void Received(int signalNumber);

private:
    void readPending();

    int m_sockets[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};

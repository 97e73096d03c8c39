#pragma once

#include "engine/CheckHost.h"

// Passes a check's output on to the host that shows it until the gate is closed; from then on
// the check, which is being abandoned, shows and records nothing more: lines written while it
// unwinds would tell of failures and transfers that never happened.
class HostGate final : public CheckHost
{
public:
    explicit HostGate(CheckHost& host) : m_host(host) {}

    void Close() { m_open = false; }

    void ClearEvents() override
    {
        if (m_open)
            m_host.ClearEvents();
    }
    void EventMsg(const QString& msg) override
    {
        if (m_open)
            m_host.EventMsg(msg);
    }
    void ShowFtpStats(qint32 errorCount, qint32 uploadCount) override
    {
        if (m_open)
            m_host.ShowFtpStats(errorCount, uploadCount);
    }
    void AddFtpErrorLine(const QString& line) override
    {
        if (m_open)
            m_host.AddFtpErrorLine(line);
    }

private:
    CheckHost& m_host;
    bool m_open = true;
};

#pragma once

#include "engine/PublishTarget.h"

#include <chrono>

class CheckHost;

// A command of the user's ([Hook] Command) run after a check that found a change, and after a
// forced one: split into arguments, started without a shell, with the addresses and the other
// targets' outcomes in its environment (HOSTVANE_IP, HOSTVANE_IP6, HOSTVANE_PREVIOUS_IP,
// HOSTVANE_PREVIOUS_IP6, and HOSTVANE_PAGE, HOSTVANE_DNS, HOSTVANE_DYNDNS: "published",
// "failed" or "off"). It succeeds when the command exits with 0 within 30 seconds; after that
// it is ended with every process it started. What it writes goes to the program's standard
// output and error, and the history quotes its exit status and the last line of its error
// output.
class HookTarget final : public PublishTarget
{
public:
    explicit HookTarget(CheckHost& host, std::chrono::milliseconds timeout = kTimeout)
        : m_host(host), m_timeout(timeout)
    {
    }

    static constexpr std::chrono::seconds kTimeout{30};

    QString Name() const override { return QStringLiteral("hook"); }
    bool Enabled(const Settings& settings) const override;
    Result Publish(const CheckAddresses& addresses, const PublishContext& context) override;

private:
    CheckHost& m_host;
    std::chrono::milliseconds m_timeout;
};

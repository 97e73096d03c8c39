#pragma once

#include "engine/PublishTarget.h"

#include <QDateTime>

class CheckHost;
class Clock;
class ErrorReporter;

// Names kept on the machine's addresses by a dynamic-DNS provider through the dyndns2
// protocol ([DynDns]): one GET of /nic/update with every name and both addresses, answered
// with a word per name. "good" and "nochg" are success; an answer that says the request is
// wrong ("badauth", "notfqdn", "nohost", "numhost", "abuse", "badagent") stops every update
// until the settings change, and is told once; "dnserr" and "911" hold the next try for at
// least 30 minutes. A URL without a scheme is sent over HTTPS; plain HTTP only when the URL
// says "http://", and a redirect is never followed.
class DynDnsTarget final : public PublishTarget
{
public:
    DynDnsTarget(const Clock& clock, CheckHost& host, ErrorReporter& errors)
        : m_clock(clock), m_host(host), m_errors(errors)
    {
    }

    static constexpr qint64 kWaitAfterServerTrouble = 30 * 60;

    QString Name() const override { return QStringLiteral("dyndns"); }
    bool Enabled(const Settings& settings) const override;
    Result Publish(const CheckAddresses& addresses, const PublishContext& context) override;

private:
    // Reads the answer, one line a name; false when it is no success.
    bool judge(const QByteArray& answer, const Settings& settings);

    const Clock& m_clock;
    CheckHost& m_host;
    ErrorReporter& m_errors;
    // The settings an answer stopped the updates for; empty while they go on.
    QString m_stoppedFor;
    QDateTime m_notBefore;
};

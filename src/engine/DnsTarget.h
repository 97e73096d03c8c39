#pragma once

#include "engine/PublishTarget.h"

class CheckHost;

// A DNS name kept on the machine's addresses by RFC 2136 updates signed with TSIG ([Dns]): one
// update per name, replacing the A RRset, and the AAAA RRset when an IPv6 address was found (a
// family not found is left alone). Then the same server is asked for the name without
// recursion, and the update counts only when the answer holds the new addresses.
class DnsTarget final : public PublishTarget
{
public:
    explicit DnsTarget(CheckHost& host) : m_host(host) {}

    QString Name() const override { return QStringLiteral("dns"); }
    bool Enabled(const Settings& settings) const override;
    Result Publish(const CheckAddresses& addresses, const PublishContext& context) override;

private:
    CheckHost& m_host;
};

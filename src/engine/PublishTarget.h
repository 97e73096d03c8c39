#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

struct Settings;

// The addresses a check found; either may be empty, not both.
struct CheckAddresses
{
    QString ip;
    QString ip6;

    bool operator==(const CheckAddresses&) const = default;
    // The addresses there are, IPv4 first.
    QStringList List() const
    {
        QStringList found;
        for (const QString& address : {ip, ip6}) {
            if (!address.isEmpty())
                found << address;
        }
        return found;
    }
};

// What a target is handed beside the addresses.
struct PublishContext
{
    const Settings& settings; // as they were when the check began
    CheckAddresses previous;  // what the previous check found
    bool forced = false;
    // How each target before this one stands after this check: "published" (now, or it held
    // the addresses already), "failed" or "off".
    QHash<QString, QString> states;
};

// Somewhere a check's addresses are published. The check hands them to each target that is on,
// in turn, after the comparison with the previous check; a target writes its own history lines.
class PublishTarget
{
public:
    enum class Result
    {
        Published,
        Failed,
        // There is nowhere to publish yet (the server is not entered): no attempt, no error.
        NotTried,
    };

    virtual ~PublishTarget() = default;
    // A short lower-case name for reports and the hook: "page", "dns", "dyndns", "hook".
    virtual QString Name() const = 0;
    // Whether the settings give the target somewhere to publish.
    virtual bool Enabled(const Settings& settings) const = 0;
    virtual Result Publish(const CheckAddresses& addresses, const PublishContext& context) = 0;
};

// "published", "failed" or "not sent", as reports tell a target's result.
inline QString ResultText(PublishTarget::Result result)
{
    switch (result) {
    case PublishTarget::Result::Published:
        return QStringLiteral("published");
    case PublishTarget::Result::Failed:
        return QStringLiteral("failed");
    case PublishTarget::Result::NotTried:
        break;
    }
    return QStringLiteral("not sent");
}

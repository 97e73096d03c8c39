#pragma once

#include <QString>

struct Settings;

// The addresses a check found; either may be empty, not both.
struct CheckAddresses
{
    QString ip;
    QString ip6;

    bool operator==(const CheckAddresses&) const = default;
};

// Somewhere a check's addresses are published. The check hands them to each target in turn,
// after the comparison with the previous check; a target writes its own history lines.
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
    // A short lower-case name for reports: "page".
    virtual QString Name() const = 0;
    virtual Result Publish(const CheckAddresses& addresses, const Settings& settings) = 0;
};

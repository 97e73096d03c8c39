#pragma once

#include "system/AppVersion.h"
#include "system/RuntimeFormat.h"

#include <QString>

// The program's identity, defined once for every window, message and log entry.
namespace AppIdentity {

inline constexpr int VersionMajor = AppVersion::Major;
inline constexpr int VersionMinor = AppVersion::Minor;
inline constexpr int VersionRevision = AppVersion::Revision;

inline QString Title()
{
    return QStringLiteral("HostVane");
}
// "1.1.3"
inline QString Version()
{
    return QStringLiteral("%1.%2.%3").arg(VersionMajor).arg(VersionMinor).arg(VersionRevision);
}
// The three parts each in the form numbers take in messages, joined: " 1 1 3".
inline QString VersionText()
{
    return NumberText(VersionMajor) + NumberText(VersionMinor) + NumberText(VersionRevision);
}
inline QString Description()
{
    return QStringLiteral("HostVane Internet Redirector");
}
inline QString Copyright()
{
    return QStringLiteral("Copyright (C) 1998-2026 The HostVane developers");
}
inline QString Company()
{
    return QStringLiteral("The HostVane developers");
}
inline QString WebAddress()
{
    return QLatin1String(AppVersion::WebAddress);
}
// The support lines of the About box; the number is one of those kept free for fiction.
inline QString SupportPhone()
{
    return QStringLiteral("Telephone support: +1 202 555 0173");
}
inline QString SupportEmail()
{
    return QStringLiteral("E-mail support: support@hostvane.example.org");
}

} // namespace AppIdentity

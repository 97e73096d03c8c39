#pragma once

#include <QString>

// The program's identity, defined once for every window, message and log entry.
namespace AppIdentity {

inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 1;
inline constexpr int VersionRevision = 3;

inline QString Title()
{
    return QStringLiteral("HostVane");
}
inline QString Version()
{
    return QStringLiteral("1.1.3");
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
    return QStringLiteral("https://hostvane.example.org/");
}

} // namespace AppIdentity

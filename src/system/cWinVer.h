#pragma once

// The platform family the program runs on. Everything that differs between the two families
// (address script, default adapter identity, service support, where errors are reported)
// hangs on this one value.
class cWinVer
{
public:
    enum Platform
    {
        Win32s = 0,
        Windows95 = 1,
        WindowsNT = 2
    };

    // Asks the system once. Linux has services and a system log, so it takes the NT paths.
    cWinVer();
    // A given platform id, so the other family's paths can be exercised.
    explicit cWinVer(int platformId);

    int WinverPlatform() const { return m_platformId; }

private:
    int m_platformId;
};

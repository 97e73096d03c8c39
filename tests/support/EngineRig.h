#pragma once

#include "support/RecordingHost.h"

#include "components/Inet.h"
#include "engine/UpdateEngine.h"
#include "settings/Settings.h"
#include "support/ManualClock.h"
#include "support/ScriptedPrompt.h"
#include "support/TempWorld.h"
#include "system/cWinVer.h"

// The whole engine wired to a recording window, in a private world with a hand-set clock.
// The address script's settle time is cut to nothing so checks run at full speed.
struct EngineRig
{
    explicit EngineRig(int platformId = cWinVer::WindowsNT,
                       EngineTimeouts timeouts = {.settleSeconds = 0})
        : platform(platformId), engine(ftp1, clock, prompt, host, platform, settings, timeouts)
    {
        settings.sAdapterIdentity = QStringLiteral("NdisWan");
        settings.sTargetdir = QStringLiteral("/");
        settings.ProcessingEnabled = true;
        settings.lUpdateFrequency = 5;
    }

    TempWorld world;
    ManualClock clock;
    cWinVer platform;
    ScriptedPrompt prompt;
    RecordingHost host;
    Settings settings;
    Inet ftp1;
    UpdateEngine engine;
    // Short names for the parts tests drive most.
    ErrorReporter& errors = engine.errors;
    AddressDiscovery& discovery = engine.discovery;
    PageGenerator& pages = engine.pages;
    FtpDriver& driver = engine.driver;
    PublishSequence& publish = engine.publish;
    UpdateCheck& check = engine.check;
};

// A listing in the shape the shipped scripts write, with a dial-up section holding `address`
// and, unless it is empty, `ipv6`.
inline QByteArray DialUpListing(const QByteArray& address, const QByteArray& ipv6 = {})
{
    return "HostVane IP Configuration\n\nEthernet adapter eth0:\n\n"
           "        IP Address. . . . . . . . . : 192.168.1.20\n"
           "        IPv6 Address. . . . . . . . : 2001:db8:2::20\n\n"
           "NdisWan adapter ppp0 (PPP Adapter):\n\n"
           "        IP Address. . . . . . . . . : " +
           address + "\n" +
           (ipv6.isEmpty() ? QByteArray() : "        IPv6 Address. . . . . . . . : " + ipv6 + "\n");
}

#pragma once

#include "support/RecordingHost.h"

#include "components/Inet.h"
#include "engine/AddressDiscovery.h"
#include "engine/ErrorReporter.h"
#include "engine/FtpDriver.h"
#include "engine/PageGenerator.h"
#include "engine/PublishSequence.h"
#include "engine/UpdateCheck.h"
#include "settings/Settings.h"
#include "support/ManualClock.h"
#include "support/ScriptedPrompt.h"
#include "support/TempWorld.h"
#include "system/cWinVer.h"

// The whole engine wired to a recording window, in a private world with a hand-set clock.
// The address script's settle time is cut to nothing so checks run at full speed.
struct EngineRig
{
    explicit EngineRig(int platformId = cWinVer::WindowsNT) : platform(platformId)
    {
        discovery.setSettleSeconds(0);
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
    ErrorReporter errors{platform, prompt};
    Inet ftp1;
    AddressDiscovery discovery{platform, host, errors};
    PageGenerator pages{host, errors};
    FtpDriver driver{ftp1, host};
    PublishSequence publish{ftp1, driver, pages, host};
    UpdateCheck check{clock, settings, host, discovery, publish};
};

// A listing in the shape the shipped scripts write, with a dial-up section holding `address`.
inline QByteArray DialUpListing(const QByteArray& address)
{
    return "HostVane IP Configuration\n\nEthernet adapter eth0:\n\n"
           "        IP Address. . . . . . . . . : 192.168.1.20\n\n"
           "NdisWan adapter ppp0 (PPP Adapter):\n\n"
           "        IP Address. . . . . . . . . : " +
           address + "\n";
}

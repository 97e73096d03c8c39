#include "engine/UpdateEngine.h"

#include "system/ShellSuprt.h"

UpdateEngine::UpdateEngine(const Clock& clock, Prompt& prompt, CheckHost& host,
                           const cWinVer& platform, const Settings& settings,
                           EngineTimeouts timeouts)
    : errors(platform, prompt), discovery(platform, host, errors), pages(host, errors),
      driver(ftp1, host), publish(ftp1, driver, pages, host, timeouts.requestSeconds),
      check(clock, settings, host, discovery, publish)
{
    discovery.setSettleSeconds(timeouts.settleSeconds);
}

void UpdateEngine::AbandonCheck()
{
    errors.Silence();
    ShellSuprt::EndRunningCommand();
    ftp1.Abandon();
}

#include "engine/UpdateEngine.h"

#include "components/FileTransfer.h"

UpdateEngine::UpdateEngine(FileTransfer& transfer, const Clock& clock, Prompt& prompt,
                           CheckHost& host, const cWinVer& platform, const Settings& settings,
                           EngineTimeouts timeouts, ScriptRunner& scripts)
    : m_host(host), m_scripts(scripts), m_gate(host), ftp1(transfer),
      errors(platform, prompt, m_gate), discovery(platform, m_gate, errors, scripts),
      pages(m_gate, errors), driver(ftp1, m_gate),
      publish(ftp1, driver, pages, m_gate, timeouts.requestSeconds), dns(m_gate),
      dyndns(clock, m_gate, errors), hook(m_gate),
      // The publish targets, in the order the check hands them its addresses; the hook last,
      // to be told how the others did.
      check(clock, settings, m_gate, discovery, {&publish, &dns, &dyndns, &hook})
{
    discovery.setSettleSeconds(timeouts.settleSeconds);
}

void UpdateEngine::AbandonCheck()
{
    if (check.Checking())
        m_host.EventMsg(QStringLiteral("Check abandoned: the program is ending"));
    m_gate.Close();
    errors.Silence();
    m_scripts.EndRunning();
    ftp1.Abandon();
}

#pragma once

#include "engine/AddressDiscovery.h"
#include "engine/DnsTarget.h"
#include "engine/DynDnsTarget.h"
#include "engine/ErrorReporter.h"
#include "engine/FtpDriver.h"
#include "engine/HookTarget.h"
#include "engine/HostGate.h"
#include "engine/PageGenerator.h"
#include "engine/PublishSequence.h"
#include "engine/UpdateCheck.h"
#include "system/ShellSuprt.h"

class CheckHost;
class Clock;
class FileTransfer;
class Prompt;
class cWinVer;
struct Settings;

// How long the engine waits for the world outside.
struct EngineTimeouts
{
    // The address script's results are given this long to settle after it ends.
    qint16 settleSeconds = 2;
    // Any wait for the FTP server: a connect, a reply or a stalled transfer.
    qint16 requestSeconds = 10;
};

// One check-and-publish engine, wired once: error reporting, address discovery, page
// generation, the FTP driver, the publish targets (the page, a DNS name by RFC 2136, names at
// a dyndns2 provider, the user's hook) and the check. Whoever runs the checks (the
// program controller, a test) supplies the file transfer and the host, and owns the settings.
class UpdateEngine
{
public:
    UpdateEngine(FileTransfer& transfer, const Clock& clock, Prompt& prompt, CheckHost& host,
                 const cWinVer& platform, const Settings& settings, EngineTimeouts timeouts = {},
                 ScriptRunner& scripts = ScriptRunner::System());
    UpdateEngine(const UpdateEngine&) = delete;
    UpdateEngine& operator=(const UpdateEngine&) = delete;

    // For a program that is ending: the running check's script is ended with all it started,
    // the FTP operation in flight is aborted, and the check records that it was abandoned and
    // nothing more, so the event loops it waits in return at once.
    void AbandonCheck();

    // One check; the caller runs one at a time (see UpdateCheck::Process).
    CheckOutcome Check(bool Force) { return check.Process(Force); }

private:
    CheckHost& m_host;
    ScriptRunner& m_scripts;
    HostGate m_gate;

public:
    FileTransfer& ftp1;
    ErrorReporter errors;
    AddressDiscovery discovery;
    PageGenerator pages;
    FtpDriver driver;
    PublishSequence publish;
    DnsTarget dns;
    DynDnsTarget dyndns;
    HookTarget hook;
    UpdateCheck check;
};

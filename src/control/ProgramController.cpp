#include "control/ProgramController.h"

#include "control/ProgramView.h"
#include "platform/TerminationSignals.h"
#include "settings/SettingsStore.h"
#include "system/AppIdentity.h"
#include "system/Clock.h"
#include "system/Prompt.h"
#include "system/RuntimeFormat.h"

#include <cstdio>

ProgramController::ProgramController(const Clock& clock, Prompt& prompt, CommandRunner& runner,
                                     int platformId, EngineTimeouts timeouts)
    : m_clock(clock), m_prompt(prompt), m_runner(runner), m_platform(platformId),
      m_engine(m_transfer, clock, prompt, *this, m_platform, m_settings, timeouts)
{
    timSeconds.setInterval(1000);
    connect(&timSeconds, &QTimer::timeout, this, &ProgramController::timSeconds_Timer);
    connect(&m_instance, &InstanceGuard::ShowRequested, this,
            [this](const QByteArray& activationToken) { m_view->RaiseWindow(activationToken); });
    connect(&m_instance, &InstanceGuard::CheckRequested, this, [this] { Process(true); });
    connect(&NTService1, &NTService::Start, this, &ProgramController::NTService1_Start);
    connect(&NTService1, &NTService::Stop, this, &ProgramController::NTService1_Stop);
    m_engine.errors.setServiceLog(&NTService1);
}

ProgramController::~ProgramController() = default;

void ProgramController::setView(ProgramView& view)
{
    m_view = &view;
    m_notifier = std::make_unique<PublishNotifier>(view);
}

void ProgramController::LoadSettings()
{
    const SettingsStore store;
    if (!store.readable())
        m_prompt.Show(AppIdentity::Title(),
                      QStringLiteral("Cannot read the settings file %1; the defaults are used.")
                          .arg(store.fileName()),
                      Prompt::Buttons::Ok);
    m_settings = SettingsKeys::Load(store, m_platform.WinverPlatform());
    SetEnabled(m_settings.ProcessingEnabled);
}

// Every check starts here, one at a time. While one runs or the settings are being saved, a
// forced check (a command, another start, a trusted host key) waits and runs right after it; a
// scheduled one is dropped, since the check that runs sets the schedule again when it ends.
// The check's own waits therefore never start a second one.
void ProgramController::Process(bool Force)
{
    if (m_ending || (!Force && !m_settings.ProcessingEnabled))
        return;
    if (m_activity != Activity::Idle) {
        m_checkAsked = m_checkAsked || Force;
        return;
    }
    m_activity = Activity::Checking;
    const QString caption = m_view->Caption();
    m_view->SetCaption(QStringLiteral("HostVane-Checking"));
    m_view->ControlsEnable(false);
    const CheckOutcome outcome = m_engine.Check(Force);
    m_activity = Activity::Idle;
    if (m_ending)
        return;
    m_lastOutcome = outcome;
    m_view->ControlsEnable(true);
    LoadTimer();
    m_view->SetCaption(caption);
    showAddresses(outcome.found);
    reportCheckToService();
    m_hostKeys.CheckFinished(m_transfer, bServiceMode,
                             [this] { QTimer::singleShot(0, this, [this] { Process(true); }); });
    m_notifier->CheckFinished(outcome.publishTried(), outcome.published(), m_view->Unseen(),
                              bServiceMode);
    runAskedCheck();
}

void ProgramController::runAskedCheck()
{
    if (!m_checkAsked)
        return;
    m_checkAsked = false;
    QTimer::singleShot(0, this, [this] { Process(true); });
}

void ProgramController::showAddresses(const CheckAddresses& found)
{
    m_view->ShowAddressPanel(
        QStringLiteral("Current IP address: ") + found.ip,
        found.ip6.isEmpty() ? QString() : QStringLiteral("Current IPv6 address: ") + found.ip6);
}

void ProgramController::LogError(const QString& msg)
{
    m_engine.errors.LogError(msg);
}

void ProgramController::SetEnabled(bool TrueFalse)
{
    m_settings.ProcessingEnabled = TrueFalse;
    m_view->ShowAutoUpdate(TrueFalse);
}

void ProgramController::timSeconds_Timer()
{
    const Scheduler::Tick tick = m_scheduler.NextTick(m_clock.now());
    if (tick.showTime)
        ShowTime();
    if (tick.assertTray)
        m_view->EnableTrayIcon(true);
    if (tick.checkDue)
        runScheduledCheck();
    ShowWaitTime();
}

void ProgramController::runScheduledCheck()
{
    Process(false);
}

void ProgramController::HoldChecks(bool TrueFalse)
{
    m_activity = TrueFalse ? Activity::Saving : Activity::Idle;
    if (!TrueFalse)
        runAskedCheck();
}

void ProgramController::ShowTime()
{
    m_view->ShowTime(FormatDate(m_clock.now(), kPanelTimePattern));
}

void ProgramController::ShowWaitTime()
{
    m_view->ShowWaitTime(m_scheduler.WaitText(m_settings.ProcessingEnabled));
}

void ProgramController::ClearEvents()
{
    m_view->ClearEvents();
}

void ProgramController::EventMsg(const QString& msg)
{
    const QString line = CutHistoryLine(msg);
    m_view->ShowEvent(line);
    writeStamped(line);
}

void ProgramController::writeStamped(const QString& line) const
{
    std::fprintf(stderr, "%s\n", StampedLine(m_clock.now(), line).toLocal8Bit().constData());
    std::fflush(stderr);
}

void ProgramController::LoadTimer()
{
    m_scheduler.LoadTimer(m_clock.now(), m_settings.lUpdateFrequency);
    ShowWaitTime();
}

void ProgramController::ShowFtpStats(qint32 errorCount, qint32 uploadCount)
{
    m_view->ShowFtpStats(errorCount, uploadCount);
}

void ProgramController::AddFtpErrorLine(const QString& line)
{
    m_view->ShowFtpError(line);
    writeStamped(line);
}

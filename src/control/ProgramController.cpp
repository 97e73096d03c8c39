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
      m_engine(clock, prompt, *this, m_platform, m_settings, timeouts)
{
    timSeconds.setInterval(1000);
    connect(&timSeconds, &QTimer::timeout, this, &ProgramController::timSeconds_Timer);
    connect(&m_instance, &InstanceGuard::ShowRequested, this,
            [this](const QByteArray& activationToken) { m_view->RaiseWindow(activationToken); });
    connect(&m_instance, &InstanceGuard::CheckRequested, this, &ProgramController::checkRequested);
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

// What follows a check is told only after one ran: a due tick with automatic checking off runs
// none.
void ProgramController::Process(bool Force)
{
    if (!m_engine.check.Process(Force))
        return;
    // A request from another start that came during the check runs after it, not inside it.
    if (m_checkAsked && !m_checksHeld) {
        m_checkAsked = false;
        QTimer::singleShot(0, this, [this] { checkRequested(); });
    }
    reportCheckToService();
    m_hostKeys.CheckFinished(m_engine.ftp1, bServiceMode,
                             [this] { QTimer::singleShot(0, this, [this] { Process(true); }); });
    const CheckOutcome& outcome = m_engine.check.LastOutcome();
    m_notifier->CheckFinished(outcome.publishTried, outcome.published, m_view->Unseen(),
                              bServiceMode);
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

// A check the schedule starts runs with the timer off, so that no tick comes during it.
void ProgramController::runScheduledCheck()
{
    if (m_checksHeld)
        return;
    const bool ticking = timSeconds.isActive();
    timSeconds.stop();
    Process(false);
    if (ticking)
        timSeconds.start();
}

void ProgramController::HoldChecks(bool TrueFalse)
{
    m_checksHeld = TrueFalse;
    if (!TrueFalse && m_checkAsked) {
        m_checkAsked = false;
        Process(true);
    }
}

// Another start asked for a check, as File > Update now does; one asked for while a check
// runs or the settings are edited runs when that ends.
void ProgramController::checkRequested()
{
    if (m_checksHeld || m_engine.check.Checking())
        m_checkAsked = true;
    else
        Process(true);
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

void ProgramController::ShowAddressPanel(const QString& text, const QString& ipv6Text)
{
    m_view->ShowAddressPanel(text, ipv6Text);
}

void ProgramController::ControlsEnable(bool TrueFalse)
{
    m_view->ControlsEnable(TrueFalse);
}

void ProgramController::LoadTimer()
{
    m_scheduler.LoadTimer(m_clock.now(), m_settings.lUpdateFrequency);
    ShowWaitTime();
}

QString ProgramController::Caption() const
{
    return m_view->Caption();
}

void ProgramController::SetCaption(const QString& caption)
{
    m_view->SetCaption(caption);
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

#include "control/ProgramParts.h"

#include "control/ProgramView.h"
#include "system/Clock.h"
#include "system/RuntimeFormat.h"

#include <algorithm>

namespace {
// Without a clock on show the timer sleeps until the next check, but wakes at least this often:
// a clock set forward, or a resume from suspend, is noticed within a minute.
constexpr qint64 kLongestSleepMs = 60 * 1000;
} // namespace

ProgramController::ProgramController(const Clock& clock, Prompt& prompt, CommandRunner& runner,
                                     int platformId)
    : ProgramController(clock, prompt, runner, platformId, EngineTimeouts{})
{
}

ProgramController::ProgramController(const Clock& clock, Prompt& prompt, CommandRunner& runner,
                                     int platformId, const EngineTimeouts& timeouts)
    : m_clock(clock), m_prompt(prompt), m_runner(runner),
      m_parts(std::make_unique<Parts>(*this, clock, prompt, runner, platformId, timeouts))
{
    Parts& p = *m_parts;
    p.timSeconds.setInterval(1000);
    connect(&p.timSeconds, &QTimer::timeout, this, &ProgramController::timSeconds_Timer);
    connect(&p.instance, &InstanceGuard::ShowRequested, this,
            [this](const QByteArray& activationToken) { m_view->RaiseWindow(activationToken); });
    connect(&p.instance, &InstanceGuard::CheckRequested, this, [this] { Process(true); });
    p.instance.setStatusSource([this] { return StatusReport(); });
    connect(&p.NTService1, &NTService::Start, this, &ProgramController::NTService1_Start);
    connect(&p.NTService1, &NTService::Stop, this, &ProgramController::NTService1_Stop);
    p.engine.errors.setServiceLog(&p.NTService1);
    if (const QString path = qEnvironmentVariable("HOSTVANE_EVENT_LOG"); !path.isEmpty())
        setEventLog(&p.fileLog.emplace(path));
}

ProgramController::~ProgramController() = default;

void ProgramController::setView(ProgramView& view)
{
    m_view = &view;
    m_parts->history.setView(view);
    m_parts->notifier = std::make_unique<PublishNotifier>(view);
}

void ProgramController::setEventLog(ServiceEventLog* log)
{
    m_parts->NTService1.setEventLog(log);
}

// Every check starts here, one at a time. While one runs or the settings are being saved, a
// forced check (a command, another start, a trusted host key) waits and runs right after it; a
// scheduled one is dropped, since the check that runs sets the schedule again when it ends.
// The check's own waits therefore never start a second one.
void ProgramController::Process(bool Force)
{
    Parts& p = *m_parts;
    if (p.ending || (!Force && !p.settings.ProcessingEnabled))
        return;
    if (p.activity != Parts::Activity::Idle) {
        p.checkAsked = p.checkAsked || Force;
        return;
    }
    p.activity = Parts::Activity::Checking;
    const QString caption = m_view->Caption();
    m_view->SetCaption(QStringLiteral("HostVane-Checking"));
    m_view->ControlsEnable(false);
    const CheckOutcome outcome = p.engine.Check(Force);
    p.activity = Parts::Activity::Idle;
    if (p.ending)
        return;
    p.lastOutcome = outcome;
    m_view->ControlsEnable(true);
    LoadTimer();
    m_view->SetCaption(caption);
    showAddresses(outcome.found.ip, outcome.found.ip6);
    reportCheckToService();
    p.hostKeys.CheckFinished(p.transfer, p.bServiceMode,
                             [this] { QTimer::singleShot(0, this, [this] { Process(true); }); });
    p.notifier->CheckFinished(outcome.publishTried(), outcome.published(), m_view->Unseen(),
                              p.bServiceMode);
    runAskedCheck();
}

void ProgramController::runAskedCheck()
{
    if (!m_parts->checkAsked)
        return;
    m_parts->checkAsked = false;
    QTimer::singleShot(0, this, [this] { Process(true); });
}

void ProgramController::showAddresses(const QString& ip, const QString& ip6)
{
    m_view->ShowAddressPanel(QStringLiteral("Current IP address: ") + ip,
                             ip6.isEmpty() ? QString()
                                           : QStringLiteral("Current IPv6 address: ") + ip6);
}

void ProgramController::LogError(const QString& msg)
{
    m_parts->engine.errors.LogError(msg);
}

void ProgramController::SetEnabled(bool TrueFalse)
{
    m_parts->settings.ProcessingEnabled = TrueFalse;
    m_view->ShowAutoUpdate(TrueFalse);
    sleepUntilNextCheck();
}

void ProgramController::startTimer()
{
    Parts& p = *m_parts;
    p.timSeconds.setSingleShot(!m_view->ShowsClock());
    if (p.timSeconds.isSingleShot())
        sleepUntilNextCheck();
    else
        p.timSeconds.start();
}

// A running check sets the next one when it ends. A timer that ticks every second for the
// clock on show needs nothing of this.
void ProgramController::sleepUntilNextCheck()
{
    Parts& p = *m_parts;
    if (!p.timSeconds.isSingleShot())
        return;
    if (p.ending || !p.settings.ProcessingEnabled || p.activity != Parts::Activity::Idle) {
        p.timSeconds.stop();
        return;
    }
    const qint64 wait =
        std::clamp(m_clock.now().msecsTo(p.scheduler.dNextUpdate), qint64(0), kLongestSleepMs);
    p.timSeconds.start(static_cast<int>(wait));
}

void ProgramController::timSeconds_Timer()
{
    const Scheduler::Tick tick = m_parts->scheduler.NextTick(m_clock.now());
    if (tick.showTime)
        ShowTime();
    if (tick.assertTray)
        m_view->EnableTrayIcon(true);
    if (tick.checkDue)
        runScheduledCheck();
    ShowWaitTime();
    if (!m_parts->timSeconds.isActive())
        sleepUntilNextCheck();
}

bool ProgramController::Ticking() const
{
    return m_parts->timSeconds.isActive();
}

void ProgramController::runScheduledCheck()
{
    Process(false);
}

void ProgramController::ShowTime()
{
    m_view->ShowTime(FormatDate(m_clock.now(), kPanelTimePattern));
}

void ProgramController::ShowWaitTime()
{
    m_view->ShowWaitTime(m_parts->scheduler.WaitText(m_parts->settings.ProcessingEnabled));
}

void ProgramController::LoadTimer()
{
    m_parts->scheduler.LoadTimer(m_clock.now(), m_parts->settings.lUpdateFrequency);
    ShowWaitTime();
    sleepUntilNextCheck();
}

// The program's start-up and shutdown: one instance per user, the service connection, the
// close questions and the end of the program.
#include "control/ProgramParts.h"

#include "control/ProgramView.h"
#include "system/AppIdentity.h"
#include "system/Clock.h"
#include "system/Prompt.h"
#include "system/RuntimeFormat.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

bool ProgramController::Form_Load()
{
    m_view->StartupBegins();
    SetEnabled(false);
    const QString caption = m_view->Caption();

    switch (m_parts->instance.Claim()) {
    case InstanceGuard::ClaimResult::First:
        break;
    case InstanceGuard::ClaimResult::OtherRunning:
        refuseSecondStart();
        m_view->SetCaption(QStringLiteral("nfg"));
        m_view->StartupEnds();
        return false;
    case InstanceGuard::ClaimResult::Failed:
        m_prompt.Show(caption,
                      QStringLiteral("Cannot make sure that HostVane runs only once: %1.")
                          .arg(m_parts->instance.FailureText()),
                      Prompt::Buttons::Ok);
        m_parts->exitStatus = 1;
        m_view->StartupEnds();
        return false;
    }
    m_parts->instance.setService(NTService::StartedAsService());
    m_parts->terminationSignals = std::make_unique<TerminationSignals>();
    connect(m_parts->terminationSignals.get(), &TerminationSignals::Received, this,
            &ProgramController::onTerminationSignal);

    LoadSettings();
    if (m_parts->platform.WinverPlatform() == cWinVer::WindowsNT)
        connectService();

    m_view->ShowMain(m_parts->settings.StartMinimized);
    m_view->EnableTrayIcon(true);

    m_parts->scheduler.dNextUpdate = m_clock.now();
    ShowWaitTime();
    m_view->ShowStarted(FormatDate(m_clock.now(), kStartedPattern));
    m_parts->engine.driver.ResetStats();
    m_view->ControlsEnable(true);
    SetEnabled(m_parts->settings.ProcessingEnabled);
    startTimer();
    m_view->StartupEnds();
    m_parts->NTService1.ReportReady();
    return true;
}

// The service beside a desktop copy ends at once and for good, raising nothing; a desktop
// copy beside the service says how to reach the window; beside another desktop copy it brings
// that one's window to the front.
void ProgramController::refuseSecondStart()
{
    if (NTService::StartedAsService()) {
        const QString why =
            QStringLiteral("HostVane already runs on the desktop; the service ends. Quit the "
                           "desktop copy, then start the service again.");
        std::fprintf(stderr, "HostVane: %s\n", why.toLocal8Bit().constData());
        m_parts->NTService1.ReportRefusal(why);
        m_parts->exitStatus = NTService::kExitAnotherCopyRuns;
    } else if (m_parts->instance.OtherIsService()) {
        m_prompt.Show(AppIdentity::Title(),
                      QStringLiteral("HostVane runs as a service, which has no window. To work "
                                     "with the window, stop the service first:\n"
                                     "systemctl --user stop hostvane"),
                      Prompt::Buttons::Ok);
    } else {
        m_prompt.Show(m_view->Caption(), QStringLiteral("This program is already running."),
                      Prompt::Buttons::Ok);
        m_parts->instance.RaiseOther();
    }
}

void ProgramController::connectService()
{
    m_parts->NTService1.Interactive = false;
    m_parts->NTService1.DisplayName = AppIdentity::Description();
    m_parts->NTService1.NotifyManager = true;
    m_parts->NTService1.StartMode = NTService::Automatic;
    m_parts->NTService1.Connect();
}

void ProgramController::Form_QueryUnload(qint16& Cancel, qint16 UnloadMode)
{
    Cancel = 0;
    if (UnloadMode != FormControlMenu && UnloadMode != FormCode)
        return;
    if (m_parts->bServiceMode) {
        m_prompt.Show(AppIdentity::Title(),
                      QStringLiteral("You must stop this service via the Service Control Manager"),
                      Prompt::Buttons::Ok);
        Cancel = 1;
        return;
    }
    if (m_prompt.Show(AppIdentity::Title(), QStringLiteral("Really want to quit?"),
                      Prompt::Buttons::OkCancel) != Prompt::Answer::Ok)
        Cancel = 1;
}

void ProgramController::Form_Unload(qint16& Cancel)
{
    m_view->QuitHelp();
    m_view->EnableTrayIcon(false);
    if (m_parts->platform.WinverPlatform() == cWinVer::WindowsNT && m_parts->bServiceMode) {
        if (m_parts->bServiceRunning)
            Cancel = 1;
        else
            m_parts->NTService1.Disconnect();
    }
}

void ProgramController::RequestUnload(qint16 UnloadMode)
{
    if (Unload(UnloadMode))
        m_view->HideWindow();
}

bool ProgramController::Unload(qint16 UnloadMode)
{
    qint16 Cancel = 0;
    Form_QueryUnload(Cancel, UnloadMode);
    if (Cancel == 0)
        Form_Unload(Cancel);
    if (Cancel != 0)
        return false;
    // A check waits in event loops of its own; ending them all lets it unwind at once, with
    // its script and its transfer already stopped, and the program then ends with status 0.
    // Without a running loop there is nothing to end, and the request would instead end the
    // next loop at once.
    m_parts->timSeconds.stop();
    m_parts->ending = true;
    m_parts->engine.AbandonCheck();
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
    return true;
}

// systemd stops the service with SIGTERM: the service reports its stop first. Any other run
// treats the three signals as the task manager closing the program.
void ProgramController::onTerminationSignal()
{
    m_parts->NTService1.RaiseStop();
    RequestUnload(AppTaskManager);
}

int ProgramController::ExitStatus() const
{
    return m_parts->exitStatus;
}

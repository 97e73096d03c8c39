// The main window's start-up and shutdown: one instance per user, the splash card, the service
// connection, the close questions and the end of the program.
#include "ui/frmHostVane.h"

#include "system/AppIdentity.h"
#include "system/Clock.h"
#include "system/Prompt.h"
#include "system/RuntimeFormat.h"
#include "system/TerminationSignals.h"
#include "ui/frmSplash.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QThread>

bool frmHostVane::Form_Load()
{
    InitHelp();
    SetEnabled(false);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_splash = new frmSplash(m_clock);
    m_splash->show();
    m_splash->repaint();
    const QString caption = windowTitle();

    if (!m_instance.Claim()) {
        m_prompt.Show(caption, QStringLiteral("This program is already running."),
                      Prompt::Buttons::Ok);
        SetCaption(QStringLiteral("nfg"));
        m_instance.RaiseOther();
        QGuiApplication::restoreOverrideCursor();
        return false;
    }
    m_signals = std::make_unique<TerminationSignals>();
    connect(m_signals.get(), &TerminationSignals::Received, this,
            &frmHostVane::onTerminationSignal);

    LoadSettings();
    if (m_platform.WinverPlatform() == cWinVer::WindowsNT)
        connectService();
    else
        InitHelp();

    setFixedSize(sizeHint());
    if (m_settings.StartMinimized)
        hide();
    else
        showNormal();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 2);
    }
    EnableTrayIcon(true);

    m_scheduler.dNextUpdate = m_clock.now();
    ShowWaitTime();
    txStarted->setText(FormatDate(m_clock.now(), kStartedPattern));
    m_engine.driver.ResetStats();
    ControlsEnable(true);
    SetEnabled(m_settings.ProcessingEnabled);
    timSeconds.start();
    QGuiApplication::restoreOverrideCursor();
    NTService1.ReportReady();
    return true;
}

void frmHostVane::connectService()
{
    NTService1.ControlsAccepted = 0;
    NTService1.Interactive = false;
    NTService1.DisplayName = AppIdentity::Description();
    NTService1.NotifyManager = true;
    NTService1.ServiceName = QStringLiteral("Hostvane");
    NTService1.StartMode = NTService::Automatic;
    NTService1.Connect();
}

void frmHostVane::Form_QueryUnload(qint16& Cancel, qint16 UnloadMode)
{
    Cancel = 0;
    if (UnloadMode != FormControlMenu && UnloadMode != FormCode)
        return;
    if (bServiceMode) {
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

void frmHostVane::Form_Unload(qint16& Cancel)
{
    QuitHelp();
    EnableTrayIcon(false);
    if (m_platform.WinverPlatform() == cWinVer::WindowsNT && bServiceMode) {
        if (bServiceRunning)
            Cancel = 1;
        else
            NTService1.Disconnect();
    }
}

void frmHostVane::Form_Resize()
{
    // Queued: showMinimized() shows the window again right after the state has changed.
    if (isMinimized() && bServiceMode)
        QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
}

void frmHostVane::RequestUnload(qint16 UnloadMode)
{
    if (unload(UnloadMode))
        hide();
}

void frmHostVane::mnuExit_Click()
{
    RequestUnload(FormCode);
}

void frmHostVane::closeEvent(QCloseEvent* event)
{
    if (unload(FormControlMenu))
        event->accept();
    else
        event->ignore();
}

bool frmHostVane::unload(qint16 UnloadMode)
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
    timSeconds.stop();
    m_engine.AbandonCheck();
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
    return true;
}

void frmHostVane::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

// systemd stops the service with SIGTERM: the service reports its stop first. Any other run
// treats the three signals as the task manager closing the program.
void frmHostVane::onTerminationSignal()
{
    NTService1.RaiseStop();
    RequestUnload(AppTaskManager);
}

void frmHostVane::showForOtherStart()
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

// The main window's part in start-up and shutdown: the splash card, showing and raising the
// window, and closing it, which the controller decides.
#include "ui/frmHostVane.h"

#include "control/ProgramController.h"
#include "ui/CenterOnScreen.h"
#include "ui/WindowSize.h"
#include "ui/frmSplash.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QSystemTrayIcon>

bool frmHostVane::Form_Load()
{
    return m_controller.Form_Load();
}

void frmHostVane::StartupBegins()
{
    InitHelp();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_splash = new frmSplash(m_clock);
    m_splash->show();
    m_splash->repaint();
}

void frmHostVane::StartupEnds()
{
    QGuiApplication::restoreOverrideCursor();
}

void frmHostVane::ShowMain(bool StartMinimized)
{
    KeepWindowSize(*this, sizeHint());
    // Without a notification area a hidden window could not be reached: it starts on the
    // taskbar instead.
    if (StartMinimized && QSystemTrayIcon::isSystemTrayAvailable())
        hide();
    else if (StartMinimized)
        showMinimized();
    else
        showNormal();
    CenterOnScreen(*this);
    if (m_splash && isVisible())
        m_splash->StayAbove(*this);
}

void frmHostVane::RaiseWindow(const QByteArray& activationToken)
{
    // On Wayland only a token the desktop issued lets a program take the focus; Qt hands the
    // one in this variable to the compositor when the window asks to be activated.
    if (!activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void frmHostVane::HideWindow()
{
    hide();
}

// Wayland never tells a client that it is minimized: there a window that is not the active
// one counts as unseen.
bool frmHostVane::Unseen() const
{
    static const bool wayland =
        QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return !isVisible() || isMinimized() || (wayland && !isActiveWindow());
}

void frmHostVane::Form_Resize()
{
    // A service's window is never on the taskbar. Queued: showMinimized() shows the window
    // again right after the state has changed.
    if (isMinimized() && m_controller.ServiceMode())
        QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
}

void frmHostVane::mnuExit_Click()
{
    m_controller.RequestUnload(ProgramController::FormCode);
}

void frmHostVane::closeEvent(QCloseEvent* event)
{
    if (m_controller.Unload(ProgramController::FormControlMenu))
        event->accept();
    else
        event->ignore();
}

void frmHostVane::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

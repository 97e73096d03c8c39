#include "components/NTService.h"
#include "control/ProgramController.h"
#include "control/ProgramStart.h"
#include "platform/SecretStore.h"
#include "platform/ServiceManager.h"
#include "platform/SiblingProgram.h"
#include "system/AppIdentity.h"
#include "system/Clock.h"
#include "system/ProcessRunner.h"
#include "ui/AppIcon.h"
#include "ui/DisplayPlatform.h"
#include "ui/MessageBoxPrompt.h"
#include "ui/frmHostVane.h"

#include <QApplication>

#include <cstdio>

namespace {

// A keyring that asks its owner to unlock it goes on asking after this; what it is then given
// lands in it, while the settings file keeps the password meanwhile.
constexpr std::chrono::seconds kKeyringBound(5);

QtMessageHandler g_qtHandler = nullptr;
bool g_headless = false;

// A fatal message (no platform plugin could be loaded, say) also goes to the system log, where
// a start from the desktop's menu, which has no terminal, can be looked up. Without a screen,
// standard error (a terminal's or a service's journal) holds the program's own lines: Qt's
// remarks about the headless platform (no tray, no raising of windows) are not among them.
void qtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        ServiceManager::WriteSystemLog(AppIdentity::Title(), true, message);
    } else if (!g_headless) {
        g_qtHandler(type, context, message);
    }
}

// Units installed before the service had a program of its own start this one with
// HOSTVANE_SERVICE=1: it hands over to the service program, which loads no window library.
// Should that program be missing, this one runs the service as it always did.
void handOverToService(char** argv)
{
    const std::string failure = SiblingProgram::Exec("hostvane-service", argv);
    std::fprintf(stderr,
                 "HostVane: cannot start the service program (%s); the desktop program "
                 "runs the service instead.\n",
                 failure.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    if (NTService::StartedAsService())
        handOverToService(argv);
    if (const auto answered = ProgramStart::AnswerCommandLine(argc, argv))
        return *answered;

    if (const QString none = ChooseDisplayPlatform(); !none.isEmpty()) {
        ServiceManager::WriteSystemLog(AppIdentity::Title(), true, none);
        std::fprintf(stderr, "HostVane: %s\n", none.toLocal8Bit().constData());
        return 1;
    }
    g_headless = NTService::StartedAsService() || qgetenv("QT_QPA_PLATFORM") == "offscreen";
    g_qtHandler = qInstallMessageHandler(qtMessage);

    QApplication app(argc, argv);
    QApplication::setApplicationName(AppIdentity::Title());
    QApplication::setApplicationVersion(AppIdentity::Version());
    QApplication::setWindowIcon(AppIcon::Icon());
    // The program ends through the controller's unload only: a hidden window or the splash
    // closing last must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    MessageBoxPrompt prompt;
    if (!ProgramStart::Prepare(prompt))
        return 1;
    SystemClock clock;
    ProcessRunner runner;
    ProgramController controller(clock, prompt, runner);
    // A service has nobody to unlock a keyring: this program runs one only when the service
    // program is missing.
    const std::unique_ptr<SecretStore> keyring =
        NTService::StartedAsService() ? nullptr : SecretStore::DesktopKeyring(kKeyringBound);
    controller.setSecretStore(keyring.get());
    frmHostVane window(controller, clock);
    if (!window.Form_Load())
        return controller.ExitStatus();
    return app.exec();
}

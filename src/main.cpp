#include "components/FileEventLog.h"
#include "control/ProgramController.h"
#include "platform/XdgPaths.h"
#include "system/AppIdentity.h"
#include "system/Clock.h"
#include "system/ProcessRunner.h"
#include "system/ProgramDirectory.h"
#include "ui/AppIcon.h"
#include "ui/MessageBoxPrompt.h"
#include "ui/frmHostVane.h"

#include <QApplication>

#include <optional>

int main(int argc, char** argv)
{
    // With no display the program does its whole job all the same, on the offscreen platform.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(AppIdentity::Title());
    QApplication::setApplicationVersion(AppIdentity::Version());
    QApplication::setWindowIcon(AppIcon::Icon());
    // The program ends through the controller's unload only: a hidden window or the splash
    // closing last must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    MessageBoxPrompt prompt;
    if (const QString missing = XdgPaths::MissingHomeMessage(); !missing.isEmpty()) {
        prompt.Show(AppIdentity::Title(), missing, Prompt::Buttons::Ok);
        return 1;
    }
    QString failure;
    if (!ProgramDirectory::Prepare(ProgramDirectory::Path(), ProgramDirectory::ShippedDataPath(),
                                   &failure)) {
        prompt.Show(AppIdentity::Title(), failure, Prompt::Buttons::Ok);
        return 1;
    }

    SystemClock clock;
    ProcessRunner runner;
    // Where nothing reads the system log, its entries can go to a file instead.
    std::optional<FileEventLog> fileLog;
    if (const QString path = qEnvironmentVariable("HOSTVANE_EVENT_LOG"); !path.isEmpty())
        fileLog.emplace(path);
    ProgramController controller(clock, prompt, runner);
    if (fileLog)
        controller.service().setEventLog(&*fileLog);
    frmHostVane window(controller);
    if (!window.Form_Load())
        return 0;
    return app.exec();
}

// The service: the same program as the desktop one, with no window, no tray and no window
// library loaded. It has no user to ask: its messages go to standard error, the journal.
#include "control/ProgramController.h"
#include "control/ProgramStart.h"
#include "control/ServiceView.h"
#include "system/AppIdentity.h"
#include "system/Clock.h"
#include "system/ProcessRunner.h"
#include "system/StandardErrorPrompt.h"

#include <QCoreApplication>

#include <cstdlib>

int main(int argc, char** argv)
{
    // Started by its own name it is the service, as when a unit sets the variable.
    ::setenv("HOSTVANE_SERVICE", "1", 1);
    if (const auto answered = ProgramStart::AnswerCommandLine(argc, argv))
        return *answered;

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(AppIdentity::Title());
    QCoreApplication::setApplicationVersion(AppIdentity::Version());

    StandardErrorPrompt prompt;
    if (!ProgramStart::Prepare(prompt))
        return 1;
    SystemClock clock;
    ProcessRunner runner;
    ProgramController controller(clock, prompt, runner);
    ServiceView view;
    controller.setView(view);
    if (!controller.Form_Load())
        return controller.ExitStatus();
    return app.exec();
}

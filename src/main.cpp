#include "system/AppIdentity.h"
#include "system/Clock.h"
#include "system/ProgramDirectory.h"
#include "system/XdgPaths.h"
#include "ui/MessageBoxPrompt.h"
#include "ui/frmHostVane.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // With no display the program does its whole job all the same, on the offscreen platform.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(AppIdentity::Title());
    QApplication::setApplicationVersion(AppIdentity::Version());

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
    frmHostVane window(clock, prompt);
    window.Form_Load();
    return app.exec();
}

#pragma once

#include "control/ProgramController.h"
#include "system/ProcessRunner.h"
#include "ui/frmHostVane.h"

// The main window over its program controller, as main() makes them.
struct ProgramWindow
{
    ProgramWindow(const Clock& clock, Prompt& prompt, int platformId, EngineTimeouts timeouts)
        : controller(clock, prompt, runner, platformId, timeouts), window(controller)
    {
    }

    ProcessRunner runner;
    ProgramController controller;
    frmHostVane window;
};

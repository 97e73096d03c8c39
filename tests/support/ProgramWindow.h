#pragma once

#include "control/ProgramController.h"
#include "engine/UpdateEngine.h"
#include "system/ProcessRunner.h"
#include "ui/frmHostVane.h"

// The main window over its program controller, as main() makes them; the programs the
// controller runs go to `runner` when one is given.
struct ProgramWindow
{
    ProgramWindow(const Clock& clock, Prompt& prompt, int platformId,
                  const EngineTimeouts& timeouts, CommandRunner* runner = nullptr)
        : controller(clock, prompt, runner ? *runner : processRunner, platformId, timeouts),
          window(controller, clock)
    {
    }

    ProcessRunner processRunner;
    ProgramController controller;
    frmHostVane window;
};

#pragma once

#include "support/ManualClock.h"
#include "support/ProgramWindow.h"
#include "support/ScriptedPrompt.h"
#include "support/TempWorld.h"

#include <QAction>

#include <gtest/gtest.h>

#include <memory>

// A started main window whose ticks start no checks (automatic checking off), for tests of
// what surrounds the checks: menus, tray, help.
class QuietWindowTest : public ::testing::Test
{
protected:
    frmHostVane& start()
    {
        world.writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=000\n");
        program = std::make_unique<ProgramWindow>(clock, prompt, cWinVer::WindowsNT,
                                                  EngineTimeouts{.settleSeconds = 0});
        window = &program->window;
        window->Form_Load();
        return *window;
    }
    QAction* action(const char* name) const
    {
        return window->findChild<QAction*>(QLatin1String(name));
    }

    TempWorld world;
    ManualClock clock;
    ScriptedPrompt prompt;
    std::unique_ptr<ProgramWindow> program;
    frmHostVane* window = nullptr;
};

#pragma once

#include "support/ManualClock.h"
#include "support/ScriptedPrompt.h"
#include "support/TempWorld.h"
#include "ui/frmHostVane.h"

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
        world.writeFile(QStringLiteral("../../config/HostVane/HostVane.conf"),
                        "[Settings]\nHost=127.0.0.1:1\nAutoProcess=000\n");
        window = std::make_unique<frmHostVane>(clock, prompt, cWinVer::WindowsNT,
                                               EngineTimeouts{.settleSeconds = 0});
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
    std::unique_ptr<frmHostVane> window;
};

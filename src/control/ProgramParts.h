#pragma once

// The controller's parts, seen only by the controller's own files.
#include "components/FileEventLog.h"
#include "components/Inet.h"
#include "components/NTService.h"
#include "control/AddressEvents.h"
#include "control/HostKeyQuestions.h"
#include "control/ProgramController.h"
#include "control/ProgramHistory.h"
#include "control/PublishNotifier.h"
#include "control/Scheduler.h"
#include "engine/CheckOutcome.h"
#include "engine/UpdateEngine.h"
#include "platform/AddressWatcher.h"
#include "platform/TerminationSignals.h"
#include "settings/Settings.h"
#include "system/InstanceGuard.h"

#include <QTimer>

#include <optional>

struct ProgramController::Parts
{
    Parts(ProgramController& program, const Clock& clock, Prompt& prompt, CommandRunner& runner,
          int platformId, const EngineTimeouts& timeouts)
        : platform(platformId), history(clock),
          engine(transfer, clock, prompt, history, platform, settings, timeouts),
          NTService1(runner),
          addressEvents(
              *watcher, clock, scheduler, [this] { return settings.ProcessingEnabled; },
              [this] { return activity == Activity::Checking; },
              [&program] { program.runScheduledCheck(); }),
          hostKeys(prompt, engine.errors)
    {
    }

    // What the program is doing; a check starts only when it does nothing else.
    enum class Activity
    {
        Idle,
        Checking,
        Saving,
    };

    cWinVer platform;
    Settings settings;
    ProgramHistory history;
    Inet transfer;
    UpdateEngine engine;
    CheckOutcome lastOutcome;
    NTService NTService1;
    // Where nothing reads the system log, its entries can go to a file instead.
    std::optional<FileEventLog> fileLog;
    InstanceGuard instance;
    std::unique_ptr<TerminationSignals> terminationSignals;
    Scheduler scheduler;
    std::unique_ptr<AddressWatcher> watcher = AddressWatcher::ForThisSystem();
    AddressEvents addressEvents;
    QTimer timSeconds;
    std::unique_ptr<PublishNotifier> notifier;
    HostKeyQuestions hostKeys;
    SecretStore* secrets = nullptr;
    // Whether a keyring that did not answer was told in the history.
    bool keyringFailureTold = false;
    int exitStatus = 0;
    Activity activity = Activity::Idle;
    // A forced check asked for while another ran or the settings were saved.
    bool checkAsked = false;
    // Set once the program ends: an abandoned check leaves nothing behind.
    bool ending = false;
    bool bServiceMode = false;
    bool bServiceRunning = false;
};

#pragma once

#include "system/cWinVer.h"

#include <QList>
#include <QObject>
#include <QVariantMap>

#include <memory>

class Clock;
class CommandRunner;
class ProgramView;
class Prompt;
class SecretStore;
class ServiceEventLog;
class SettingsStore;
struct EngineTimeouts;

// The program: it owns the run-time state (settings, addresses, counters, schedule), the
// engine, the service connection, the one-instance guard and the termination signals, and
// decides what happens at each tick, command and event. It has no widgets: the window it is
// given displays what it says and forwards the user's commands to it. Its parts are its own:
// the window reaches them only through what this class offers.
class ProgramController : public QObject
{
    Q_OBJECT
public:
    ProgramController(const Clock& clock, Prompt& prompt, CommandRunner& runner,
                      int platformId = cWinVer().WinverPlatform());
    ProgramController(const Clock& clock, Prompt& prompt, CommandRunner& runner, int platformId,
                      const EngineTimeouts& timeouts);
    ~ProgramController() override;

    // The window; set once, before Form_Load.
    void setView(ProgramView& view);
    // Where the service's system-log entries go instead of the journal.
    void setEventLog(ServiceEventLog* log);
    // The desktop's keyring, which then holds the passwords instead of the settings file.
    void setSecretStore(SecretStore* store);

    // Close reasons, as Form_QueryUnload receives them.
    enum UnloadModes : qint16
    {
        FormControlMenu = 0, // the window's close button
        FormCode = 1,        // an Exit command
        AppWindows = 2,      // the session is ending
        AppTaskManager = 3,  // a termination signal
    };

    // Start-up: refuses a second instance, loads the settings, connects the service when
    // systemd started the program, makes the first check due at once, starts the timer. False
    // when the program must end now, with ExitStatus(): another instance runs, or whether one
    // does cannot be ruled out.
    bool Form_Load();
    int ExitStatus() const;
    void Form_QueryUnload(qint16& Cancel, qint16 UnloadMode);
    void Form_Unload(qint16& Cancel);
    // Runs the close questions and the unload; true when the program is ending.
    bool Unload(qint16 UnloadMode);
    // Unloads for the given reason and hides the window when that goes through.
    void RequestUnload(qint16 UnloadMode);

    void NTService1_Start(bool& Success);
    void NTService1_Stop();
    void NTService1_Pause(bool& Success);
    void NTService1_Continue(bool& Success);
    // Whether systemd started the program as the service, and whether that service runs.
    bool ServiceMode() const;
    bool ServiceRunning() const;

    void LoadSettings();
    // Runs a check now (Force: publish even an unchanged address), or right after the one
    // under way.
    void Process(bool Force);
    void LogError(const QString& msg);
    // Automatic checking on or off.
    void SetEnabled(bool TrueFalse);
    // One tick of the one-second timer.
    void timSeconds_Timer();
    bool Ticking() const;

    // The settings dialog's values, by the keys of the settings file ("Host", "Refresh",
    // "AutoProcess" ...): texts, and true or false for the switches.
    QVariantMap ShownSettings() const;
    // Saves what the dialog holds, loads it and brings the service installation in line with
    // it (a switch the machine could not follow is saved back). False, after saying why, when
    // nothing could be saved: the dialog stays open with what was typed.
    bool SaveSettings(const QVariantMap& typed);
    // The same for the targets beside the page, keyed "Section/Key" ("Dns/Server" ...).
    QVariantMap ShownTargets() const;
    bool SaveTargets(const QVariantMap& typed);
    // How the target named ("page", "dns", "dyndns", "hook") did at its latest try: when, with
    // which addresses, and the outcome.
    QString TargetStatus(const QString& name) const;
    // The TSIG key in a key file (tsig-keygen, keymgr -t) as "Dns/TsigName",
    // "Dns/TsigAlgorithm" and "Dns/TsigSecret"; empty, after saying why, when it holds none.
    QVariantMap ReadTsigKeyFile(const QString& path);
    // The identity the platform uses when none is set.
    QString DefaultIdentity() const;
    // The identity that has each check ask the Internet for the address it sees.
    static QString PublicIdentity();
    // The adapters the last address report listed: name and address.
    QList<std::pair<QString, QString>> ListedAdapters() const;
    // Opens the system-information viewer, or says it cannot.
    void ShowSystemInformation();

private:
    struct Parts;

    void ShowTime();
    void ShowWaitTime();
    void runScheduledCheck();
    // A forced check asked for while another ran or the settings were saved: it runs now,
    // from the event loop.
    void runAskedCheck();
    // The next check comes the interval after now.
    void LoadTimer();
    // Ticks every second while a window shows the clock; otherwise sleeps until the next check.
    void startTimer();
    void sleepUntilNextCheck();
    void showAddresses(const QString& ip, const QString& ip6);
    void connectService();
    void reportCheckToService();
    void onTerminationSignal();
    // Another instance answered: says why this one ends.
    void refuseSecondStart();
    // Says that the settings could not be written to the store's file, and why.
    void reportUnsaved(const SettingsStore& store);
    // The passwords the settings file does not hold, from the credentials or the keyring.
    void loadSecrets(const SettingsStore& store);
    // The typed values as the file is to keep them: without the passwords the keyring took.
    QVariantMap moveSecretsToKeyring(const QVariantMap& typed, SettingsStore& store,
                                     bool service);
    // The answer to `hostvane --status`: "key: value" lines.
    QByteArray StatusReport() const;

    const Clock& m_clock;
    Prompt& m_prompt;
    CommandRunner& m_runner;
    ProgramView* m_view = nullptr;
    std::unique_ptr<Parts> m_parts;
};

#pragma once

#include "components/ServiceEventLog.h"

#include <QString>

class CommandRunner;

// The service component: runs the program as a systemd user service. The service's unit is
// "<service name in lower case>.service" in the user's systemd directory, and the manager is
// reached through systemctl (through the runner, so tests see every call).
class NTService : public ServiceEventLog
{
public:
    explicit NTService(CommandRunner& runner) : m_runner(runner) {}

    QString ServiceName = QStringLiteral("Hostvane");
    QString DisplayName = QStringLiteral("Hostvane Webpage Redirector");

    // $XDG_CONFIG_HOME/systemd/user/<name>.service
    QString UnitFilePath() const;
    // The unit that runs `executable` headless in service mode under systemd's supervision.
    QString UnitFileText(const QString& executable) const;

    // Writes the unit for the running executable, reloads the manager and enables the unit
    // (it is not started). True only when every step succeeded; nothing is left behind when
    // one failed.
    bool Install();
    // Disables the unit, removes it and reloads the manager. True when the unit is gone.
    bool Uninstall();
    // Releases the connection to the manager; this component holds none yet.
    void Disconnect() {}

    // System log entries: ident "Hostvane", facility daemon, the event id leading the text.
    void LogEvent(qint16 eventType, qint32 eventId, const QString& text) override;
    static QString SystemLogText(qint32 eventId, const QString& text);
    static int SystemLogPriority(qint16 eventType);

private:
    bool systemctl(const QStringList& arguments);

    CommandRunner& m_runner;
};

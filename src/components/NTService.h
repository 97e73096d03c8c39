#pragma once

#include "components/ServiceEventLog.h"
#include "platform/ServiceManager.h"

#include <QObject>
#include <QString>

class CommandRunner;

// The service component: runs the program as a systemd user service. The service's unit is
// "<service name in lower case>.service" in the user's systemd directory, and the manager is
// reached through systemctl (through the runner, so tests see every call).
class NTService : public QObject, public ServiceEventLog
{
    Q_OBJECT
public:
    enum StartModes : qint32
    {
        Automatic = 2, // enabled on install: starts with the user's session
        OnDemand = 3,  // installed only: started by hand
    };

    explicit NTService(CommandRunner& runner, QObject* parent = nullptr)
        : QObject(parent), m_runner(runner)
    {
    }

    // The service has a desktop to show its window on; otherwise it runs offscreen.
    bool Interactive = false;
    QString DisplayName = QStringLiteral("Hostvane Webpage Redirector");
    // The service tells systemd when its start-up is complete (READY=1) and how it fares.
    bool NotifyManager = true;
    QString ServiceName = QStringLiteral("Hostvane");
    qint32 StartMode = Automatic;

    // $XDG_CONFIG_HOME/systemd/user/<name>.service
    QString UnitFilePath() const;
    // The unit that runs `executable` in service mode under systemd's supervision.
    QString UnitFileText(const QString& executable) const;

    // The exit status of a service that ended because another copy of the program runs:
    // systemd does not start it again for that.
    static constexpr int kExitAnotherCopyRuns = 3;

    // Writes the unit for the running executable, reloads the manager and, for an automatic
    // start, enables the unit (it is not started). True only when every step succeeded;
    // nothing is left behind when one failed, and InstallFailure() says what failed.
    bool Install();
    QString InstallFailure() const { return m_installFailure; }
    // Disables the unit, removes it and reloads the manager. True when the unit is gone.
    bool Uninstall();

    // True when systemd started the program as the service (HOSTVANE_SERVICE=1, set by the
    // unit).
    static bool StartedAsService();
    // When systemd started the program as the service, raises Start;
    // from then on the owner reports a stop request through RaiseStop.
    void Connect();
    void Disconnect();
    bool Connected() const { return m_connected; }
    // Raises Stop while connected: the manager asked the service to end.
    void RaiseStop();
    // Tells systemd, while connected, that start-up is complete, and a line for its status.
    void ReportReady();
    // A status line goes out only when it differs from the last one.
    void ReportStatus(const QString& text);
    // For a service that ends before it is connected: why, as its status.
    void ReportRefusal(const QString& text);

    // Where the entries go instead of the system log (a file, a test); null for syslog.
    void setEventLog(ServiceEventLog* log) { m_eventLog = log; }
    // System log entries: ident "Hostvane", facility daemon, the event id leading the text.
    void LogEvent(qint16 eventType, qint32 eventId, const QString& text) override;
    static QString SystemLogText(qint32 eventId, const QString& text);
    static int SystemLogPriority(qint16 eventType);

signals:
    void Start(bool& Success);
    void Stop();

private:
    void notify(const QByteArray& state);
    ServiceManager::Unit unit(const QString& executable) const;

    CommandRunner& m_runner;
    ServiceEventLog* m_eventLog = nullptr;
    bool m_connected = false;
    QString m_status;
    QString m_installFailure;
};

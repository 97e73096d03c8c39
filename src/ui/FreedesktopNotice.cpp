#include "ui/FreedesktopNotice.h"

#include "ui/kwSysTray.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QVariantMap>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
}

void FreedesktopNotice::Notify(const QString& title, const QString& text)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        m_tray.ShowMessage(title, text);
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                       kService, QStringLiteral("Notify"));
    // app name, id to replace, icon, summary, body, actions, hints, time-out (default)
    call << title << 0U << QStringLiteral("hostvane") << title << text << QStringList()
         << QVariantMap() << -1;
    // Nothing waits for the bus: it starts the service on demand, and where there is none the
    // tray icon shows the message when the error comes back.
    auto* reply = new QDBusPendingCallWatcher(bus.asyncCall(call), &m_tray);
    kwSysTray* tray = &m_tray;
    QObject::connect(reply, &QDBusPendingCallWatcher::finished, tray,
                     [tray, title, text](QDBusPendingCallWatcher* finished) {
                         if (finished->isError())
                             tray->ShowMessage(title, text);
                         finished->deleteLater();
                     });
}

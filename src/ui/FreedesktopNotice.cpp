#include "ui/FreedesktopNotice.h"

#include "ui/kwSysTray.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
}

void FreedesktopNotice::Notify(const QString& title, const QString& text)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    // The service may also be started on demand by the bus.
    if (bus.isConnected() &&
        (bus.interface()->isServiceRegistered(kService) ||
         bus.interface()->activatableServiceNames().value().contains(kService))) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            kService, QStringLiteral("/org/freedesktop/Notifications"), kService,
            QStringLiteral("Notify"));
        // app name, id to replace, icon, summary, body, actions, hints, time-out (default)
        call << title << 0U << QStringLiteral("hostvane") << title << text << QStringList()
             << QVariantMap() << -1;
        // Sent without waiting: a slow notification daemon must not hold up the check.
        bus.call(call, QDBus::NoBlock);
        return;
    }
    m_tray.ShowMessage(title, text);
}

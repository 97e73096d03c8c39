#include "ui/kwSysTray.h"

#include "ui/AppIcon.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

kwSysTray::kwSysTray(QObject* parent) : QObject(parent), m_icon(AppIcon::Icon())
{
    setObjectName(QStringLiteral("kwSysTray1"));
    m_icon.setToolTip(QStringLiteral("Hostvane Internet Redirector"));
    // Every activation (left, right, middle or double click) is a release of some button, but
    // for the right click that opens a menu the desktop draws.
    connect(&m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason != QSystemTrayIcon::Context || !m_icon.contextMenu())
                    emit MouseUp();
            });
}

void kwSysTray::setMenu(QMenu* menu)
{
    const QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (bus && bus->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")))
        m_icon.setContextMenu(menu);
}

void kwSysTray::EnableTrayIcon(bool TrueFalse)
{
    if (TrueFalse == bTrayShown)
        return;
    m_icon.setVisible(TrueFalse);
    bTrayShown = TrueFalse;
}

void kwSysTray::ShowMessage(const QString& title, const QString& text)
{
    m_icon.showMessage(title, text, m_icon.icon());
}

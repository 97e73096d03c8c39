#include "ui/kwSysTray.h"

#include "ui/AppIcon.h"

kwSysTray::kwSysTray(QObject* parent) : QObject(parent), m_icon(AppIcon::Icon())
{
    setObjectName(QStringLiteral("kwSysTray1"));
    m_icon.setToolTip(QStringLiteral("Hostvane Internet Redirector"));
    // Every activation (left, right, middle or double click) is a release of some button.
    connect(&m_icon, &QSystemTrayIcon::activated, this, &kwSysTray::MouseUp);
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

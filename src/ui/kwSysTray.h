#pragma once

#include <QObject>
#include <QSystemTrayIcon>

class QMenu;

// The icon in the notification area, with the program's icon and tool-tip fixed. Where the
// desktop has no tray the switch is remembered all the same and nothing else changes.
class kwSysTray : public QObject
{
    Q_OBJECT
public:
    explicit kwSysTray(QObject* parent = nullptr);

    // Puts the icon into the notification area or removes it, acting only when the state
    // differs from the one last set here: a periodic call costs nothing while the icon is
    // shown.
    void EnableTrayIcon(bool TrueFalse);

    // Where the desktop's tray is a StatusNotifierItem host, `menu` becomes the icon's menu,
    // which the desktop draws at the icon, and a right click opens it there instead of raising
    // MouseUp; an XEmbed tray keeps the pop-up the program opens itself.
    void setMenu(QMenu* menu);

    // Shows a balloon message from the icon, for desktops without a notification service.
    void ShowMessage(const QString& title, const QString& text);

    QSystemTrayIcon& icon() { return m_icon; }

signals:
    // A mouse button was released over the icon; which one is not told.
    void MouseUp();

private:
    QSystemTrayIcon m_icon;
    bool bTrayShown = false;
};

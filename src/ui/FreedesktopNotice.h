#pragma once

#include "control/DesktopNotice.h"

class kwSysTray;

// The desktop's notification service (org.freedesktop.Notifications on the session bus) when
// there is one, else a balloon from the tray icon.
class FreedesktopNotice final : public DesktopNotice
{
public:
    explicit FreedesktopNotice(kwSysTray& tray) : m_tray(tray) {}

    void Notify(const QString& title, const QString& text) override;

private:
    kwSysTray& m_tray;
};

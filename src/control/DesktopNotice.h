#pragma once

#include <QString>

// Puts a short message on the desktop, outside the program's windows. Tests replace it to see
// what would have been shown.
class DesktopNotice
{
public:
    virtual ~DesktopNotice() = default;
    virtual void Notify(const QString& title, const QString& text) = 0;
};

#pragma once

#include <QStatusBar>

class QLabel;
class TwipsLayout;

// The main window's status bar: the clock, the next check and the address of the last check.
// The address panel takes the room the other two leave.
class StatusPanels : public QStatusBar
{
    Q_OBJECT
public:
    StatusPanels(QWidget* parent, const TwipsLayout& twips);

    void setClockText(const QString& text);
    void setWaitText(const QString& text);
    // The panel with key "IP"; `ipv6Text`, when there is one, is added to its tool-tip.
    void setAddressText(const QString& text, const QString& ipv6Text);

private:
    QLabel* addPanel(const QString& name, const QString& toolTip, int minimumWidth, int stretch);

    QLabel* m_clock;
    QLabel* m_wait;
    QLabel* m_address;
};

#pragma once

#include <QStatusBar>

class QLabel;

// The main window's status bar: the clock, the next check and the address of the last check.
class StatusPanels : public QStatusBar
{
    Q_OBJECT
public:
    explicit StatusPanels(QWidget* parent);

    void setClockText(const QString& text);
    void setWaitText(const QString& text);
    // The panel with key "IP".
    void setAddressText(const QString& text);

    QString clockText() const;
    QString waitText() const;
    QString addressText() const;

private:
    QLabel* addPanel(const QString& name, const QString& toolTip, int widthTwips, int stretch);

    QLabel* m_clock;
    QLabel* m_wait;
    QLabel* m_address;
};

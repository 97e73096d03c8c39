#include "ui/StatusPanels.h"

#include "ui/TwipsLayout.h"

#include <QLabel>

namespace {
constexpr int kMinimumPanelTwips = 2540;
const QString kAddressTip = QStringLiteral("IP address at last check");
} // namespace

StatusPanels::StatusPanels(QWidget* parent, const TwipsLayout& twips) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("sbMain"));
    setSizeGripEnabled(false);
    m_clock = addPanel(QStringLiteral("Clock"),
                       QStringLiteral("Current time of day according to this computer"),
                       twips.px(2540), 0);
    m_wait = addPanel(QStringLiteral("NextCheck"),
                      QStringLiteral("Time of next automatic IP update check"), twips.px(2540), 0);
    m_address = addPanel(QStringLiteral("IP"), kAddressTip, twips.px(kMinimumPanelTwips), 1);
    m_address->setText(QStringLiteral("Current IP address: "));
}

QLabel* StatusPanels::addPanel(const QString& name, const QString& toolTip, int minimumWidth,
                               int stretch)
{
    auto* panel = new QLabel(this);
    panel->setObjectName(name);
    panel->setToolTip(toolTip);
    panel->setMinimumWidth(minimumWidth);
    addPermanentWidget(panel, stretch);
    return panel;
}

void StatusPanels::setClockText(const QString& text)
{
    m_clock->setText(text);
}

void StatusPanels::setWaitText(const QString& text)
{
    m_wait->setText(text);
}

void StatusPanels::setAddressText(const QString& text, const QString& ipv6Text)
{
    m_address->setText(text);
    m_address->setToolTip(ipv6Text.isEmpty() ? kAddressTip
                                             : kAddressTip + QLatin1Char('\n') + ipv6Text);
}

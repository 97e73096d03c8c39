#include "ui/IdentifierBox.h"

#include "control/ProgramController.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

IdentifierBox::IdentifierBox(const QString& defaultIdentity,
                             const QList<std::pair<QString, QString>>& listed, QWidget* parent)
    : QComboBox(parent)
{
    setEditable(true);
    // Enter would add what was typed to the choices; the choices are what the machine has.
    setInsertPolicy(QComboBox::NoInsert);
    lineEdit()->setMaxLength(kMaxIdentifier);
    offer(defaultIdentity,
          u"Your Internet link: a point-to-point link such as ppp0, or else the interface that "
          "holds the default route"_s);
    const QString publicIdentity = ProgramController::PublicIdentity();
    for (const auto& [name, address] : listed) {
        // After a check of the public address the listing holds only that; it is offered below.
        if (name.compare(publicIdentity, Qt::CaseInsensitive) == 0)
            continue;
        offer(name, address.isEmpty() ? u"Listed without an address at the last check"_s
                                      : u"Held %1 at the last check"_s.arg(address));
    }
    offer(publicIdentity, u"The address the Internet sees, for a machine behind a router: each "
                          "check asks an address echo service on the Internet for it "
                          "(getip-public.sh)"_s);
}

void IdentifierBox::offer(const QString& identity, const QString& toolTip)
{
    if (findText(identity, Qt::MatchFixedString) >= 0)
        return;
    addItem(identity);
    setItemData(count() - 1, toolTip, Qt::ToolTipRole);
}

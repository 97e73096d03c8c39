#include "ui/frmSettings.h"

#include "components/ServiceInstallation.h"
#include "control/ProgramController.h"
#include "engine/AdapterListing.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "system/AppIdentity.h"
#include "system/Prompt.h"
#include "ui/CenterOnScreen.h"
#include "ui/IdentifierBox.h"
#include "ui/StarPasswordStyle.h"
#include "ui/TwipsLayout.h"
#include "ui/WindowSize.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

using namespace Qt::StringLiterals;

namespace {

// The boxes in tab order: name, tool-tip, and left, top, width, height in twips.
struct Box
{
    QString name;
    QString toolTip;
    int left, top, width, height;
};

const Box kTextBoxes[] = {
    {u"txHost"_s, u"Destination ftp server address"_s, 1680, 120, 4572, 288},
    {u"txUser"_s, u"Login ID for host server"_s, 1680, 432, 2772, 288},
    {u"txPword"_s, u"Password for host server"_s, 1680, 744, 2772, 288},
    {u"txDir"_s, u"Directory on host to copy hostvane.html to"_s, 1680, 1056, 4512, 288},
    {u"txProxy"_s, u"Proxy server if you are using one"_s, 1680, 1368, 2772, 288},
    {u"txRefresh"_s, u"Frequency in minutes at which the current ip address is checked"_s, 1680,
     1680, 552, 288},
};

// Said of this system's interfaces, on the box and on its label alike.
const QString kIdentifierTip =
    uR"(The text that marks your Internet connection in the address report: "NdisWan" for the dial-up link (ppp0) or else the interface with the default route, an interface name such as ppp0, eth0 or wlan0, or "public" for the address the Internet sees when you are behind a router)"_s;
const Box kIdentifierBox = {u"txIdentifier"_s, kIdentifierTip, 1680, 1980, 3792, 288};

struct CheckBox
{
    QString name;
    QString caption;
    QString toolTip;
    int left, top, width, height;
};

const CheckBox kCheckBoxes[] = {
    {u"chkEnabled"_s, u"Automatically update"_s,
     u"Determines if Hostvane starts checking automatically at startup"_s, 60, 2400, 2052, 192},
    {u"chkMinimize"_s, u"Minimize / hide at startup"_s,
     u"Determines if Hostvane is minimized at startup"_s, 60, 2640, 2172, 192},
    {u"chkService"_s, u"Install as a service"_s,
     u"Determines if Hostvane operates as a service.  Recommend with Windows NT servers."_s, 60,
     2880, 1992, 192},
};

// labMain(0) to labMain(6), each beside the text box of the same index.
struct Label
{
    QString caption;
    QString toolTip;
    int top;
};

const Label kLabels[] = {
    {u"Host server"_s, QString(), 120},
    {u"User ID"_s, QString(), 432},
    {u"Password"_s, QString(), 744},
    {u"Directory to save to"_s, QString(), 1056},
    {u"Proxy name (if used)"_s, QString(), 1380},
    {u"Refresh every (min.)"_s, QString(), 1692},
    {u"Connection identifier"_s, kIdentifierTip, 1980},
};

constexpr int kLabelLeft = 60;
constexpr int kLabelWidth = 1512;
constexpr int kLabelHeight = 288;
constexpr int kClientWidth = 6912;
constexpr int kClientHeight = 3216;
constexpr int kMaxMinutesDigits = 2;
// What a check box draws before its caption, in twips at the designed scale.
constexpr int kCheckIndicator = 300;

// The identity the store gives when it holds none: the platform's own.
QString IdentityFallback(int platformId)
{
    for (const SettingsKeys::Key& key : SettingsKeys::Table()) {
        if (key.control == kIdentifierBox.name)
            return key.fallback(platformId);
    }
    return QString();
}

} // namespace

frmSettings::frmSettings(ProgramController& owner, NTService& NTService1, Prompt& prompt,
                         int platformId)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_owner(owner), m_service(NTService1), m_prompt(prompt), m_platform(platformId)
{
    setObjectName(u"frmSettings"_s);
    setWindowTitle(u"HostVane Settings"_s);
    setWindowIcon(QApplication::windowIcon());
    buildControls();
    Form_Load();
}

void frmSettings::buildControls()
{
    const TwipsLayout twips(this,
                            {{kLabels[3].caption, kLabelWidth},
                             {kLabels[5].caption, kLabelWidth},
                             {kLabels[6].caption, kLabelWidth},
                             {kCheckBoxes[0].caption, kCheckBoxes[0].width - kCheckIndicator},
                             {kCheckBoxes[1].caption, kCheckBoxes[1].width - kCheckIndicator},
                             {kCheckBoxes[2].caption, kCheckBoxes[2].width - kCheckIndicator}});
    QWidget* previous = nullptr;
    const auto chain = [&](QWidget* control) {
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    };

    QList<QWidget*> boxes;
    const auto place = [&](QWidget* box, const Box& b) {
        box->setObjectName(b.name);
        box->setToolTip(b.toolTip);
        box->setGeometry(twips.rect(b.left, b.top, b.width, b.height));
        chain(box);
        boxes.append(box);
    };
    for (const Box& b : kTextBoxes)
        place(new QLineEdit(this), b);
    // The adapters of the listing the last check left, offered by name.
    place(new IdentifierBox(IdentityFallback(m_platform.WinverPlatform()),
                            ListedAdapters(u"hostvane.ip"_s), this),
          kIdentifierBox);
    auto* txPword = static_cast<QLineEdit*>(boxes[2]);
    txPword->setEchoMode(QLineEdit::Password);
    auto* stars = new StarPasswordStyle;
    stars->setParent(txPword);
    txPword->setStyle(stars);
    txPword->setAttribute(Qt::WA_InputMethodEnabled, false);
    auto* txRefresh = static_cast<QLineEdit*>(boxes[5]);
    // Typed, pasted or dropped: anything but the digits 0 to 9, or a third digit, leaves the
    // box as it was. A length limit of the box itself would cut a paste before it is checked.
    txRefresh->setValidator(new QRegularExpressionValidator(
        QRegularExpression(u"[0-9]{0,%1}"_s.arg(kMaxMinutesDigits)), txRefresh));

    for (const CheckBox& c : kCheckBoxes) {
        auto* box = new QCheckBox(c.caption, this);
        box->setObjectName(c.name);
        box->setToolTip(c.toolTip);
        box->setGeometry(twips.rect(c.left, c.top, c.width, c.height));
        chain(box);
    }

    const QString buttonCaptions[] = {u"&Save"_s, u"&Cancel"_s};
    const QString buttonTips[] = {u"Saves the current selections"_s, u"Cancels any changes"_s};
    const int buttonLefts[] = {3720, 5280};
    for (int Index = 0; Index < 2; ++Index) {
        auto* button = new QPushButton(buttonCaptions[Index], this);
        button->setObjectName(u"cmdDone(%1)"_s.arg(Index));
        button->setToolTip(buttonTips[Index]);
        button->setAutoDefault(false);
        button->setGeometry(twips.rect(buttonLefts[Index], 2760, 1392, 312));
        connect(button, &QPushButton::clicked, this, [this, Index] { cmdDone_Click(Index); });
        chain(button);
    }

    for (int Index = 0; Index < 7; ++Index) {
        const Label& l = kLabels[Index];
        auto* label = new QLabel(l.caption, this);
        label->setObjectName(u"labMain(%1)"_s.arg(Index));
        label->setToolTip(l.toolTip);
        label->setBuddy(boxes[Index]);
        label->setGeometry(twips.rect(kLabelLeft, l.top, kLabelWidth, kLabelHeight));
    }

    KeepWindowSize(*this, QSize(twips.px(kClientWidth), twips.px(kClientHeight)));
}

void frmSettings::Form_Load()
{
    const ControlValues shown = SettingsKeys::Shown(m_owner.settings());
    for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
        if (auto* box = findChild<QLineEdit*>(it.key()))
            box->setText(it.value().toString());
        else if (auto* combo = findChild<QComboBox*>(it.key()))
            combo->setEditText(it.value().toString());
        else if (auto* check = findChild<QCheckBox*>(it.key()))
            check->setChecked(it.value().toBool());
    }
    CenterOnScreen(*this);
}

ControlValues frmSettings::values() const
{
    ControlValues typed;
    for (const SettingsKeys::Key& key : SettingsKeys::Table()) {
        if (const auto* box = findChild<QLineEdit*>(key.control))
            typed.insert(key.control, box->text());
        else if (const auto* combo = findChild<QComboBox*>(key.control))
            typed.insert(key.control, combo->currentText());
        else if (const auto* check = findChild<QCheckBox*>(key.control))
            typed.insert(key.control, check->isChecked());
    }
    return typed;
}

void frmSettings::cmdDone_Click(int Index)
{
    if (Index == 0) {
        SettingsStore store;
        if (!SettingsKeys::Save(store, values())) {
            // Nothing else of Save runs, and the dialog keeps what was typed.
            m_prompt.Show(AppIdentity::Title(),
                          u"The settings could not be saved to %1: %2"_s.arg(store.fileName(),
                                                                             store.errorString()),
                          Prompt::Buttons::Ok);
            return;
        }
        m_owner.LoadSettings();
        if (!UpdateServiceSetting()) {
            // The switch shows what the machine has: a service that failed to install is off.
            ControlValues kept = values();
            kept.insert(u"chkService"_s, !m_owner.settings().Service);
            if (SettingsKeys::Save(store, kept))
                m_owner.LoadSettings();
        }
        accept();
        return;
    }
    reject();
}

bool frmSettings::UpdateServiceSetting()
{
    return ServiceInstallation::UpdateServiceSetting(
        m_platform.WinverPlatform(), m_owner.settings().Service, m_service, m_prompt);
}

void frmSettings::keyPressEvent(QKeyEvent* event)
{
    // Escape would reject the dialog: it is nobody's key here.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

#include "ui/frmSettings.h"

#include "control/ProgramController.h"
#include "ui/CenterOnScreen.h"
#include "ui/IdentifierBox.h"
#include "ui/SettingControls.h"
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

// The boxes in tab order: name, the settings key it edits, tool-tip, and left, top, width,
// height in twips.
struct Box
{
    QString name;
    QString key;
    QString toolTip;
    int left, top, width, height;
};

const Box kTextBoxes[] = {
    {u"txHost"_s, u"Host"_s, u"Destination ftp server address"_s, 1680, 120, 4572, 288},
    {u"txUser"_s, u"User"_s, u"Login ID for host server"_s, 1680, 432, 2772, 288},
    {u"txPword"_s, u"Pword"_s, u"Password for host server"_s, 1680, 744, 2772, 288},
    {u"txDir"_s, u"Dir"_s, u"Directory on host to copy hostvane.html to"_s, 1680, 1056, 4512, 288},
    {u"txProxy"_s, u"proxy"_s, u"Proxy server if you are using one"_s, 1680, 1368, 2772, 288},
    {u"txRefresh"_s, u"Refresh"_s,
     u"Frequency in minutes at which the current ip address is checked"_s, 1680, 1680, 552, 288},
};

// Said of this system's interfaces, on the box and on its label alike.
const QString kIdentifierTip =
    uR"(The text that marks your Internet connection in the address report: "NdisWan" for the dial-up link (ppp0) or else the interface with the default route, an interface name such as ppp0, eth0 or wlan0, or "public" for the address the Internet sees when you are behind a router)"_s;
const Box kIdentifierBox = {u"txIdentifier"_s, u"Adapter"_s, kIdentifierTip, 1680, 1980, 3792, 288};

struct CheckBox
{
    QString name;
    QString key;
    QString caption;
    QString toolTip;
    int left, top, width, height;
};

const CheckBox kCheckBoxes[] = {
    {u"chkEnabled"_s, u"AutoProcess"_s, u"Automatically update"_s,
     u"Determines if Hostvane starts checking automatically at startup"_s, 60, 2400, 2052, 192},
    {u"chkMinimize"_s, u"StartMinimized"_s, u"Minimize / hide at startup"_s,
     u"Determines if Hostvane is minimized at startup"_s, 60, 2640, 2172, 192},
    {u"chkService"_s, u"RunAsService"_s, u"Install as a service"_s,
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

} // namespace

frmSettings::frmSettings(ProgramController& owner)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_owner(owner)
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
        SettingControls::Bind(*box, b.key);
        box->setToolTip(b.toolTip);
        box->setGeometry(twips.rect(b.left, b.top, b.width, b.height));
        chain(box);
        boxes.append(box);
    };
    for (const Box& b : kTextBoxes)
        place(new QLineEdit(this), b);
    // The adapters of the listing the last check left, offered by name.
    place(new IdentifierBox(m_owner.DefaultIdentity(), m_owner.ListedAdapters(), this),
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
        SettingControls::Bind(*box, c.key);
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
    SettingControls::Show(*this, m_owner.ShownSettings());
    CenterOnScreen(*this);
}

void frmSettings::cmdDone_Click(int Index)
{
    // A save that failed keeps the dialog open with what was typed.
    if (Index == 0 && !m_owner.SaveSettings(SettingControls::Typed(*this)))
        return;
    if (Index == 0)
        accept();
    else
        reject();
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

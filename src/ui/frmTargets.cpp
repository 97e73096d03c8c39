#include "ui/frmTargets.h"

#include "control/ProgramController.h"
#include "ui/CenterOnScreen.h"
#include "ui/SettingControls.h"
#include "ui/StarPasswordStyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// A group of the target `name`, its latest try told at its foot.
QFormLayout* group(QVBoxLayout* layout, const QString& title, const QString& name,
                   const ProgramController& program, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    auto* outer = new QVBoxLayout(box);
    auto* form = new QFormLayout;
    outer->addLayout(form);
    auto* status = new QLabel(program.TargetStatus(name), box);
    status->setObjectName(u"status:"_s + name);
    status->setEnabled(false); // greyed: it tells, it is not set
    outer->addWidget(status);
    layout->addWidget(box);
    return form;
}

} // namespace

frmTargets::frmTargets(ProgramController& program, QWidget* parent)
    : QDialog(parent), m_program(program)
{
    setObjectName(u"frmTargets"_s);
    setWindowTitle(u"HostVane DNS and Hook"_s);
    setWindowIcon(QApplication::windowIcon());
    // Two columns, so the dialog fits a small screen: the DNS name on the left, the page, the
    // provider, the command and the buttons on the right.
    auto* columns = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);

    auto* page = group(right, u"Redirector page"_s, u"page"_s, m_program, this);
    page->addRow(add(new QCheckBox(u"Publish the page (File > Properties)"_s),
                     u"Settings/PublishPage"_s,
                     u"Off: no FTP connection at all, for a machine reached by its DNS name "
                     "only"_s));

    auto* dns =
        group(left, u"DNS name (RFC 2136 update signed with TSIG)"_s, u"dns"_s, m_program, this);
    dns->addRow(u"&Server"_s,
                field(u"Dns/Server"_s, u"The zone's primary server: host, host:port or "
                                       "[IPv6 address]:port (port 53 unless given)"_s));
    dns->addRow(u"&Zone"_s, field(u"Dns/Zone"_s, u"The zone the names are in: example.org"_s));
    dns->addRow(u"&Names"_s, field(u"Dns/Name"_s, u"One or more names in the zone, separated by "
                                                  "commas: home.example.org"_s));
    QLineEdit* ttl = field(u"Dns/Ttl"_s, u"Seconds resolvers may keep the address"_s);
    ttl->setValidator(new QIntValidator(1, 86400, ttl));
    dns->addRow(u"&TTL"_s, ttl);
    dns->addRow(u"&Key name"_s, field(u"Dns/TsigName"_s, u"The TSIG key's name"_s));
    auto* algorithm = new QComboBox;
    algorithm->addItems({u"hmac-sha256"_s, u"hmac-sha512"_s, u"hmac-sha1"_s});
    dns->addRow(u"&Algorithm"_s,
                add(algorithm, u"Dns/TsigAlgorithm"_s, u"The TSIG key's algorithm"_s));
    QLineEdit* secret = field(u"Dns/TsigSecret"_s, u"The TSIG key's secret, in base64"_s);
    secret->setEchoMode(QLineEdit::Password);
    auto* stars = new StarPasswordStyle;
    stars->setParent(secret);
    secret->setStyle(stars);
    dns->addRow(u"S&ecret"_s, secret);
    auto* import = new QPushButton(u"&Import key file..."_s);
    import->setObjectName(u"cmdImportKey"_s);
    import->setToolTip(u"Reads the key name, algorithm and secret from a file written by "
                       "tsig-keygen or keymgr -t"_s);
    connect(import, &QPushButton::clicked, this, &frmTargets::ImportKeyFile);
    dns->addRow(QString(), import);

    auto* dyndns = group(right, u"Dynamic DNS provider (dyndns2)"_s, u"dyndns"_s, m_program, this);
    dyndns->addRow(u"&Update URL"_s,
                   field(u"DynDns/Url"_s, u"The provider's update address, such as "
                                          "https://update.example.net/nic/update; without "
                                          "https:// or http:// it is sent over HTTPS"_s));
    dyndns->addRow(u"Us&er"_s, field(u"DynDns/User"_s, u"Your login at the provider"_s));
    QLineEdit* password = field(u"DynDns/Password"_s, u"Your password at the provider"_s);
    password->setEchoMode(QLineEdit::Password);
    dyndns->addRow(u"&Password"_s, password);
    dyndns->addRow(u"Na&mes"_s, field(u"DynDns/Name"_s, u"The names to update, separated by "
                                                        "commas"_s));

    auto* hook = group(right, u"Command after a change"_s, u"hook"_s, m_program, this);
    hook->addRow(u"&Command"_s,
                 field(u"Hook/Command"_s,
                       u"Run after each check that found a change and after Update now, "
                       "without a shell (\"double quotes\" keep an argument together), with "
                       "HOSTVANE_IP, HOSTVANE_IP6, HOSTVANE_PREVIOUS_IP, HOSTVANE_PREVIOUS_IP6, "
                       "HOSTVANE_PAGE, HOSTVANE_DNS and HOSTVANE_DYNDNS in its environment"_s));

    auto* buttons = new QDialogButtonBox;
    const QString captions[] = {u"&Save"_s, u"&Cancel"_s};
    for (int Index = 0; Index < 2; ++Index) {
        QPushButton* button =
            buttons->addButton(captions[Index], Index == 0 ? QDialogButtonBox::AcceptRole
                                                           : QDialogButtonBox::RejectRole);
        button->setObjectName(u"cmdDone(%1)"_s.arg(Index));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, Index] { cmdDone_Click(Index); });
    }
    left->addStretch();
    right->addStretch();
    right->addWidget(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 110);

    SettingControls::Show(*this, m_program.ShownTargets());
    adjustSize(); // centred at its own size, not the size before its layout ran
    CenterOnScreen(*this);
}

QWidget* frmTargets::add(QWidget* control, const QString& key, const QString& toolTip)
{
    control->setParent(this);
    control->setObjectName(key);
    SettingControls::Bind(*control, key);
    control->setToolTip(toolTip);
    return control;
}

QLineEdit* frmTargets::field(const QString& key, const QString& toolTip)
{
    return static_cast<QLineEdit*>(add(new QLineEdit, key, toolTip));
}

void frmTargets::cmdDone_Click(int Index)
{
    if (Index == 1)
        reject();
    else if (m_program.SaveTargets(SettingControls::Typed(*this)))
        accept();
}

void frmTargets::ImportKeyFile()
{
    const QString path = QFileDialog::getOpenFileName(this, u"TSIG key file"_s);
    if (!path.isEmpty())
        SettingControls::Show(*this, m_program.ReadTsigKeyFile(path));
}

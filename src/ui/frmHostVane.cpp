#include "ui/frmHostVane.h"

#include "control/ProgramController.h"

#include "system/AppIdentity.h"
#include "system/ProgramDirectory.h"
#include "system/RuntimeFormat.h"
#include "ui/AppIcon.h"
#include "ui/EventHistoryList.h"
#include "ui/MainMenus.h"
#include "ui/StatusPanels.h"
#include "ui/TwipsClient.h"
#include "ui/TwipsLayout.h"
#include "ui/frmAbout.h"
#include "ui/frmSettings.h"
#include "ui/frmSplash.h"
#include "ui/frmTargets.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSessionManager>

frmHostVane::frmHostVane(ProgramController& controller, const Clock& clock)
    : m_controller(controller), m_clock(clock)
{
    setObjectName(QStringLiteral("frmHostVane"));
    setWindowTitle(AppIdentity::Title());
    setWindowIcon(AppIcon::Icon());
    ContextIDs::SetHelpContext(this, 10);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    buildControls();
    connectMenus();
    m_controller.setView(*this);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
        m_controller.RequestUnload(ProgramController::AppWindows);
    });
}

// The card closes itself while the program runs; only a program that ends first removes it.
frmHostVane::~frmHostVane()
{
    delete m_splash;
}

void frmHostVane::buildControls()
{
    // The widest texts each control must show, with a long month name and a late hour.
    const QDateTime sample(QDate(2026, 9, 30), QTime(22, 59, 59));
    const TwipsLayout twips(
        this, {{QStringLiteral("HostVane Started:"), 1224},
               {QStringLiteral("Uploads:"), 660},
               {QStringLiteral("FTP Errors:"), 876},
               {QStringLiteral("Last FTP Error:"), 1188},
               {FormatDate(sample, kStartedPattern), 1812},
               {QStringLiteral(" 99999"), 552},
               {QStringLiteral("Next check: ") + FormatDate(sample, kPanelTimePattern), 2540}});
    auto* client = new TwipsClient(twips, 6636, 3156 - 252, this);
    setCentralWidget(client);
    const auto place = [client](QWidget* control, int l, int t, int w, int h) {
        client->place(control, l, t, w, h);
    };
    const auto label = [&](const QString& text, int l, int t, int w, int h) {
        auto* caption = new QLabel(text, client);
        place(caption, l, t, w, h);
        return caption;
    };
    const auto readOnlyBox = [&](const QString& name, int l, int t, int w, int h) {
        auto* box = new QLineEdit(client);
        box->setObjectName(name);
        box->setReadOnly(true);
        place(box, l, t, w, h);
        return box;
    };

    label(QStringLiteral("HostVane Started:"), 60, 120, 1224, 252);
    txStarted = readOnlyBox(QStringLiteral("txStarted"), 1380, 120, 1812, 240);
    // As tall as the other labels of its row, so that its text lines up with theirs.
    label(QStringLiteral("Uploads:"), 3480, 120, 660, 252);
    txUploads = readOnlyBox(QStringLiteral("txUploads"), 4200, 120, 552, 240);
    label(QStringLiteral("FTP Errors:"), 4980, 120, 876, 252);
    txErrCount = readOnlyBox(QStringLiteral("txErrCount"), 5880, 120, 552, 240);
    label(QStringLiteral("Last FTP Error:"), 60, 420, 1188, 252);
    cbFtpErrMsg = new QComboBox(client);
    cbFtpErrMsg->setObjectName(QStringLiteral("cbFtpErrMsg"));
    place(cbFtpErrMsg, 1380, 420, 5112, 288);

    QLabel* details = label(QStringLiteral("Event details"), 12, 840, 6540, 192);
    details->setAlignment(Qt::AlignHCenter);
    QFont italic = details->font();
    italic.setItalic(true);
    details->setFont(italic);

    lbEvents = new EventHistoryList(client);
    lbEvents->setObjectName(QStringLiteral("lbEvents"));
    lbEvents->setToolTip(QStringLiteral("Event history of most recent update check is shown here"));
    // The history takes whatever height the window has beyond the drawn one.
    client->place(lbEvents, 180, 1080, 6312, 1584, true);

    setTabOrder(txStarted, txUploads);
    setTabOrder(txUploads, txErrCount);
    setTabOrder(txErrCount, lbEvents);

    sbMain = new StatusPanels(this, twips);
    setStatusBar(sbMain);
}

void frmHostVane::connectMenus()
{
    m_menus = new MainMenus(*this);
    connect(m_menus->mnuProcess, &QAction::triggered, this, [this] { m_controller.Process(true); });
    connect(m_menus->mnuProperties, &QAction::triggered, this, &frmHostVane::mnuProperties_Click);
    connect(m_menus->mnuTargets, &QAction::triggered, this, [this] {
        frmTargets dialog(m_controller, this);
        ContextIDs::SetHelpContext(&dialog, 260);
        dialog.exec();
    });
    connect(m_menus->mnuAutoUpdate, &QAction::triggered, this, &frmHostVane::mnuAutoUpdate_Click);
    connect(m_menus->mnuHelpContents, &QAction::triggered, &m_help, &ContextIDs::ShowHelpContents);
    connect(m_menus->mnuExit, &QAction::triggered, this, &frmHostVane::mnuExit_Click);
    connect(m_menus->mnuSTExit, &QAction::triggered, this, &frmHostVane::mnuExit_Click);
    connect(m_menus->mnuAbout, &QAction::triggered, this, &frmHostVane::ShowAbout);
    connect(m_menus->mnuSTAbout, &QAction::triggered, this, &frmHostVane::ShowAbout);
    connect(&kwSysTray1, &kwSysTray::MouseUp, m_menus, &MainMenus::PopupSystray);
    kwSysTray1.setMenu(m_menus->mnuSystray);
}

// The controller takes the settings back from the store whether the dialog saved or not.
void frmHostVane::mnuProperties_Click()
{
    frmSettings dialog(m_controller);
    ContextIDs::SetHelpContext(&dialog, 240);
    dialog.exec();
    m_controller.LoadSettings();
}

void frmHostVane::mnuAutoUpdate_Click()
{
    // The action has already toggled its mark, so it now shows the opposite of the state the
    // user clicked.
    m_controller.SetEnabled(m_menus->mnuAutoUpdate->isChecked());
}

void frmHostVane::ClearEvents()
{
    lbEvents->clear();
}

void frmHostVane::ShowEvent(const QString& line)
{
    lbEvents->appendSelected(line);
}

void frmHostVane::ShowAddressPanel(const QString& text, const QString& ipv6Text)
{
    sbMain->setAddressText(text, ipv6Text);
}

void frmHostVane::ControlsEnable(bool TrueFalse)
{
    m_menus->mnuProcess->setEnabled(TrueFalse);
    m_menus->mnuProperties->setEnabled(TrueFalse);
    m_menus->mnuTargets->setEnabled(TrueFalse);
}

QString frmHostVane::Caption() const
{
    return windowTitle();
}

void frmHostVane::SetCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void frmHostVane::ShowStarted(const QString& text)
{
    txStarted->setText(text);
}

void frmHostVane::ShowFtpStats(qint32 errorCount, qint32 uploadCount)
{
    txErrCount->setText(NumberText(errorCount));
    txUploads->setText(NumberText(uploadCount));
}

void frmHostVane::ShowFtpError(const QString& line)
{
    // A combo box selects the first line added to it; the selection stays the user's.
    const int selected = cbFtpErrMsg->currentIndex();
    cbFtpErrMsg->addItem(line);
    cbFtpErrMsg->setCurrentIndex(selected);
}

void frmHostVane::ShowAutoUpdate(bool TrueFalse)
{
    m_menus->mnuAutoUpdate->setChecked(TrueFalse);
}

void frmHostVane::ShowTime(const QString& text)
{
    sbMain->setClockText(text);
}

void frmHostVane::ShowWaitTime(const QString& text)
{
    sbMain->setWaitText(text);
}

void frmHostVane::Notify(const QString& title, const QString& text)
{
    m_notice.Notify(title, text);
}

void frmHostVane::InitHelp()
{
    m_help.InitHelp(this, ProgramDirectory::Path());
}

void frmHostVane::QuitHelp()
{
    m_help.QuitHelp();
}

void frmHostVane::EnableTrayIcon(bool TrueFalse)
{
    kwSysTray1.EnableTrayIcon(TrueFalse);
}

void frmHostVane::ShowAbout()
{
    frmAbout about(m_controller, this);
    about.exec();
}

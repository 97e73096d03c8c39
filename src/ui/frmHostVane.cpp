#include "ui/frmHostVane.h"

#include "settings/SettingsStore.h"
#include "system/AppIdentity.h"
#include "system/Clock.h"
#include "system/ProgramDirectory.h"
#include "system/Prompt.h"
#include "system/RuntimeFormat.h"
#include "system/TerminationSignals.h"
#include "ui/AppIcon.h"
#include "ui/EventHistoryList.h"
#include "ui/MainMenus.h"
#include "ui/StatusPanels.h"
#include "ui/TwipsLayout.h"
#include "ui/frmAbout.h"
#include "ui/frmSettings.h"
#include "ui/frmSplash.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSessionManager>

#include <cstdio>

frmHostVane::frmHostVane(const Clock& clock, Prompt& prompt, int platformId,
                         EngineTimeouts timeouts)
    : m_clock(clock), m_prompt(prompt), m_platform(platformId),
      m_engine(clock, prompt, *this, m_platform, m_settings, timeouts)
{
    setObjectName(QStringLiteral("frmHostVane"));
    setWindowTitle(AppIdentity::Title());
    setWindowIcon(AppIcon::Icon());
    ContextIDs::SetHelpContext(this, 10);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    buildControls();
    connectMenus();
    timSeconds.setInterval(1000);
    connect(&timSeconds, &QTimer::timeout, this, &frmHostVane::timSeconds_Timer);
    connect(&m_instance, &InstanceGuard::ShowRequested, this, &frmHostVane::showForOtherStart);
    connect(&NTService1, &NTService::Start, this, &frmHostVane::NTService1_Start);
    connect(&NTService1, &NTService::Stop, this, &frmHostVane::NTService1_Stop);
    m_engine.errors.setServiceLog(&NTService1);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { RequestUnload(AppWindows); });
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
    auto* client = new QWidget(this);
    setCentralWidget(client);
    const auto place = [&twips](QWidget* control, int l, int t, int w, int h) {
        control->setGeometry(twips.rect(l, t, w, h));
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
    label(QStringLiteral("Uploads:"), 3480, 120, 660, 192);
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
    place(lbEvents, 180, 1080, 6312, 1584);

    setTabOrder(txStarted, txUploads);
    setTabOrder(txUploads, txErrCount);
    setTabOrder(txErrCount, lbEvents);

    sbMain = new StatusPanels(this, twips);
    setStatusBar(sbMain);
    client->setMinimumSize(twips.px(6636), twips.px(3156 - 252));
}

void frmHostVane::connectMenus()
{
    m_menus = new MainMenus(*this);
    connect(m_menus->mnuProcess, &QAction::triggered, this, [this] { Process(true); });
    connect(m_menus->mnuProperties, &QAction::triggered, this, &frmHostVane::mnuProperties_Click);
    connect(m_menus->mnuAutoUpdate, &QAction::triggered, this, &frmHostVane::mnuAutoUpdate_Click);
    connect(m_menus->mnuHelpContents, &QAction::triggered, &m_help, &ContextIDs::ShowHelpContents);
    connect(m_menus->mnuExit, &QAction::triggered, this, &frmHostVane::mnuExit_Click);
    connect(m_menus->mnuSTExit, &QAction::triggered, this, &frmHostVane::mnuExit_Click);
    connect(m_menus->mnuAbout, &QAction::triggered, this, &frmHostVane::ShowAbout);
    connect(m_menus->mnuSTAbout, &QAction::triggered, this, &frmHostVane::ShowAbout);
    connect(&kwSysTray1, &kwSysTray::MouseUp, m_menus, &MainMenus::PopupSystray);
}

void frmHostVane::LoadSettings()
{
    const SettingsStore store;
    if (!store.readable())
        m_prompt.Show(AppIdentity::Title(),
                      QStringLiteral("Cannot read the settings file %1; the defaults are used.")
                          .arg(store.fileName()),
                      Prompt::Buttons::Ok);
    m_settings = SettingsKeys::Load(store, m_platform.WinverPlatform());
    SetEnabled(m_settings.ProcessingEnabled);
}

void frmHostVane::Process(bool Force)
{
    m_engine.check.Process(Force);
    reportCheckToService();
    const CheckOutcome& outcome = m_engine.check.LastOutcome();
    m_notifier.CheckFinished(outcome.publishTried, outcome.published, !isVisible() || isMinimized(),
                             bServiceMode);
}

void frmHostVane::LogError(const QString& msg)
{
    m_engine.errors.LogError(msg);
}

// The main window's own variables come back from the store whether the dialog saved or not.
void frmHostVane::mnuProperties_Click()
{
    frmSettings dialog(*this, NTService1, m_prompt);
    ContextIDs::SetHelpContext(&dialog, 240);
    dialog.exec();
    LoadSettings();
}

void frmHostVane::ClearEvents()
{
    lbEvents->clear();
}

void frmHostVane::EventMsg(const QString& msg)
{
    const QString line = CutHistoryLine(msg);
    lbEvents->appendSelected(line);
    writeStamped(line);
}

void frmHostVane::writeStamped(const QString& line) const
{
    std::fprintf(stderr, "%s\n", StampedLine(m_clock.now(), line).toLocal8Bit().constData());
    std::fflush(stderr);
}

void frmHostVane::ShowAddressPanel(const QString& text)
{
    sbMain->setAddressText(text);
}

void frmHostVane::ControlsEnable(bool TrueFalse)
{
    m_menus->mnuProcess->setEnabled(TrueFalse);
    m_menus->mnuProperties->setEnabled(TrueFalse);
}

void frmHostVane::LoadTimer()
{
    m_scheduler.LoadTimer(m_clock.now(), m_settings.lUpdateFrequency);
    ShowWaitTime();
}

QString frmHostVane::Caption() const
{
    return windowTitle();
}

void frmHostVane::SetCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void frmHostVane::ShowFtpStats(qint32 errorCount, qint32 uploadCount)
{
    txErrCount->setText(NumberText(errorCount));
    txUploads->setText(NumberText(uploadCount));
}

void frmHostVane::AddFtpErrorLine(const QString& line)
{
    // A combo box selects the first line added to it; the selection stays the user's.
    const int selected = cbFtpErrMsg->currentIndex();
    cbFtpErrMsg->addItem(line);
    cbFtpErrMsg->setCurrentIndex(selected);
    writeStamped(line);
}

void frmHostVane::SetEnabled(bool TrueFalse)
{
    m_settings.ProcessingEnabled = TrueFalse;
    m_menus->mnuAutoUpdate->setChecked(TrueFalse);
}

void frmHostVane::mnuAutoUpdate_Click()
{
    // The action has already toggled its mark, so it now shows the opposite of the state the
    // user clicked.
    SetEnabled(m_menus->mnuAutoUpdate->isChecked());
}

void frmHostVane::ShowTime()
{
    sbMain->setClockText(FormatDate(m_clock.now(), kPanelTimePattern));
}

void frmHostVane::ShowWaitTime()
{
    sbMain->setWaitText(m_scheduler.WaitText(m_settings.ProcessingEnabled));
}

void frmHostVane::timSeconds_Timer()
{
    const Scheduler::Tick tick = m_scheduler.NextTick(m_clock.now());
    if (tick.showTime)
        ShowTime();
    if (tick.assertTray)
        EnableTrayIcon(true);
    if (tick.checkDue)
        runScheduledCheck();
    ShowWaitTime();
}

// A check the schedule starts runs with the timer off, so that no tick comes during it.
void frmHostVane::runScheduledCheck()
{
    const bool ticking = timSeconds.isActive();
    timSeconds.stop();
    Process(false);
    if (ticking)
        timSeconds.start();
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
    frmAbout about(m_runner, m_prompt, this);
    about.exec();
}

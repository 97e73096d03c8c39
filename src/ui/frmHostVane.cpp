#include "ui/frmHostVane.h"

#include "settings/SettingsStore.h"
#include "system/AppIdentity.h"
#include "system/Clock.h"
#include "system/Prompt.h"
#include "system/RuntimeFormat.h"
#include "system/TerminationSignals.h"
#include "ui/EventHistoryList.h"
#include "ui/StatusPanels.h"
#include "ui/TwipsLayout.h"
#include "ui/frmSettings.h"
#include "ui/frmSplash.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QSessionManager>

#include <cstdio>

frmHostVane::frmHostVane(const Clock& clock, Prompt& prompt, int platformId,
                         EngineTimeouts timeouts)
    : m_clock(clock), m_prompt(prompt), m_platform(platformId),
      m_engine(clock, prompt, *this, m_platform, m_settings, timeouts)
{
    setObjectName(QStringLiteral("frmHostVane"));
    setWindowTitle(AppIdentity::Title());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    buildControls();
    buildMenus();
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

void frmHostVane::buildMenus()
{
    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuProcess =
        mnuFile->addAction(QStringLiteral("&Update now"), this, &frmHostVane::mnuProcess_Click);
    mnuProcess->setObjectName(QStringLiteral("mnuProcess"));
    mnuProperties =
        mnuFile->addAction(QStringLiteral("&Properties"), this, &frmHostVane::mnuProperties_Click);
    mnuProperties->setObjectName(QStringLiteral("mnuProperties"));
    mnuFile->addSeparator();
    mnuAutoUpdate =
        mnuFile->addAction(QStringLiteral("Auto update"), this, &frmHostVane::mnuAutoUpdate_Click);
    mnuAutoUpdate->setObjectName(QStringLiteral("mnuAutoUpdate"));
    mnuAutoUpdate->setCheckable(true);
    mnuAutoUpdate->setChecked(true);
    mnuFile->addSeparator();
    mnuExit = mnuFile->addAction(QStringLiteral("E&xit"), this, &frmHostVane::mnuExit_Click);
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
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
}

void frmHostVane::LogError(const QString& msg)
{
    m_engine.errors.LogError(msg);
}

void frmHostVane::mnuProcess_Click()
{
    Process(true);
}

// The main window's own variables come back from the store whether the dialog saved or not.
void frmHostVane::mnuProperties_Click()
{
    frmSettings dialog(*this, NTService1, m_prompt);
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
    mnuProcess->setEnabled(TrueFalse);
    mnuProperties->setEnabled(TrueFalse);
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
    mnuAutoUpdate->setChecked(TrueFalse);
}

void frmHostVane::mnuAutoUpdate_Click()
{
    // The action has already toggled its mark, so it now shows the opposite of the state the
    // user clicked.
    SetEnabled(mnuAutoUpdate->isChecked());
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

// Help and the tray icon come with their own windows; until then the program runs without them.
void frmHostVane::InitHelp()
{
}

void frmHostVane::QuitHelp()
{
}

void frmHostVane::EnableTrayIcon(bool TrueFalse)
{
    Q_UNUSED(TrueFalse);
}

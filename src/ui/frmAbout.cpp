#include "ui/frmAbout.h"

#include "control/ProgramController.h"
#include "system/AppIdentity.h"
#include "ui/AppIcon.h"
#include "ui/CenterOnScreen.h"
#include "ui/ContextIDs.h"
#include "ui/TwipsLayout.h"
#include "ui/WindowSize.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

frmAbout::frmAbout(ProgramController& program, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_program(program), lblTitle(new QLabel(this)), lblVersion(new QLabel(this)),
      lblCopyright(new QLabel(this))
{
    setObjectName(QStringLiteral("frmAbout"));
    ContextIDs::SetHelpContext(this, 250);
    setWindowIcon(AppIcon::Icon());

    QFont titleFont = font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle->setFont(titleFont);
    QFont versionFont = font();
    versionFont.setPointSizeF(versionFont.pointSizeF() * 1.2);
    lblVersion->setFont(versionFont);

    const TwipsLayout twips(this, {{AppIdentity::Copyright(), 3888},
                                   {AppIdentity::SupportPhone(), 3888},
                                   {AppIdentity::SupportEmail(), 3888},
                                   {QStringLiteral("&Kestrow Website"), 1908 - 240}});
    const auto place = [&twips](QWidget* control, const char* name, int l, int t, int w, int h) {
        control->setObjectName(QLatin1String(name));
        control->setGeometry(twips.rect(l, t, w, h));
    };
    auto* picIcon = new QLabel(this);
    place(picIcon, "picIcon", 60, 60, 432, 432);
    // As large as its box, which grows with the layout, drawn for the screen's device pixels
    // rather than scaled up from a smaller picture.
    picIcon->setPixmap(windowIcon().pixmap(picIcon->size(), devicePixelRatioF()));
    place(lblTitle, "lblTitle", 540, 120, 3888, 348);
    place(lblVersion, "lblVersion", 540, 480, 3888, 228);
    place(lblCopyright, "lblCopyright", 600, 780, 3888, 228);
    place(new QLabel(AppIdentity::SupportPhone(), this), "Label1", 600, 1020, 3888, 228);
    place(new QLabel(AppIdentity::SupportEmail(), this), "Label2", 600, 1260, 3888, 228);

    auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
    place(cmdOK, "cmdOK", 120, 2880, 1260, 345);
    auto* cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    place(cmdSysInfo, "cmdSysInfo", 1440, 2880, 1245, 345);
    auto* cmdWebhelp = new QPushButton(QStringLiteral("&Kestrow Website"), this);
    place(cmdWebhelp, "cmdWebhelp", 3660, 2880, 1908, 345);
    // OK is the default button; Esc rejects the dialog, which closes it the same way.
    cmdOK->setDefault(true);
    setTabOrder(cmdOK, cmdSysInfo);
    setTabOrder(cmdSysInfo, cmdWebhelp);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
    connect(cmdWebhelp, &QPushButton::clicked, this,
            [this] { WebLaunch(AppIdentity::WebAddress()); });

    KeepWindowSize(*this, QSize(twips.px(5736), twips.px(3336)));
    Form_Load();
}

void frmAbout::Form_Load()
{
    CenterOnScreen(*this);
    setWindowTitle(QStringLiteral("About ") + AppIdentity::Title());
    lblVersion->setText(QStringLiteral("Version ") + AppIdentity::Version());
    lblTitle->setText(AppIdentity::Title());
    lblCopyright->setText(AppIdentity::Copyright());
}

void frmAbout::StartSysInfo()
{
    m_program.ShowSystemInformation();
}

void frmAbout::WebLaunch(const QString& address)
{
    QDesktopServices::openUrl(QUrl(address));
}

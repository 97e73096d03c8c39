#include "ui/frmSplash.h"

#include "system/AppIdentity.h"
#include "system/Clock.h"
#include "ui/CenterOnScreen.h"
#include "ui/TwipsLayout.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPixmap>
#include <QWindow>

namespace {

const QColor kBackColour(192, 255, 255);
const QColor kMaroon(128, 0, 0);
const QColor kCopyrightBlue(0, 0, 192);

void paint(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

} // namespace

frmSplash::frmSplash(const Clock& clock, QWidget* parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_clock(clock)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    paint(this, QPalette::Window, kBackColour);
    buildControls();
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Form_Load();
}

void frmSplash::buildControls()
{
    const TwipsLayout twips(this, {});
    setFixedSize(twips.px(7212), twips.px(4140));

    auto* Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Frame1->setGeometry(twips.rect(60, 0, 7080, 4050));

    auto* Picture2 = new QLabel(Frame1);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setGeometry(twips.rect(2700, 1320, 1800, 1692));
    Picture2->setPixmap(
        QPixmap(QStringLiteral(":/icons/hostvane-logo.png"))
            .scaled(Picture2->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));

    auto* Line1 = new QFrame(Frame1);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameStyle(QFrame::HLine | QFrame::Plain);
    Line1->setGeometry(twips.px(60), twips.px(3060), twips.px(7020 - 60), 1);

    const auto label = [&](const char* name, int l, int t, int w, int h, double points, bool bold,
                           Qt::Alignment alignment, const QColor& colour) {
        auto* caption = new QLabel(Frame1);
        caption->setObjectName(QLatin1String(name));
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(points);
        font.setBold(bold);
        caption->setFont(font);
        caption->setAlignment(alignment | Qt::AlignTop);
        paint(caption, QPalette::WindowText, colour);
        // Sized to its text as drawn, never cut when the font needs more height.
        QRect area = twips.rect(l, t, w, h);
        area.setHeight(std::max(area.height(), caption->fontMetrics().height()));
        caption->setGeometry(area);
        return caption;
    };
    QLabel* lblCompanyProduct =
        label("lblCompanyProduct", 180, 180, 6696, 420, 18, true, Qt::AlignHCenter, kMaroon);
    lblCompanyProduct->setText(AppIdentity::Company());
    lblProductName =
        label("lblProductName", 180, 600, 6696, 768, 32.4, true, Qt::AlignHCenter, kMaroon);
    lblPlatform = label("lblPlatform", 4680, 3120, 2292, 360, 15.6, true, Qt::AlignRight, kMaroon);
    lblVersion = label("lblVersion", 4620, 3540, 2328, 288, 12, true, Qt::AlignRight, kMaroon);
    lblCopyright =
        label("lblCopyright", 60, 3720, 5292, 252, 8.4, false, Qt::AlignLeft, kCopyrightBlue);
}

void frmSplash::Form_Load()
{
    lblVersion->setText(QStringLiteral("Version ") + AppIdentity::Version());
    lblProductName->setText(AppIdentity::Title());
    lblCopyright->setText(AppIdentity::Copyright());
    lblPlatform->setText(QStringLiteral("32 Bit"));
    CenterOnScreen(*this);
    m_loadedAt = m_clock.now();
    Timer1.start(std::chrono::seconds(kShowSeconds));
    SetTopMost();
}

// The stays-on-top hint needs a window manager that honours it; without one a window shown
// later would cover the card, so the card also raises itself above every window shown after it,
// except a dialog or message box: what asks the user something is never hidden by the card.
void frmSplash::SetTopMost()
{
    raise();
    qApp->installEventFilter(this);
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched != this && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow())
            QMetaObject::invokeMethod(window->isModal() ? window : this, &QWidget::raise,
                                      Qt::QueuedConnection);
    }
    return QFrame::eventFilter(watched, event);
}

void frmSplash::StayAbove(QWidget& window)
{
    if (!isVisible() || !window.windowHandle() ||
        !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    hide();
    winId();
    windowHandle()->setTransientParent(window.windowHandle());
    show();
}

void frmSplash::Timer1_Timer()
{
    const qint64 leftMs = m_clock.now().msecsTo(m_loadedAt.addSecs(kShowSeconds));
    if (leftMs > 0) {
        Timer1.start(std::chrono::milliseconds(leftMs));
        return;
    }
    close();
}

void frmSplash::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    close();
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    close();
}

void frmSplash::closeEvent(QCloseEvent* event)
{
    Timer1.stop();
    event->accept();
}

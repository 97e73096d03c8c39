#include "support/ManualClock.h"
#include "ui/frmSplash.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class SplashTest : public ::testing::Test
{
protected:
    SplashTest() : splash(new frmSplash(clock))
    {
        splash->show();
        splash->activateWindow();
        splash->setFocus();
    }
    ~SplashTest() override { delete splash; }

    // The card deletes itself once it has closed and the event loop has run.
    bool gone()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return splash.isNull();
    }
    QLabel* label(const char* name) const
    {
        return splash->findChild<QLabel*>(QLatin1String(name));
    }

    ManualClock clock;
    QPointer<frmSplash> splash;
};

TEST_F(SplashTest, ShowsTheIdentityAboveOtherWindowsWithoutTaskBarEntry)
{
    EXPECT_EQ(label("lblProductName")->text(), QStringLiteral("HostVane"));
    EXPECT_EQ(label("lblVersion")->text(), QStringLiteral("Version 1.1.3"));
    EXPECT_EQ(label("lblPlatform")->text(), QStringLiteral("32 Bit"));
    EXPECT_FALSE(label("lblCopyright")->text().isEmpty());
    EXPECT_FALSE(label("lblCompanyProduct")->text().isEmpty());
    EXPECT_FALSE(label("Picture2")->pixmap().isNull()) << "the logo is built in";
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash->windowType(), Qt::SplashScreen);
    EXPECT_EQ(splash->palette().color(QPalette::Window), QColor(192, 255, 255));
    EXPECT_EQ(label("lblCopyright")->palette().color(QPalette::WindowText), QColor(0, 0, 192));
    EXPECT_EQ(label("lblProductName")->font().pointSizeF(), 32.4);
}

// The card's time is counted on the clock from its load: a tick that comes early (a timer is
// never exact) keeps it up, the one at five seconds closes it.
TEST_F(SplashTest, ClosesFiveSecondsAfterItsLoadByTheClock)
{
    clock.advanceSeconds(4);
    splash->Timer1_Timer();
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(splash->TimerRunning());
    clock.advanceSeconds(1);
    splash->Timer1_Timer();
    EXPECT_TRUE(gone());
}

TEST_F(SplashTest, AClickAnywhereClosesItAtOnceAndStopsItsTimer)
{
    for (const char* target : {"lblCopyright", "Picture2", "lblProductName"}) {
        SCOPED_TRACE(target);
        if (splash.isNull())
            splash = new frmSplash(clock);
        splash->show();
        QTest::mouseClick(label(target), Qt::LeftButton);
        EXPECT_FALSE(splash->isVisible());
        EXPECT_FALSE(splash->TimerRunning()) << "no later tick may close it again";
        EXPECT_TRUE(gone());
    }
}

TEST_F(SplashTest, AKeyClosesItOnlyWhileItHasTheFocus)
{
    QLineEdit other;
    other.show();
    QTest::keyClick(&other, Qt::Key_A);
    EXPECT_TRUE(splash->isVisible()) << "a key typed into another window";
    QTest::keyClick(splash.data(), Qt::Key_Space);
    EXPECT_TRUE(gone());
}

} // namespace

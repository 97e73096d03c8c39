#include "QuietWindowTest.h"

#include "components/NTService.h"
#include "support/RecordingRunner.h"
#include "ui/frmAbout.h"
#include "ui/frmSettings.h"

#include <QGuiApplication>
#include <QTest>

namespace {

class WaylandTest : public QuietWindowTest
{
};

// The desktop may maximize or make full screen any window, whatever its size: each window
// takes it and the program goes on.
TEST_F(WaylandTest, EveryWindowTakesMaximizeAndFullScreen)
{
    ASSERT_TRUE(QGuiApplication::platformName().startsWith(QLatin1String("wayland")));
    frmHostVane& main = start();
    RecordingRunner runner;
    NTService service{runner};
    frmSettings settings(program->controller, service, prompt);
    frmAbout about(runner, prompt);
    for (QWidget* shown : {static_cast<QWidget*>(&main), static_cast<QWidget*>(&settings),
                           static_cast<QWidget*>(&about)}) {
        SCOPED_TRACE(shown->objectName().toStdString());
        shown->showNormal();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shown));
        const QSize normal = shown->size();
        shown->showMaximized();
        QTest::qWait(300);
        EXPECT_TRUE(shown->isMaximized());
        shown->showFullScreen();
        QTest::qWait(300);
        shown->showNormal();
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown->size() == normal; }, 2000));
        shown->hide();
    }
    EXPECT_TRUE(main.isHidden());

    // A window under another one may be minimized for all this client is told: a failure is
    // then announced as for a hidden window.
    main.showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    about.show();
    about.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_FALSE(main.isActiveWindow());
    EXPECT_TRUE(main.Unseen());
}

} // namespace

#include "support/PrivateSessionBus.h"
#include "support/WestonCompositor.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <iostream>

// The window tests again, as a Wayland client of a real compositor: a protocol error there
// ends the whole process, and with it the test.
int main(int argc, char** argv)
{
    qputenv("LC_ALL", "C");
    WestonCompositor weston;
    if (!weston.running()) {
        std::cerr << "weston cannot run here: " << weston.log().toStdString() << "\n";
        return 1;
    }
    weston.becomeClient();
    // A desktop's tray lives on the session bus: this one is the tests' own.
    const PrivateSessionBus bus;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

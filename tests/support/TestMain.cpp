#include <QApplication>

#include <gtest/gtest.h>

// Every test binary runs with a headless application object, so event loops, timers and
// widgets work as in the program.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Month names and designators come from the system locale; tests read them in English.
    qputenv("LC_ALL", "C");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

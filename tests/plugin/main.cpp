#include <QApplication>

#include <gtest/gtest.h>

// Widgets need an application object for the whole run, and no display.
int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false); // the panel's closing must not end nested loops
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

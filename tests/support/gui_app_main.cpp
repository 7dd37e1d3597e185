#include <QGuiApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Fonts and text drawing need a QGuiApplication; the offscreen platform needs no display.
int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    // Whatever Qt keeps in its settings (dialog history, custom colours) goes to a test
    // location, not into the user's home folder.
    QStandardPaths::setTestModeEnabled(true);
    return RUN_ALL_TESTS();
}

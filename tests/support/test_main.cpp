#ifdef VELMORA_TEST_WIDGETS
#include "app/qt_translations.h"

#include <QApplication>
using TestApplication = QApplication; // the dialogs need one
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication; // fonts and text drawing need one
#endif
#include <QStandardPaths>

#include <gtest/gtest.h>

// The offscreen platform needs no display.
int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
#ifdef VELMORA_TEST_WIDGETS
    UseChineseLocale(); // the program's locale, as the program sets it
#endif
    TestApplication app(argc, argv);
    // Whatever Qt keeps in its settings (dialog history, custom colours) goes to a test
    // location, not into the user's home folder.
    QStandardPaths::setTestModeEnabled(true);
    return RUN_ALL_TESTS();
}

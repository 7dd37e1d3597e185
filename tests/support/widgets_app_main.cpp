#include "app/qt_translations.h"

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

// The dialogs need a QApplication; the offscreen platform needs no display.
int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    // The program's locale, as the program sets it.
    UseChineseLocale();
    QApplication app(argc, argv);
    // Whatever Qt keeps in its settings (dialog history, custom colours) goes to a test
    // location, not into the user's home folder.
    QStandardPaths::setTestModeEnabled(true);
    return RUN_ALL_TESTS();
}

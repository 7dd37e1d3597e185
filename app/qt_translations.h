#pragma once

#include <QCoreApplication>

// Puts Qt's own texts (file dialog, colour and font dialogs, message box buttons) into
// Simplified Chinese, like the rest of the interface, whatever the system's language.
// False when Qt's Chinese translation is not installed; the texts then stay English.
bool InstallChineseQtTexts(QCoreApplication &application);

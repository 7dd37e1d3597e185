#pragma once

#include <QCoreApplication>

// Makes Chinese (China) the program's own locale, whatever the user's: Qt's dialogs then give
// dates, sizes and file types in Chinese. Call it before the application object is made, which
// is when Qt reads the locale from the environment. The C library keeps the user's settings.
void UseChineseLocale();

// Puts Qt's own texts (file dialog, colour and font dialogs, message box buttons) into
// Simplified Chinese, like the rest of the interface, whatever the system's language.
// False when Qt's Chinese translation is not installed; the texts then stay English.
bool InstallChineseQtTexts(QCoreApplication &application);

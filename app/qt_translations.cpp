#include "qt_translations.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <clocale>

void UseChineseLocale()
{
    // The C library takes the user's settings now; when Qt sets it up again from the
    // variables below and the system has no Chinese locale of its own, that fails and these
    // stay.
    std::setlocale(LC_ALL, "");
    qputenv("LC_ALL", "zh_CN.UTF-8");
    qputenv("LANGUAGE", "zh_CN");
}

bool InstallChineseQtTexts(QCoreApplication &application)
{
    const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
    // What the program formats itself follows the interface's language too; Qt's dialogs
    // take the system locale, which UseChineseLocale sets.
    QLocale::setDefault(chinese);
    auto *translator = new QTranslator(&application);
    if (!translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

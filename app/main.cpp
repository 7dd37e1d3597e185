#include "app/composer_app.h"
#include "app/qt_translations.h"
#include "res/strings.h"
#include "ui/program_icon_qt.h"
#include "ui/qt_prompt_service.h"

#include <QApplication>

int main(int argc, char **argv)
{
    UseChineseLocale();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(strings::kProgramTitle));
    QApplication::setWindowIcon(ProgramIcon());
    InstallChineseQtTexts(application);
    QtPromptService prompts;
    SetPrompts(&prompts);
    ComposerApp app;
    app.InitInstance();
    SetPrompts(nullptr);
    return 0;
}

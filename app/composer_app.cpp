#include "composer_app.h"

#include "main_dialog.h"

bool ComposerApp::InitInstance()
{
    MainDialog dialog;
    dialog.exec();
    return false;
}

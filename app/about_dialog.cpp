#include "about_dialog.h"

#include "dialog_builder.h"
#include "res/dialog_templates.h"

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
{
    BuildDialog(this, AboutDialogTemplate());
}

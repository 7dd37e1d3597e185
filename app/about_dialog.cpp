#include "about_dialog.h"

#include "res/dialog_templates.h"
#include "ui/dialog_builder.h"

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
{
    BuildDialog(this, AboutDialogTemplate());
}

#include "main_dialog.h"

// The text properties dialog is not here yet: the command only redraws the view.
void MainDialog::OnEditTextProperties()
{
    DrawView();
}

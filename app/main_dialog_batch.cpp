#include "main_dialog.h"

// The batch dialog is not here yet.
void MainDialog::OnFileBatch() { }

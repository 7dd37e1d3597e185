#include "main_dialog.h"

#include "batch/batch_dialog.h"

// The batch command: the dialog works on its own copy of the text and on files of its own, so
// nothing in this window changes and nothing is redrawn.
void MainDialog::OnFileBatch()
{
    RunBatchDialog(this, m_style);
}

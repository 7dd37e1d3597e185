#include "main_dialog.h"

#include "overlay/text_properties_dialog.h"

// The edit text command, also reached by double-clicking the text: the dialog works on a copy,
// OK brings it back, and the view shows the outcome at once however the dialog ended.
void MainDialog::OnEditTextProperties()
{
    EditTextProperties(this, m_style);
    DrawView();
}

#pragma once

#include "dialog_template.h"

// The main window (102) and the About box (100).
const DialogTemplate &MainDialogTemplate();
const DialogTemplate &AboutDialogTemplate();

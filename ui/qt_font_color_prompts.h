#pragma once

#include "platform/colorref.h"
#include "platform/logfont.h"

#include <array>
#include <optional>

class QWidget;

// The Qt font and colour dialogs as the prompt service offers them.

// The font dialog, starting from initial; the whole record of the chosen font, the fields a
// Qt font does not describe kept from initial. Nothing when cancelled.
std::optional<LOGFONT> ChooseFontWithDialog(QWidget *owner, const LOGFONT &initial);

// The colour dialog, starting from initial and offering the run's custom colours, which it
// updates with whatever the user defined, chosen or cancelled. Nothing when cancelled.
std::optional<COLORREF> ChooseColorWithDialog(QWidget *owner, COLORREF initial);

// The 16 custom colours of the run: all white at start, never read from or written to disk.
std::array<COLORREF, 16> &RunCustomColors();

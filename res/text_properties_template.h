#pragma once

#include "dialog_template.h"

// The text properties dialog: its template and the ids of the controls its code talks to.
namespace textprops {

constexpr int kTemplateId = 132;

constexpr int kFontButton = 1003;
constexpr int kBgTransparentCheck = 1004;
constexpr int kAlphaEdit = 1005;
constexpr int kAlphaSlider = 1006;
constexpr int kTextColorSwatch = 1007;
constexpr int kBkColorSwatch = 1008;
constexpr int kPreviewBox = 1009;
constexpr int kTextEdit = 1010;
constexpr int kOkButton = 1011;
constexpr int kCancelButton = 1012;

// Template order is the tab order. There is deliberately no IDOK, no IDCANCEL and no default
// push button: Enter in an edit reaches the dialog's own accept, which exchanges first.
const DialogTemplate &Template();

} // namespace textprops

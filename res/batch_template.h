#pragma once

#include "dialog_template.h"

// The batch dialog: its template and the ids of the controls its code talks to.
namespace batchdlg {

constexpr int kTemplateId = 133;

constexpr int kAnchorCombo = 1013;
constexpr int kFileList = 1014;
constexpr int kAddButton = 1015;
constexpr int kDeleteButton = 1016;
constexpr int kClearButton = 1017;
constexpr int kSaveAllButton = 1018;
constexpr int kExitButton = 1019;
constexpr int kProgress = 1020;

// Template order is the tab order. No button is a default push button and there is no IDOK or
// IDCANCEL, so Enter outside a button never starts a run. No system menu: no close box.
const DialogTemplate &Template();

} // namespace batchdlg

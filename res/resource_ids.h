#pragma once

// Ids of the resources and controls, and the command ids of the menu, so that code and tests
// name a dialog, a control or an action the same way.
namespace ids {

// Dialog templates.
constexpr int kAboutDialog = 100;
constexpr int kMainDialog = 102;

// Menu and icon.
constexpr int kMainMenu = 131;
constexpr int kProgramIcon = 128;

// Controls of the main window.
constexpr int kHorizontalScrollBar = 1001;
constexpr int kVerticalScrollBar = 1002;

// Menu commands.
constexpr int kFileOpen = 32771;
constexpr int kFileSave = 32772;
constexpr int kFileSaveAs = 32773;
constexpr int kAppExit = 32774;
constexpr int kFileBatch = 32775;
constexpr int kAppAbout = 32779;
constexpr int kFileClose = 32780;
constexpr int kEditTextProperties = 32784;

} // namespace ids

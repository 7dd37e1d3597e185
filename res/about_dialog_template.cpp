#include "dialog_templates.h"
#include "resource_ids.h"
#include "strings.h"
#include "window_styles.h"

namespace {

using namespace styles;

// The icon control's text names the icon resource it shows.
constexpr ControlTemplate kControls[] = {
    {-1, ControlClass::Static, "128", {10, 10, 21, 21}, WS_CHILD | WS_VISIBLE | SS_ICON},
    {-1,
     ControlClass::Static,
     strings::kAboutProgram,
     {40, 10, 119, 8},
     WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX},
    {-1,
     ControlClass::Static,
     strings::kAboutContact1,
     {40, 28, 119, 8},
     WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX},
    {-1,
     ControlClass::Static,
     strings::kAboutContact2,
     {40, 46, 119, 8},
     WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX},
    {-1,
     ControlClass::Static,
     strings::kAboutContact3,
     {40, 64, 119, 8},
     WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX},
    {IDOK,
     ControlClass::Button,
     strings::kOkButton,
     {175, 65, 50, 14},
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
};

constexpr DialogTemplate kTemplate {
    ids::kAboutDialog,
    strings::kAboutCaption,
    "宋体",
    9,
    {0, 0, 235, 89},
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    0,
    0,
    kControls,
};

} // namespace

const DialogTemplate &AboutDialogTemplate()
{
    return kTemplate;
}

#include "dialog_templates.h"
#include "resource_ids.h"
#include "window_styles.h"

namespace {

using namespace styles;

// Only the thickness of each bar counts: the layout moves and stretches them.
constexpr ControlTemplate kControls[] = {
    {ids::kHorizontalScrollBar,
     ControlClass::ScrollBar,
     "",
     {0, 120, 40, 11},
     WS_CHILD | WS_VISIBLE | SBS_HORZ},
    {ids::kVerticalScrollBar,
     ControlClass::ScrollBar,
     "",
     {185, 40, 10, 40},
     WS_CHILD | WS_VISIBLE | SBS_VERT},
};

constexpr DialogTemplate kTemplate {
    ids::kMainDialog,
    "",
    "宋体",
    9,
    {0, 0, 471, 343},
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX
        | WS_MAXIMIZEBOX | DS_SETFONT,
    WS_EX_APPWINDOW,
    ids::kMainMenu,
    kControls,
};

} // namespace

const DialogTemplate &MainDialogTemplate()
{
    return kTemplate;
}

#pragma once

#include <cstdint>
#include <span>

// A dialog described as data: what its template holds, with rectangles in dialog units.
// The builder in app/ turns it into widgets; tests find controls by their ids.

// The control classes the templates use.
enum class ControlClass {
    Button, // push button, check box or group box, by style
    Static, // label, icon or frame, by style
    Edit,
    ScrollBar,
    Trackbar, // slider
    Progress,
    ListBox,
    ComboBox,
};

struct DialogUnitRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlTemplate
{
    int id = -1; // -1: a control without id
    ControlClass controlClass = ControlClass::Static;
    const char *text = ""; // UTF-8, with "&" before a mnemonic
    DialogUnitRect rect;
    std::uint32_t style = 0;
};

struct DialogTemplate
{
    int id = 0;
    const char *caption = ""; // UTF-8
    const char *fontFace = "";
    int fontPointSize = 9;
    DialogUnitRect rect;
    std::uint32_t style = 0;
    std::uint32_t extendedStyle = 0;
    int menuId = 0;                            // 0: no menu
    std::span<const ControlTemplate> controls; // template order, which is also the tab order
};

// Standard command ids of the dialog buttons.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

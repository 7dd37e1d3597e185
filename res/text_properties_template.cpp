#include "text_properties_template.h"

#include "window_styles.h"

#include <array>

namespace textprops {
namespace {

using namespace styles;

constexpr std::uint32_t kChild = WS_CHILD | WS_VISIBLE;
constexpr std::uint32_t kLabel = kChild | SS_LEFT | WS_GROUP;
constexpr std::uint32_t kGroupBox = kChild | BS_GROUPBOX;
constexpr std::uint32_t kPush = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr std::uint32_t kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;

constexpr ControlClass B = ControlClass::Button;
constexpr ControlClass S = ControlClass::Static;
constexpr ControlClass E = ControlClass::Edit;

constexpr std::array kControls = {
    ControlTemplate {kPreviewBox, S, "", {9, 180, 296, 79}, kChild | SS_ETCHEDFRAME},
    ControlTemplate {-1, B, "", {9, 3, 296, 150}, kGroupBox},
    ControlTemplate {-1, B, "字体和大小", {17, 41, 151, 38}, kGroupBox},
    ControlTemplate {-1, S, "修改字体:", {25, 58, 35, 8}, kLabel},
    ControlTemplate {kFontButton, B, "字体选择(&F)...", {70, 56, 70, 14}, kPush},
    ControlTemplate {-1, S, "", {0, 161, 315, 1}, kChild | SS_ETCHEDHORZ},
    ControlTemplate {-1, B, "透明度", {17, 85, 151, 57}, kGroupBox},
    ControlTemplate {-1, B, "", {177, 41, 120, 38}, kGroupBox},
    ControlTemplate {kBgTransparentCheck,
                     B,
                     "背景透明(&T)",
                     {187, 60, 90, 10},
                     kChild | BS_AUTOCHECKBOX | WS_TABSTOP},
    ControlTemplate {-1, B, "", {177, 85, 120, 57}, kGroupBox},
    ControlTemplate {-1, S, "前景色:", {195, 101, 27, 8}, kLabel},
    ControlTemplate {-1, S, "背景色:", {195, 120, 27, 8}, kLabel},
    ControlTemplate {kTextColorSwatch, S, "", {229, 94, 20, 20}, kChild | SS_BLACKFRAME},
    ControlTemplate {kBkColorSwatch, S, "", {229, 116, 20, 20}, kChild | SS_BLACKFRAME},
    ControlTemplate {-1, S, "透明值:", {25, 99, 27, 8}, kLabel},
    ControlTemplate {kAlphaEdit, E, "", {60, 96, 75, 14}, kEdit},
    ControlTemplate {kAlphaSlider,
                     ControlClass::Trackbar,
                     "Slider1",
                     {24, 122, 117, 15},
                     kChild | TBS_HORZ | TBS_BOTH | TBS_NOTICKS | WS_TABSTOP},
    ControlTemplate {-1, S, "文字预览:", {9, 168, 35, 8}, kLabel},
    ControlTemplate {-1, B, "", {17, 8, 280, 29}, kGroupBox},
    ControlTemplate {-1, S, "文字内容:", {25, 19, 35, 8}, kLabel},
    ControlTemplate {kTextEdit, E, "", {65, 17, 226, 14}, kEdit},
    ControlTemplate {-1, S, "", {0, 265, 314, 1}, kChild | SS_ETCHEDHORZ},
    ControlTemplate {kOkButton, B, "确定(&O)", {202, 273, 50, 14}, kPush},
    ControlTemplate {kCancelButton, B, "取消(&C)", {252, 273, 50, 14}, kPush},
};

constexpr DialogTemplate kTemplate {
    kTemplateId,
    "修改文字属性",
    "宋体",
    10,
    {0, 0, 315, 295},
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    0,
    0,
    kControls,
};

} // namespace

const DialogTemplate &Template()
{
    return kTemplate;
}

} // namespace textprops

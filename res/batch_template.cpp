#include "batch_template.h"

#include "batch_strings.h"
#include "window_styles.h"

#include <array>

namespace batchdlg {
namespace {

using namespace styles;

constexpr std::uint32_t kChild = WS_CHILD | WS_VISIBLE;
constexpr std::uint32_t kGroupBox = kChild | BS_GROUPBOX;
constexpr std::uint32_t kPush = kChild | BS_PUSHBUTTON | WS_TABSTOP;
// A single-selection list that is neither sorted nor reports its clicks.
constexpr std::uint32_t kList
    = kChild | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;

constexpr ControlClass B = ControlClass::Button;

constexpr std::array kControls = {
    ControlTemplate {-1, B, "文字位置", {6, 7, 245, 35}, kGroupBox},
    ControlTemplate {kAnchorCombo,
                     ControlClass::ComboBox,
                     "",
                     {13, 21, 232, 144},
                     kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
    ControlTemplate {-1, B, "文件", {6, 44, 245, 200}, kGroupBox},
    ControlTemplate {kFileList, ControlClass::ListBox, "", {9, 56, 161, 184}, kList},
    ControlTemplate {kAddButton, B, "添加文件(&A)", {179, 56, 65, 14}, kPush},
    ControlTemplate {kDeleteButton, B, "删除选中项(&D)", {179, 70, 65, 14}, kPush},
    ControlTemplate {kClearButton, B, "清空列表(&C)", {179, 84, 65, 14}, kPush},
    ControlTemplate {kSaveAllButton, B, "保存所有文件(&S)", {179, 211, 65, 14}, kPush},
    ControlTemplate {kExitButton, B, "退出(&X)", {179, 225, 65, 14}, kPush},
    ControlTemplate {-1, ControlClass::Static, "", {0, 252, 255, 1}, kChild | SS_ETCHEDHORZ},
    ControlTemplate {
        kProgress, ControlClass::Progress, "", {0, 259, 255, 14}, kChild | PBS_SMOOTH | WS_BORDER},
};

constexpr DialogTemplate kTemplate {
    kTemplateId,
    strings::kBatchCaption,
    "宋体",
    10,
    {0, 0, 255, 274},
    WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT,
    0,
    0,
    kControls,
};

} // namespace

const DialogTemplate &Template()
{
    return kTemplate;
}

} // namespace batchdlg

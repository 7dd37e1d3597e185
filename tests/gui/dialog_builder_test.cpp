#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/window_styles.h"
#include "ui/dialog_builder.h"

#include <QDialog>
#include <QFontInfo>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace styles;

enum : int { kEdit = 10, kCheck, kList, kCombo, kHidden };
constexpr std::uint32_t V = WS_CHILD | WS_VISIBLE, T = V | WS_TABSTOP;

// clang-format off
constexpr ControlTemplate kControls[] = {
    {-1, ControlClass::Static, "文字(&T):", {7, 12, 30, 8}, V | SS_LEFT},
    {kEdit, ControlClass::Edit, "abc", {40, 10, 60, 14}, T | ES_AUTOHSCROLL},
    {-1, ControlClass::Static, "A&B", {7, 44, 30, 8}, V | SS_NOPREFIX},
    {kCheck, ControlClass::Button, "透明(&B)", {7, 30, 60, 10}, T | BS_AUTOCHECKBOX},
    {kList, ControlClass::ListBox, "", {160, 10, 60, 40}, T | LBS_NOINTEGRALHEIGHT},
    {kHidden, ControlClass::Edit, "", {160, 80, 60, 14}, WS_CHILD | WS_TABSTOP},
    {kCombo, ControlClass::ComboBox, "", {160, 60, 60, 100}, T | CBS_DROPDOWNLIST},
    {IDCANCEL, ControlClass::Button, "取消", {160, 120, 50, 14}, V},
};
constexpr DialogTemplate kTemplate {900, "样例", "宋体", 9, {0, 0, 230, 140},
    WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT, 0, 0, kControls};
// clang-format on

TEST(DialogBuilder, DialogUnitsComeFromTheFallbackFont)
{
    const QFont font = DialogFont(kTemplate);
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_EQ(QFontInfo(font).family(), QString::fromUtf8("文泉驿微米黑")); // in Chinese
    const DialogBaseUnits units = BaseUnitsFor(font);
    ASSERT_GT(units.x * units.y, 0);
    // x by a quarter of the average width, y by an eighth of the height, rounded.
    EXPECT_EQ(DialogUnitsToPixels({4, 8, 40, 16}, units),
              QRect(units.x, units.y, 10 * units.x, 2 * units.y));
    EXPECT_EQ(DialogUnitsToPixels({2, 0, 0, 0}, {7, 16}).x(), 4); // 3.5 rounds up
}

TEST(DialogBuilder, LabelsTabOrderVisibilityAndCancel)
{
    QDialog dialog;
    BuildDialog(&dialog, kTemplate);
    const auto control = [&](int id) {
        return FindControlWidget(&dialog, id);
    };
    // A mnemonic label gets the next focusable control as buddy; SS_NOPREFIX keeps "&".
    const QList<QLabel *> labels = dialog.findChildren<QLabel *>();
    ASSERT_EQ(labels.size(), 2);
    EXPECT_EQ(labels[0]->buddy(), control(kEdit));
    EXPECT_EQ(std::pair(labels[1]->buddy(), labels[1]->textFormat()),
              std::pair((QWidget *)nullptr, Qt::PlainText));
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_FALSE(control(kHidden)->isVisible());
    EXPECT_EQ(dialog.size(), dialog.minimumSize()); // modal frame: fixed size
    // Tab goes in template order over the visible controls that have a tab stop.
    QWidget *at = control(kEdit);
    for (int next : {kCheck, kList, kCombo, kEdit}) {
        do
            at = at->nextInFocusChain();
        while (!(at->focusPolicy() & Qt::TabFocus) || !at->isVisible());
        EXPECT_EQ(at, control(next)) << next;
    }
    QTest::mouseClick(control(IDCANCEL), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

} // namespace

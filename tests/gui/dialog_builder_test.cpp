#include "app/dialog_builder.h"
#include "res/dialog_templates.h"
#include "res/menu_template.h"
#include "res/program_icon.h"
#include "res/resource_ids.h"
#include "res/string_table.h"
#include "res/strings.h"
#include "res/window_styles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace styles;

constexpr int kEdit = 10;
constexpr int kCheck = 11;
constexpr int kGroup = 12;
constexpr int kSlider = 13;
constexpr int kProgress = 14;
constexpr int kList = 15;
constexpr int kCombo = 16;
constexpr int kHidden = 17;
constexpr int kButton = 18;

// One control of every kind the templates use, in a deliberate tab order.
constexpr ControlTemplate kEveryKind[] = {
    {kGroup, ControlClass::Button, "分组", {2, 2, 150, 100}, WS_CHILD | WS_VISIBLE | BS_GROUPBOX},
    {-1, ControlClass::Static, "文字(&T):", {7, 12, 30, 8}, WS_CHILD | WS_VISIBLE | SS_LEFT},
    {kEdit,
     ControlClass::Edit,
     "abc",
     {40, 10, 60, 14},
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL},
    {kCheck,
     ControlClass::Button,
     "透明(&B)",
     {7, 30, 60, 10},
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
    {-1, ControlClass::Static, "A&B", {7, 44, 30, 8}, WS_CHILD | WS_VISIBLE | SS_NOPREFIX},
    {kSlider,
     ControlClass::Trackbar,
     "",
     {40, 44, 60, 15},
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_BOTH | TBS_NOTICKS},
    {kProgress, ControlClass::Progress, "", {7, 62, 100, 8}, WS_CHILD | WS_VISIBLE | PBS_SMOOTH},
    {-1, ControlClass::Static, "", {7, 72, 100, 1}, WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ},
    {-1, ControlClass::Static, "", {110, 10, 20, 20}, WS_CHILD | WS_VISIBLE | SS_BLACKFRAME},
    {kList,
     ControlClass::ListBox,
     "",
     {160, 10, 60, 40},
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_NOINTEGRALHEIGHT},
    {kCombo,
     ControlClass::ComboBox,
     "",
     {160, 60, 60, 100},
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST},
    {kHidden, ControlClass::Edit, "", {160, 80, 60, 14}, WS_CHILD | WS_TABSTOP},
    {kButton,
     ControlClass::Button,
     "按钮",
     {160, 100, 50, 14},
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {IDCANCEL, ControlClass::Button, "取消", {160, 120, 50, 14}, WS_CHILD | WS_VISIBLE},
};

constexpr DialogTemplate kEveryKindTemplate {
    900,
    "样例",
    "宋体",
    9,
    {0, 0, 230, 140},
    WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT,
    0,
    0,
    kEveryKind,
};

// The next widget that Tab reaches.
QWidget *NextTabStop(QWidget *widget)
{
    QWidget *next = widget->nextInFocusChain();
    while (next != widget && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

TEST(DialogBuilder, ConvertsDialogUnitsWithTheFallbackFont)
{
    const QFont font = DialogFont(AboutDialogTemplate());
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("WenQuanYi Micro Hei"));

    const DialogBaseUnits units = BaseUnitsFor(font);
    ASSERT_GT(units.x, 0);
    ASSERT_GT(units.y, 0);
    // x by a quarter of the average width, y by an eighth of the height, rounded.
    const QRect r = DialogUnitsToPixels({4, 8, 40, 16}, units);
    EXPECT_EQ(r, QRect(units.x, units.y, 10 * units.x, 2 * units.y));
    EXPECT_EQ(DialogUnitsToPixels({2, 0, 0, 0}, {7, 16}).x(), 4); // 3.5 rounds up
}

TEST(DialogBuilder, BuildsTheAboutBox)
{
    QDialog dialog;
    const QSize size = BuildDialog(&dialog, AboutDialogTemplate());
    const DialogBaseUnits units = BaseUnitsFor(DialogFont(AboutDialogTemplate()));
    EXPECT_EQ(size, DialogUnitsToPixels({0, 0, 235, 89}, units).size());
    EXPECT_EQ(dialog.size(), size);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(strings::kAboutCaption));

    auto *ok = FindControl<QPushButton>(&dialog, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QString::fromUtf8(strings::kOkButton));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(ok->geometry(), DialogUnitsToPixels({175, 65, 50, 14}, units));

    QStringList texts;
    for (QLabel *label : dialog.findChildren<QLabel *>())
        if (label->pixmap().isNull())
            texts << label->text();
        else
            EXPECT_EQ(label->pixmap().width(), 32);
    EXPECT_EQ(texts.size(), 4);
    EXPECT_EQ(texts.value(0), QString::fromUtf8(strings::kAboutProgram));

    dialog.show();
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(DialogBuilder, MakesEveryControlKindWithItsIdStyleAndTabOrder)
{
    QDialog dialog;
    BuildDialog(&dialog, kEveryKindTemplate);
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, kEdit)->text(), QStringLiteral("abc"));
    EXPECT_NE(FindControl<QCheckBox>(&dialog, kCheck), nullptr);
    EXPECT_NE(FindControl<QGroupBox>(&dialog, kGroup), nullptr);
    auto *slider = FindControl<QSlider>(&dialog, kSlider);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->tickPosition(), QSlider::NoTicks);
    EXPECT_EQ(slider->maximum(), 100);
    EXPECT_EQ(FindControl<QProgressBar>(&dialog, kProgress)->value(), 0);
    EXPECT_NE(FindControl<QListWidget>(&dialog, kList), nullptr);
    EXPECT_NE(FindControl<QComboBox>(&dialog, kCombo), nullptr);
    EXPECT_EQ(FindControl<QPushButton>(&dialog, kButton)->isDefault(), false);
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, 999), nullptr);
    EXPECT_EQ(FindControl<QSlider>(&dialog, kEdit), nullptr); // wrong kind
    EXPECT_EQ(ControlId(FindControlWidget(&dialog, kList)), kList);
    EXPECT_EQ(FindControlWidget(&dialog, kList)->objectName(), QStringLiteral("control_15"));

    // Labels: a mnemonic label gets the next focusable control as buddy; SS_NOPREFIX keeps "&".
    QLabel *mnemonic = nullptr;
    QLabel *literal = nullptr;
    for (QLabel *label : dialog.findChildren<QLabel *>()) {
        if (label->text() == QStringLiteral("文字(&T):"))
            mnemonic = label;
        if (label->text() == QStringLiteral("A&B"))
            literal = label;
    }
    ASSERT_NE(mnemonic, nullptr);
    ASSERT_NE(literal, nullptr);
    EXPECT_EQ(mnemonic->buddy(), FindControlWidget(&dialog, kEdit));
    EXPECT_EQ(literal->buddy(), nullptr);
    EXPECT_EQ(literal->textFormat(), Qt::PlainText);

    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_FALSE(FindControlWidget(&dialog, kHidden)->isVisible());
    EXPECT_EQ(dialog.size(), dialog.minimumSize()); // modal frame: fixed size

    // Tab goes in template order over the controls that have a tab stop.
    QWidget *edit = FindControlWidget(&dialog, kEdit);
    EXPECT_EQ(NextTabStop(edit), FindControlWidget(&dialog, kCheck));
    EXPECT_EQ(NextTabStop(FindControlWidget(&dialog, kCheck)), FindControlWidget(&dialog, kSlider));
    EXPECT_EQ(NextTabStop(FindControlWidget(&dialog, kList)), FindControlWidget(&dialog, kCombo));
    EXPECT_EQ(FindControlWidget(&dialog, IDCANCEL)->focusPolicy(), Qt::ClickFocus);

    QTest::mouseClick(FindControl<QPushButton>(&dialog, IDCANCEL), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(Resources, MenuStringAndIcon)
{
    const MenuTemplate &menu = MainMenuTemplate();
    EXPECT_EQ(menu.id, ids::kMainMenu);
    ASSERT_EQ(menu.popups.size(), 3u);
    EXPECT_STREQ(menu.popups[0].text, "文件(&F)");
    std::vector<int> fileIds;
    for (const MenuItemTemplate &item : menu.popups[0].items)
        fileIds.push_back(item.id);
    EXPECT_EQ(fileIds, (std::vector<int> {32771, 32772, 32773, 32780, 0, 32775, 0, 32774}));
    EXPECT_STREQ(menu.popups[1].items[0].text, "编辑字体内容和属性(&E)...");
    EXPECT_EQ(menu.popups[2].items[0].id, 32779);

    EXPECT_STREQ(LoadResourceString(ids::kAboutItemString), "关于 Velmora(&A)...");
    EXPECT_STREQ(LoadResourceString(4242), "");

    const std::vector<IconImage> icon = ProgramIconImages();
    ASSERT_EQ(icon.size(), 2u);
    EXPECT_EQ(icon[0].size, 32);
    EXPECT_EQ(icon[1].size, 48);
    for (std::uint32_t pixel : icon[0].pixels) // the small image has a one-bit mask
        EXPECT_TRUE((pixel >> 24) == 0 || (pixel >> 24) == 255);
    EXPECT_EQ(icon[1].pixels[0] >> 24, 0u); // transparent corner
    EXPECT_EQ(icon[1].pixels[24 * 48 + 24] >> 24, 255u);
}

} // namespace

#include "res/dialog_templates.h"
#include "res/program_icon.h"
#include "res/resource_ids.h"
#include "res/window_styles.h"
#include "ui/dialog_builder.h"
#include "ui/program_icon_qt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontInfo>
#include <QFontMetrics>
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

#include <string>
#include <vector>

namespace {

using namespace styles;

enum : int { kEdit = 10, kCheck, kGroup, kSlider, kProgress, kList, kCombo, kHidden, kButton };
constexpr std::uint32_t V = WS_CHILD | WS_VISIBLE;
constexpr std::uint32_t T = V | WS_TABSTOP;

// One control of every kind the templates use, in a deliberate tab order.
// clang-format off
constexpr ControlTemplate kEveryKind[] = {
    {kGroup, ControlClass::Button, "分组", {2, 2, 150, 100}, V | BS_GROUPBOX},
    {-1, ControlClass::Static, "文字(&T):", {7, 12, 30, 8}, V | SS_LEFT},
    {kEdit, ControlClass::Edit, "abc", {40, 10, 60, 14}, T | ES_AUTOHSCROLL},
    {kCheck, ControlClass::Button, "透明(&B)", {7, 30, 60, 10}, T | BS_AUTOCHECKBOX},
    {-1, ControlClass::Static, "A&B", {7, 44, 30, 8}, V | SS_NOPREFIX},
    {kSlider, ControlClass::Trackbar, "", {40, 44, 60, 15}, T | TBS_BOTH | TBS_NOTICKS},
    {kProgress, ControlClass::Progress, "", {7, 62, 100, 8}, V | PBS_SMOOTH},
    {-1, ControlClass::Static, "", {7, 72, 100, 1}, V | SS_ETCHEDHORZ},
    {-1, ControlClass::Static, "", {110, 10, 20, 20}, V | SS_BLACKFRAME},
    {kList, ControlClass::ListBox, "", {160, 10, 60, 40}, T | LBS_NOINTEGRALHEIGHT},
    {kCombo, ControlClass::ComboBox, "", {160, 60, 60, 100}, T | CBS_DROPDOWNLIST},
    {kHidden, ControlClass::Edit, "", {160, 80, 60, 14}, WS_CHILD | WS_TABSTOP},
    {kButton, ControlClass::Button, "按钮", {160, 100, 50, 14}, T | BS_PUSHBUTTON},
    {IDCANCEL, ControlClass::Button, "取消", {160, 120, 50, 14}, V},
};
constexpr DialogTemplate kEveryKindTemplate {900, "样例", "宋体", 9, {0, 0, 230, 140},
    WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT, 0, 0, kEveryKind};
// clang-format on

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
    // WenQuanYi Micro Hei, by its name in the program's locale.
    EXPECT_EQ(QFontInfo(font).family(), QString::fromUtf8("文泉驿微米黑"));

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
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("关于"));

    auto *ok = FindControl<QPushButton>(&dialog, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QString::fromUtf8("确定"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(ok->geometry(), DialogUnitsToPixels({175, 65, 50, 14}, units));

    QStringList texts;
    QList<int> iconWidths;
    for (QLabel *label : dialog.findChildren<QLabel *>())
        if (label->pixmap().isNull())
            texts << label->text();
        else
            iconWidths << label->pixmap().width();
    EXPECT_EQ(iconWidths, QList<int> {32});
    EXPECT_EQ(texts,
              QString::fromUtf8("文字与图片合成程序|Velmora 开发组|邮箱: dev@velmora.example|"
                                "网址: velmora.example")
                  .split(u'|'));

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

    // The group box's title sits on the frame's top line (found at its right end): the line
    // is broken behind the title, whose glyphs reach above and below it.
    const QImage group = FindControlWidget(&dialog, kGroup)->grab().toImage();
    const QRgb ground = group.pixel(group.width() / 2, group.height() / 2);
    int line = 0, gap = 0, ink[2] = {};
    while (line < group.height() / 2 && group.pixel(group.width() - 4, line) == ground)
        ++line;
    for (int x = 4; x < group.width() - 4; ++x)
        for (int y = 0; group.pixel(x, line) == ground && y < group.height() / 2; ++y)
            gap += y == 0, ink[y > line] += y != line && group.pixel(x, y) != ground;
    EXPECT_GT(gap, QFontMetrics(dialog.font()).horizontalAdvance(QStringLiteral("分组")) / 2);
    EXPECT_TRUE(ink[0] > 0 && ink[1] > 0);

    // Tab goes in template order over the controls that have a tab stop.
    QWidget *edit = FindControlWidget(&dialog, kEdit);
    EXPECT_EQ(NextTabStop(edit), FindControlWidget(&dialog, kCheck));
    EXPECT_EQ(NextTabStop(FindControlWidget(&dialog, kCheck)), FindControlWidget(&dialog, kSlider));
    EXPECT_EQ(NextTabStop(FindControlWidget(&dialog, kList)), FindControlWidget(&dialog, kCombo));
    EXPECT_EQ(FindControlWidget(&dialog, IDCANCEL)->focusPolicy(), Qt::ClickFocus);

    QTest::mouseClick(FindControl<QPushButton>(&dialog, IDCANCEL), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(Resources, IconImagesAndTheirInstalledFiles)
{
    const std::vector<IconImage> icon = ProgramIconImages();
    ASSERT_EQ(icon.size(), 2u);
    EXPECT_EQ(icon[0].size, 32);
    EXPECT_EQ(icon[1].size, 48);
    for (std::uint32_t pixel : icon[0].pixels) // the small image has a one-bit mask
        EXPECT_TRUE((pixel >> 24) == 0 || (pixel >> 24) == 255);
    EXPECT_EQ(icon[1].pixels[0] >> 24, 0u); // transparent corner
    EXPECT_EQ(icon[1].pixels[24 * 48 + 24] >> 24, 255u);

    // The PNG files installed for the desktop's menu hold the same pixels.
    for (const IconImage &image : icon) {
        const QImage png(QStringLiteral(VELMORA_BINARY_DIR
                                        "/packaging/icons/%1x%1/apps/example.velmora.Velmora.png")
                             .arg(image.size));
        EXPECT_EQ(png.convertToFormat(QImage::Format_ARGB32), ProgramIconImage(image))
            << image.size;
    }
}

} // namespace

#include "res/dialog_templates.h"
#include "res/program_icon.h"
#include "res/resource_ids.h"
#include "res/window_styles.h"
#include "ui/dialog_builder.h"
#include "ui/program_icon_qt.h"

#include <QDialog>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace styles;

enum : int { kEdit = 10, kCheck, kGroup, kSlider, kList, kCombo, kHidden };
constexpr std::uint32_t V = WS_CHILD | WS_VISIBLE, T = V | WS_TABSTOP;

// clang-format off
constexpr ControlTemplate kControls[] = {
    {kGroup, ControlClass::Button, "分组", {2, 2, 150, 100}, V | BS_GROUPBOX},
    {-1, ControlClass::Static, "文字(&T):", {7, 12, 30, 8}, V | SS_LEFT},
    {kEdit, ControlClass::Edit, "abc", {40, 10, 60, 14}, T | ES_AUTOHSCROLL},
    {kCheck, ControlClass::Button, "透明(&B)", {7, 30, 60, 10}, T | BS_AUTOCHECKBOX},
    {-1, ControlClass::Static, "A&B", {7, 44, 30, 8}, V | SS_NOPREFIX},
    {kSlider, ControlClass::Trackbar, "", {40, 44, 60, 15}, T | TBS_BOTH | TBS_NOTICKS},
    {kList, ControlClass::ListBox, "", {160, 10, 60, 40}, T | LBS_NOINTEGRALHEIGHT},
    {kCombo, ControlClass::ComboBox, "", {160, 60, 60, 100}, T | CBS_DROPDOWNLIST},
    {kHidden, ControlClass::Edit, "", {160, 80, 60, 14}, WS_CHILD | WS_TABSTOP},
    {IDCANCEL, ControlClass::Button, "取消", {160, 120, 50, 14}, V},
};
constexpr DialogTemplate kTemplate {900, "样例", "宋体", 9, {0, 0, 230, 140},
    WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT, 0, 0, kControls};
// clang-format on

TEST(DialogBuilder, DialogUnitsComeFromTheFallbackFont)
{
    const QFont font = DialogFont(AboutDialogTemplate());
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_EQ(QFontInfo(font).family(), QString::fromUtf8("文泉驿微米黑")); // in Chinese
    const DialogBaseUnits units = BaseUnitsFor(font);
    ASSERT_GT(units.x * units.y, 0);
    // x by a quarter of the average width, y by an eighth of the height, rounded.
    EXPECT_EQ(DialogUnitsToPixels({4, 8, 40, 16}, units),
              QRect(units.x, units.y, 10 * units.x, 2 * units.y));
    EXPECT_EQ(DialogUnitsToPixels({2, 0, 0, 0}, {7, 16}).x(), 4); // 3.5 rounds up

    // The About box: its size, a default OK that ends it, and the icon at 32 pixels.
    QDialog about;
    EXPECT_EQ(BuildDialog(&about, AboutDialogTemplate()),
              DialogUnitsToPixels({0, 0, 235, 89}, units).size());
    auto *ok = FindControl<QPushButton>(&about, IDOK);
    EXPECT_TRUE(ok->isDefault());
    QList<int> iconWidths;
    for (QLabel *label : about.findChildren<QLabel *>())
        if (!label->pixmap().isNull())
            iconWidths << label->pixmap().width();
    EXPECT_EQ(iconWidths, QList<int> {32});
    about.show();
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST(DialogBuilder, LabelsTabOrderVisibilityAndTheGroupTitle)
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
    // Tab goes in template order over the controls that have a tab stop.
    const auto nextTabStop = [](QWidget *widget) {
        QWidget *next = widget->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        return next;
    };
    for (auto [from, to] :
         {std::pair(kEdit, kCheck), std::pair(kCheck, kSlider), std::pair(kList, kCombo)})
        EXPECT_EQ(nextTabStop(control(from)), control(to)) << from;
    EXPECT_EQ(control(IDCANCEL)->focusPolicy(), Qt::ClickFocus);

    // The group box's title sits on the frame's top line (found at its right end): the line
    // is broken behind the title, whose glyphs reach above and below it.
    const QImage group = control(kGroup)->grab().toImage();
    const QRgb ground = group.pixel(group.width() / 2, group.height() / 2);
    int line = 0, gap = 0, ink[2] = {};
    while (line < group.height() / 2 && group.pixel(group.width() - 4, line) == ground)
        ++line;
    for (int x = 4; x < group.width() - 4; ++x)
        for (int y = 0; group.pixel(x, line) == ground && y < group.height() / 2; ++y)
            gap += y == 0, ink[y > line] += y != line && group.pixel(x, y) != ground;
    EXPECT_GT(gap, QFontMetrics(dialog.font()).horizontalAdvance(QStringLiteral("分组")) / 2);
    EXPECT_TRUE(ink[0] > 0 && ink[1] > 0);

    QTest::mouseClick(control(IDCANCEL), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// The small image has a one-bit mask, the large one smooth edges; the PNG files installed for
// the desktop's menu hold the program's own pixels.
TEST(Resources, IconImagesAndTheirInstalledFiles)
{
    const std::vector<IconImage> icon = ProgramIconImages();
    ASSERT_EQ(icon.size(), 2u);
    EXPECT_EQ(std::pair(icon[0].size, icon[1].size), std::pair(32, 48));
    for (std::uint32_t pixel : icon[0].pixels)
        EXPECT_TRUE((pixel >> 24) == 0 || (pixel >> 24) == 255);
    EXPECT_EQ(std::pair(icon[1].pixels[0] >> 24, icon[1].pixels[24 * 48 + 24] >> 24),
              std::pair(0u, 255u));
    for (const IconImage &image : icon) {
        const QImage png(QStringLiteral(VELMORA_BINARY_DIR
                                        "/packaging/icons/%1x%1/apps/example.velmora.Velmora.png")
                             .arg(image.size));
        EXPECT_EQ(png.convertToFormat(QImage::Format_ARGB32), ProgramIconImage(image))
            << image.size;
    }
}

} // namespace

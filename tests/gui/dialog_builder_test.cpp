#include "res/dialog_template.h"
#include "ui/dialog_builder.h"

#include <QFontInfo>

#include <gtest/gtest.h>

namespace {

TEST(DialogBuilder, DialogUnitsComeFromTheFallbackFont)
{
    const QFont font = DialogFont({0, "", "宋体", 9, {}, 0, 0, 0, {}});
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_EQ(QFontInfo(font).family(), QString::fromUtf8("文泉驿微米黑")); // in Chinese
    const DialogBaseUnits units = BaseUnitsFor(font);
    ASSERT_GT(units.x * units.y, 0);
    // x by a quarter of the average width, y by an eighth of the height, rounded.
    EXPECT_EQ(DialogUnitsToPixels({4, 8, 40, 16}, units),
              QRect(units.x, units.y, 10 * units.x, 2 * units.y));
    EXPECT_EQ(DialogUnitsToPixels({2, 0, 0, 0}, {7, 16}).x(), 4); // 3.5 rounds up
}

} // namespace

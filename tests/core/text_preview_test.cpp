#include "overlay/compose_text.h"
#include "overlay/text_preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

bool OnGrid(int x, int y)
{
    return x % 10 == 0 || y % 10 == 0;
}

// The first pixel that differs from the bare grid, or (-1, -1).
POINT FirstChange(const Surface &s)
{
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.GetPixel(x, y) != (OnGrid(x, y) ? kBlack : kWhite))
                return {x, y};
    return {-1, -1};
}

TEST(TextPreview, GridIsBlackEveryTenPixelsOnWhiteIncludingOddSizes)
{
    for (const auto &[w, h] : std::vector<std::pair<int, int>> {{35, 25}, {1, 1}, {20, 10}}) {
        Surface s(w, h);
        s.FillSolidRect(0, 0, w, h, RGB(1, 2, 3));
        DrawPreviewGrid(s);
        EXPECT_EQ(FirstChange(s), (POINT {-1, -1})) << w << 'x' << h;
    }
}

TEST(TextPreview, TextIsCentredByIntegerHalvesAndCutWhenWiderThanTheBox)
{
    TextStyle style;
    style.font.lfHeight = -40;
    style.bgTransparent = 0;
    style.bkColor = RGB(255, 0, 0);
    style.x = 7;
    for (const auto &[text, w, h] : {std::tuple("ab", 101, 81), std::tuple("ab", 100, 80),
                                     std::tuple("WWWWWWWWWWWWWWWWWWWW", 101, 81)}) {
        SCOPED_TRACE(testing::Message() << text << " " << w);
        Surface box(w, h);
        style.text = QString::fromUtf8(text);
        const SIZE size = MeasureText(box, style);
        const POINT at = RenderPreview(box, style);
        EXPECT_EQ(at, (POINT {w / 2 - size.cx / 2, h / 2 - size.cy / 2}));
        ASSERT_GE(at.y, 0);
        // The opaque box is filled red where no glyph is: its top row shows it; the record's
        // placement and measured size stay as they were.
        EXPECT_EQ(box.GetPixel(std::max(0, int(at.x)) + 1, at.y), RGB(255, 0, 0));
        EXPECT_EQ(std::tuple(style.x, style.cx), std::tuple(7, 0));
    }
    // The long line is cut on both sides: its box covers the whole width.
    Surface box(101, 81);
    EXPECT_LT(RenderPreview(box, style).x, 0);
    for (int x : {1, 51, 99})
        EXPECT_NE(box.GetPixel(x, 41), kWhite) << x;
}

TEST(TextPreview, OpacityZeroOrEmptyTextLeavesTheBareGrid)
{
    TextStyle style;
    style.font.lfHeight = -30;
    style.bgTransparent = 0;
    style.bkColor = RGB(0, 0, 255);
    style.alpha = 0;
    Surface box(80, 40);
    RenderPreview(box, style);
    EXPECT_EQ(FirstChange(box), (POINT {-1, -1}));

    style.alpha = 255;
    style.text.clear();
    RenderPreview(box, style);
    EXPECT_EQ(FirstChange(box), (POINT {-1, -1}));

    // Only the low byte of the opacity reaches the blend: 256 blends like 0.
    style.text = QStringLiteral("quon");
    style.alpha = 256;
    RenderPreview(box, style);
    EXPECT_EQ(FirstChange(box), (POINT {-1, -1}));

    style.alpha = 255;
    RenderPreview(box, style);
    EXPECT_NE(FirstChange(box), (POINT {-1, -1}));
}

} // namespace

#include "overlay/compose_text.h"
#include "overlay/text_preview.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(TextPreview, TextIsCentredByIntegerHalvesOverABlackGridEveryTenPixels)
{
    TextStyle style;
    style.bgTransparent = 0;
    style.bkColor = RGB(255, 0, 0);
    style.text = QStringLiteral("ab");
    // An odd text width in an even box tells w / 2 - cx / 2 from (w - cx) / 2.
    for (style.font.lfHeight = -40; MeasureText(Surface(1, 1), style).cx % 2 == 0;)
        ASSERT_GT(--style.font.lfHeight, -60);
    for (const auto &[text, w, h] : {std::tuple("ab", 100, 80), std::tuple("ab", 101, 81),
                                     std::tuple("WWWWWWWWWWWWWWWWWWWW", 101, 81)}) {
        SCOPED_TRACE(testing::Message() << text << " " << w);
        Surface box(w, h);
        style.text = QString::fromUtf8(text);
        const SIZE size = MeasureText(box, style);
        const POINT at = RenderPreview(box, style);
        EXPECT_EQ(at, (POINT {w / 2 - size.cx / 2, h / 2 - size.cy / 2}));
        // The opaque box shows red where no glyph is, such as its top row, cut at both edges;
        // the grid on white is all around it.
        for (int x : {std::max(0, at.x), std::min(w, at.x + size.cx) - 1})
            EXPECT_EQ(box.GetPixel(x, at.y), RGB(255, 0, 0)) << x;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (y < at.y || y >= at.y + size.cy || x < at.x || x >= at.x + size.cx) {
                    ASSERT_EQ(box.GetPixel(x, y),
                              x % 10 && y % 10 ? RGB(255, 255, 255) : RGB(0, 0, 0))
                        << x << "," << y;
                }
    }
}

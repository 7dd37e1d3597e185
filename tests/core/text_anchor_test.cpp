#include "batch/text_anchor.h"

#include <gtest/gtest.h>

TEST(TextAnchor, PositionsHalvesTowardZeroAndMargins)
{
    using enum TextAnchor;
    // Anchor, picture width and height, box width and height, margin; where the box goes.
    const std::tuple<TextAnchor, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                     std::int32_t, POINT>
        rows[] = {
            // A 100 x 50 picture, a 30 x 12 box (halves of 70 and 38), 5 pixels from the edges it
            // touches; a centred side ignores the margin. Each side's three places, low, middle and
            // high, are met on both axes; the rest of the anchors are the same places combined.
            {Centre, 100, 50, 30, 12, 5, {35, 19}},
            {TopLeft, 100, 50, 30, 12, 5, {5, 5}},
            {BottomRight, 100, 50, 30, 12, 5, {65, 33}},
            // A box larger than the picture goes negative; half of -5 is -2.
            {Centre, 20, 10, 25, 15, 0, {-2, -2}},
        };
    for (const auto &[anchor, width, height, cx, cy, margin, expected] : rows)
        EXPECT_EQ(AnchorPosition(anchor, width, height, cx, cy, margin), expected)
            << int(anchor) << " on " << width << "x" << height << " box " << cx;
}

TEST(TextAnchor, ParsesTheCommandLineNamesAndValuesOnly)
{
    // The names are the table the usage text is made from; one name shows the lookup.
    EXPECT_EQ(ParseTextAnchor("middle-right"), TextAnchor::MiddleRight);
    for (int i = 0; i < kTextAnchorCount; ++i)
        EXPECT_EQ(ParseTextAnchor(std::to_string(i)), TextAnchor(i));
    for (const char *bad : {"", "9", "-1", "1x", "Centre", " centre", "middle"})
        EXPECT_FALSE(ParseTextAnchor(bad)) << bad;
}

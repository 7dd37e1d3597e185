#include "batch/text_anchor.h"
#include "res/batch_strings.h"

#include <gtest/gtest.h>

namespace {

TEST(TextAnchor, TableOnAPictureLargerThanTheBoxWithAndWithoutAMargin)
{
    // A 100 x 50 picture and a 30 x 12 box: halves of 70 and 38; a margin of 5 keeps the box
    // off the edges it touches.
    const struct
    {
        TextAnchor anchor;
        POINT expected, withMargin;
    } rows[] = {
        {TextAnchor::Centre, {35, 19}, {35, 19}},
        {TextAnchor::TopCentre, {35, 0}, {35, 5}},
        {TextAnchor::BottomCentre, {35, 38}, {35, 33}},
        {TextAnchor::TopLeft, {0, 0}, {5, 5}},
        {TextAnchor::MiddleLeft, {0, 19}, {5, 19}},
        {TextAnchor::BottomLeft, {0, 38}, {5, 33}},
        {TextAnchor::TopRight, {70, 0}, {65, 5}},
        {TextAnchor::MiddleRight, {70, 19}, {65, 19}},
        {TextAnchor::BottomRight, {70, 38}, {65, 33}},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(AnchorPosition(row.anchor, 100, 50, 30, 12), row.expected) << int(row.anchor);
        EXPECT_EQ(AnchorPosition(row.anchor, 100, 50, 30, 12, 5), row.withMargin)
            << int(row.anchor);
    }
}

TEST(TextAnchor, BoxLargerThanThePictureGoesNegativeAndHalvesTruncateTowardZero)
{
    // 20 - 25 = -5: half is -2, not -3.
    EXPECT_EQ(AnchorPosition(TextAnchor::Centre, 20, 10, 25, 10).x, -2);
    EXPECT_EQ(AnchorPosition(TextAnchor::TopRight, 20, 10, 25, 10).x, -5);
    EXPECT_EQ(AnchorPosition(TextAnchor::Centre, 20, 10, 25, 15), (POINT {-2, -2}));
    EXPECT_EQ(AnchorPosition(TextAnchor::BottomLeft, 20, 10, 25, 17), (POINT {0, -7}));
    // Odd positive differences truncate too: 5 gives 2.
    EXPECT_EQ(AnchorPosition(TextAnchor::MiddleRight, 30, 17, 25, 12), (POINT {5, 2}));
    // Sizes at the ends of the range do not overflow.
    EXPECT_EQ(AnchorPosition(TextAnchor::BottomRight, 65535, 1, INT32_MAX, 0).x,
              65535 - std::int64_t(INT32_MAX));
    EXPECT_EQ(AnchorPosition(TextAnchor::BottomRight, 0, 0, INT32_MIN, 0, INT32_MIN).x, INT32_MAX);
}

TEST(TextAnchor, NamesValuesAndComboTextsAgree)
{
    const char *names[]
        = {"centre",      "top-centre", "bottom-centre", "top-left",    "middle-left",
           "bottom-left", "top-right",  "middle-right",  "bottom-right"};
    const char *texts[] = {"正中", "正上", "正下", "左上", "左中", "左下", "右上", "右中", "右下"};
    for (int i = 0; i < kTextAnchorCount; ++i) {
        EXPECT_EQ(ParseTextAnchor(names[i]), TextAnchor(i));
        EXPECT_EQ(ParseTextAnchor(std::to_string(i)), TextAnchor(i));
        EXPECT_STREQ(strings::kAnchorTexts[i], texts[i]);
    }
    for (const char *bad : {"", "9", "-1", "1x", "Centre", " centre", "middle"})
        EXPECT_FALSE(ParseTextAnchor(bad)) << bad;
    EXPECT_FALSE(TextAnchorFromIndex(-1));
    EXPECT_FALSE(TextAnchorFromIndex(9));
}

} // namespace

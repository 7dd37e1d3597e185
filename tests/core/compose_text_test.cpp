#include "overlay/compose_text.h"

#include "support/bmp_builder.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <set>

namespace {

using Pixels = std::set<std::pair<int, int>>;

Surface Picture(int w, int h, int bits = 32)
{
    Surface s(w, h, bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = testbmp::Pattern(x, y);
            s.StoreRow(x, y, &p, 1);
        }
    return s;
}

// Red text in an opaque box, colours every depth stores exactly, without antialiasing, so every
// pixel can be told.
TextStyle Style(const char *text, int x, int y)
{
    TextStyle s;
    s.text = QString::fromUtf8(text);
    s.x = x;
    s.y = y;
    s.bgTransparent = 0;
    s.textColor = RGB(255, 0, 0);
    s.bkColor = RGB(0, 255, 132);
    s.font = {.lfHeight = -24, .lfQuality = NONANTIALIASED_QUALITY};
    return s;
}

Pixels Changed(const Surface &a, const Surface &b)
{
    Pixels changed;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.GetPixel(x, y) != b.GetPixel(x, y))
                changed.insert({x, y});
    return changed;
}

// A closed outline from (left, top) to (left + w, top + h), corners included.
void AddOutline(Pixels &pixels, int left, int top, int w, int h)
{
    for (int i = 0; i <= w; ++i)
        pixels.insert({{left + i, top}, {left + i, top + h}});
    for (int i = 0; i <= h; ++i)
        pixels.insert({{left, top + i}, {left + w, top + i}});
}

} // namespace

TEST(ComposeText, BoxShowsTheTextOverThePictureOrItsBackgroundAndLandsAsTheWholeBoxWould)
{
    // Inside the picture at each depth, then cut at each edge or wholly outside it.
    const std::array<int, 4> rows[]
        = {{16, 1, 17, 9},  {24, 1, 17, 9},  {32, 1, 17, 9},   {32, 0, 17, 9},
           {24, 0, -9, -7}, {32, 0, 90, 40}, {16, 0, -20, 30}, {32, 0, -30000, 5}};
    for (const auto &[bits, transparent, left, top] : rows) {
        SCOPED_TRACE(testing::Message() << bits << "/" << transparent << " " << left << "," << top);
        const Surface before = Picture(120, 60, bits);
        Surface target = Picture(120, 60, bits);
        TextStyle style = Style("Hgq", left, top);
        style.bgTransparent = std::uint8_t(transparent);
        EXPECT_TRUE(ComposeText(target, style, 0));
        EXPECT_EQ(SIZE({style.cx, style.cy}), MeasureText(target, style));
        int glyph = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 120; ++x) {
                const COLORREF was = before.GetPixel(x, y), now = target.GetPixel(x, y);
                const bool inBox
                    = x >= left && x < left + style.cx && y >= top && y < top + style.cy;
                const bool asText = inBox && now == style.textColor;
                const bool asBackground = now == (transparent || !inBox ? was : style.bkColor);
                ASSERT_TRUE(asText || asBackground) << x << "," << y;
                glyph += asText;
            }
        // Where the whole box lies on the picture, some text shows.
        EXPECT_TRUE(glyph > 0 || left != 17);
        // The same picture inside a larger one that holds the whole box gets the same pixels.
        Surface larger(300, 200, bits), window(120, 60, bits);
        larger.BitBlt(100, 100, 120, 60, before, 0, 0);
        style.x += 100;
        style.y += 100;
        ComposeText(larger, style, 0);
        window.BitBlt(0, 0, 120, 60, larger, 100, 100);
        EXPECT_TRUE(testbmp::SamePixelsAs(target, window, 120, 60));
    }
}

TEST(ComposeText, MarkersSitExactlyWhenAskedForWithOneAndNothingToDrawChangesNothing)
{
    const Surface before = Picture(140, 90);
    TextStyle style = Style("Ab", 30, 25);
    style.alpha = 0x100; // only the low byte blends: 0, so only the markers show
    style.dragStart = {100, 100};
    style.dragCurrent = {95, 130}; // moved 5 left and 30 down; bottom runs off the picture
    const auto [w, h] = MeasureText(before, style);
    Pixels squares;
    for (auto [cx, cy] : {std::pair {27, 22}, {27, 25 + h}, {30 + w, 25 + h}, {30 + w, 22}})
        for (int d = 0; d < 9; ++d)
            squares.insert({cx + d % 3, cy + d / 3});
    const std::array<std::uint8_t, 3> rows[]
        = {{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}, {1, 1, 0}, {1, 1, 2}};
    for (const auto [selected, dragging, markers] : rows) {
        SCOPED_TRACE(testing::Message() << int(selected) << int(dragging) << int(markers));
        Surface target = Picture(140, 90);
        style.selected = selected;
        style.dragging = dragging;
        ComposeText(target, style, markers);
        Pixels expected;
        if (markers == 1) {
            expected = squares;
            if (selected == 1)
                AddOutline(expected, 30, 25, w, h);
            if (dragging == 1)
                AddOutline(expected, 25, 55, w, h);
        }
        std::erase_if(expected, [](auto p) { return p.second >= 90; });
        const Pixels changed = Changed(before, target);
        EXPECT_EQ(changed, expected);
        for (auto [x, y] : changed)
            ASSERT_EQ(target.GetPixel(x, y), RGB(0, 0, 0));
    }
    // Nothing to draw: an empty text in an opaque box, and corners with markers at the far ends
    // of the coordinate range, where no sum may overflow.
    for (int edge : {0, INT_MAX, INT_MIN}) {
        Surface target = Picture(140, 90);
        style = Style(edge ? "Hello" : "", edge, edge);
        style.selected = style.dragging = 1;
        style.dragCurrent = {edge, edge};
        style.dragStart = {~edge, 0};
        EXPECT_TRUE(ComposeText(target, style, edge ? 1 : 0)) << edge;
        EXPECT_TRUE(Changed(before, target).empty()) << edge;
    }
}

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

// Pure red text, without antialiasing, so glyph pixels are told from the rest at every depth.
TextStyle Style(const char *text, int x, int y, std::uint8_t transparent = 1, int alpha = 255)
{
    return {.text = QString::fromUtf8(text),
            .x = x,
            .y = y,
            .alpha = alpha,
            .bgTransparent = transparent,
            .textColor = RGB(255, 0, 0),
            .bkColor = RGB(0, 255, 40),
            .font = {.lfHeight = -24, .lfQuality = NONANTIALIASED_QUALITY},
            .dragCurrent = {},
            .dragStart = {}};
}

bool InBox(int x, int y, const TextStyle &s)
{
    return x >= s.x && x < s.x + s.cx && y >= s.y && y < s.y + s.cy;
}

COLORREF Blend(COLORREF s, COLORREF d, unsigned a)
{
    const auto mix = [a](unsigned s, unsigned d) {
        return (s * a + d * (255 - a) + 127) / 255;
    };
    return RGB(mix(GetRValue(s), GetRValue(d)), mix(GetGValue(s), GetGValue(d)),
               mix(GetBValue(s), GetBValue(d)));
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

TEST(ComposeText, BoxPixelsBlendTextOrBackgroundOverThePictureAndNothingOutsideChanges)
{
    const std::array<int, 3> rows[] = {{16, 1, 255}, {24, 1, 255}, {32, 1, 255}, {32, 0, 100}};
    for (const auto [bits, transparent, alpha] : rows) {
        SCOPED_TRACE(testing::Message()
                     << bits << " bits, transparent " << transparent << ", alpha " << alpha);
        const Surface before = Picture(120, 60, bits);
        Surface target = Picture(120, 60, bits);
        TextStyle style = Style("Hgq", 17, 9, std::uint8_t(transparent), alpha);
        EXPECT_TRUE(ComposeText(target, style, 0));
        EXPECT_EQ(SIZE({style.cx, style.cy}), MeasureText(target, style));
        int glyph = 0, background = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 120; ++x) {
                const COLORREF was = before.GetPixel(x, y), now = target.GetPixel(x, y);
                const bool inBox = InBox(x, y, style);
                const bool asText = inBox && now == Blend(style.textColor, was, unsigned(alpha));
                const bool asBackground = now
                    == (transparent || !inBox ? was : Blend(style.bkColor, was, unsigned(alpha)));
                ASSERT_TRUE(asText || asBackground) << x << "," << y;
                glyph += asText && !asBackground;
                background += inBox && asBackground;
            }
        EXPECT_GT(glyph, 0);
        EXPECT_GT(background, style.cx * style.cy / 2);
    }
}

TEST(ComposeText, MarkersForSelectedAndDraggingSitExactlyAndOnlyWhenAskedForWithOne)
{
    const Surface before = Picture(140, 90);
    TextStyle style = Style("Ab", 30, 25, 0, 0x100); // opacity's low byte 0: only markers show
    style.dragStart = {100, 100};
    style.dragCurrent = {95, 130}; // moved 5 left and 30 down; bottom runs off the picture
    const SIZE size = MeasureText(before, style);
    const int w = size.cx, h = size.cy;
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
}

TEST(ComposeText, BoxBeyondThePictureLandsAsTheWholeBoxWouldAndExtremesAreSafe)
{
    for (auto [x, y] : {std::pair {-9, -7}, {90, 40}, {-20, 30}, {-30000, 5}}) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        Surface target = Picture(100, 50);
        TextStyle style = Style("Hello", x, y, 0, 200);
        EXPECT_TRUE(ComposeText(target, style, 0));
        // The same picture inside a larger one that holds the whole box gets the same pixels.
        Surface larger(300, 200);
        larger.BitBlt(100, 100, 100, 50, Picture(100, 50), 0, 0);
        TextStyle moved = Style("Hello", x + 100, y + 100, 0, 200);
        ComposeText(larger, moved, 0);
        Surface window(100, 50);
        window.BitBlt(0, 0, 100, 50, larger, 100, 100);
        EXPECT_TRUE(testbmp::SamePixelsAs(target, window, 100, 50));
    }
    // 400 "W" at 2048 pixels are drawn (the picture lies in the first letter's opaque cell,
    // above its glyph); a text too wide for the font engine to measure is refused and leaves
    // the picture as it was.
    for (int letters : {400, 20000}) {
        SCOPED_TRACE(letters);
        TextStyle huge = Style("", 0, 0, 0);
        huge.font.lfHeight = -2048;
        huge.text = QString(letters, QLatin1Char('W'));
        Surface target = Picture(64, 48);
        const bool drawn = ComposeText(target, huge, 0);
        EXPECT_EQ(drawn, letters == 400);
        EXPECT_EQ(Changed(Picture(64, 48), target).size(), drawn ? 64u * 48 : 0u);
        EXPECT_EQ(target.GetPixel(63, 47) == huge.bkColor, drawn);
    }
    // Nothing to draw: an empty text in an opaque box, and corners with markers at the far ends
    // of the coordinate range, where no sum may overflow.
    for (int edge : {0, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(edge);
        Surface target = Picture(40, 40);
        TextStyle style = Style(edge ? "Hello" : "", edge, edge, 0);
        style.selected = style.dragging = 1;
        style.dragCurrent = {edge, edge};
        style.dragStart = {~edge, 0};
        EXPECT_TRUE(ComposeText(target, style, edge ? 1 : 0));
        EXPECT_TRUE(Changed(Picture(40, 40), target).empty());
    }
}

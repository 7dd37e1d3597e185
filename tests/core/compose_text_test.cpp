#include "overlay/compose_text.h"

#include "platform/gdi_font.h"
#include "support/bmp_builder.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

namespace {

// A picture whose pixels all differ from black, white and the text colours used below.
Surface Picture(int w, int h, int bits = 32)
{
    Surface s(w, h, bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.SetPixel(x, y, RGB(40 + (x * 7) % 150, 60 + (y * 11) % 150, 90 + (x + y) % 100));
    return s;
}

TextStyle Style(const char *text, int x, int y)
{
    TextStyle style;
    style.text = QString::fromUtf8(text);
    style.x = x;
    style.y = y;
    style.font.lfHeight = -24;
    style.font.lfQuality = NONANTIALIASED_QUALITY; // two colours only, so pixels can be told
    style.textColor = RGB(250, 0, 0);
    return style;
}

bool InBox(int x, int y, const TextStyle &s)
{
    return x >= s.x && x < s.x + s.cx && y >= s.y && y < s.y + s.cy;
}

unsigned Rule(unsigned s, unsigned d, unsigned a)
{
    return (s * a + d * (255 - a) + 127) / 255;
}

COLORREF Blend(COLORREF s, COLORREF d, unsigned a)
{
    return RGB(Rule(GetRValue(s), GetRValue(d), a), Rule(GetGValue(s), GetGValue(d), a),
               Rule(GetBValue(s), GetBValue(d), a));
}

// Every pixel that differs between a and b.
std::set<std::pair<int, int>> Changed(const Surface &a, const Surface &b)
{
    std::set<std::pair<int, int>> changed;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.GetPixel(x, y) != b.GetPixel(x, y))
                changed.insert({x, y});
    return changed;
}

// The pixels a closed outline from (left, top) to (left + w, top + h) covers.
void AddOutline(std::set<std::pair<int, int>> &pixels, int left, int top, int w, int h, int sw,
                int sh)
{
    auto add = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < sw && y < sh)
            pixels.insert({x, y});
    };
    for (int x = left; x <= left + w; ++x) {
        add(x, top);
        add(x, top + h);
    }
    for (int y = top; y <= top + h; ++y) {
        add(left, y);
        add(left + w, y);
    }
}

} // namespace

TEST(ComposeText, TransparentOpaqueTextChangesOnlyGlyphsInsideTheBox)
{
    for (int bits : {16, 24, 32}) {
        SCOPED_TRACE(bits);
        const Surface before = Picture(120, 60, bits);
        Surface target = Picture(120, 60, bits);
        TextStyle style = Style("Hgq", 17, 9);
        ComposeText(target, style, 0);
        EXPECT_EQ(SIZE({style.cx, style.cy}), MeasureText(target, style));
        const auto changed = Changed(before, target);
        EXPECT_FALSE(changed.empty());
        Surface stored(1, 1, bits); // the text colour as this depth holds it
        stored.SetPixel(0, 0, style.textColor);
        const COLORREF red = stored.GetPixel(0, 0);
        for (auto [x, y] : changed) {
            ASSERT_TRUE(InBox(x, y, style)) << x << "," << y;
            ASSERT_EQ(target.GetPixel(x, y), red) << x << "," << y;
        }
    }
}

TEST(ComposeText, MarkersForSelectedAndDraggingSitExactly)
{
    const Surface before = Picture(140, 90);
    TextStyle style = Style("Ab", 30, 25);
    style.alpha = 0x100; // only the low byte counts: 0, so only the markers show
    style.bgTransparent = 0;
    const SIZE size = MeasureText(before, style);
    const int w = size.cx, h = size.cy;
    std::set<std::pair<int, int>> squares;
    for (auto [cx, cy] : {std::pair {27, 22}, {27, 25 + h}, {30 + w, 25 + h}, {30 + w, 22}})
        for (int dy = 0; dy < 3; ++dy)
            for (int dx = 0; dx < 3; ++dx)
                squares.insert({cx + dx, cy + dy});

    struct Case
    {
        std::uint8_t selected, dragging, markers;
    };
    for (Case c : {Case {0, 0, 0}, Case {0, 0, 1}, Case {1, 0, 1}, Case {1, 1, 1}, Case {0, 1, 1},
                   Case {1, 1, 0}, Case {1, 1, 2}}) {
        SCOPED_TRACE(testing::Message() << int(c.selected) << int(c.dragging) << int(c.markers));
        Surface target = Picture(140, 90);
        style.selected = c.selected;
        style.dragging = c.dragging;
        style.dragStart = {100, 100};
        style.dragCurrent = {95, 130}; // moved 5 left and 30 down; bottom runs off the picture
        ComposeText(target, style, c.markers);
        std::set<std::pair<int, int>> expected;
        if (c.markers == 1) {
            expected = squares;
            if (c.selected == 1)
                AddOutline(expected, 30, 25, w, h, 140, 90);
            if (c.dragging == 1)
                AddOutline(expected, 25, 55, w, h, 140, 90);
        }
        const auto changed = Changed(before, target);
        EXPECT_EQ(changed, expected);
        for (auto [x, y] : changed)
            ASSERT_EQ(target.GetPixel(x, y), RGB(0, 0, 0));
    }
}

TEST(ComposeText, OpaqueBoxIsTheExactBlendOfBackgroundAndPicture)
{
    const Surface before = Picture(150, 70);
    Surface target = Picture(150, 70);
    TextStyle style = Style("Wx", 10, 8);
    style.bgTransparent = 0;
    style.bkColor = RGB(0, 255, 40);
    style.alpha = 100;
    ComposeText(target, style, 0);
    int background = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 150; ++x) {
            const COLORREF was = before.GetPixel(x, y), now = target.GetPixel(x, y);
            if (!InBox(x, y, style)) {
                ASSERT_EQ(now, was) << x << "," << y;
                continue;
            }
            const bool asBackground = now == Blend(style.bkColor, was, 100);
            ASSERT_TRUE(asBackground || now == Blend(style.textColor, was, 100)) << x << "," << y;
            background += asBackground;
        }
    EXPECT_GT(background, style.cx * style.cy / 2);
}

TEST(ComposeText, BoxBeyondThePictureTouchesOnlyPixelsInsideItAsTheWholeBoxWould)
{
    for (auto [x, y] : {std::pair {-9, -7}, {90, 40}, {-20, 30}, {-30000, 5}}) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        const Surface before = Picture(100, 50);
        Surface target = Picture(100, 50);
        TextStyle style = Style("Hello", x, y);
        style.bgTransparent = 0;
        style.alpha = 200;
        EXPECT_TRUE(ComposeText(target, style, 0));
        for (auto [cx, cy] : Changed(before, target))
            ASSERT_TRUE(InBox(cx, cy, style)) << cx << "," << cy;
        // The same picture inside a larger one that holds the whole box gets the same pixels.
        Surface larger(300, 200);
        larger.BitBlt(100, 100, 100, 50, before, 0, 0);
        TextStyle moved = Style("Hello", x + 100, y + 100);
        moved.bgTransparent = 0;
        moved.alpha = 200;
        ComposeText(larger, moved, 0);
        Surface window(100, 50);
        window.BitBlt(0, 0, 100, 50, larger, 100, 100);
        EXPECT_TRUE(testbmp::SamePixelsAs(target, window, 100, 50));
    }
    // A box thousands of times the picture: 400 "W" at 2048 pixels are drawn (the picture lies
    // in the first letter's opaque cell, above its glyph); a text too wide for the font engine
    // to measure is refused and leaves the picture as it was.
    TextStyle huge = Style("", 0, 0);
    huge.font.lfHeight = -2048;
    huge.bgTransparent = 0;
    huge.bkColor = RGB(0, 255, 40);
    for (int letters : {400, 20000}) {
        SCOPED_TRACE(letters);
        huge.text = QString(letters, QLatin1Char('W'));
        const Surface before = Picture(64, 48);
        Surface target = Picture(64, 48);
        const bool drawn = ComposeText(target, huge, 0);
        EXPECT_EQ(drawn, letters == 400);
        const auto changed = Changed(before, target);
        EXPECT_EQ(changed.size(), drawn ? 64u * 48 : 0u);
        EXPECT_EQ(target.GetPixel(63, 47) == huge.bkColor, drawn);
    }
    // Corners at the far ends of the coordinate range: nothing to draw, nothing overflows.
    for (int edge : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
        const Surface before = Picture(40, 40);
        Surface target = Picture(40, 40);
        TextStyle style = Style("Hello", edge, edge);
        style.selected = style.dragging = 1;
        style.dragCurrent = {edge, edge};
        style.dragStart = {-edge - 1, 0};
        ComposeText(target, style, 1);
        EXPECT_TRUE(Changed(before, target).empty());
    }
}

TEST(ComposeText, SizeIsStoredByCompositionOnlyAndCentredStartsMayBeNegative)
{
    const Surface before = Picture(101, 51);
    Surface target = Picture(101, 51);
    TextStyle style = Style("", 5, 5);
    style.bgTransparent = 0;
    style.cx = 77;
    ComposeText(target, style, 0); // empty text: zero wide, nothing drawn
    EXPECT_EQ(style.cx, 0);
    EXPECT_GT(style.cy, 0);
    EXPECT_EQ(ComposeTextCentred(target, style).x, 50);
    EXPECT_TRUE(Changed(before, target).empty());

    style.text = QStringLiteral("quon");
    ComposeText(target, style, 0);
    const SIZE first {style.cx, style.cy};
    EXPECT_EQ(first, MeasureText(target, style));
    style.font.lfHeight = -40;
    const SIZE larger = MeasureText(target, style);
    EXPECT_EQ(SIZE({style.cx, style.cy}), first) << "stale until the next composition";
    EXPECT_EQ(ComposeTextCentred(target, style),
              POINT({101 / 2 - larger.cx / 2, 51 / 2 - larger.cy / 2}));
    EXPECT_EQ(SIZE({style.cx, style.cy}), first) << "the centred preview stores nothing";
    ComposeText(target, style, 1);
    EXPECT_EQ(SIZE({style.cx, style.cy}), larger);

    style.text = QStringLiteral("a much longer line than the box holds");
    Surface narrow = Picture(101, 51);
    EXPECT_LT(ComposeTextCentred(narrow, style).x, 0);
    EXPECT_FALSE(Changed(before, narrow).empty());
}

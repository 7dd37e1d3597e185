#include "platform/surface.h"
#include "support/bmp_builder.h"

#include <gtest/gtest.h>

using testbmp::SurfaceShows;

namespace {

constexpr COLORREF K = RGB(0, 0, 0);
constexpr COLORREF W = RGB(255, 255, 255);
constexpr COLORREF R = RGB(255, 0, 0);

} // namespace

TEST(Surface, FormatsStoreAndWidenColours)
{
    for (int bits : {16, 24, 32}) {
        Surface s(3, 2, bits);
        EXPECT_TRUE(SurfaceShows(s, 3, 2, {K, K, K, K, K, K})) << bits;
        s.SetPixel(1, 1, RGB(10, 200, 255));
        // 5 bits a channel at 16, widened by rounding v * 255 / 31
        EXPECT_EQ(s.GetPixel(1, 1), bits == 16 ? RGB(8, 206, 255) : RGB(10, 200, 255));
        EXPECT_EQ(s.GetPixel(3, 0), Surface::CLR_INVALID);
        EXPECT_EQ(s.GetPixel(-1, 0), Surface::CLR_INVALID);
        s.SetPixel(5, 5, W); // outside: ignored
    }
    // 16 in five bits widens to 132, 31 to 255.
    Surface s16(1, 1, 16);
    s16.Bits()[0] = 0x10; // blue 16
    s16.Bits()[1] = 0x7C; // red 31
    EXPECT_EQ(s16.GetPixel(0, 0), RGB(255, 0, 132));
    EXPECT_TRUE(Surface(0, 5).IsNull());
    EXPECT_TRUE(Surface(5, 5, 8).IsNull());
}

TEST(Surface, BitBltClipsToBothSurfacesAndConverts)
{
    auto c = [](int x, int y) {
        return RGB(std::uint8_t(x * 80), std::uint8_t(y * 80), 8);
    };
    Surface src(3, 3, 24);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            src.SetPixel(x, y, c(x, y));
    struct Case
    {
        int x, y, w, h, sx, sy;
        std::vector<COLORREF> expected;
    };
    for (const Case &k : std::vector<Case> {
             {-1, -1, 3, 3, 0, 0, {c(1, 1), c(2, 1), K, c(1, 2), c(2, 2), K, K, K, K}},
             {1, 1, 10, 10, 1, 1, {K, K, K, K, c(1, 1), c(2, 1), K, c(1, 2), c(2, 2)}},
             {0, 0, 3, 3, -2, 0, {K, K, c(0, 0), K, K, c(0, 1), K, K, c(0, 2)}},
             {0, 0, -3, 3, 0, 0, std::vector<COLORREF>(9, K)},
             {3, 0, 3, 3, 0, 0, std::vector<COLORREF>(9, K)}}) {
        Surface dst(3, 3, 32);
        dst.BitBlt(k.x, k.y, k.w, k.h, src, k.sx, k.sy);
        EXPECT_TRUE(SurfaceShows(dst, 3, 3, k.expected)) << k.x << "," << k.y << " " << k.sx;
    }

    // Overlapping copy within one surface behaves as if through a copy.
    Surface same(3, 1, 32);
    same.SetPixel(0, 0, R);
    same.SetPixel(1, 0, W);
    same.BitBlt(1, 0, 2, 1, same, 0, 0);
    EXPECT_TRUE(SurfaceShows(same, 3, 1, {R, R, W}));
}

TEST(Surface, FillsAndLines)
{
    Surface s(4, 3, 32);
    s.PatBlt(-2, -2, 4, 4, WHITENESS);
    EXPECT_TRUE(SurfaceShows(s, 4, 3, {W, W, K, K, W, W, K, K, K, K, K, K}));
    s.PatBlt(0, 0, 100, 100, BLACKNESS);
    s.FillSolidRect(3, 2, 5, 5, R);
    s.FillSolidRect(1, 1, 0, 5, W); // empty
    EXPECT_TRUE(SurfaceShows(s, 4, 3, {K, K, K, K, K, K, K, K, K, K, K, R}));

    // Lines leave out their end point, so a closed outline sets each corner once.
    Surface o(4, 4, 32);
    o.PatBlt(0, 0, 4, 4, WHITENESS);
    o.MoveToEx(0, 0);
    o.LineTo(3, 0);
    o.LineTo(3, 3);
    o.LineTo(0, 3);
    o.LineTo(0, 0);
    EXPECT_TRUE(SurfaceShows(o, 4, 4, {K, K, K, K, K, W, W, K, K, W, W, K, K, K, K, K}));

    Surface d(3, 3, 24);
    d.PatBlt(0, 0, 3, 3, WHITENESS);
    d.MoveToEx(1, 0);
    d.LineTo(1, 5); // vertical, end point off the surface
    d.MoveToEx(-5, 1);
    d.LineTo(-5, 2); // entirely outside
    EXPECT_TRUE(SurfaceShows(d, 3, 3, {W, K, W, W, K, W, W, K, W}));
    d.MoveToEx(2, 0);
    d.LineTo(2, 0); // zero length draws nothing
    EXPECT_EQ(d.GetPixel(2, 0), W);
}

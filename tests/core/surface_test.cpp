#include "platform/surface.h"
#include "support/bmp_builder.h"

#include <gtest/gtest.h>

#include <array>

using testbmp::SurfaceShows;

namespace {

constexpr COLORREF K = RGB(0, 0, 0);
constexpr COLORREF W = RGB(255, 255, 255);
constexpr COLORREF R = RGB(255, 0, 0);

// The patterned picture's value taken as a colour: neighbours differ in every channel.
const auto P = testbmp::Pattern;

} // namespace

TEST(Surface, RefusesSizesAndDepthsItCannotHold)
{
    // No size, no such depth, or 16 GiB.
    const std::array<int, 3> nulls[] = {{0, 5, 32}, {5, 0, 32}, {5, 5, 8}, {1 << 16, 1 << 16, 32}};
    for (const auto [w, h, bits] : nulls)
        EXPECT_TRUE(Surface(w, h, bits).IsNull()) << w << "x" << h << "x" << bits;
}

TEST(Surface, BitBltClipsToBothSurfacesAndConverts)
{
    Surface src(3, 3, 24);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            src.SetPixel(x, y, P(x, y));
    Surface dst(3, 3, 32);
    dst.BitBlt(-1, -1, 3, 3, src, 0, 0); // cut at the target's left and top
    EXPECT_TRUE(SurfaceShows(dst, 3, 3, {P(1, 1), P(2, 1), K, P(1, 2), P(2, 2), K, K, K, K}));
    dst.BitBlt(1, 1, 10, 10, src, 0, 0); // past both far edges
    EXPECT_TRUE(SurfaceShows(
        dst, 3, 3, {P(1, 1), P(2, 1), K, P(1, 2), P(0, 0), P(1, 0), K, P(0, 1), P(1, 1)}));
}

TEST(Surface, FillsClipAndLinesLeaveOutTheirEndPoint)
{
    Surface s(4, 3, 16);
    s.PatBlt(-2, -2, 4, 4, WHITENESS);
    s.FillSolidRect(3, 2, 5, 5, R);
    EXPECT_TRUE(SurfaceShows(s, 4, 3, {W, W, K, K, W, W, K, K, K, K, K, R}));

    Surface o(4, 4, 32);
    o.PatBlt(0, 0, 4, 4, WHITENESS);
    // Right, down, left, up, entirely outside, of no length.
    const std::array<int, 4> lines[]
        = {{0, 0, 3, 0}, {3, 1, 3, 3}, {2, 3, 0, 3}, {0, 2, 0, 1}, {-5, 1, -5, 2}, {1, 1, 1, 1}};
    for (const auto [x0, y0, x1, y1] : lines) {
        o.MoveToEx(x0, y0);
        o.LineTo(x1, y1);
    }
    for (const auto &[x, y] : {std::pair(-1, 1), {4, 0}, {0, -1}, {0, 4}}) // beside a row's ends
        o.SetPixel(x, y, R);
    EXPECT_TRUE(SurfaceShows(o, 4, 4, {K, K, K, W, W, W, W, K, K, W, W, K, W, K, K, W}));
}

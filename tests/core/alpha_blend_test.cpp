#include "platform/alpha_blend.h"
#include "support/bmp_builder.h"

#include <gtest/gtest.h>

#include <array>

namespace {

Surface Patterned(int w, int h, int bits, int shift)
{
    Surface s(w, h, bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = testbmp::Pattern(x + shift, y);
            s.StoreRow(x, y, &p, 1);
        }
    return s;
}

// The stored channels of one pixel: 5-bit values and the top bit at 16 bits, bytes otherwise.
std::vector<unsigned> Channels(const Surface &s, int x, int y)
{
    const std::uint8_t *p = s.Row(y) + std::size_t(x) * (s.BitsPerPixel() / 8);
    if (s.BitsPerPixel() == 16) {
        const unsigned w = p[0] | (p[1] << 8);
        return {(w >> 10) & 31, (w >> 5) & 31, w & 31, w >> 15};
    }
    return std::vector<unsigned>(p, p + s.BitsPerPixel() / 8);
}

} // namespace

TEST(AlphaBlend, EveryDepthBlendsEachChannelByTheRoundedRuleInsideTheClippedBoxOnly)
{
    // Left of and above the target and past its far edges; the source corner left of the
    // source and past its bottom. The source corner moves with the clipped part.
    const std::array<int, 6> boxes[] = {{-3, -2, 30, 30, 1, 0}, {5, 4, 6, 3, -2, 7}};
    for (int bits : {16, 24, 32})
        for (const auto [bx, by, bw, bh, bsx, bsy] : boxes)
            for (unsigned a : {0u, 1u, 77u, 128u, 254u, 255u}) {
                SCOPED_TRACE(testing::Message() << bits << " bits, alpha " << a << ", box " << bx);
                const Surface src = Patterned(13, 9, bits, 50);
                const Surface before = Patterned(20, 15, bits, 0);
                Surface dst = Patterned(20, 15, bits, 0);
                AlphaBlend(dst, bx, by, bw, bh, src, bsx, bsy, std::uint8_t(a));
                for (int y = 0; y < 15; ++y)
                    for (int x = 0; x < 20; ++x) {
                        const int sx = x - bx + bsx, sy = y - by + bsy;
                        const bool inside = x >= bx && x < bx + bw && y >= by && y < by + bh
                            && sx >= 0 && sx < 13 && sy >= 0 && sy < 9;
                        auto expected = Channels(before, x, y);
                        for (std::size_t c = 0; inside && c < expected.size(); ++c) {
                            const unsigned s = Channels(src, sx, sy)[c], d = expected[c];
                            expected[c] = (s * a + d * (255 - a) + 127) / 255;
                        }
                        ASSERT_EQ(Channels(dst, x, y), expected) << "at " << x << "," << y;
                    }
            }
}

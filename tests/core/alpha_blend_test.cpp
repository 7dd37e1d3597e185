#include "platform/alpha_blend.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A surface whose bytes follow a seeded pattern, so every pixel differs from its neighbours.
Surface Patterned(int w, int h, int bits, unsigned seed)
{
    Surface s(w, h, bits);
    const int bytes = bits / 8;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * bytes; ++x)
            s.Row(y)[x] = std::uint8_t((x * 37 + y * 101 + seed * 59) ^ (x * y));
    for (int y = 0; y < h && bits != 24; ++y) // keep bits that hold no colour clear
        for (int x = 0; x < w; ++x)
            s.Row(y)[bytes * x + bytes - 1] &= bits == 16 ? 0x7F : 0;
    return s;
}

// The raw channels of one pixel: 5-bit values at 16 bits, bytes otherwise.
std::vector<unsigned> Channels(const Surface &s, int x, int y)
{
    const std::uint8_t *p = s.Row(y) + std::size_t(x) * (s.BitsPerPixel() / 8);
    if (s.BitsPerPixel() == 16) {
        const unsigned w = p[0] | (p[1] << 8);
        return {(w >> 10) & 31, (w >> 5) & 31, w & 31, w >> 15};
    }
    return std::vector<unsigned>(p, p + s.BitsPerPixel() / 8);
}

unsigned Rule(unsigned s, unsigned d, unsigned a)
{
    return (s * a + d * (255 - a) + 127) / 255;
}

} // namespace

TEST(AlphaBlend, EveryDepthFollowsTheIntegerRuleInsideTheClippedBoxOnly)
{
    for (int bits : {16, 24, 32}) {
        for (unsigned a : {0u, 1u, 77u, 128u, 254u, 255u}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, alpha " << a);
            const Surface src = Patterned(13, 9, bits, 1);
            const Surface before = Patterned(20, 15, bits, 2);
            Surface dst = Patterned(20, 15, bits, 2);
            // Starts left of and above the target and runs past its right edge; the source
            // corner moves with the clipped part.
            AlphaBlend(dst, -3, -2, 30, 30, src, 1, 0, std::uint8_t(a));
            for (int y = 0; y < 15; ++y)
                for (int x = 0; x < 20; ++x) {
                    const int sx = x + 3 + 1, sy = y + 2;
                    const bool inside = sx < 13 && sy < 9;
                    const auto d = Channels(before, x, y);
                    auto expected = d;
                    if (inside) {
                        const auto s = Channels(src, sx, sy);
                        for (std::size_t c = 0; c < d.size(); ++c)
                            expected[c] = Rule(s[c], d[c], a);
                    }
                    ASSERT_EQ(Channels(dst, x, y), expected) << "at " << x << "," << y;
                }
        }
    }
}

TEST(AlphaBlend, PixelBlendedWithItselfKeepsItsValueAndEmptyBoxesDoNothing)
{
    for (int bits : {16, 24, 32}) {
        const Surface src = Patterned(8, 8, bits, 3);
        Surface dst = Patterned(8, 8, bits, 3);
        AlphaBlend(dst, 0, 0, 8, 8, src, 0, 0, 99);
        EXPECT_EQ(std::memcmp(dst.Bits(), src.Bits(), src.ByteCount()), 0) << bits;
        const Surface other = Patterned(8, 8, bits, 4);
        AlphaBlend(dst, 0, 0, 0, 8, other, 0, 0, 255);
        AlphaBlend(dst, 8, 0, 4, 4, other, 0, 0, 255);
        AlphaBlend(dst, 0, 0, 4, 4, other, 8, 8, 255);
        AlphaBlend(dst, 0, 0, 4, 4, Surface(), 0, 0, 255);
        EXPECT_EQ(std::memcmp(dst.Bits(), src.Bits(), src.ByteCount()), 0) << bits;
    }
}

TEST(AlphaBlend, MixedFormatsBlendThroughColours)
{
    Surface src(2, 1, 24), dst(2, 1, 32);
    src.SetPixel(0, 0, RGB(200, 100, 0));
    dst.SetPixel(0, 0, RGB(0, 50, 255));
    AlphaBlend(dst, 0, 0, 2, 1, src, 0, 0, 128);
    EXPECT_EQ(dst.GetPixel(0, 0), RGB(Rule(200, 0, 128), Rule(100, 50, 128), Rule(0, 255, 128)));
    EXPECT_EQ(dst.GetPixel(1, 0), RGB(0, 0, 0));
}

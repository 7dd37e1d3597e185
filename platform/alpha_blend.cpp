#include "alpha_blend.h"

#include "clip_rect.h"

#include <cstring>

namespace {

inline unsigned Blend(unsigned s, unsigned d, unsigned a)
{
    return (s * a + d * (255 - a) + 127) / 255;
}

// 24 and 32 bits: every byte is one channel (the unused byte of 32-bit pixels stays 0 + 0).
void BlendBytes(std::uint8_t *d, const std::uint8_t *s, std::size_t count, unsigned a)
{
    for (std::size_t i = 0; i < count; ++i)
        d[i] = std::uint8_t(Blend(s[i], d[i], a));
}

void BlendWords555(std::uint8_t *d, const std::uint8_t *s, int count, unsigned a)
{
    for (int i = 0; i < count; ++i) {
        const unsigned sw = unsigned(s[2 * i]) | (unsigned(s[2 * i + 1]) << 8);
        const unsigned dw = unsigned(d[2 * i]) | (unsigned(d[2 * i + 1]) << 8);
        const unsigned r = Blend((sw >> 10) & 31, (dw >> 10) & 31, a);
        const unsigned g = Blend((sw >> 5) & 31, (dw >> 5) & 31, a);
        const unsigned b = Blend(sw & 31, dw & 31, a);
        const unsigned word = (r << 10) | (g << 5) | b;
        d[2 * i] = std::uint8_t(word & 0xFF);
        d[2 * i + 1] = std::uint8_t(word >> 8);
    }
}

} // namespace

void AlphaBlend(Surface &dst, int x, int y, int w, int h, const Surface &src, int sx, int sy,
                std::uint8_t alpha)
{
    if (dst.IsNull() || src.IsNull() || alpha == 0 || dst.BitsPerPixel() != src.BitsPerPixel())
        return;
    if (!ClipCopy(x, y, w, h, sx, sy, dst.Width(), dst.Height(), src.Width(), src.Height()))
        return;
    const int depth = dst.BitsPerPixel();
    const int bytes = depth / 8;
    for (int row = 0; row < h; ++row) {
        std::uint8_t *d = dst.Row(y + row) + std::size_t(x) * bytes;
        const std::uint8_t *s = src.Row(sy + row) + std::size_t(sx) * bytes;
        if (alpha == 255)
            std::memmove(d, s, std::size_t(w) * bytes);
        else if (depth == 16)
            BlendWords555(d, s, w, alpha);
        else
            BlendBytes(d, s, std::size_t(w) * bytes, alpha);
    }
}

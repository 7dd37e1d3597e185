#include "program_icon.h"

#include <algorithm>
#include <cmath>

namespace {

struct Rgba
{
    double r = 0, g = 0, b = 0, a = 0;
};

// Paints src over dst, both straight alpha.
Rgba Over(const Rgba &dst, const Rgba &src)
{
    const double a = src.a + dst.a * (1 - src.a);
    if (a <= 0)
        return {};
    auto mix = [&](double s, double d) {
        return (s * src.a + d * dst.a * (1 - src.a)) / a;
    };
    return {mix(src.r, dst.r), mix(src.g, dst.g), mix(src.b, dst.b), a};
}

bool InRoundedRect(double x, double y, double x0, double y0, double x1, double y1, double r)
{
    if (x < x0 || x > x1 || y < y0 || y > y1)
        return false;
    const double cx = std::clamp(x, x0 + r, x1 - r);
    const double cy = std::clamp(y, y0 + r, y1 - r);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

// The icon on a unit square: (u, v) in [0, 1), v downwards.
Rgba Sample(double u, double v)
{
    Rgba c;
    // Tile: deep blue rounded square.
    if (InRoundedRect(u, v, 0.02, 0.02, 0.98, 0.98, 0.16))
        c = Over(c, {0.10, 0.28, 0.55, 1});
    // Picture card.
    const bool onCard = u >= 0.14 && u <= 0.86 && v >= 0.18 && v <= 0.78;
    if (onCard) {
        c = Over(c, {0.97, 0.97, 0.94, 1});
        // Sun.
        const double du = u - 0.66, dv = v - 0.34;
        if (du * du + dv * dv <= 0.085 * 0.085)
            c = Over(c, {0.98, 0.70, 0.15, 1});
        // Two hills.
        if (v >= 0.78 - (0.34 - std::abs(u - 0.36)) * 1.2)
            c = Over(c, {0.25, 0.62, 0.30, 1});
        if (v >= 0.78 - (0.22 - std::abs(u - 0.70)) * 1.1)
            c = Over(c, {0.16, 0.48, 0.24, 1});
    }
    // The stamped "T": a red bar and stem across the lower right corner.
    const bool bar = u >= 0.50 && u <= 0.94 && v >= 0.56 && v <= 0.68;
    const bool stem = u >= 0.66 && u <= 0.78 && v >= 0.56 && v <= 0.95;
    if (bar || stem)
        c = Over(c, {0.86, 0.14, 0.16, 1});
    return c;
}

std::uint32_t Pack(const Rgba &c, double alpha)
{
    auto byte = [](double v) {
        return std::uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255));
    };
    return (byte(alpha) << 24) | (byte(c.r) << 16) | (byte(c.g) << 8) | byte(c.b);
}

} // namespace

IconImage DrawProgramIcon(int size, bool smoothEdges)
{
    IconImage image;
    image.size = size;
    image.pixels.resize(std::size_t(size) * std::size_t(size));
    constexpr int kSamples = 4; // per axis, for smooth edges
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Rgba sum;
            double alpha = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Rgba s = Sample((x + (sx + 0.5) / kSamples) / size,
                                          (y + (sy + 0.5) / kSamples) / size);
                    sum.r += s.r * s.a;
                    sum.g += s.g * s.a;
                    sum.b += s.b * s.a;
                    alpha += s.a;
                }
            }
            Rgba c;
            if (alpha > 0)
                c = {sum.r / alpha, sum.g / alpha, sum.b / alpha, 1};
            alpha /= kSamples * kSamples;
            if (!smoothEdges)
                alpha = alpha >= 0.5 ? 1 : 0;
            image.pixels[std::size_t(y) * std::size_t(size) + std::size_t(x)] = Pack(c, alpha);
        }
    }
    return image;
}

std::vector<IconImage> ProgramIconImages()
{
    return {DrawProgramIcon(32, false), DrawProgramIcon(48, true)};
}

#pragma once

#include "surface.h"

#include <cstdint>

// Blends w x h pixels of src at (sx, sy) onto dst at (x, y) with one constant opacity, clipped
// to both surfaces. Each channel becomes (s * alpha + d * (255 - alpha) + 127) / 255: alpha 255
// gives the source, 0 the destination, and a pixel blended with itself keeps its value. On
// 16-bit surfaces the rule applies to the 5-bit channels themselves. Both surfaces have one
// format (text is composed on a copy made compatible with its target); others blend nothing.
void AlphaBlend(Surface &dst, int x, int y, int w, int h, const Surface &src, int sx, int sy,
                std::uint8_t alpha);

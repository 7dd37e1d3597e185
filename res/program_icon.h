#pragma once

#include <cstdint>
#include <vector>

// The program's icon (128), drawn in code: a picture card with hills and a sun, and a text
// caret "T" stamped across its corner.
struct IconImage
{
    int size = 0;                      // width and height in pixels
    std::vector<std::uint32_t> pixels; // 0xAARRGGBB, not premultiplied, top row first
};

// The two images of the icon: 32 x 32 with a one-bit mask (alpha 0 or 255) and 48 x 48 with
// smooth edges.
std::vector<IconImage> ProgramIconImages();

// One image of the icon; smoothEdges gives graded alpha, otherwise the alpha is a mask.
IconImage DrawProgramIcon(int size, bool smoothEdges);

#pragma once

// Test BMP files made in code, and picture compares that name the first pixel that differs.

#include "platform/surface.h"

#include <gtest/gtest.h>

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace testbmp {

using Bytes = std::vector<std::uint8_t>;

struct BmpLayout
{
    // Any value is written as given; a 16-byte header holds only the fields up to the bit count.
    std::uint32_t headerSize = 40;
    std::int32_t width = 1;
    std::int32_t height = 1; // negative: top-down
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;
    // Red, green, blue, alpha: inside headers of 52 bytes and more (alpha from 56), after a
    // 40-byte one when compression is 3 (alpha too when it is 6).
    std::uint32_t masks[4] = {0, 0, 0, 0};
    std::vector<COLORREF> palette {};
    std::uint32_t paletteEntryBytes = 0; // 3 or 4; 0: as the header size says
    std::uint32_t gap = 0;               // bytes of 0xEE between the colour table and the pixels
    std::optional<std::uint32_t> offBits {}; // default: where the pixels really start
    Bytes pixels {};                         // stored exactly as given
    char signature[2] = {'B', 'M'};
};

Bytes BuildBmp(const BmpLayout &layout);

// Rows of pixel values, top row first, as a stored pixel array with 4-byte row padding:
// indices for 1..8 bits (first pixel in the high bits), the raw word for 16 and 32 bits,
// 0x00RRGGBB for 24. Stored bottom row first unless topDown.
Bytes PackRows(int bitCount, const std::vector<std::vector<std::uint32_t>> &rowsTopFirst,
               bool topDown = false);

// An RLE8 or RLE4 stream.
class RleStream
{
public:
    RleStream &Raw(std::initializer_list<std::uint8_t> bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes);
        return *this;
    }
    // value is an index, or two nibbles for RLE4.
    RleStream &Run(std::uint8_t count, std::uint8_t value) { return Raw({count, value}); }
    RleStream &Absolute(const std::vector<std::uint8_t> &indices, bool fourBit);
    RleStream &EndOfLine() { return Raw({0, 0}); }
    RleStream &EndOfPicture() { return Raw({0, 1}); }
    RleStream &Delta(std::uint8_t dx, std::uint8_t dy) { return Raw({0, 2, dx, dy}); }
    const Bytes &bytes() const { return m_bytes; }

private:
    Bytes m_bytes;
};

// No two neighbours alike and every channel varying (0x00RRGGBB), so a pixel read from the
// wrong place, row or channel shows.
std::uint32_t Pattern(int x, int y);

// A 24-bit picture whose pixel at (x, y) is rgb(x, y) (0x00RRGGBB).
Bytes Picture24(int width, int height, const std::function<std::uint32_t(int x, int y)> &rgb);

void WriteFile(const QString &path, const Bytes &bytes);
void WriteSolid(const QString &path, int width, int height, std::uint32_t rgb);
Bytes ReadFile(const QString &path);

inline std::uint16_t U16At(const Bytes &b, std::size_t at)
{
    return std::uint16_t(b.at(at) | b.at(at + 1) << 8);
}

// The top-left width x height pixels against colours given top row first.
::testing::AssertionResult SurfaceShows(const Surface &surface, int width, int height,
                                        const std::vector<COLORREF> &expected);
::testing::AssertionResult SamePixelsAs(const Surface &a, const Surface &b, int width, int height);

} // namespace testbmp

#pragma once

// Drawing of a packed device-independent bitmap (info header, colour table, pixel array in one
// block, as a BMP file holds them after its 14-byte file header) 1:1 onto a surface. The header
// is read and checked whole first; the pixel pass then trusts only what the check settled.

#include "platform/surface.h"

#include <cstddef>
#include <cstdint>
#include <span>

enum class DibCompression : std::uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3 };

// Why a block cannot be drawn faithfully.
enum class DibFault {
    None,
    TruncatedHeader,
    UnknownHeaderSize,
    BadBitCount,
    BadCompression,
    BadSize,
    TooLarge,
    BadMasks,
    TruncatedColorTable,
    TruncatedPixels,
};

// Text for a fault, for the tool's messages.
const char *DibFaultText(DibFault fault);

// One channel of a bit-field pixel: where it sits and its largest value.
struct DibChannel
{
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;
};

struct DibHeader
{
    std::uint32_t headerSize = 0; // 12 (the old core header), 40, 52, 56, 108 or 124
    std::int32_t width = 0;
    std::int32_t height = 0; // number of rows, always positive
    bool topDown = false;    // rows stored top row first (negative height in the file)
    std::uint16_t bitCount = 0;
    DibCompression compression = DibCompression::Rgb;
    DibChannel red, green, blue;      // 16 and 32 bits
    std::uint32_t colorCount = 0;     // colour-table entries
    std::size_t colorEntrySize = 4;   // 3 for the core header
    std::size_t colorTableOffset = 0; // in the block
    std::size_t pixelOffset = 0;      // in the block
    std::size_t rowStride = 0;        // stored row size, padded to 4 bytes
    std::size_t pixelBytes = 0;       // bytes of the block the pixel pass may read
};

// Largest picture drawn: 2^28 pixels, sides up to 65,535.
constexpr std::uint64_t kMaxDibPixels = std::uint64_t(1) << 28;
constexpr std::int32_t kMaxDibSide = 65535;

// Reads and checks the header of a block. fileOffBits is the file header's pixel offset
// (counted from the start of the file, 14 bytes before the block); it is honoured when it
// points inside the block at or after the end of the header and colour table.
DibFault ParseDibHeader(std::span<const std::uint8_t> block, std::uint32_t fileOffBits,
                        DibHeader &header);

// Draws the block, whose header ParseDibHeader accepted, 1:1 at (0, 0), clipped to the surface.
void DrawDib(const DibHeader &header, std::span<const std::uint8_t> block, Surface &surface);

#pragma once

// Reading and drawing of a device-independent bitmap as a BMP file holds it: the file header,
// the info header, the colour table and the pixel array. The headers are read and checked whole
// first, from the file's first bytes and its length alone, before anything else is read; the
// pixel pass then trusts only what the check settled. A caller that streams a file may use the
// header, the colour lookup and the row decoding without ever holding the whole picture.

#include "platform/surface.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// How the pixels are stored. RLE24 comes only with OS/2 2.x headers, which give it the value 4;
// bit fields with an alpha mask (6) are read as bit fields.
enum class DibCompression { Rgb, Rle8, Rle4, BitFields, Rle24 };

// Why a file cannot be drawn faithfully.
enum class DibFault {
    None,
    TooShort,
    NotBmp,
    TruncatedHeader,
    UnknownHeaderSize,
    BadBitCount,
    BadCompression,
    BadSize,
    TooLarge,
    CompressedTooLarge,
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

// Everything the pixel pass needs, settled from the headers. Offsets count from the start of
// the file.
struct DibHeader
{
    // 12 (OS/2 1.x), 16 or 64 (OS/2 2.x), 40, 52, 56, 108 or 124
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;    // number of rows, always positive
    bool topDown = false;       // rows stored top row first (negative height in the file)
    std::uint16_t bitCount = 0; // 1, 2, 4, 8, 16, 24, 32 or 64
    DibCompression compression = DibCompression::Rgb;
    DibChannel red, green, blue;    // 16 and 32 bits
    std::uint32_t colorCount = 0;   // colour-table entries
    std::size_t colorEntrySize = 4; // 3 for OS/2 1.x, and some OS/2 2.x tables
    std::uint64_t colorTableOffset = 0;
    std::uint64_t pixelOffset = 0;
    std::size_t rowStride = 0;  // stored row size, padded to 4 bytes
    std::size_t pixelBytes = 0; // bytes from pixelOffset that the pixel pass reads

    std::size_t ColorTableBytes() const { return std::size_t(colorCount) * colorEntrySize; }
    bool IsRunLength() const
    {
        return compression == DibCompression::Rle8 || compression == DibCompression::Rle4
            || compression == DibCompression::Rle24;
    }
};

// Largest picture drawn: 2^28 pixels, sides up to 65,535.
constexpr std::uint64_t kMaxDibPixels = std::uint64_t(1) << 28;
constexpr std::int32_t kMaxDibSide = 65535;
// A run-length picture may unpack to at most the larger of these two, so that a small file
// cannot make the program hold (and write) a huge one.
constexpr std::uint64_t kMaxCompressedUnpackedBytes = std::uint64_t(256) << 20;
constexpr std::uint64_t kMaxCompressedExpansion = 64;
// The file's first bytes that hold every header field: the file header and the largest info
// header (masks after a 40-byte header fall inside it).
constexpr std::size_t kDibHeadBytes = 14 + 124;

// Reads and checks the headers. head is the start of the file, min(fileSize, kDibHeadBytes)
// bytes of it (more are ignored); fileSize is the whole file's length.
DibFault ParseDibHeader(std::span<const std::uint8_t> head, std::uint64_t fileSize,
                        DibHeader &header);

// The colour table as pixels in the surface's 32-bit layout (0x00RRGGBB); indices beyond the
// table give black. table holds the header's ColorTableBytes() from colorTableOffset.
using DibColors = std::array<std::uint32_t, 256>;
DibColors DibColorLookup(const DibHeader &header, std::span<const std::uint8_t> table);

// Decodes the first count pixels of one stored row of an uncompressed picture (row holds at
// least the header's rowStride bytes) to 0x00RRGGBB words.
void DecodeDibRow(const DibHeader &header, const std::uint8_t *row, int count,
                  const DibColors &colors, std::uint32_t *out);

// Draws the picture 1:1 at (0, 0), clipped to the surface. pixels holds the header's pixelBytes
// from pixelOffset.
void DrawDib(const DibHeader &header, const DibColors &colors, std::span<const std::uint8_t> pixels,
             Surface &surface);

// The longest run-length command: an absolute run of 255 RLE24 pixels and its padding.
constexpr std::size_t kDibRleCommandBytes = 2 + 255 * 3 + 1;

// Reads count bytes of a run-length stream from offset from into into; false, with errno set,
// when they cannot be read.
using DibStreamRead = std::function<bool(std::size_t from, std::size_t count, std::uint8_t *into)>;

// Decodes the rows of a run-length picture one after the other, in stored order (bottom row
// first unless the picture is top-down), so that a caller that streams the file need not hold
// the picture.
class DibRleRows
{
public:
    // Over a stream held whole: the header's pixelBytes from pixelOffset.
    DibRleRows(const DibHeader &header, const DibColors &colors,
               std::span<const std::uint8_t> stream);
    // Over the header's pixelBytes read a window at a time, so that a file cut short by another
    // program fails to read where it ends. A window holds at least kDibRleCommandBytes.
    DibRleRows(const DibHeader &header, const DibColors &colors, DibStreamRead read,
               std::size_t windowBytes = std::size_t(64) << 10);
    // The next stored row: header.width pixels, black where the stream leaves pixels out. False
    // when the stream could not be read (errno says why); never for a stream held whole.
    bool Next(std::uint32_t *out);

private:
    bool Fill();

    DibHeader m_header;
    DibColors m_colors;
    DibStreamRead m_read; // empty for a stream held whole
    std::size_t m_windowBytes = 0;
    std::vector<std::uint8_t> m_buffer;     // the window, when read
    std::span<const std::uint8_t> m_stream; // the bytes at hand: the window, or the whole stream
    std::size_t m_windowStart = 0;          // in the stream, of m_stream's first byte
    std::size_t m_at = 0;                   // next byte, in m_stream
    long long m_row = 0;                    // stored row Next gives
    long long m_streamRow = 0;              // stored row the stream stands on
    long long m_x = 0;                      // column the stream stands on
    bool m_ended = false;
};

#include "bmp_decode.h"

#include "widen_row.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace {

// Every read of block bytes goes through here: little-endian, never past the end.
class LeReader
{
public:
    explicit LeReader(std::span<const std::uint8_t> data)
        : m_data(data)
    { }
    bool has(std::size_t at, std::size_t n) const
    {
        return at <= m_data.size() && n <= m_data.size() - at;
    }
    std::uint8_t u8(std::size_t at) const { return has(at, 1) ? m_data[at] : 0; }
    std::uint16_t u16(std::size_t at) const
    {
        return has(at, 2) ? std::uint16_t(m_data[at] | m_data[at + 1] << 8) : 0;
    }
    std::uint32_t u32(std::size_t at) const
    {
        return has(at, 4) ? std::uint32_t(u16(at)) | std::uint32_t(u16(at + 2)) << 16 : 0;
    }
    std::int32_t i32(std::size_t at) const { return std::int32_t(u32(at)); }
    std::size_t size() const { return m_data.size(); }

private:
    std::span<const std::uint8_t> m_data;
};

bool MakeChannel(std::uint32_t mask, int bitCount, DibChannel &channel)
{
    if (mask == 0)
        return false;
    if (bitCount < 32 && (mask >> bitCount) != 0)
        return false; // bits the pixel does not have
    const int shift = std::countr_zero(mask);
    const std::uint32_t value = mask >> shift;
    if ((value & (value + 1)) != 0)
        return false; // not contiguous
    channel = {mask, shift, value};
    return true;
}

// Narrow channels are widened by rounding v * 255 / max.
inline std::uint32_t Widen(std::uint32_t pixel, const DibChannel &c)
{
    const std::uint64_t v = (pixel & c.mask) >> c.shift;
    return std::uint32_t((v * 510 + c.max) / (2 * std::uint64_t(c.max)));
}

inline std::uint32_t Bgrx(std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return r << 16 | g << 8 | b;
}

// 16-bit channels are narrowed by rounding v * 255 / 65535, like the narrow ones are widened.
inline std::uint32_t Narrow16(const std::uint8_t *p)
{
    const std::uint32_t v = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
    return (v * 255 + 32767) / 65535;
}

// Bottom-up files store the bottom row first.
inline int SurfaceRow(const DibHeader &h, int storedRow)
{
    return h.topDown ? storedRow : h.height - 1 - storedRow;
}

} // namespace

void DecodeDibRow(const DibHeader &h, const std::uint8_t *src, int count, const DibColors &lookup,
                  std::uint32_t *out)
{
    switch (h.bitCount) {
    case 1:
    case 2:
    case 4: {
        // Several pixels per byte, the first in the high bits.
        const int bits = h.bitCount, perByte = 8 / bits, valueMask = (1 << bits) - 1;
        for (int x = 0; x < count; ++x) {
            const int shift = 8 - bits * (x % perByte + 1);
            out[x] = lookup[(src[x / perByte] >> shift) & valueMask];
        }
        break;
    }
    case 8:
        for (int x = 0; x < count; ++x)
            out[x] = lookup[src[x]];
        break;
    case 16:
        for (int x = 0; x < count; ++x) {
            const std::uint32_t p = std::uint32_t(src[2 * x] | src[2 * x + 1] << 8);
            out[x] = Bgrx(Widen(p, h.red), Widen(p, h.green), Widen(p, h.blue));
        }
        break;
    case 24:
        // Stored blue, green, red: the surface's byte order less its unused byte.
        WidenBgrRow(src, reinterpret_cast<std::uint8_t *>(out), count);
        break;
    case 64:
        // Four 16-bit channels, blue, green, red, alpha; the display has no alpha.
        for (int x = 0; x < count; ++x) {
            const std::uint8_t *p = src + 8 * std::size_t(x);
            out[x] = Bgrx(Narrow16(p + 4), Narrow16(p + 2), Narrow16(p));
        }
        break;
    default: {
        const bool plain = h.red.mask == 0xFF0000 && h.green.mask == 0xFF00 && h.blue.mask == 0xFF;
        for (int x = 0; x < count; ++x) {
            const std::uint32_t p = std::uint32_t(src[4 * x]) | std::uint32_t(src[4 * x + 1]) << 8
                | std::uint32_t(src[4 * x + 2]) << 16 | std::uint32_t(src[4 * x + 3]) << 24;
            // The display has no alpha: the fourth byte is dropped.
            out[x] = plain ? (p & 0xFFFFFF)
                           : Bgrx(Widen(p, h.red), Widen(p, h.green), Widen(p, h.blue));
        }
        break;
    }
    }
}

namespace {

void DrawUncompressed(const DibHeader &h, const DibColors &colors,
                      std::span<const std::uint8_t> pixels, Surface &surface)
{
    const int width = std::min(h.width, surface.Width());
    const int rows = std::min(h.height, surface.Height());
    if (width <= 0 || rows <= 0 || pixels.size() < h.pixelBytes)
        return;
    std::vector<std::uint32_t> buffer(surface.BitsPerPixel() == 32 ? 0 : std::size_t(width));
    for (int stored = 0; stored < h.height; ++stored) {
        const int y = SurfaceRow(h, stored);
        if (y >= rows)
            continue;
        const std::uint8_t *src = pixels.data() + std::size_t(stored) * h.rowStride;
        if (surface.BitsPerPixel() == 32) {
            // Decoded straight into the surface, whose 32-bit rows have this very layout.
            DecodeDibRow(h, src, width, colors, reinterpret_cast<std::uint32_t *>(surface.Row(y)));
        } else {
            DecodeDibRow(h, src, width, colors, buffer.data());
            surface.StoreRow(0, y, buffer.data(), width);
        }
    }
}

void DrawRle(const DibHeader &h, const DibColors &colors, std::span<const std::uint8_t> stream,
             Surface &surface)
{
    DibRleRows rows(h, colors, stream);
    const int width = std::min(h.width, surface.Width());
    std::vector<std::uint32_t> buffer(std::size_t(h.width));
    for (int stored = 0; stored < h.height; ++stored) {
        rows.Next(buffer.data()); // a stream held whole is never short of bytes
        const int y = SurfaceRow(h, stored);
        if (y < surface.Height() && width > 0)
            surface.StoreRow(0, y, buffer.data(), width);
    }
}

// The most stream bytes a run-length picture can use to some effect: one pixel a run (two
// bytes, four in RLE24), an end of line a row and an end of picture, twice over for deltas and
// padding. Bytes beyond it are never read, so a huge file behind a small picture costs nothing.
std::uint64_t RunLengthStreamLimit(const DibHeader &h)
{
    const std::uint64_t pixels = std::uint64_t(h.width) * std::uint64_t(h.height);
    const std::uint64_t run = h.compression == DibCompression::Rle24 ? 4 : 2;
    return 2 * (run * pixels + 2 * std::uint64_t(h.height) + 2);
}

} // namespace

DibRleRows::DibRleRows(const DibHeader &header, const DibColors &colors,
                       std::span<const std::uint8_t> stream)
    : m_header(header)
    , m_colors(colors)
    , m_stream(stream)
{ }

DibRleRows::DibRleRows(const DibHeader &header, const DibColors &colors, DibStreamRead read,
                       std::size_t windowBytes)
    : m_header(header)
    , m_colors(colors)
    , m_read(std::move(read))
    , m_windowBytes(std::max(windowBytes, kDibRleCommandBytes))
{ }

// Makes the bytes at hand hold the next command whole, or reach the stream's end.
bool DibRleRows::Fill()
{
    const std::size_t size = std::size_t(m_header.pixelBytes);
    if (!m_read || m_stream.size() - m_at >= kDibRleCommandBytes
        || m_windowStart + m_stream.size() == size)
        return true;
    m_windowStart += m_at;
    m_at = 0;
    const std::size_t count = std::min(m_windowBytes, size - m_windowStart);
    m_buffer.resize(m_windowBytes);
    if (!m_read(m_windowStart, count, m_buffer.data())) {
        m_stream = {};
        return false;
    }
    m_stream = {m_buffer.data(), count};
    return true;
}

bool DibRleRows::Next(std::uint32_t *out)
{
    const DibHeader &h = m_header;
    // Pixels the stream skips (deltas, early line or picture ends) stay black.
    std::fill(out, out + h.width, 0u);
    const bool four = h.compression == DibCompression::Rle4;
    // RLE24 stores each value as a pixel of its own, blue, green, red; the others an index.
    const bool direct = h.compression == DibCompression::Rle24;
    const std::size_t valueBytes = direct ? 3 : 1;
    const auto put = [&](long long x, std::uint32_t p) {
        if (x >= 0 && x < h.width)
            out[x] = p;
    };
    const long long row = m_row++;
    // Nothing more is read while the stream stands on a later row (after a delta or a line
    // end) or has ended.
    while (!m_ended && m_streamRow == row) {
        if (!Fill())
            return false;
        const LeReader in(m_stream);
        const std::size_t end = m_stream.size();
        const auto valueAt = [&](std::size_t at) {
            return direct ? Bgrx(in.u8(at + 2), in.u8(at + 1), in.u8(at)) : m_colors[in.u8(at)];
        };
        if (m_at + 2 > end) {
            m_ended = true;
            break;
        }
        const std::uint8_t count = in.u8(m_at);
        if (count > 0) { // a run of one value; RLE4 alternates its two nibbles
            if (!in.has(m_at + 1, valueBytes)) {
                m_ended = true;
                break;
            }
            const std::uint8_t index = in.u8(m_at + 1);
            const std::uint32_t value = valueAt(m_at + 1);
            m_at += 1 + valueBytes;
            for (int i = 0; i < count; ++i, ++m_x)
                put(m_x, four ? m_colors[(i % 2) ? index & 0x0F : index >> 4] : value);
            continue;
        }
        const std::uint8_t escape = in.u8(m_at + 1);
        m_at += 2;
        if (escape == 0) { // end of line
            m_x = 0;
            ++m_streamRow;
        } else if (escape == 1) { // end of picture
            m_ended = true;
        } else if (escape == 2) { // delta: move right and up (further into the stored rows)
            if (m_at + 2 > end) {
                m_ended = true;
                break;
            }
            m_x += in.u8(m_at);
            m_streamRow += in.u8(m_at + 1);
            m_at += 2;
        } else { // absolute: escape literal pixels, padded to a 16-bit boundary
            const std::size_t bytes = four ? (escape + 1u) / 2 : escape * valueBytes;
            const std::size_t padded = (bytes + 1) & ~std::size_t(1);
            if (!in.has(m_at, bytes)) {
                m_ended = true;
                break;
            }
            for (int i = 0; i < escape; ++i, ++m_x) {
                if (four) {
                    const std::uint8_t b = in.u8(m_at + i / 2);
                    put(m_x, m_colors[(i % 2) ? b & 0x0F : b >> 4]);
                } else {
                    put(m_x, valueAt(m_at + i * valueBytes));
                }
            }
            m_at += std::min(padded, end - m_at);
        }
    }
    return true;
}

const char *DibFaultText(DibFault fault)
{
    switch (fault) {
    case DibFault::None:
        return "no fault";
    case DibFault::TooShort:
        return "not a BMP file (too short)";
    case DibFault::NotBmp:
        return "not a BMP file";
    case DibFault::TruncatedHeader:
        return "the file is too short for its header";
    case DibFault::UnknownHeaderSize:
        return "unknown bitmap header size";
    case DibFault::BadBitCount:
        return "unsupported number of bits per pixel";
    case DibFault::BadCompression:
        return "unsupported compression";
    case DibFault::BadSize:
        return "invalid picture size";
    case DibFault::TooLarge:
        return "picture too large";
    case DibFault::CompressedTooLarge:
        return "the compressed picture unpacks to far more than its file holds";
    case DibFault::BadMasks:
        return "invalid colour masks";
    case DibFault::TruncatedColorTable:
        return "the file is too short for its colour table";
    case DibFault::TruncatedPixels:
        return "the file is too short for its pixels";
    }
    return "unknown fault";
}

DibFault ParseDibHeader(std::span<const std::uint8_t> head, std::uint64_t fileSize, DibHeader &out)
{
    if (fileSize < 14 || head.size() < 14)
        return DibFault::TooShort;
    const LeReader in(head.first(std::min<std::uint64_t>({head.size(), fileSize, kDibHeadBytes})));
    if (in.u8(0) != 'B' || in.u8(1) != 'M')
        return DibFault::NotBmp;
    const std::uint32_t offBits = in.u32(10);
    constexpr std::size_t info = 14; // the info header follows the file header
    if (!in.has(info, 4))
        return DibFault::TruncatedHeader;
    DibHeader h;
    h.headerSize = in.u32(info);
    switch (h.headerSize) {
    case 12:
    case 16:
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
        break;
    default:
        return DibFault::UnknownHeaderSize;
    }
    if (!in.has(info, h.headerSize))
        return DibFault::TruncatedHeader;
    // OS/2 2.x headers: 64 bytes, or only their first 16 with the other fields taken as 0. Their
    // compression values 3 and 4 mean Huffman and RLE24, not bit fields and JPEG.
    const bool os2 = h.headerSize == 16 || h.headerSize == 64;
    bool alphaMask = false; // a fourth mask, for alpha, after a 40-byte header

    std::int64_t height;
    std::uint32_t clrUsed = 0;
    if (h.headerSize == 12) { // the old core header: 16-bit sizes, no compression
        h.width = in.u16(info + 4);
        height = in.u16(info + 6); // unsigned: core pictures are always bottom-up
        h.bitCount = in.u16(info + 10);
        h.colorEntrySize = 3;
    } else {
        h.width = in.i32(info + 4);
        height = in.i32(info + 8);
        h.bitCount = in.u16(info + 14);
        const std::uint32_t compression = h.headerSize > 16 ? in.u32(info + 16) : 0;
        switch (compression) {
        case 0:
        case 1:
        case 2:
            h.compression = DibCompression(compression);
            break;
        case 3: // bit fields; OS/2's Huffman 1D is not read
            if (os2)
                return DibFault::BadCompression;
            h.compression = DibCompression::BitFields;
            break;
        case 4: // OS/2's RLE24; embedded JPEG is not read
            if (!os2)
                return DibFault::BadCompression;
            h.compression = DibCompression::Rle24;
            break;
        case 6: // bit fields with an alpha mask, which the display has no use for
            if (os2)
                return DibFault::BadCompression;
            h.compression = DibCompression::BitFields;
            alphaMask = true;
            break;
        default: // embedded PNG and unknown ones
            return DibFault::BadCompression;
        }
        clrUsed = h.headerSize > 16 ? in.u32(info + 32) : 0;
    }
    switch (h.bitCount) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
    case 64:
        break;
    default:
        return DibFault::BadBitCount;
    }
    const bool compressionFits = h.compression == DibCompression::Rgb
        || (h.compression == DibCompression::Rle8 && h.bitCount == 8)
        || (h.compression == DibCompression::Rle4 && h.bitCount == 4)
        || (h.compression == DibCompression::Rle24 && h.bitCount == 24)
        || (h.compression == DibCompression::BitFields && (h.bitCount == 16 || h.bitCount == 32));
    if (!compressionFits)
        return DibFault::BadCompression;

    // A negative height marks rows stored top row first.
    h.topDown = height < 0;
    height = height < 0 ? -height : height;
    if (h.width <= 0 || height == 0)
        return DibFault::BadSize;
    if (h.width > kMaxDibSide || height > kMaxDibSide
        || std::uint64_t(h.width) * std::uint64_t(height) > kMaxDibPixels)
        return DibFault::TooLarge;
    h.height = std::int32_t(height);
    // A run-length stream can describe any size in a few bytes; what it unpacks to is bounded
    // by what its file could hold.
    const std::uint64_t unpacked = std::uint64_t(h.width) * std::uint64_t(h.height) * 4;
    if (h.IsRunLength()
        && unpacked > std::max(kMaxCompressedUnpackedBytes, kMaxCompressedExpansion * fileSize))
        return DibFault::CompressedTooLarge;

    std::uint64_t tableOffset = info + h.headerSize;
    if (h.bitCount == 16 || h.bitCount == 32) {
        std::uint32_t masks[3] = {0, 0, 0};
        if (h.compression == DibCompression::BitFields) {
            // A 40-byte header keeps its masks just after it; the larger ones inside.
            const std::size_t at = info + 40;
            if (h.headerSize == 40) {
                const std::size_t maskBytes = alphaMask ? 16 : 12;
                if (!in.has(at, maskBytes))
                    return DibFault::TruncatedHeader;
                tableOffset += maskBytes;
            }
            masks[0] = in.u32(at);
            masks[1] = in.u32(at + 4);
            masks[2] = in.u32(at + 8);
        } else if (h.bitCount == 16) { // the default 16-bit layout is 5-5-5
            masks[0] = 0x7C00;
            masks[1] = 0x03E0;
            masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000;
            masks[1] = 0x00FF00;
            masks[2] = 0x0000FF;
        }
        if (!MakeChannel(masks[0], h.bitCount, h.red) || !MakeChannel(masks[1], h.bitCount, h.green)
            || !MakeChannel(masks[2], h.bitCount, h.blue) || (masks[0] & masks[1])
            || (masks[0] & masks[2]) || (masks[1] & masks[2]))
            return DibFault::BadMasks;
    }

    // Palette formats have a colour table; the others none, whatever biClrUsed says.
    if (h.bitCount <= 8) {
        h.colorCount = clrUsed != 0 ? clrUsed : (1u << h.bitCount);
        // Where the file header says the pixels start, the table ends: writers that keep only
        // the colours they use write fewer entries than the count says. OS/2 2.x tables come
        // with 4-byte entries, or with the 3-byte ones of OS/2 1.x when that is what fits.
        if (offBits >= tableOffset + h.colorEntrySize && offBits < fileSize) {
            const std::uint64_t room = offBits - tableOffset;
            if (os2 && room == 3 * std::uint64_t(h.colorCount))
                h.colorEntrySize = 3;
            h.colorCount
                = std::uint32_t(std::min<std::uint64_t>(h.colorCount, room / h.colorEntrySize));
        }
    }
    h.colorTableOffset = tableOffset;
    const std::uint64_t tableEnd = tableOffset + std::uint64_t(h.colorCount) * h.colorEntrySize;
    if (tableEnd > fileSize)
        return DibFault::TruncatedColorTable;

    // Pixels start where the file header says, when that is a place they can start.
    h.pixelOffset = offBits >= tableEnd && offBits < fileSize ? offBits : tableEnd;

    h.rowStride = std::size_t((std::uint64_t(h.width) * h.bitCount + 31) / 32 * 4);
    if (h.IsRunLength()) {
        h.pixelBytes = std::size_t(std::min(fileSize - h.pixelOffset, RunLengthStreamLimit(h)));
    } else {
        const std::uint64_t need = std::uint64_t(h.rowStride) * std::uint64_t(h.height);
        if (need > fileSize - h.pixelOffset)
            return DibFault::TruncatedPixels;
        h.pixelBytes = std::size_t(need);
    }
    out = h;
    return DibFault::None;
}

DibColors DibColorLookup(const DibHeader &h, std::span<const std::uint8_t> table)
{
    const LeReader in(table);
    DibColors lookup {};
    const std::uint32_t n = std::min<std::uint32_t>(h.colorCount, 256);
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::size_t at = i * h.colorEntrySize;
        // Colour entries are stored blue, green, red (then a reserved byte).
        lookup[i] = Bgrx(in.u8(at + 2), in.u8(at + 1), in.u8(at));
    }
    return lookup;
}

void DrawDib(const DibHeader &header, const DibColors &colors, std::span<const std::uint8_t> pixels,
             Surface &surface)
{
    if (surface.IsNull())
        return;
    if (header.IsRunLength())
        DrawRle(header, colors, pixels.first(std::min(pixels.size(), header.pixelBytes)), surface);
    else
        DrawUncompressed(header, colors, pixels, surface);
}

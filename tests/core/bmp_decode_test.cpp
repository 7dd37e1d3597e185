#include "image/dib_image.h"
#include "support/bmp_builder.h"

#include <array>

using testbmp::BmpLayout;
using testbmp::PackRows;
using Rows = std::vector<std::vector<std::uint32_t>>;

namespace {

constexpr COLORREF K = RGB(0, 0, 0), R = RGB(255, 0, 0), G = RGB(0, 255, 0), B = RGB(0, 0, 255),
                   W = RGB(255, 255, 255), Y = RGB(200, 180, 20);

// Drawn on a white surface one pixel larger each way than the picture, so that drawing past
// the picture, or a picture of the wrong size, shows.
::testing::AssertionResult Shows(const BmpLayout &layout, std::vector<COLORREF> expected,
                                 int surfaceBits = 32)
{
    DibImage image;
    if (!image.LoadFromBytes(testbmp::BuildBmp(layout), QStringLiteral("mem.bmp")))
        return ::testing::AssertionFailure() << image.GetLoadError().toStdString();
    const int w = layout.width, h = std::abs(layout.height);
    Surface surface(w + 1, h + 1, surfaceBits);
    surface.PatBlt(0, 0, w + 1, h + 1, WHITENESS);
    image.Draw(surface);
    for (int y = h; y > 0; --y)
        expected.insert(expected.begin() + y * w, W);
    expected.resize(expected.size() + std::size_t(w + 1), W);
    return testbmp::SurfaceShows(surface, w + 1, h + 1, expected);
}

BmpLayout Of(std::uint16_t bits, const Rows &rows, std::vector<COLORREF> palette = {},
             std::uint32_t compression = 0, std::array<std::uint32_t, 4> m = {},
             std::uint32_t headerSize = 40, bool topDown = false)
{
    BmpLayout layout {.headerSize = headerSize, .width = std::int32_t(rows[0].size())};
    layout.height = topDown ? -std::int32_t(rows.size()) : std::int32_t(rows.size());
    layout.bitCount = bits;
    layout.compression = compression;
    std::copy(m.begin(), m.end(), layout.masks);
    layout.palette = std::move(palette);
    layout.pixels = PackRows(bits, rows, topDown);
    return layout;
}

// Over red, green, blue and yellow; RLE24, in an OS/2 2.x header, has no table to read.
BmpLayout Rle(std::uint16_t bits, std::int32_t width, std::int32_t height, testbmp::Bytes stream)
{
    const std::uint32_t compression = bits == 8 ? 1 : bits == 4 ? 2 : 4;
    BmpLayout layout = Of(bits, {{}}, {R, G, B, Y}, compression, {}, bits == 24 ? 64 : 40);
    layout.width = width;
    layout.height = height;
    layout.pixels = std::move(stream);
    return layout;
}

} // namespace

TEST(BmpDecode, EveryFormDrawsItsPixels)
{
    const auto table = [](std::size_t entries, std::vector<COLORREF> first, COLORREF rest) {
        first.resize(entries, rest);
        return first;
    };
    // clang-format off
    std::vector<std::tuple<const char *, BmpLayout, std::vector<COLORREF> /* top row first */>>
        rows = {
        {"1 bit, rows across a byte",
            Of(1, {{1, 0, 1, 0, 0, 0, 0, 0, 1}, {0, 1, 1, 1, 1, 1, 1, 1, 0}}, {R, G}),
            {G, R, G, R, R, R, R, R, G, R, G, G, G, G, G, G, G, R}},
        {"2 bits", Of(2, {{0, 1, 2, 3, 2}}, {R, G, B, W}), {R, G, B, W, B}},
        // Indices beyond a short table draw black.
        {"4 bits, 3 colours", Of(4, {{0, 1, 2}, {15, 1, 0}}, {Y, B, W}), {Y, B, W, K, B, Y}},
        {"8 bits", Of(8, {{0, 255}, {2, 1}}, table(256, {R, G, B}, Y)), {R, Y, B, G}},
        {"24 bits, no table whatever biClrUsed says, bfOffBits past a gap",
            {.clrUsed = 5, .gap = 2, .pixels = {20, 180, 200, 0}}, {Y}},
        {"bfOffBits inside the headers", {.offBits = 20, .pixels = {0, 0, 0xFF, 0}}, {R}},
        {"bfOffBits past the end", {.offBits = 5000, .pixels = {0, 0, 0xFF, 0}}, {R}},
        {"32 bits, fourth byte ignored", Of(32, {{0xFFFF0000, 0x7F0000FF}}), {R, B}},
        // 16 of 31 widens to 132; the top bit is ignored.
        {"16 bits, 5-5-5", Of(16, {{0x7C00, 0x8210, 0x001F}}), {R, RGB(0, 132, 132), B}},
        {"5-6-5, masks after", Of(16, {{0xF800, 0x07E0, 0x0410}}, {}, 3, {0xF800, 0x07E0, 0x1F}),
            {R, G, RGB(0, 130, 132)}},
        {"masks in a 56-byte header, red low",
            Of(32, {{0xFF, 0x80FF0000}}, {}, 3, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, 56), {R, B}},
        // Channels are scaled by rounding: 512 of 1023 gives 128.
        {"2-10-10-10", Of(32, {{0x3FF80000}}, {}, 3, {0x3FF00000, 0xFFC00, 0x3FF}, 124),
            {RGB(255, 128, 0)}},
        {"alpha bit fields", Of(16, {{0xFF00, 0x00F0}}, {}, 6, {0xF00, 0xF0, 0xF, 0xF000}), {R, G}},
        {"unused masks", Of(16, {{0x7C00}}, {}, 0, {0x1F, 0x3E0, 0x7C00}, 108), {R}},
        // Blue, green, red, alpha as 16-bit words, each rounded to 8 bits.
        {"64 bits", {.width = 2, .bitCount = 64, .pixels = {0x81, 0, 0, 0x80, 0xC8, 0xC8, 0, 0,
            0x80, 0, 0x7F, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF}}, {RGB(200, 128, 1), RGB(255, 127, 0)}},
        // Bottom row first: a run with its last pixel skipped, an absolute run padded to a word,
        // a delta up one row, a run, the end, and a run after the end.
        {"RLE8 escapes", Rle(8, 4, 3, {3, 1, 0, 0, 0, 3, 2, 0, 3, 0, 0, 2, 0, 1, 1, 0, 0, 1, 4, 3}),
            {K, K, K, R, B, R, Y, K, G, G, G, K}},
        {"RLE8 run past the row, stream cut", Rle(8, 4, 3, {9, 2, 0, 5, 1}),
            {K, K, K, K, K, K, K, K, B, B, B, B}},
        {"RLE8 delta right, run to the end", Rle(8, 4, 3, {1, 1, 0, 2, 2, 0, 1, 3, 0, 0, 4, 2}),
            {K, K, K, K, B, B, B, B, G, K, K, Y}},
        // Runs alternate their nibbles; index 15 is beyond the table.
        {"RLE4", Rle(4, 5, 2, {5, 0x12, 0, 0, 0, 3, 0x02, 0x10, 1, 0xF0, 0, 1}),
            {R, B, G, K, K, G, B, G, B, G}},
        // Five nibbles take three bytes, padded to four.
        {"RLE4 odd absolute run", Rle(4, 5, 2, {0, 5, 0x12, 0x01, 0x20, 0, 0, 0, 2, 0x22}),
            {B, B, K, K, K, G, B, R, G, B}},
        // A run is a count and a pixel; literals are whole pixels, padded to a word; the last
        // run is cut inside its pixel.
        {"RLE24", Rle(24, 4, 2, {3, 0, 0, 255, 0, 0, 0, 3, 255, 0, 0, 0, 255, 0, 20, 180, 200, 0,
                                 1, 255, 255}),
            {B, G, Y, K, R, R, R, K}},
    };
    // OS/2 1.x tables have 3-byte entries, OS/2 2.x ones 4-byte entries or 3-byte ones where
    // the pixels' offset says so; other tables always 4-byte ones, even where 3 would fit. A
    // table ends where the pixels start; the rest draw black.
    const std::vector<std::array<std::uint32_t, 3>> tables = {
        {12, 0, 256}, {12, 0, 2}, {16, 0, 256}, {64, 0, 2}, {64, 3, 256}, {40, 0, 2}, {40, 0, 192}};
    // clang-format on
    for (const auto &[headerSize, entryBytes, entries] : tables) {
        BmpLayout layout = Of(8, {{1, 0, 2}}, table(entries, {Y, B}, G), 0, {}, headerSize);
        layout.paletteEntryBytes = entryBytes;
        rows.emplace_back("colour table", layout, std::vector {B, Y, entries > 2 ? G : K});
    }
    // Either row order, every header size, every surface depth.
    const Rows rgbw = {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFFFF}};
    for (std::uint32_t size : {40u, 52u, 56u, 108u, 124u})
        for (bool topDown : {false, true})
            for (int bits : {16, 24, 32})
                EXPECT_TRUE(Shows(Of(24, rgbw, {}, 0, {}, size, topDown), {R, G, B, W}, bits))
                    << size << " " << topDown << " " << bits;
    for (const auto &[form, layout, shown] : rows)
        EXPECT_TRUE(Shows(layout, shown)) << form << ", header " << layout.headerSize;

    // A surface smaller than the picture gets the top-left part.
    DibImage image;
    ASSERT_TRUE(image.LoadFromBytes(testbmp::Picture24(2, 2, testbmp::Pattern), "m"));
    Surface small(1, 1, 32);
    image.Draw(small);
    EXPECT_EQ(small.GetPixel(0, 0), RGB(0, 0, 13));
}

#include "image/dib_image.h"
#include "support/bmp_builder.h"

#include <gtest/gtest.h>

#include <array>

using testbmp::BmpLayout;
using testbmp::Bytes;
using testbmp::PackRows;
using testbmp::RleStream;
using testbmp::SurfaceShows;

namespace {

constexpr COLORREF K = RGB(0, 0, 0);
constexpr COLORREF R = RGB(255, 0, 0);
constexpr COLORREF G = RGB(0, 255, 0);
constexpr COLORREF B = RGB(0, 0, 255);
constexpr COLORREF W = RGB(255, 255, 255);
constexpr COLORREF Y = RGB(200, 180, 20);

// Loads the file from memory and draws it on a fresh surface of the given depth, sized to the
// picture plus one pixel each way so drawing past the picture shows.
::testing::AssertionResult Shows(const Bytes &file, int width, int height,
                                 const std::vector<COLORREF> &expected, int surfaceBits = 32)
{
    DibImage image;
    if (!image.LoadFromBytes(file, QStringLiteral("mem.bmp")))
        return ::testing::AssertionFailure()
            << "load failed: " << image.GetLoadError().toStdString();
    if (image.GetWidth() != width || image.GetHeight() != height)
        return ::testing::AssertionFailure()
            << "size " << image.GetWidth() << " x " << image.GetHeight();
    Surface surface(width + 1, height + 1, surfaceBits);
    surface.PatBlt(0, 0, width + 1, height + 1, WHITENESS);
    image.Draw(surface);
    auto result = SurfaceShows(surface, width, height, expected);
    if (!result)
        return result;
    for (int y = 0; y <= height; ++y)
        if (surface.GetPixel(width, y) != W)
            return ::testing::AssertionFailure() << "drew past the right edge at row " << y;
    for (int x = 0; x <= width; ++x)
        if (surface.GetPixel(x, height) != W)
            return ::testing::AssertionFailure() << "drew past the bottom at column " << x;
    return ::testing::AssertionSuccess();
}

BmpLayout Layout(int bits, int width, int height, Bytes pixels)
{
    BmpLayout s;
    s.bitCount = std::uint16_t(bits);
    s.width = width;
    s.height = height;
    s.pixels = std::move(pixels);
    return s;
}

// Bit fields: red, green, blue and alpha masks, in a header of the given size.
BmpLayout Fields(int bits, int width, Bytes pixels, std::uint32_t headerSize,
                 std::array<std::uint32_t, 4> masks)
{
    BmpLayout s = Layout(bits, width, 1, std::move(pixels));
    s.headerSize = headerSize;
    s.compression = 3;
    std::copy(masks.begin(), masks.end(), s.masks);
    return s;
}

} // namespace

TEST(BmpDecode, PaletteFormatsThroughTheColourTable)
{
    // 1 bit, 9 wide: crosses a byte, padded row.
    BmpLayout one
        = Layout(1, 9, 2, PackRows(1, {{1, 0, 1, 0, 0, 0, 0, 0, 1}, {0, 1, 1, 1, 1, 1, 1, 1, 0}}));
    one.palette = {R, G};
    EXPECT_TRUE(Shows(testbmp::BuildBmp(one), 9, 2,
                      {G, R, G, R, R, R, R, R, G, R, G, G, G, G, G, G, G, R}));

    BmpLayout two = Layout(2, 5, 1, PackRows(2, {{0, 1, 2, 3, 2}}));
    two.palette = {R, G, B, W};
    EXPECT_TRUE(Shows(testbmp::BuildBmp(two), 5, 1, {R, G, B, W, B}));

    // 4 bits with a short table: indices beyond it draw black.
    BmpLayout four = Layout(4, 3, 2, PackRows(4, {{0, 1, 2}, {15, 1, 0}}));
    four.palette = {Y, B, W};
    four.clrUsed = 3;
    EXPECT_TRUE(Shows(testbmp::BuildBmp(four), 3, 2, {Y, B, W, K, B, Y}));

    BmpLayout eight = Layout(8, 2, 2, PackRows(8, {{0, 255}, {2, 1}}));
    eight.palette.assign(256, K);
    eight.palette[0] = R;
    eight.palette[1] = G;
    eight.palette[2] = B;
    eight.palette[255] = Y;
    EXPECT_TRUE(Shows(testbmp::BuildBmp(eight), 2, 2, {R, Y, B, G}));
    EXPECT_TRUE(Shows(testbmp::BuildBmp(eight), 2, 2, {R, Y, B, G}, 24));

    // The OS/2 1.x header (12 bytes) has 3-byte colour entries; OS/2 2.x ones (16 and 64
    // bytes) 4-byte entries, or 3-byte ones where the pixels' offset says so. A table may end
    // before the count it declares where the pixels' offset says; the rest draw black.
    struct Table
    {
        std::uint32_t headerSize, entryBytes;
        std::size_t entries;
    };
    for (const Table t : {Table {12, 0, 256}, Table {12, 0, 2}, Table {16, 0, 256},
                          Table {64, 0, 2}, Table {64, 3, 256}, Table {40, 0, 2}}) {
        SCOPED_TRACE(testing::Message() << t.headerSize << " " << t.entryBytes << " " << t.entries);
        BmpLayout os2 = Layout(8, 3, 1, PackRows(8, {{1, 0, 2}}));
        os2.headerSize = t.headerSize;
        os2.paletteEntryBytes = t.entryBytes;
        os2.palette.assign(t.entries, G);
        os2.palette[0] = Y;
        os2.palette[1] = B;
        EXPECT_TRUE(Shows(testbmp::BuildBmp(os2), 3, 1, {B, Y, t.entries > 2 ? G : K}));
    }
}

TEST(BmpDecode, DirectColourFormats)
{
    // 24 bits, 3 wide: 9 bytes of pixels, 3 of padding.
    EXPECT_TRUE(Shows(
        testbmp::BuildBmp(Layout(
            24, 3, 2, PackRows(24, {{0xFF0000, 0x00FF00, 0x0000FF}, {0xC8B414, 0, 0xFFFFFF}}))),
        3, 2, {R, G, B, Y, K, W}));
    // 32 bits: blue, green, red, and a fourth byte that is ignored.
    EXPECT_TRUE(Shows(testbmp::BuildBmp(Layout(32, 2, 1, PackRows(32, {{0xFFFF0000, 0x7F0000FF}}))),
                      2, 1, {R, B}));
    // 16 bits default to 5-5-5; 16 of 31 widens to 132, the top bit is ignored.
    EXPECT_TRUE(Shows(testbmp::BuildBmp(Layout(16, 3, 1, PackRows(16, {{0x7C00, 0x8210, 0x001F}}))),
                      3, 1, {R, RGB(0, 132, 132), B}, 16));

    // Bit fields: 5-6-5 after a 40-byte header.
    EXPECT_TRUE(Shows(testbmp::BuildBmp(Fields(16, 3, PackRows(16, {{0xF800, 0x07E0, 0x0410}}), 40,
                                               {0xF800, 0x07E0, 0x001F, 0})),
                      3, 1, {R, G, RGB(0, 130, 132)}));

    // 32-bit masks in a 56-byte header, alpha mask present and ignored; red in the low byte.
    EXPECT_TRUE(Shows(testbmp::BuildBmp(Fields(32, 2, PackRows(32, {{0x000000FF, 0x80FF0000}}), 56,
                                               {0xFF, 0xFF00, 0xFF0000, 0xFF000000})),
                      2, 1, {R, B}));

    // 10-bit channels (2-10-10-10) widen by rounding too: 512 of 1023 gives 128.
    EXPECT_TRUE(Shows(testbmp::BuildBmp(Fields(32, 1, PackRows(32, {{1023u << 20 | 512u << 10}}),
                                               124, {0x3FF00000, 0x000FFC00, 0x3FF, 0})),
                      1, 1, {RGB(255, 128, 0)}));

    // Masks up to 16 bits wide, with an alpha mask after a 40-byte header (BI_ALPHABITFIELDS):
    // 0x8000 of 0xFFFF rounds to 128.
    EXPECT_TRUE(Shows(testbmp::BuildBmp(Fields(32, 2, PackRows(32, {{0x8000FF00, 0xFFFF00FF}}), 40,
                                               {0xFFFF0000, 0xFF00, 0xFF, 0})),
                      2, 1, {RGB(128, 255, 0), RGB(255, 0, 255)}));
    BmpLayout alpha
        = Fields(16, 2, PackRows(16, {{0xFF00, 0x00F0}}), 40, {0xF00, 0xF0, 0xF, 0xF000});
    alpha.compression = 6;
    EXPECT_TRUE(Shows(testbmp::BuildBmp(alpha), 2, 1, {R, G}));

    // 64 bits: blue, green, red, alpha as 16-bit words, each rounded to 8 bits; alpha ignored.
    const Bytes wide = {0x81, 0x00, 0x00, 0x80, 0xC8, 0xC8, 0x00, 0x00,  // B 129, G 32768, R 51400
                        0x80, 0x00, 0x7F, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF}; // B 128, G 32639, R max
    EXPECT_TRUE(Shows(testbmp::BuildBmp(Layout(64, 2, 1, wide)), 2, 1,
                      {RGB(200, 128, 1), RGB(255, 127, 0)}));

    // With BI_RGB, masks in a large header are not used.
    BmpLayout plain = Fields(16, 1, PackRows(16, {{0x7C00}}), 108, {0x001F, 0x03E0, 0x7C00, 0});
    plain.compression = 0;
    EXPECT_TRUE(Shows(testbmp::BuildBmp(plain), 1, 1, {R}));
}

TEST(BmpDecode, RowOrderAndHeaderSizes)
{
    const std::vector<std::vector<std::uint32_t>> rows
        = {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFFFF}};
    for (std::uint32_t size : {40u, 52u, 56u, 108u, 124u})
        for (bool topDown : {false, true}) {
            BmpLayout layout = Layout(24, 2, topDown ? -2 : 2, PackRows(24, rows, topDown));
            layout.headerSize = size;
            for (int surfaceBits : {16, 24, 32})
                EXPECT_TRUE(Shows(testbmp::BuildBmp(layout), 2, 2, {R, G, B, W}, surfaceBits))
                    << size << " " << topDown << " " << surfaceBits;
        }

    // A surface smaller than the picture gets the top-left part.
    DibImage image;
    ASSERT_TRUE(image.LoadFromBytes(testbmp::BuildBmp(Layout(24, 2, 2, PackRows(24, rows))), "m"));
    Surface small(1, 1, 32);
    image.Draw(small);
    EXPECT_EQ(small.GetPixel(0, 0), R);
}

TEST(BmpDecode, Rle8EscapesAndSkippedPixels)
{
    BmpLayout s = Layout(8, 4, 3, {});
    s.compression = 1;
    s.palette = {R, G, B, Y};
    s.clrUsed = 4;
    // Stored bottom row first: row 2 (bottom), then deltas and an early end.
    s.pixels = RleStream()
                   .Run(3, 1) // bottom row: G G G, last pixel skipped
                   .EndOfLine()
                   .Absolute({2, 0, 3}, false) // middle row: B R Y, padded to a word
                   .Delta(0, 1)                // up one row, same column (3)
                   .Run(1, 0)                  // top row, column 3: R
                   .EndOfPicture()
                   .Run(4, 3) // after the end: ignored
                   .bytes();
    EXPECT_TRUE(Shows(testbmp::BuildBmp(s), 4, 3, {K, K, K, R, B, R, Y, K, G, G, G, K}));

    // Runs longer than the row are clipped, not wrapped; a stream cut short stops cleanly.
    s.pixels = RleStream().Run(9, 2).Raw({0, 5, 1}).bytes();
    EXPECT_TRUE(Shows(testbmp::BuildBmp(s), 4, 3, {K, K, K, K, K, K, K, K, B, B, B, B}));
    s.pixels = RleStream().Run(2, 3).Raw({0, 2, 1}).bytes(); // delta missing its bytes
    EXPECT_TRUE(Shows(testbmp::BuildBmp(s), 4, 3, {K, K, K, K, K, K, K, K, Y, Y, K, K}));
    s.pixels = {};
    EXPECT_TRUE(Shows(testbmp::BuildBmp(s), 4, 3, std::vector<COLORREF>(12, K)));
    // A step to the right on the same row; a run that ends exactly where the data ends.
    s.pixels = RleStream().Run(1, 1).Delta(2, 0).Run(1, 3).EndOfLine().Run(4, 2).bytes();
    EXPECT_TRUE(Shows(testbmp::BuildBmp(s), 4, 3, {K, K, K, K, B, B, B, B, G, K, K, Y}));
}

TEST(BmpDecode, Rle4AlternatesNibbles)
{
    BmpLayout s = Layout(4, 5, 2, {});
    s.compression = 2;
    s.palette = {R, G, B};
    s.clrUsed = 3;
    s.pixels = RleStream()
                   .Run(5, 0x12) // G B G B G
                   .EndOfLine()
                   .Absolute({0, 2, 1}, true) // R B G
                   .Run(1, 0xF0)              // index 15: beyond the table, black
                   .EndOfPicture()
                   .bytes();
    EXPECT_TRUE(Shows(testbmp::BuildBmp(s), 5, 2, {R, B, G, K, K, G, B, G, B, G}));
    // Five nibbles take three bytes, padded to four: the run after them starts on the word.
    s.pixels = RleStream().Absolute({1, 2, 0, 1, 2}, true).EndOfLine().Run(2, 0x22).bytes();
    EXPECT_TRUE(Shows(testbmp::BuildBmp(s), 5, 2, {B, B, K, K, K, G, B, R, G, B}));
}

TEST(BmpDecode, Rle24RunsAndLiteralsAreWholePixels)
{
    // OS/2 2.x only: a run is a count and one pixel, blue, green, red; literals are padded to a
    // 16-bit boundary.
    BmpLayout s = Layout(24, 4, 2, {});
    s.headerSize = 64;
    s.compression = 4;
    s.pixels = RleStream()
                   .Raw({3, 0, 0, 255}) // bottom row: R R R
                   .EndOfLine()
                   .Raw({0, 3, 255, 0, 0, 0, 255, 0, 20, 180, 200, 0}) // B G Y, padded
                   .Raw({1, 255, 255, 255})                            // W
                   .EndOfPicture()
                   .bytes();
    EXPECT_TRUE(Shows(testbmp::BuildBmp(s), 4, 2, {B, G, Y, W, R, R, R, K}));
    s.pixels.resize(s.pixels.size() - 5); // cut inside the last run: it stops cleanly
    EXPECT_TRUE(Shows(testbmp::BuildBmp(s), 4, 2, {B, G, Y, K, R, R, R, K}));
}

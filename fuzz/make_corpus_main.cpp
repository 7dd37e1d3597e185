// Writes the fuzz target's seed corpus: one small picture of each form the reader draws.

#include "support/bmp_builder.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <array>
#include <cstdio>

using testbmp::BmpLayout;
using testbmp::PackRows;
using testbmp::RleStream;

namespace {

bool Save(const QDir &dir, const char *name, const BmpLayout &layout)
{
    const testbmp::Bytes bytes = testbmp::BuildBmp(layout);
    QFile file(dir.filePath(QString::fromLatin1(name)));
    return file.open(QIODevice::WriteOnly)
        && file.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size()))
        == qint64(bytes.size());
}

std::vector<std::vector<std::uint32_t>> Rows(int width, int height, std::uint32_t modulo)
{
    std::vector<std::vector<std::uint32_t>> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rows[std::size_t(y)].push_back(std::uint32_t(x * 7 + y * 13 + x * y) % modulo);
    return rows;
}

BmpLayout Layout(int bits, int width, int height)
{
    BmpLayout s;
    s.bitCount = std::uint16_t(bits);
    s.width = width;
    s.height = height;
    const std::uint32_t modulo = bits <= 8 ? (1u << bits) : bits == 16 ? 0x10000u : 0x1000000u;
    s.pixels = PackRows(bits, Rows(width, std::abs(height), modulo), height < 0);
    if (bits <= 8)
        for (std::uint32_t i = 0; i < (1u << bits); ++i)
            s.palette.push_back(RGB(std::uint8_t(i * 37), std::uint8_t(i * 11), std::uint8_t(i)));
    return s;
}

// Red, green, blue and alpha.
void SetMasks(BmpLayout &layout, const std::array<std::uint32_t, 4> &masks)
{
    std::copy(masks.begin(), masks.end(), layout.masks);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora_make_corpus DIR\n");
        return 2;
    }
    const QDir dir(QFile::decodeName(argv[1]));
    bool ok = true;
    ok &= Save(dir, "pal1.bmp", Layout(1, 13, 5));
    ok &= Save(dir, "pal2.bmp", Layout(2, 7, 3));
    ok &= Save(dir, "pal4.bmp", Layout(4, 5, 4));
    ok &= Save(dir, "pal8.bmp", Layout(8, 6, 3));
    BmpLayout shortTable = Layout(8, 4, 2);
    shortTable.palette.resize(5);
    shortTable.clrUsed = 5;
    ok &= Save(dir, "pal8-short-table.bmp", shortTable);
    BmpLayout core = Layout(8, 3, 3);
    core.headerSize = 12;
    ok &= Save(dir, "core8.bmp", core);
    ok &= Save(dir, "rgb16.bmp", Layout(16, 5, 3));
    BmpLayout f565 = Layout(16, 4, 2);
    f565.compression = 3;
    SetMasks(f565, {0xF800, 0x07E0, 0x001F, 0});
    ok &= Save(dir, "bitfields565.bmp", f565);
    ok &= Save(dir, "rgb24.bmp", Layout(24, 3, 3));
    ok &= Save(dir, "rgb24-topdown.bmp", Layout(24, 3, -2));
    BmpLayout v5 = Layout(32, 3, 2);
    v5.headerSize = 124;
    v5.compression = 3;
    SetMasks(v5, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000});
    v5.gap = 4;
    ok &= Save(dir, "v5-32-gap.bmp", v5);
    BmpLayout v4 = Layout(32, 2, 2);
    v4.headerSize = 108;
    ok &= Save(dir, "v4-32.bmp", v4);
    BmpLayout v3 = Layout(16, 2, 2);
    v3.headerSize = 56;
    v3.compression = 3;
    SetMasks(v3, {0x0F00, 0x00F0, 0x000F, 0xF000});
    ok &= Save(dir, "v3-16-4444.bmp", v3);
    BmpLayout v2 = Layout(24, 2, 1);
    v2.headerSize = 52;
    ok &= Save(dir, "v2-24.bmp", v2);
    BmpLayout rle8 = Layout(8, 6, 4);
    rle8.compression = 1;
    rle8.pixels = RleStream()
                      .Run(4, 3)
                      .Absolute({1, 2, 3}, false)
                      .EndOfLine()
                      .Delta(2, 1)
                      .Run(2, 200)
                      .EndOfPicture()
                      .bytes();
    ok &= Save(dir, "rle8.bmp", rle8);
    BmpLayout rle4 = Layout(4, 7, 3);
    rle4.compression = 2;
    rle4.pixels = RleStream()
                      .Run(7, 0x1F)
                      .EndOfLine()
                      .Absolute({1, 2, 3, 4, 5}, true)
                      .Delta(1, 1)
                      .Run(3, 0x44)
                      .EndOfPicture()
                      .bytes();
    ok &= Save(dir, "rle4.bmp", rle4);
    BmpLayout os2Short = Layout(8, 5, 3);
    os2Short.headerSize = 64;
    os2Short.palette.resize(7); // fewer entries than 2^8: the pixels' offset says where it ends
    ok &= Save(dir, "os2-64-pal8-short-table.bmp", os2Short);
    BmpLayout os2Three = Layout(4, 6, 2);
    os2Three.headerSize = 16;
    os2Three.paletteEntryBytes = 3;
    ok &= Save(dir, "os2-16-pal4-3-byte-entries.bmp", os2Three);
    BmpLayout rle24 = Layout(24, 5, 3);
    rle24.headerSize = 64;
    rle24.compression = 4;
    rle24.pixels = RleStream()
                       .Raw({3, 10, 20, 30})
                       .Raw({0, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0})
                       .Delta(1, 1)
                       .Raw({2, 200, 100, 50})
                       .EndOfPicture()
                       .bytes();
    ok &= Save(dir, "os2-rle24.bmp", rle24);
    // A stream long enough to be read in several windows, its commands of odd lengths.
    BmpLayout rle24Long = Layout(24, 40, 30);
    rle24Long.headerSize = 64;
    rle24Long.compression = 4;
    RleStream longStream;
    for (int row = 0; row < 30; ++row) {
        const int count = 5 + row;
        longStream.Raw({0, std::uint8_t(count)});
        for (int i = 0; i < count * 3 + count % 2; ++i) // padded to a 16-bit boundary
            longStream.Raw({std::uint8_t(row * 7 + i)});
        longStream.Raw({3, 10, 20, 30}).EndOfLine();
    }
    rle24Long.pixels = longStream.EndOfPicture().bytes();
    ok &= Save(dir, "os2-rle24-long.bmp", rle24Long);
    BmpLayout alpha = Layout(32, 3, 2);
    alpha.compression = 6;
    SetMasks(alpha, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000});
    ok &= Save(dir, "alpha-bitfields-10-bit.bmp", alpha);
    ok &= Save(dir, "rgb64.bmp", Layout(64, 3, 2));
    return ok ? 0 : 1;
}

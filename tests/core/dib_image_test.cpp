#include "image/dib_image.h"
#include "support/bmp_builder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using testbmp::BmpLayout;
using testbmp::Bytes;
using testbmp::PackRows;

namespace {

class DibImageTest : public ::testing::Test
{
protected:
    QString Put(const QString &name, const Bytes &bytes)
    {
        const QString path = dir.filePath(name);
        testbmp::WriteFile(path, bytes);
        return path;
    }
    QTemporaryDir dir;
};

BmpLayout Eight(std::uint32_t clrUsed, std::size_t tableEntries)
{
    BmpLayout s;
    s.bitCount = 8;
    s.width = 2;
    s.height = 1;
    s.clrUsed = clrUsed;
    s.palette.assign(tableEntries, RGB(0, 0, 0));
    s.palette[0] = RGB(10, 20, 30);
    s.palette[1] = RGB(40, 50, 60);
    s.pixels = PackRows(8, {{1, 0}});
    return s;
}

BmpLayout TwentyFour(int width = 2, int height = 2)
{
    BmpLayout s;
    s.width = width;
    s.height = height;
    std::vector<std::vector<std::uint32_t>> rows(
        std::size_t(std::abs(height)), std::vector<std::uint32_t>(std::size_t(width), 0x336699));
    s.pixels = PackRows(24, rows);
    return s;
}

} // namespace

// What a loaded picture draws shows where its colour table and pixels were found.
TEST_F(DibImageTest, DrawsFromTheTableAndPixelsWhereverTheFileHasThem)
{
    BmpLayout one;
    one.bitCount = 1;
    one.palette = {RGB(0, 0, 0), RGB(255, 255, 255)};
    one.pixels = PackRows(1, {{1}});
    BmpLayout four = one;
    four.bitCount = 4;
    four.palette.assign(16, RGB(1, 2, 3));
    four.pixels = PackRows(4, {{1}});
    BmpLayout rgbWithClrUsed = TwentyFour(1, 1); // 24 bits: no table whatever biClrUsed says
    rgbWithClrUsed.clrUsed = 5;
    BmpLayout gap = TwentyFour(1, 1); // bfOffBits honoured across a gap
    gap.gap = 6;
    gap.pixels = {0x00, 0x00, 0xFF, 0};
    BmpLayout topDown = TwentyFour(2, -2);
    topDown.pixels = PackRows(24, {{0xFF0000, 0x00FF00}, {0x0000FF, 0}}, true);
    const struct
    {
        const char *name;
        BmpLayout layout;
        std::vector<COLORREF> shown; // top row first
    } rows[] = {
        {"256 entries", Eight(0, 256), {RGB(40, 50, 60), RGB(10, 20, 30)}},
        {"16 used", Eight(16, 16), {RGB(40, 50, 60), RGB(10, 20, 30)}},
        {"1 bit", one, {RGB(255, 255, 255)}},
        {"4 bits", four, {RGB(1, 2, 3)}},
        {"24 bits with clrUsed", rgbWithClrUsed, {RGB(0x33, 0x66, 0x99)}},
        {"gap", gap, {RGB(255, 0, 0)}},
        {"top-down", topDown, {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(0, 0, 0)}},
    };
    DibImage image;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = Put(QStringLiteral("a.bmp"), testbmp::BuildBmp(row.layout));
        ASSERT_TRUE(image.Load(path));
        EXPECT_EQ(image.GetPath(), path);
        const int w = row.layout.width, h = std::abs(row.layout.height);
        EXPECT_EQ(std::pair(image.GetWidth(), image.GetHeight()), std::pair(w, h));
        Surface s(w, h);
        image.Draw(s);
        EXPECT_TRUE(testbmp::SurfaceShows(s, w, h, row.shown));
    }
    // bfOffBits inside the header or past the end: pixels follow the table.
    for (std::uint32_t off : {0u, 20u, 5000u}) {
        BmpLayout bad = gap;
        bad.gap = 0;
        bad.offBits = off;
        ASSERT_TRUE(image.Load(Put("g.bmp", testbmp::BuildBmp(bad)))) << off;
        Surface s(1, 1);
        image.Draw(s);
        EXPECT_EQ(s.GetPixel(0, 0), RGB(255, 0, 0)) << off;
    }

    image.Clear();
    EXPECT_FALSE(image.IsLoaded());
    EXPECT_EQ(image.GetPath(), QString());
    EXPECT_EQ(image.GetBits(), nullptr);
    Surface s(1, 1);
    s.PatBlt(0, 0, 1, 1, WHITENESS);
    image.Draw(s); // nothing loaded: draws nothing
    EXPECT_EQ(s.GetPixel(0, 0), RGB(255, 255, 255));
}

TEST_F(DibImageTest, RejectsWhatCannotBeDrawnAndKeepsThePreviousPicture)
{
    DibImage image;
    const QString good = Put("good.bmp", testbmp::BuildBmp(Eight(0, 256)));
    ASSERT_TRUE(image.Load(good));
    const std::uint8_t *bits = image.GetBits();

    const Bytes valid = testbmp::BuildBmp(TwentyFour());
    std::vector<std::pair<const char *, Bytes>> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"13 bytes", Bytes(valid.begin(), valid.begin() + 13)});
    cases.push_back({"14 bytes", Bytes(valid.begin(), valid.begin() + 14)});
    Bytes wrongSignature = valid;
    wrongSignature[0] = 'M';
    wrongSignature[1] = 'B';
    cases.push_back({"signature", wrongSignature});
    wrongSignature = valid;
    wrongSignature[1] = 'X'; // one byte off
    cases.push_back({"signature BX", wrongSignature});
    cases.push_back({"short header", Bytes(valid.begin(), valid.begin() + 40)});
    cases.push_back({"short pixels", Bytes(valid.begin(), valid.end() - 1)});
    BmpLayout table = Eight(0, 255); // one entry short of 256
    table.pixels.clear();
    cases.push_back({"short colour table", testbmp::BuildBmp(table)});
    BmpLayout huge = Eight(0xFFFFFFFF, 2);
    huge.offBits = 0; // no say where the table ends
    cases.push_back({"huge colour count", testbmp::BuildBmp(huge)});
    // Headers no picture can follow: size, bit count, compression (JPEG, PNG, OS/2's Huffman,
    // alpha bit fields in an OS/2 header), sides, too many pixels, and masks that are zero,
    // overlap, have gaps, pass the pixel or are cut off.
    struct H
    {
        std::uint32_t size, bits, compression;
        std::int32_t width, height;
        std::uint32_t r, g, b;
    };
    const std::int32_t minInt = std::numeric_limits<std::int32_t>::min();
    // clang-format off
    for (const H h : {H {20, 24, 0, 1, 1, 0, 0, 0}, H {0, 24, 0, 1, 1, 0, 0, 0},
                      H {40, 0, 0, 1, 1, 0, 0, 0}, H {40, 15, 0, 1, 1, 0, 0, 0},
                      H {40, 48, 0, 1, 1, 0, 0, 0}, H {40, 24, 4, 1, 1, 0, 0, 0},
                      H {64, 1, 3, 1, 1, 0, 0, 0}, H {64, 32, 6, 1, 1, 0, 0, 0},
                      H {64, 16, 4, 1, 1, 0, 0, 0}, H {40, 64, 3, 1, 1, 0, 0, 0},
                      H {40, 24, 5, 1, 1, 0, 0, 0}, H {40, 24, 99, 1, 1, 0, 0, 0},
                      H {40, 24, 1, 1, 1, 0, 0, 0}, H {40, 24, 3, 1, 1, 0xFF0000, 0xFF00, 0xFF},
                      H {40, 24, 0, 0, 1, 0, 0, 0}, H {40, 24, 0, -2, 1, 0, 0, 0},
                      H {40, 24, 0, 1, 0, 0, 0, 0}, H {40, 24, 0, 1, minInt, 0, 0, 0},
                      H {40, 24, 0, 65536, 1, 0, 0, 0}, H {40, 24, 0, 65535, 65535, 0, 0, 0},
                      H {40, 24, 0, 16385, 16384, 0, 0, 0}, H {40, 16, 3, 1, 1, 0x7C00, 0, 0x1F},
                      H {40, 16, 3, 1, 1, 0xF800, 0x0FE0, 0x1F},
                      H {40, 32, 3, 1, 1, 0xFF0F00, 0xF0, 0xFF000000},
                      H {40, 16, 3, 1, 1, 0x1F0000, 0x7E0, 0x1F}}) {
        // clang-format on
        BmpLayout layout;
        layout.headerSize = h.size;
        layout.bitCount = std::uint16_t(h.bits);
        layout.compression = h.compression;
        layout.width = h.width;
        layout.height = h.height;
        layout.masks[0] = h.r;
        layout.masks[1] = h.g;
        layout.masks[2] = h.b;
        layout.pixels.assign(16, 0);
        cases.push_back({"header", testbmp::BuildBmp(layout)});
    }
    cases.push_back({"masks cut off",
                     Bytes(cases.back().second.begin(), cases.back().second.begin() + 14 + 44)});

    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto &[name, bytes] = cases[i];
        SCOPED_TRACE(testing::Message() << name << " " << i);
        EXPECT_FALSE(image.Load(Put("bad.bmp", bytes)));
        EXPECT_FALSE(image.GetLoadError().isEmpty());
        EXPECT_FALSE(image.LoadFromBytes(bytes, "bad.bmp"));
        EXPECT_EQ(image.GetPath(), good);
        EXPECT_EQ(image.GetBits(), bits);
    }
    // Nothing but a regular file is read, and refusing it never blocks: a FIFO with no writer,
    // a folder, an endless device.
    const QString fifo = dir.filePath("fifo.bmp");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString &path :
         {dir.filePath("missing.bmp"), dir.path(), fifo, QStringLiteral("/dev/zero")}) {
        EXPECT_FALSE(image.Load(path)) << path.toStdString();
        EXPECT_FALSE(image.GetLoadError().isEmpty());
    }
    EXPECT_TRUE(image.GetLoadError().contains("regular file"));
    EXPECT_EQ(image.GetPath(), good);

    // A run-length picture that would unpack to more than max(256 MiB, 64 x its file) is
    // refused with its own reason; at the bound it is taken.
    struct Rle
    {
        std::int32_t width, height;
        std::size_t fileBytes;
        bool loads;
    };
    for (const Rle r :
         {Rle {8192, 8192, 0, true}, Rle {8192, 8193, 0, false}, Rle {16384, 16384, 0, false},
          Rle {8192, 9216, 9216 * 512, true}, Rle {8192, 9216, 9216 * 512 - 1, false}}) {
        SCOPED_TRACE(testing::Message() << r.width << " x " << r.height << ", " << r.fileBytes);
        BmpLayout rle = Eight(2, 2);
        rle.compression = 1;
        rle.width = r.width;
        rle.height = r.height;
        rle.pixels = testbmp::RleStream().EndOfPicture().bytes();
        Bytes file = testbmp::BuildBmp(rle);
        file.resize(std::max(file.size(), r.fileBytes));
        DibImage fresh;
        EXPECT_EQ(fresh.LoadFromBytes(file, "rle.bmp"), r.loads);
        EXPECT_EQ(fresh.GetLoadError().contains("compressed picture"), !r.loads);
    }

    // Large declared sizes with a tiny file fail from the header: fine under the sanitizers.
    DibImage fresh;
    BmpLayout large;
    large.width = large.height = 65535;
    EXPECT_FALSE(fresh.Load(Put("huge.bmp", testbmp::BuildBmp(large))));
    EXPECT_FALSE(fresh.IsLoaded());
}

// A file of 3 GiB, sparse, costs only what its headers and picture need: refused from the
// headers, or read for the few bytes its picture uses.
TEST_F(DibImageTest, AHugeFileCostsWhatItsPictureUsesNotItsSize)
{
    BmpLayout rle = Eight(2, 2);
    rle.compression = 1;
    rle.width = 4;
    rle.height = 3;
    rle.pixels = testbmp::RleStream().Run(4, 1).bytes(); // then zeros: ends of lines
    BmpLayout unknownHeader = TwentyFour();
    unknownHeader.headerSize = 41;
    struct Case
    {
        const char *name;
        Bytes head;
        std::uint32_t maxBlock; // 0: refused
    };
    for (const Case &c :
         {Case {"picture first", testbmp::BuildBmp(TwentyFour()), 40 + 16},
          Case {"run-length picture first", testbmp::BuildBmp(rle), 40 + 8 + 200},
          Case {"zeros", {}, 0}, Case {"unknown header", testbmp::BuildBmp(unknownHeader), 0}}) {
        SCOPED_TRACE(c.name);
        const QString path = Put("huge.bmp", c.head);
        ASSERT_EQ(truncate(QFile::encodeName(path).constData(), off_t(3) << 30), 0);
        rusage before {}, after {};
        getrusage(RUSAGE_SELF, &before);
        DibImage image;
        EXPECT_EQ(image.Load(path), c.maxBlock != 0) << image.GetLoadError().toStdString();
        getrusage(RUSAGE_SELF, &after);
        EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "KiB more at the peak";
        Surface s(4, 3);
        image.Draw(s);
        // The run-length picture is drawn from its stream's first bytes.
        EXPECT_EQ(s.GetPixel(3, 2) == RGB(40, 50, 60), c.maxBlock == 40 + 8 + 200);
    }
}

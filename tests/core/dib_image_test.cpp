#include "image/dib_image.h"
#include "support/bmp_builder.h"

#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using testbmp::BmpLayout;
using testbmp::Bytes;

namespace {

// A header with room behind it for its pixels, so that the header is what is judged.
Bytes Head(BmpLayout layout)
{
    layout.pixels.assign(16, 0);
    return testbmp::BuildBmp(layout);
}

// Four pixels of colour 1 at the start of the bottom row, in a file of at least fileBytes.
Bytes Rle8(std::int32_t width, std::int32_t height, std::size_t fileBytes = 0)
{
    BmpLayout layout {.width = width, .height = height, .bitCount = 8, .compression = 1};
    layout.palette = {RGB(10, 20, 30), RGB(40, 50, 60)};
    layout.pixels = {4, 1};
    Bytes file = testbmp::BuildBmp(layout);
    file.resize(std::max(file.size(), fileBytes));
    return file;
}

} // namespace

// A refused file names its fault and leaves the picture loaded before it as it was.
TEST(DibImage, RefusesWhatCannotBeDrawnWithItsReason)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("good.bmp"), bad = dir.filePath("bad.bmp");
    const Bytes valid = testbmp::Picture24(2, 2, testbmp::Pattern);
    testbmp::WriteFile(good, valid);
    const auto cut = [](const Bytes &b, int n) {
        return Bytes(b.begin(), b.begin() + n);
    };
    const auto fields = [](std::uint16_t bits, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        return Head({.bitCount = bits, .compression = 3, .masks = {r, g, b}});
    };
    using enum DibFault;
    // clang-format off
    const struct { const char *name; Bytes bytes; DibFault fault; /* None: loads */ } rows[] = {
        {"13 bytes", cut(valid, 13), TooShort},
        {"14 bytes", cut(valid, 14), TruncatedHeader},
        {"XM", Head({.signature = {'X', 'M'}}), NotBmp},
        {"BX", Head({.signature = {'B', 'X'}}), NotBmp},
        {"header cut", cut(valid, 40), TruncatedHeader},
        {"masks cut", cut(fields(16, 0xF800, 0x7E0, 0x1F), 58), TruncatedHeader},
        {"pixels cut", cut(valid, int(valid.size()) - 1), TruncatedPixels},
        {"colour table cut", testbmp::BuildBmp({.bitCount = 8, .palette = std::vector(255, 0u)}),
            TruncatedColorTable},
        {"colours past the end, no pixel offset",
            Head({.bitCount = 8, .clrUsed = ~0u, .offBits = 0}), TruncatedColorTable},
        {"header size 20", Head({.headerSize = 20}), UnknownHeaderSize},
        {"15 bits", Head({.bitCount = 15}), BadBitCount},
        {"JPEG", Head({.compression = 4}), BadCompression},
        {"PNG", Head({.compression = 5}), BadCompression},
        {"RLE8 of 24 bits", Head({.compression = 1}), BadCompression},
        {"RLE4 of 8 bits", Head({.bitCount = 8, .compression = 2}), BadCompression},
        {"bit fields of 24 bits", fields(24, 0xFF0000, 0xFF00, 0xFF), BadCompression},
        {"bit fields of 64 bits", Head({.bitCount = 64, .compression = 3}), BadCompression},
        {"OS/2 Huffman", Head({.headerSize = 64, .bitCount = 1, .compression = 3}), BadCompression},
        {"OS/2 alpha", Head({.headerSize = 64, .bitCount = 32, .compression = 6}), BadCompression},
        {"RLE24 of 16", Head({.headerSize = 64, .bitCount = 16, .compression = 4}), BadCompression},
        {"width 0", Head({.width = 0}), BadSize},
        {"width -2", Head({.width = -2}), BadSize},
        {"height 0", Head({.height = 0}), BadSize},
        {"width 65536", Head({.width = 65536}), TooLarge},
        {"height -65536", Head({.height = -65536}), TooLarge},
        {"2^28 + 16384 pixels", Head({.width = 16385, .height = 16384}), TooLarge},
        {"a zero mask", fields(16, 0x7C00, 0, 0x1F), BadMasks},
        {"overlapping masks", fields(16, 0xF800, 0xFE0, 0x1F), BadMasks},
        {"a mask with a gap", fields(32, 0xFF0F00, 0xF0, 0xFF000000), BadMasks},
        {"a mask past the pixel", fields(16, 0x1F0000, 0x7E0, 0x1F), BadMasks},
        // A run-length picture may unpack to max(256 MiB, 64 x its file).
        {"RLE8 of 256 MiB", Rle8(8192, 8192), None},
        {"RLE8 past 256 MiB", Rle8(8192, 8193), CompressedTooLarge},
        {"RLE8 of 64 x its file", Rle8(8192, 9216, 9216 * 512), None},
        {"RLE8 past 64 x its file", Rle8(8192, 9216, 9216 * 512 - 1), CompressedTooLarge},
    };
    // clang-format on
    for (const auto &[name, bytes, fault] : rows) {
        SCOPED_TRACE(name);
        testbmp::WriteFile(bad, bytes);
        for (const bool fromFile : {false, true}) {
            DibImage image;
            ASSERT_TRUE(image.Load(good));
            const std::uint8_t *bits = image.GetBits();
            const bool loaded = fromFile ? image.Load(bad) : image.LoadFromBytes(bytes, bad);
            EXPECT_EQ(loaded, fault == DibFault::None);
            if (fault != DibFault::None) {
                EXPECT_EQ(std::tuple(image.GetLoadError(), image.GetPath(), image.GetBits()),
                          std::tuple(QString(DibFaultText(fault)), good, bits));
            }
        }
    }

    // Nothing but a regular file is read, and refusing it never blocks.
    const QString fifo = dir.filePath("fifo.bmp");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    DibImage image;
    ASSERT_TRUE(image.Load(good));
    for (const auto &[path, reason] :
         {std::pair(dir.filePath("missing.bmp"), "cannot be opened: " + QString(strerror(ENOENT))),
          {fifo, "not a regular file"}}) {
        EXPECT_FALSE(image.Load(path));
        EXPECT_EQ(std::tuple(image.GetLoadError(), image.GetPath()), std::tuple(reason, good));
    }
    image.Clear();
    EXPECT_TRUE(!image.IsLoaded() && image.GetPath().isEmpty() && !image.GetBits());
}

// A sparse file of 3 GiB costs what its headers and picture need: its run-length stream is read
// no further than its picture could use.
TEST(DibImage, AHugeFileCostsWhatItsPictureUsesNotItsSize)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.bmp");
    testbmp::WriteFile(path, Rle8(4, 3));
    ASSERT_EQ(truncate(QFile::encodeName(path).constData(), off_t(3) << 30), 0);
    rusage before {}, after {};
    getrusage(RUSAGE_SELF, &before);
    DibImage image;
    EXPECT_TRUE(image.Load(path));
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "KiB more at the peak";
    Surface s(4, 3);
    image.Draw(s);
    EXPECT_EQ(s.GetPixel(3, 2), RGB(40, 50, 60));
}

#include "image/bmp_writer.h"
#include "image/dib_image.h"
#include "support/bmp_builder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

#include <sys/mount.h>
#include <unistd.h>

using testbmp::Bytes;
using testbmp::U16At;
using testbmp::U32At;

namespace {

Surface Pattern(int width, int height, int bits)
{
    Surface s(width, height, bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            s.SetPixel(x, y, RGB(std::uint8_t(x * 40 + 8), std::uint8_t(y * 60 + 16), 200));
    return s;
}

bool NoTemporaryIn(const QString &dir, const QStringList &expected)
{
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names == expected;
}

} // namespace

TEST(BmpWriter, HeadersAndSizesAtEveryDepth)
{
    QTemporaryDir dir;
    struct Case
    {
        int bits, width, height;
        std::uint32_t rowBytes;
    };
    for (const Case c :
         {Case {32, 5, 2, 20}, Case {24, 3, 2, 12}, Case {16, 1, 3, 4}, Case {16, 3, 1, 8}}) {
        SCOPED_TRACE(c.bits * 1000 + c.width);
        const QString path = dir.filePath("out.bmp");
        // Over an existing longer file: the result has exactly its own length.
        testbmp::WriteFile(path, Bytes(5000, 0xAB));
        Surface s = Pattern(c.width, c.height, c.bits);
        ASSERT_TRUE(WriteBmpFile(s, path, c.width, c.height));
        const Bytes f = testbmp::ReadFile(path);
        const std::uint32_t image = c.rowBytes * std::uint32_t(c.height);
        ASSERT_EQ(f.size(), 54 + image);
        EXPECT_EQ(U16At(f, 0), 'B' | 'M' << 8);
        // Offset and value of every header field: bfSize, reserved, bfOffBits, biSize, width,
        // height, planes and bit count (one word), compression, biSizeImage, the rest zero.
        // clang-format off
        const std::vector<std::pair<int, std::uint32_t>> fields = {
            {2, 54 + image}, {6, 0}, {10, 54}, {14, 40}, {18, std::uint32_t(c.width)},
            {22, std::uint32_t(c.height)}, {26, 1u | std::uint32_t(c.bits) << 16}, {30, 0},
            {34, image}, {38, 0}, {42, 0}, {46, 0}, {50, 0}};
        // clang-format on
        for (auto [at, value] : fields)
            EXPECT_EQ(U32At(f, at), value) << at;
        // Bottom row first, padding zero.
        const std::uint8_t *bottom = s.Row(c.height - 1);
        const int used = c.width * c.bits / 8;
        EXPECT_TRUE(std::equal(bottom, bottom + used, f.begin() + 54));
        for (std::uint32_t k = std::uint32_t(used); k < c.rowBytes; ++k)
            EXPECT_EQ(f[54 + k], 0) << k;

        DibImage back;
        ASSERT_TRUE(back.Load(path));
        Surface again(c.width, c.height, c.bits);
        back.Draw(again);
        EXPECT_TRUE(testbmp::SamePixelsAs(again, s, c.width, c.height));
    }
}

TEST(BmpWriter, ClearsBitsWithoutColourAndPadsPastTheSurface)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("x.bmp");
    Surface s(2, 1, 32);
    s.Bits()[3] = 0xFF; // as text drawing leaves it
    s.Bits()[4] = 7;
    s.Bits()[7] = 0xFF;
    ASSERT_TRUE(WriteBmpFile(s, path, 2, 1));
    Bytes f = testbmp::ReadFile(path);
    EXPECT_EQ(f[54 + 3], 0);
    EXPECT_EQ(f[54 + 4], 7);
    EXPECT_EQ(f[54 + 7], 0);

    Surface s16(1, 1, 16);
    s16.Bits()[1] = 0xFC;
    ASSERT_TRUE(WriteBmpFile(s16, path, 1, 1));
    f = testbmp::ReadFile(path);
    EXPECT_EQ(f[55], 0x7C);

    // Asked for more than the surface holds: the rest is black.
    Surface small(1, 1, 24);
    small.SetPixel(0, 0, RGB(255, 255, 255));
    ASSERT_TRUE(WriteBmpFile(small, path, 2, 2));
    f = testbmp::ReadFile(path);
    ASSERT_EQ(f.size(), 54u + 16);
    EXPECT_EQ(Bytes(f.begin() + 54, f.end()),
              (Bytes {0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0}));

    EXPECT_FALSE(WriteBmpFile(Surface(), path, 1, 1));
    EXPECT_FALSE(WriteBmpFile(small, path, 0, 1));
    EXPECT_FALSE(WriteBmpFile(small, path, 1, -1));
    EXPECT_EQ(testbmp::ReadFile(path).size(), 54u + 16); // left alone
}

TEST(BmpWriter, FailedWritesLeaveTheOldFileAndNoTemporary)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.bmp");
    const Bytes old(777, 0x5A);
    testbmp::WriteFile(path, old);
    ASSERT_TRUE(QFile::setPermissions(
        path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    const QFileDevice::Permissions before = QFile::permissions(path);
    Surface s = Pattern(300, 200, 32);

    // The disk fails part way through the pixels.
    qint64 written = 0;
    const BmpByteSink failing = [&](QIODevice &out, const char *data, qint64 size) {
        written += size;
        return written < 100000 && out.write(data, size) == size;
    };
    EXPECT_FALSE(WriteBmpFile(s, path, 300, 200, failing));
    EXPECT_EQ(testbmp::ReadFile(path), old);
    EXPECT_TRUE(NoTemporaryIn(dir.path(), {"keep.bmp"}));

    // A missing folder, and a folder path that is a file.
    EXPECT_FALSE(WriteBmpFile(s, dir.filePath("nowhere/a.bmp"), 300, 200));
    EXPECT_FALSE(WriteBmpFile(s, path + "/a.bmp", 300, 200));
    EXPECT_EQ(testbmp::ReadFile(path), old);

    // A good write replaces the file and keeps its permission bits.
    ASSERT_TRUE(WriteBmpFile(s, path, 300, 200));
    EXPECT_EQ(QFile::permissions(path), before);
    EXPECT_EQ(testbmp::ReadFile(path).size(), 54u + 300 * 200 * 4);
    EXPECT_TRUE(NoTemporaryIn(dir.path(), {"keep.bmp"}));
}

TEST(BmpWriter, FullDiskLeavesTheOldFile)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a small file system";
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (mount("velmora-test", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const QString path = dir.filePath("keep.bmp");
    const Bytes old(20000, 0x11);
    testbmp::WriteFile(path, old);
    Surface s = Pattern(200, 200, 32); // 160 kB: does not fit beside the old file
    EXPECT_FALSE(WriteBmpFile(s, path, 200, 200));
    EXPECT_EQ(testbmp::ReadFile(path), old);
    EXPECT_TRUE(NoTemporaryIn(dir.path(), {"keep.bmp"}));
    umount(mountPoint.constData());
}

// The write's last step may wait and run on another thread: until then the old file stays, a
// file dropped uncommitted leaves no trace, and a rename that fails leaves the target alone.
TEST(BmpWriter, UncommittedFilesWaitForTheirLastStep)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("later.bmp");
    const Bytes old(321, 0x11);
    testbmp::WriteFile(path, old);
    const Surface s = Pattern(40, 30, 32);

    auto dropped = WriteBmpFileUncommitted(s, path, 40, 30);
    ASSERT_NE(dropped, nullptr);
    EXPECT_EQ(testbmp::ReadFile(path), old);
    dropped.reset();
    EXPECT_EQ(testbmp::ReadFile(path), old);
    EXPECT_TRUE(NoTemporaryIn(dir.path(), {"later.bmp"}));

    auto pending = WriteBmpFileUncommitted(s, path, 40, 30);
    ASSERT_NE(pending, nullptr);
    bool committed = false;
    std::thread([&] { committed = pending->Commit(); }).join();
    EXPECT_TRUE(committed);
    EXPECT_EQ(testbmp::ReadFile(path).size(), 54u + 40 * 30 * 4);
    EXPECT_FALSE(pending->Commit()); // once only
    pending.reset();
    EXPECT_TRUE(NoTemporaryIn(dir.path(), {"later.bmp"}));

    // Something else takes the name before the rename: a folder that is not empty.
    const QString taken = dir.filePath("taken.bmp");
    auto blocked = WriteBmpFileUncommitted(s, taken, 40, 30);
    ASSERT_NE(blocked, nullptr);
    ASSERT_TRUE(QDir().mkpath(taken + "/inside"));
    EXPECT_FALSE(blocked->Commit());
    EXPECT_TRUE(QFileInfo(taken).isDir());
}

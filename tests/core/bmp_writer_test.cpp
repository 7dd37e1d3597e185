#include "image/bmp_writer.h"
#include "image/dib_image.h"
#include "support/bmp_builder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include <sys/stat.h>
#include <sys/xattr.h>
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

// Failures below the writer (full disk, failing syncs and renames) are run over the tool.
TEST(BmpWriter, RefusedTargetsAreNamedWithTheReason)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.bmp");
    const Bytes old(777, 0x5A);
    testbmp::WriteFile(path, old);
    const Surface s = Pattern(30, 20, 32);
    struct Case
    {
        QString target;
        QString reason;
    };
    const Case cases[] = {
        {dir.filePath("nowhere/a.bmp"), QString::fromLocal8Bit(std::strerror(ENOENT))},
        {path + "/a.bmp", QString::fromLocal8Bit(std::strerror(ENOTDIR))},
        {dir.path(), "not a regular file"},
    };
    for (const Case &c : cases) {
        QString error;
        EXPECT_FALSE(WriteBmpFile(s, c.target, 30, 20, LinkAtTarget::Refuse, &error));
        EXPECT_EQ(error, c.reason) << c.target.toStdString();
    }
    EXPECT_EQ(testbmp::ReadFile(path), old);
    EXPECT_TRUE(NoTemporaryIn(dir.path(), {"keep.bmp"}));
}

// Run as root, a replaced file keeps its owner, group, every mode bit and its extended
// attributes.
TEST(BmpWriter, ReplacedFilesKeepOwnerModeAndAttributes)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give files away";
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.bmp");
    const QByteArray name = QFile::encodeName(path);
    const Surface s = Pattern(30, 20, 32);
    for (const mode_t mode : {0444, 02755, 04711, 01600, 0}) {
        SCOPED_TRACE(mode);
        testbmp::WriteFile(path, Bytes(100, 1));
        ASSERT_EQ(chown(name.constData(), 4321, 8765), 0);
        ASSERT_EQ(chmod(name.constData(), mode), 0);
        const bool tagged = setxattr(name.constData(), "user.velmora", "kept", 4, 0) == 0;
        ASSERT_TRUE(WriteBmpFile(s, path, 30, 20));
        struct stat st;
        ASSERT_EQ(stat(name.constData(), &st), 0);
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 8765u);
        EXPECT_EQ(st.st_mode & 07777, mode);
        char value[8] = {};
        EXPECT_TRUE(!tagged
                    || getxattr(name.constData(), "user.velmora", value, sizeof value) == 4);
        EXPECT_EQ(testbmp::ReadFile(path).size(), 54u + 30 * 20 * 4);
    }
    EXPECT_TRUE(NoTemporaryIn(dir.path(), {"kept.bmp"}));
}

// The write's last step may wait and run on another thread: until then the old file stays, and
// a file dropped uncommitted leaves no trace.
TEST(BmpWriter, UncommittedFilesWaitForTheirLastStep)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("later.bmp");
    const Bytes old(321, 0x11);
    testbmp::WriteFile(path, old);
    const Surface s = Pattern(40, 30, 32);

    auto dropped = WriteBmpFileUncommitted(s, path, 40, 30);
    ASSERT_FALSE(dropped->Failed());
    EXPECT_EQ(testbmp::ReadFile(path), old);
    dropped.reset();
    EXPECT_EQ(testbmp::ReadFile(path), old);
    EXPECT_TRUE(NoTemporaryIn(dir.path(), {"later.bmp"}));

    auto pending = WriteBmpFileUncommitted(s, path, 40, 30);
    ASSERT_FALSE(pending->Failed());
    bool committed = false;
    std::thread([&] { committed = pending->Commit(); }).join();
    EXPECT_TRUE(committed);
    EXPECT_EQ(testbmp::ReadFile(path).size(), 54u + 40 * 30 * 4);
    EXPECT_FALSE(pending->Commit()); // once only
    pending.reset();
    EXPECT_TRUE(NoTemporaryIn(dir.path(), {"later.bmp"}));
}

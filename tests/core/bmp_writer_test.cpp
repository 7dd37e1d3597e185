#include "image/bmp_writer.h"
#include "support/bmp_builder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cstring>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using testbmp::Bytes;
using testbmp::ReadFile;

// The file written is the one the test builder makes of the surface's pixels: bottom row
// first, padded, the unused byte of 32-bit pixels and the top bit of 16-bit ones cleared (text
// drawing may set them), black where more is asked for than the surface holds.
TEST(BmpWriter, WritesTheSurfacePixelsUnderTheirHeaders)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.bmp");
    // clang-format off
    for (const auto &[bits, surfaceWidth, surfaceHeight, width, height] :
         std::vector<std::array<int, 5>> {{32, 5, 2, 5, 2}, {24, 3, 2, 3, 2}, {16, 3, 3, 3, 3},
                                          {24, 1, 1, 2, 2}, {32, 2, 1, 3, 2}}) {
        // clang-format on
        SCOPED_TRACE(testing::Message() << bits << " bits, " << width << " x " << height);
        Surface s(surfaceWidth, surfaceHeight, bits);
        std::vector<std::vector<std::uint32_t>> rows(height, std::vector<std::uint32_t>(width));
        for (int y = 0; y < surfaceHeight; ++y)
            for (int x = 0; x < surfaceWidth; ++x) {
                const std::uint32_t p = testbmp::Pattern(x, y) | 0xFF008000u;
                std::memcpy(s.Row(y) + x * bits / 8, &p, std::size_t(bits / 8));
                rows[y][x] = p & (bits == 16 ? 0x7FFF : 0xFFFFFF);
            }
        testbmp::WriteFile(path, Bytes(5000, 0xAB)); // a longer file is replaced, not overwritten
        ASSERT_TRUE(WriteBmpFile(s, path, width, height));
        testbmp::BmpLayout layout {.width = width, .height = height};
        layout.bitCount = std::uint16_t(bits);
        layout.pixels = testbmp::PackRows(bits, rows);
        EXPECT_EQ(ReadFile(path), testbmp::BuildBmp(layout));
    }
    for (const auto &[surface, width, height] :
         {std::tuple(Surface(), 1, 1), {Surface(1, 1), 0, 1}, {Surface(1, 1), 1, -1}})
        EXPECT_FALSE(WriteBmpFile(surface, path, width, height)) << width << " x " << height;
    EXPECT_EQ(ReadFile(path).size(), 54u + 2 * 12);
}

// Until the write's last step the old file stays; a file that
// cannot be written, or is dropped uncommitted, leaves it as it was and no temporary behind.
// Failures below the writer (full disk, failing syncs and renames) are run over the tool.
TEST(BmpWriter, TheOldFileStaysUntilTheLastStepThenLendsItsOwnerAndMode)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.bmp");
    const Bytes old(777, 0x5A);
    testbmp::WriteFile(path, old);
    const Surface s(40, 30);
    const auto names = [&] {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    };
    for (const auto &[target, reason] :
         {std::pair(dir.filePath("nowhere/a.bmp"), QString(strerror(ENOENT))),
          {path + "/a.bmp", QString(strerror(ENOTDIR))},
          {dir.path(), "not a regular file"}}) {
        QString error;
        EXPECT_FALSE(WriteBmpFile(s, target, 40, 30, LinkAtTarget::Refuse, &error));
        EXPECT_EQ(error, reason) << target.toStdString();
    }
    ASSERT_FALSE(WriteBmpFileUncommitted(s, path, 40, 30)->Failed()); // dropped at once
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(names(), QStringList {"keep.bmp"});

    const auto openFiles = [] {
        return QDir("/proc/self/fd").count();
    };
    const auto filesBefore = openFiles();
    auto pending = WriteBmpFileUncommitted(s, path, 40, 30);
    ASSERT_FALSE(pending->Failed());
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_TRUE(pending->Commit());
    EXPECT_EQ(ReadFile(path).size(), 54u + 40 * 30 * 4);
    EXPECT_FALSE(pending->Commit()); // once only
    pending.reset();
    EXPECT_EQ(names(), QStringList {"keep.bmp"});
    EXPECT_EQ(openFiles(), filesBefore); // the replaced file was let go with the writer

    // Run as root, a replaced file keeps its owner, group, every mode bit and its extended
    // attributes.
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give files away";
    const QByteArray name = QFile::encodeName(path);
    for (const mode_t mode : {0444, 02755, 04711, 01600, 0}) {
        SCOPED_TRACE(mode);
        testbmp::WriteFile(path, Bytes(100, 1));
        ASSERT_EQ(chown(name.constData(), 4321, 8765), 0);
        ASSERT_EQ(chmod(name.constData(), mode), 0);
        const bool tagged = setxattr(name.constData(), "user.velmora", "kept", 4, 0) == 0;
        ASSERT_TRUE(WriteBmpFile(Surface(30, 20), path, 30, 20));
        struct stat st;
        ASSERT_EQ(stat(name.constData(), &st), 0);
        EXPECT_EQ(std::tuple(st.st_uid, st.st_gid, st.st_mode & 07777),
                  std::tuple(4321u, 8765u, mode));
        char value[8] = {};
        EXPECT_TRUE(!tagged
                    || getxattr(name.constData(), "user.velmora", value, sizeof value) == 4);
    }
}

#include "batch/batch_run.h"
#include "support/bmp_builder.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

testbmp::Bytes Picture(int width, int height, int shade)
{
    std::vector<std::vector<std::uint32_t>> rows(height, std::vector<std::uint32_t>(width));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rows[y][x]
                = std::uint32_t(shade) << 16 | std::uint32_t(3 * x % 256) << 8 | (5 * y % 256);
    testbmp::BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.pixels = testbmp::PackRows(24, rows);
    return testbmp::BuildBmp(layout);
}

// Two good pictures of different sizes, a file with a bad header; the list names them with
// duplicates and a missing file in between.
QStringList MakeWorkload(const QString &folder)
{
    testbmp::WriteFile(folder + "/a.bmp", Picture(90, 40, 20));
    testbmp::WriteFile(folder + "/b.bmp", Picture(33, 70, 200));
    testbmp::Bytes bad = Picture(10, 10, 0);
    bad[18] = bad[19] = bad[20] = bad[21] = 0; // width 0
    testbmp::WriteFile(folder + "/bad.bmp", bad);
    QStringList list;
    for (const char *name : {"a", "b", "a", "missing", "bad", "b", "a"})
        list << folder + "/" + name + ".bmp";
    return list;
}

std::pair<int, QString> Stamp(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(VELMORA_STAMP_PATH), args);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

// The tool's batch mode is the core batch run, whatever the number of jobs: a file listed
// three times is stamped three times over, in list order, and the failures are named.
TEST(BatchCli, SameFilesAsTheCoreRunForOneOrTwoJobs)
{
    const QStringList textArgs
        = {"--text",  "Ab 测试", "--size",   "18",           "--color",  "#FFFFFF",
           "--alpha", "128",     "--anchor", "bottom-right", "--margin", "3"};
    QTemporaryDir core, one, two;
    TextStyle style;
    style.text = QStringLiteral("Ab 测试");
    style.font.lfHeight = -18;
    style.textColor = RGB(255, 255, 255);
    style.alpha = 128;
    const BatchResult expected
        = RunBatch(MakeWorkload(core.path()), style, {TextAnchor::BottomRight, 3});
    ASSERT_EQ(expected.written.size(), 5);

    for (QTemporaryDir *dir : {&one, &two}) {
        const QString jobs = dir == &one ? "1" : "2";
        SCOPED_TRACE(jobs.toStdString());
        const auto [code, err]
            = Stamp(QStringList(textArgs) << "--jobs" << jobs << MakeWorkload(dir->path()));
        EXPECT_EQ(code, 1);
        EXPECT_TRUE(err.contains("5 of 7 files written, 2 unreadable, 0 unwritable"))
            << err.toStdString();
        EXPECT_TRUE(err.contains(dir->path() + "/missing.bmp: ")) << err.toStdString();
        EXPECT_TRUE(err.contains(dir->path() + "/bad.bmp: ")) << err.toStdString();
        for (const char *name : {"/a.bmp", "/b.bmp", "/bad.bmp"})
            EXPECT_EQ(testbmp::ReadFile(dir->path() + name), testbmp::ReadFile(core.path() + name))
                << name;
    }

    // Every file written: success.
    const auto [code, err] = Stamp({"--jobs", "2", one.filePath("a.bmp"), one.filePath("b.bmp")});
    EXPECT_EQ(code, 0) << err.toStdString();
    EXPECT_TRUE(err.contains("2 of 2 files written")) << err.toStdString();
}

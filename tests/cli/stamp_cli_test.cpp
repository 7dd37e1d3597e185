#include "image/dib_image.h"
#include "run_stamp.h"
#include "support/bmp_builder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using testbmp::BmpLayout;
using testbmp::Bytes;

namespace {

Bytes EightBit()
{
    BmpLayout s;
    s.bitCount = 8;
    s.width = 3;
    s.height = -2; // top-down
    s.palette = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    s.clrUsed = 3;
    s.pixels = testbmp::PackRows(8, {{0, 1, 2}, {2, 1, 0}}, true);
    return testbmp::BuildBmp(s);
}

} // namespace

TEST(StampCli, WritesEachFileAs32BitsInPlaceOrIntoAFolder)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a.bmp");
    testbmp::WriteFile(a, EightBit());
    ToolRun r = RunStamp({a});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    Bytes f = testbmp::ReadFile(a);
    ASSERT_EQ(f.size(), 54u + 3 * 4 * 2);
    EXPECT_EQ(testbmp::U16At(f, 28), 32);
    DibImage image;
    ASSERT_TRUE(image.Load(a));
    Surface s(3, 2);
    image.Draw(s);
    EXPECT_TRUE(testbmp::SurfaceShows(s, 3, 2,
                                      {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255),
                                       RGB(0, 0, 255), RGB(0, 255, 0), RGB(255, 0, 0)}));

    const QString out = dir.filePath("out");
    QDir().mkdir(out);
    const QString b = dir.filePath("b.bmp");
    testbmp::WriteFile(b, EightBit());
    r = RunStamp({"--output-dir", out, b});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(testbmp::ReadFile(b), EightBit()); // the source is untouched
    EXPECT_EQ(testbmp::ReadFile(out + "/b.bmp").size(), 54u + 24);
}

TEST(StampCli, ReportsEachFailedFileAndExitCodes)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("good.bmp");
    const QString bad = dir.filePath("bad.bmp");
    testbmp::WriteFile(good, EightBit());
    testbmp::WriteFile(bad, Bytes {'B', 'M', 1, 2, 3});
    const QString missing = dir.filePath("missing.bmp");
    ToolRun r = RunStamp({good, bad, missing});
    EXPECT_EQ(r.code, 1);
    const QStringList lines = r.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << r.err.toStdString();
    EXPECT_TRUE(lines[0].contains(bad)) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains(missing)) << lines[1].toStdString();
    EXPECT_EQ(testbmp::ReadFile(bad), (Bytes {'B', 'M', 1, 2, 3}));

    // Writing into a folder that does not exist fails and says so.
    r = RunStamp({"--output-dir", dir.filePath("none"), good});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(good)) << r.err.toStdString();

    EXPECT_EQ(RunStamp({}).code, 2);
    EXPECT_EQ(RunStamp({"--bogus", good}).code, 2);
    EXPECT_EQ(RunStamp({"--output-dir"}).code, 2);
    r = RunStamp({"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains("--output-dir"));
}

#include "image/dib_image.h"
#include "run_stamp.h"
#include "support/bmp_builder.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <sys/stat.h>
#include <unistd.h>

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

// Inputs that once hung the tool, cost it gigabytes, stamped another file or were skipped in
// silence: each is stamped, or fails alone with its reason, at once and in little memory.
TEST(StampCli, HostileInputsFailAloneAtOnceInLittleMemory)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    // By the names' bytes: one of them does not survive a QString.
    const auto put = [&](const QByteArray &name, const Bytes &bytes, off_t size = 0) {
        std::ofstream((folder + name).toStdString(), std::ios::binary)
            .write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
        if (size) {
            EXPECT_EQ(truncate((folder + name).constData(), size), 0);
        }
        return folder + name;
    };
    const auto read = [](const QByteArray &path) {
        std::ifstream in(path.toStdString(), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    };
    const Bytes wide = testbmp::Picture24(64, 48, [](int, int) { return 0x123456u; });
    const QByteArray sparse = put("sparse.bmp", EightBit(), off_t(3) << 30);
    const QByteArray zeros = put("zeros.bmp", {}, off_t(3) << 30);
    const QByteArray bomb
        = put("bomb.bmp",
              testbmp::ReadFile(VELMORA_SOURCE_DIR
                                "/fuzz/regressions/rle8-unpacks-to-1-gib-from-60-bytes.bmp"));
    const QByteArray fifo = folder + "fifo.bmp";
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    const QByteArray neighbour = put("pic\xef\xbf\xbd.bmp", EightBit());
    const QByteArray unnamed = put("pic\xff.bmp", EightBit());
    ASSERT_EQ(mkdir((folder + "out\xef\xbf\xbd").constData(), 0700), 0); // its neighbour too
    const QByteArray tiny = put("tiny.bmp", testbmp::Picture24(7, 5, [](int, int) { return 0u; }));
    const QByteArray wideFile = put("wide.bmp", wide);
    const QByteArray size = "2048";
    const QByteArray w120(120, 'W'), w400(400, 'W'), w20000(20000, 'W');

    struct Case
    {
        std::vector<QByteArray> args;
        int code;
        const char *message;
        QByteArray untouched; // a file left byte for byte as it was
    };
    const std::vector<Case> cases = {
        {{sparse}, 0, "", {}},
        {{zeros}, 1, "not a BMP file", {}},
        {{bomb}, 1, "unpacks to far more than its file holds", bomb},
        {{fifo}, 1, "not a regular file", {}},
        {{"--jobs", "1", fifo}, 1, "not a regular file", {}},
        {{unnamed}, 1, "not valid UTF-8", unnamed},
        {{"--jobs", "1", unnamed, tiny}, 1, "not valid UTF-8", unnamed},
        {{"--output-dir", folder + "out\xff", tiny}, 2, "not valid UTF-8", tiny},
        {{"--text", w120, "--size", size, tiny}, 0, "", {}},
        {{"--text", w400, "--size", size, "--opaque", "--background", "#00FF28", wideFile},
         0,
         "",
         {}},
        {{"--text", w20000, "--size", size, wideFile}, 1, "text cannot be drawn", wideFile},
        {{"--jobs", "1", "--text", w20000, "--size", size, wideFile}, 1, "1 unwritable", wideFile},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.back().right(60).toStdString());
        const Bytes before = read(c.untouched);
        const MeasuredRun r = RunStampRaw(c.args);
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
        EXPECT_LT(r.peakKiB, 384 * 1024);
        EXPECT_EQ(read(c.untouched), before);
        EXPECT_EQ(read(neighbour), EightBit());
    }
    EXPECT_EQ(QFileInfo(QFile::decodeName(zeros)).size(), qint64(3) << 30);
    // The huge text landed: the picture lies in its first letter's opaque cell.
    DibImage stamped;
    ASSERT_TRUE(stamped.Load(QFile::decodeName(wideFile)));
    Surface s(64, 48);
    stamped.Draw(s);
    EXPECT_EQ(s.GetPixel(63, 47), RGB(0, 255, 40));
    unlink(unnamed.constData()); // QTemporaryDir cannot name it
}

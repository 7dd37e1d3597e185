#include "batch/stream_road.h"
#include "batch/text_anchor.h"
#include "image/dib_file.h"
#include "support/bmp_builder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <vector>

using testbmp::Bytes;

namespace {

// The forms whose rows are read a few at a time, some over several chunks of rows, a short
// colour table, one row, one column, the run-length picture bottom-up (streamed) and top-down
// (not), plus every picture of the fuzz corpus and every file that once broke the reader.
std::vector<std::pair<QString, Bytes>> Pictures()
{
    std::vector<std::pair<QString, Bytes>> pictures;
    // clang-format off
    for (const auto &[bits, width, height] : std::vector<std::array<int, 3>> {{24, 2000, 300},
             {24, 701, -401}, {8, 301, 50}, {1, 77, 9}, {16, 33, -20}, {32, 40, 30}, {24, 90, 1},
             {24, 1, 90}, {8, 950, 600}, {8, 950, -600}, {24, 950, 600}}) {
        // clang-format on
        std::vector<std::vector<std::uint32_t>> rows(std::abs(height));
        for (int y = 0; y < std::abs(height); ++y)
            for (int x = 0; x < width; ++x)
                rows[y].push_back(testbmp::Pattern(x, y) & (bits < 8 ? (1u << bits) - 1 : ~0u));
        testbmp::BmpLayout layout {.width = width, .height = height};
        layout.bitCount = std::uint16_t(bits);
        layout.clrUsed = width == 301 ? 7 : 0;
        layout.pixels = testbmp::PackRows(bits, rows, height < 0);
        for (std::uint32_t i = 0; bits <= 8 && i < (layout.clrUsed ? 7 : 1u << bits); ++i)
            layout.palette.push_back(RGB(i * 37, i * 11, i));
        if (width == 950) { // runs past the right edge, absolute runs, deltas up rows, early end
            Bytes &p = layout.pixels;
            p.clear();
            const int valueBytes = bits == 24 ? 3 : 1; // RLE24 stores pixels, RLE8 indices
            const auto run = [&](std::uint8_t count, std::uint8_t value) {
                p.push_back(count);
                p.insert(p.end(), valueBytes, value);
            };
            const auto absolute = [&](std::uint8_t count, std::uint8_t first) {
                p.insert(p.end(), {0, count});
                for (int i = 0; i < count; ++i)
                    p.insert(p.end(), valueBytes, std::uint8_t(first + i));
                p.insert(p.end(), count * valueBytes % 2, 0);
            };
            for (int row = 0; row < 590; row += row % 50 == 7 ? 3 : 1) {
                const std::uint8_t r = std::uint8_t(row);
                run(200, r);
                absolute(3, 1);
                run(255, std::uint8_t(r * 7));
                run(255, 9);
                run(255, 10);
                // Long absolute runs: the stream is read a window at a time, and its commands
                // fall across the windows' ends at many offsets.
                absolute(std::uint8_t(128 + row % 127), r);
                const Bytes end = row % 50 == 7 ? Bytes {0, 2, 5, 3} : Bytes {0, 0};
                p.insert(p.end(), end.begin(), end.end());
            }
            p.insert(p.end(), {0, 1}); // ten rows early
            layout.compression = bits == 24 ? 4 : 1;
            layout.headerSize = bits == 24 ? 64 : 40;
        }
        pictures.emplace_back(QString("%1 bits, %2 x %3").arg(bits).arg(width).arg(height),
                              testbmp::BuildBmp(layout));
    }
    for (const char *folder : {"/fuzz/corpus", "/fuzz/regressions"}) {
        const QDir dir(QStringLiteral(VELMORA_SOURCE_DIR) + QLatin1String(folder));
        for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
            pictures.emplace_back(name, testbmp::ReadFile(dir.filePath(name)));
    }
    return pictures;
}

} // namespace

// The streaming road writes, byte for byte, what the step-by-step road writes, and ends the
// same way, for every form the reader takes and every file it refuses, at every anchor, with
// the text inside, across and outside the picture.
TEST(StreamRoad, WritesWhatTheStepByStepRoadWrites)
{
    // On a memory file system when there is one: many files are written and flushed.
    QTemporaryDir dir(QDir("/dev/shm").exists() ? "/dev/shm/velmora-stream-XXXXXX"
                                                : QDir::tempPath() + "/velmora-stream-XXXXXX");
    ASSERT_TRUE(dir.isValid());
    const QString source = dir.filePath(QStringLiteral("source.bmp"));
    TextStyle glyphs; // glyphs only, opaque
    glyphs.text = QStringLiteral("Ab 测");
    glyphs.font.lfHeight = -11;
    TextStyle box = glyphs; // on a tinted box, half opaque, larger than the small pictures
    box.bgTransparent = 0;
    box.bkColor = RGB(0, 30, 200);
    box.alpha = 128;
    box.font.lfHeight = -40;

    // How the road ended, where the text went, and what it wrote.
    const auto run = [&](bool streaming, const QString &target, TextStyle style, int anchor,
                         std::int32_t margin) {
        QFile::remove(target);
        const TextPlacement place = [=](std::int32_t w, std::int32_t h, SIZE size) {
            return AnchorPosition(TextAnchor(anchor), w, h, size.cx, size.cy, margin);
        };
        DibImage image;
        const StampOutcome o = streaming
            ? StreamStampFile(source, target, style, place)
            : StampFile(image, source, target, PlacedText(style, place));
        return std::tuple(o.ok, o.failure, o.error, o.warning, style.x, style.y, style.cx, style.cy,
                          testbmp::ReadFile(target));
    };
    int compared = 0, written = 0;
    for (const auto &[name, bytes] : Pictures()) {
        testbmp::WriteFile(source, bytes);
        for (int a = 0; a < kTextAnchorCount; ++a)
            for (const auto &[style, margin] : {std::pair(glyphs, 3), {box, -15}, {box, 100000}}) {
                const auto step = run(false, dir.filePath("step.bmp"), style, a, margin);
                const auto stream = run(true, dir.filePath("stream.bmp"), style, a, margin);
                ASSERT_TRUE(step == stream) << name.toStdString() << ", anchor " << a << ", margin "
                                            << margin << ": " << std::get<2>(step).toStdString()
                                            << " / " << std::get<2>(stream).toStdString();
                ++compared;
                written += std::get<0>(step);
            }
        ASSERT_EQ(testbmp::ReadFile(source), bytes) << name.toStdString() << " was changed";
    }
    EXPECT_GT(written, compared / 2);
}

// Another program may cut a file short while it is stamped: the rows it no longer holds fail
// to read, with a reason, instead of killing the program as touching a mapped page would.
TEST(StreamRoad, RowsOfAFileCutShortWhileOpenFailToRead)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cut.bmp");
    testbmp::WriteFile(path, testbmp::Picture24(64, 64, testbmp::Pattern));
    DibFile file;
    ASSERT_TRUE(file.Open(path) && QFile::resize(path, 54 + 10 * 192));
    std::vector<std::uint8_t> rows(10 * 192);
    EXPECT_TRUE(file.ReadPixels(0, 10 * 192, rows.data()));
    EXPECT_FALSE(file.ReadPixels(192, 10 * 192, rows.data()) || errno != ENODATA);

    // A run-length stream, read a window at a time: rows from the part cut off fail likewise.
    const auto pictures = Pictures();
    const auto &[name, bytes] = pictures[8];
    ASSERT_TRUE(name.startsWith("8 bits, 950 x 600") && bytes.size() > 100000)
        << name.toStdString();
    const QString rle = dir.filePath("cut-rle.bmp");
    testbmp::WriteFile(rle, bytes);
    DibFile rleFile;
    ASSERT_TRUE(rleFile.Open(rle) && QFile::resize(rle, 90000));
    DibRleRows stored = rleFile.RunLengthRows();
    std::vector<std::uint32_t> row(950);
    int read = 0;
    while (read < 600 && stored.Next(row.data()))
        ++read;
    EXPECT_TRUE(read > 300 && read < 600 && errno == ENODATA) << read;
}

#include "batch/batch_run.h"
#include "batch/stream_road.h"
#include "batch/text_anchor.h"
#include "support/bmp_builder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using testbmp::BmpLayout;
using testbmp::Bytes;

namespace {

// Pictures of several chunks of rows, in the forms whose rows are read one at a time, plus
// the pictures of every form in the fuzz corpus and the files that once broke the reader.
std::vector<std::pair<QString, Bytes>> Pictures()
{
    std::vector<std::pair<QString, Bytes>> pictures;
    const auto rows = [](int width, int height, std::uint32_t modulo) {
        std::vector<std::vector<std::uint32_t>> r(static_cast<std::size_t>(height));
        for (auto &row : r)
            row.resize(std::size_t(width));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                r[std::size_t(y)][std::size_t(x)]
                    = std::uint32_t(x * 2654435761u + y * 40503u) % modulo;
        return r;
    };
    const auto layout = [&](int bits, int width, int height) {
        BmpLayout l;
        l.bitCount = std::uint16_t(bits);
        l.width = width;
        l.height = height;
        const std::uint32_t modulo = bits <= 8 ? (1u << bits) : bits == 16 ? 0x8000u : 0x1000000u;
        l.pixels = testbmp::PackRows(bits, rows(width, std::abs(height), modulo), height < 0);
        for (std::uint32_t i = 0; bits <= 8 && i < (1u << bits); ++i)
            l.palette.push_back(RGB(std::uint8_t(i * 37), std::uint8_t(i * 11), std::uint8_t(i)));
        return l;
    };
    pictures.emplace_back("24-bit, three chunks", testbmp::BuildBmp(layout(24, 2000, 300)));
    pictures.emplace_back("24-bit top-down, two chunks", testbmp::BuildBmp(layout(24, 701, -401)));
    BmpLayout shortTable = layout(8, 301, 50);
    shortTable.palette.resize(7);
    shortTable.clrUsed = 7;
    pictures.emplace_back("8-bit, short table", testbmp::BuildBmp(shortTable));
    pictures.emplace_back("1-bit, odd width", testbmp::BuildBmp(layout(1, 77, 9)));
    pictures.emplace_back("16-bit top-down", testbmp::BuildBmp(layout(16, 33, -20)));
    pictures.emplace_back("32-bit", testbmp::BuildBmp(layout(32, 40, 30)));
    pictures.emplace_back("24-bit, one row", testbmp::BuildBmp(layout(24, 90, 1)));
    pictures.emplace_back("24-bit, one column", testbmp::BuildBmp(layout(24, 1, 90)));
    // Run-length encoded, with runs past the edge, deltas over rows and an early end; bottom-up
    // it streams, top-down it cannot.
    testbmp::RleStream rle;
    for (int row = 0; row < 590;) {
        rle.Run(200, std::uint8_t(row)).Absolute({1, 2, 3}, false).Run(255, std::uint8_t(row * 7));
        rle.Run(255, 9).Run(255, 10); // 20 pixels past the right edge
        if (row % 50 == 7) {
            rle.Delta(5, 3);
            row += 3;
        } else {
            rle.EndOfLine();
            ++row;
        }
    }
    BmpLayout rle8 = layout(8, 950, 600);
    rle8.compression = 1;
    rle8.pixels = rle.EndOfPicture().bytes();
    pictures.emplace_back("RLE8, three chunks", testbmp::BuildBmp(rle8));
    rle8.height = -rle8.height;
    pictures.emplace_back("RLE8 top-down", testbmp::BuildBmp(rle8));
    for (const char *folder : {"/fuzz/corpus", "/fuzz/regressions"}) {
        const QDir dir(QStringLiteral(VELMORA_SOURCE_DIR) + QLatin1String(folder));
        for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
            pictures.emplace_back(name, testbmp::ReadFile(dir.filePath(name)));
    }
    return pictures;
}

struct Road
{
    StampOutcome outcome;
    TextStyle style;
    Bytes written; // empty when nothing was written
};

Road RunRoad(bool streaming, const QString &source, const QString &target, TextStyle style,
             const BatchPlacement &placement)
{
    QFile::remove(target);
    const TextPlacement place = [placement](std::int32_t w, std::int32_t h, SIZE box) {
        return AnchorPosition(placement.anchor, w, h, box.cx, box.cy, placement.margin);
    };
    Road road;
    if (streaming) {
        road.outcome = StreamStampFile(source, target, style, place);
    } else {
        DibImage image;
        road.outcome = StampFile(image, source, target, PlacedText(style, place));
    }
    road.style = style;
    if (QFile::exists(target))
        road.written = testbmp::ReadFile(target);
    return road;
}

std::string Differences(const Road &a, const Road &b)
{
    std::string d;
    if (a.outcome.ok != b.outcome.ok || a.outcome.failure != b.outcome.failure
        || a.outcome.error != b.outcome.error)
        d += "outcome " + a.outcome.error.toStdString() + " / " + b.outcome.error.toStdString();
    if (a.style.x != b.style.x || a.style.y != b.style.y || a.style.cx != b.style.cx
        || a.style.cy != b.style.cy)
        d += " placement";
    if (a.written.size() != b.written.size())
        d += " size " + std::to_string(a.written.size()) + " / " + std::to_string(b.written.size());
    else if (a.written != b.written)
        d += " byte "
            + std::to_string(
                 std::mismatch(a.written.begin(), a.written.end(), b.written.begin()).first
                 - a.written.begin());
    return d;
}

} // namespace

// The streaming road writes, byte for byte, what the step-by-step road writes (load, measure,
// place, draw, compose, write), and ends the same way, for every form the reader takes and
// every file it refuses, at every anchor, with the text inside, across and outside the picture.
TEST(StreamRoad, WritesWhatTheStepByStepRoadWrites)
{
    // On a memory file system when there is one: many files are written and flushed.
    QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                          ? QStringLiteral("/dev/shm/velmora-stream-XXXXXX")
                          : QDir::tempPath() + QStringLiteral("/velmora-stream-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const QString source = dir.filePath(QStringLiteral("source.bmp"));

    TextStyle glyphs; // glyphs only, opaque
    glyphs.text = QStringLiteral("Ab 测");
    glyphs.textColor = RGB(250, 240, 10);
    glyphs.font.lfHeight = -11;
    TextStyle box = glyphs; // a tinted box, half opaque, larger than the small pictures
    box.text = QStringLiteral("Velmora 测试 2026");
    box.bgTransparent = 0;
    box.bkColor = RGB(0, 30, 200);
    box.alpha = 128;
    box.font.lfHeight = -40;
    const struct
    {
        const char *where;
        TextStyle style;
        std::int32_t margin;
    } placings[] = {
        {"inside", glyphs, 3},
        {"across the edges", box, -15},
        {"outside", box, 100000},
    };

    int compared = 0, written = 0;
    for (const auto &[name, bytes] : Pictures()) {
        testbmp::WriteFile(source, bytes);
        for (int a = 0; a < kTextAnchorCount; ++a) {
            for (const auto &placing : placings) {
                const BatchPlacement placement {TextAnchor(a), placing.margin};
                const Road step = RunRoad(false, source, dir.filePath(QStringLiteral("step.bmp")),
                                          placing.style, placement);
                const Road stream
                    = RunRoad(true, source, dir.filePath(QStringLiteral("stream.bmp")),
                              placing.style, placement);
                ASSERT_EQ(Differences(step, stream), "")
                    << name.toStdString() << ", anchor " << a << ", text " << placing.where;
                ++compared;
                written += step.outcome.ok;
            }
        }
        ASSERT_EQ(testbmp::ReadFile(source), bytes) << name.toStdString() << " was changed";
    }
    EXPECT_GT(written, compared / 2);
}

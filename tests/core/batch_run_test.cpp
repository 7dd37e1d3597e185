#include "batch/batch_run.h"
#include "batch/batch_summary.h"
#include "batch/parallel_batch.h"
#include "image/dib_image.h"
#include "overlay/compose_text.h"
#include "support/bmp_builder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

using testbmp::BmpLayout;
using testbmp::Bytes;

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 40;

Bytes Picture(std::uint8_t shade)
{
    std::vector<std::vector<std::uint32_t>> rows(kHeight, std::vector<std::uint32_t>(kWidth));
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            rows[y][x] = RGB(shade, 2 * x, 3 * y);
    BmpLayout s;
    s.width = kWidth;
    s.height = kHeight;
    s.bitCount = 24;
    s.pixels = testbmp::PackRows(24, rows);
    return testbmp::BuildBmp(s);
}

Bytes BadHeader()
{
    BmpLayout s;
    s.width = 0; // nothing to draw
    s.height = 4;
    return testbmp::BuildBmp(s);
}

TextStyle HalfWhite()
{
    TextStyle style;
    style.text = QStringLiteral("Ab");
    style.textColor = RGB(255, 255, 255);
    style.alpha = 128;
    style.font.lfHeight = -16;
    return style;
}

// A folder whose files can be read but not replaced, even by root: a small tmpfs mounted
// read-only once its files are in place. Without root, the folder's write bit does it.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &path)
        : m_path(QFile::encodeName(path))
    {
        QDir().mkpath(path);
        if (geteuid() == 0)
            m_mounted = mount("velmora-test", m_path.constData(), "tmpfs", 0, "size=1m") == 0;
    }
    ~ReadOnlyFolder()
    {
        if (m_mounted)
            umount(m_path.constData());
    }
    bool Seal()
    {
        if (m_mounted)
            return mount("velmora-test", m_path.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                         nullptr)
                == 0;
        return geteuid() != 0
            && QFile::setPermissions(QString::fromLocal8Bit(m_path),
                                     QFile::ReadOwner | QFile::ExeOwner);
    }

private:
    QByteArray m_path;
    bool m_mounted = false;
};

Surface Loaded(const QString &path)
{
    DibImage image;
    EXPECT_TRUE(image.Load(path)) << path.toStdString();
    Surface s(image.GetWidth(), image.GetHeight(), 32);
    image.Draw(s);
    return s;
}

TEST(BatchRun, MixedListStampsGoodFilesAndNamesEveryFailure)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.bmp"));
    const QString missing = dir.filePath(QStringLiteral("missing.bmp"));
    const QString bad = dir.filePath(QStringLiteral("bad.bmp"));
    const QString locked = dir.filePath(QStringLiteral("ro/locked.bmp"));
    const QString second = dir.filePath(QStringLiteral("second.bmp"));
    testbmp::WriteFile(good, Picture(10));
    testbmp::WriteFile(bad, BadHeader());
    testbmp::WriteFile(second, Picture(200));
    ReadOnlyFolder roFolder(dir.filePath(QStringLiteral("ro")));
    testbmp::WriteFile(locked, Picture(90));
    if (!roFolder.Seal())
        GTEST_SKIP() << "cannot make a folder read-only here";
    const Bytes badBefore = testbmp::ReadFile(bad);
    const Bytes lockedBefore = testbmp::ReadFile(locked);

    // The reference: the good picture stamped once and twice by hand, the way the run must.
    TextStyle style = HalfWhite();
    Surface once = Loaded(good);
    const SIZE box = MeasureText(once, style);
    ASSERT_GT(box.cx, 0);
    TextStyle placed = style;
    placed.x = (kWidth - box.cx) / 2;
    placed.y = kHeight - box.cy;
    ComposeText(once, placed, 0);
    Surface twice(kWidth, kHeight, 32);
    twice.BitBlt(0, 0, kWidth, kHeight, once, 0, 0);
    ComposeText(twice, placed, 0);

    std::vector<BatchStep> steps;
    const BatchResult result
        = RunBatch({good, missing, good, locked, bad, second}, style, {TextAnchor::BottomCentre, 0},
                   [&](const BatchStep &s) { steps.push_back(s); });

    EXPECT_EQ(result.written, QStringList({good, good, second}));
    EXPECT_EQ(result.unreadable, QStringList({missing, bad}));
    EXPECT_EQ(result.unwritable, QStringList({locked}));
    EXPECT_FALSE(result.stopped);
    const BatchFileResult expected[]
        = {BatchFileResult::Written,    BatchFileResult::Unreadable, BatchFileResult::Written,
           BatchFileResult::Unwritable, BatchFileResult::Unreadable, BatchFileResult::Written};
    ASSERT_EQ(steps.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(steps[i].index, i);
        EXPECT_EQ(steps[i].result, expected[i]) << i;
        EXPECT_EQ(steps[i].reason.isEmpty(), expected[i] == BatchFileResult::Written) << i;
    }

    // The duplicate read the stamped file back: the half-transparent text is denser.
    EXPECT_TRUE(testbmp::SamePixelsAs(Loaded(good), twice, kWidth, kHeight));
    EXPECT_FALSE(testbmp::SamePixelsAs(once, twice, kWidth, kHeight));
    // Written in the display's format: 32 bits.
    EXPECT_EQ(testbmp::U16At(testbmp::ReadFile(second), 28), 32);
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(testbmp::ReadFile(bad), badBefore);
    EXPECT_EQ(testbmp::ReadFile(locked), lockedBefore);
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("ro"))).entryList(QDir::Files),
              QStringList({QStringLiteral("locked.bmp")}));
    // The style keeps the placement of the last file written.
    EXPECT_EQ(style.x, placed.x);
    EXPECT_EQ(style.y, placed.y);
    EXPECT_EQ(style.cx, box.cx);
    EXPECT_EQ(style.cy, box.cy);

    EXPECT_EQ(BuildBatchSummary(result).text,
              QStringLiteral("文件保存完成!\n其中:\n%1\n%2\n不存在或无法打开!没有保存!\n"
                             "其中:\n%3\n无法写入!没有保存!")
                  .arg(missing, bad, locked));
    EXPECT_TRUE(BuildBatchSummary(result).warning);
}

TEST(BatchRun, SummaryForEachKindOfOutcome)
{
    BatchResult all;
    all.written = QStringList({QStringLiteral("/a.bmp")});
    EXPECT_EQ(BuildBatchSummary(all).text, QStringLiteral("文件保存完成!"));
    EXPECT_FALSE(BuildBatchSummary(all).warning);

    BatchResult unreadable;
    unreadable.unreadable = QStringList({QStringLiteral("/x.bmp"), QStringLiteral("/y.bmp")});
    EXPECT_EQ(BuildBatchSummary(unreadable).text,
              QStringLiteral("文件保存完成!\n其中:\n/x.bmp\n/y.bmp\n不存在或无法打开!没有保存!"));

    BatchResult unwritable;
    unwritable.unwritable = QStringList({QStringLiteral("/z.bmp")});
    EXPECT_EQ(BuildBatchSummary(unwritable).text,
              QStringLiteral("文件保存完成!\n其中:\n/z.bmp\n无法写入!没有保存!"));
    EXPECT_TRUE(BuildBatchSummary(unwritable).warning);
}

TEST(BatchRun, EmptyTextRewritesEveryFileUnmarked)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.bmp"));
    testbmp::WriteFile(path, Picture(40));
    const Surface before = Loaded(path);
    TextStyle style = HalfWhite();
    style.text.clear();
    style.bgTransparent = 0; // even an opaque box shows nothing: it has no width
    const BatchResult result = RunBatch({path}, style, {TextAnchor::Centre, 0});
    EXPECT_EQ(result.written, QStringList({path}));
    EXPECT_EQ(testbmp::U16At(testbmp::ReadFile(path), 28), 32);
    EXPECT_TRUE(testbmp::SamePixelsAs(Loaded(path), before, kWidth, kHeight));
    EXPECT_EQ(style.cx, 0);
}

TEST(BatchRun, StopLeavesEveryFileUntouchedOrWholeAndParallelRunsStopToo)
{
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 6; ++i) {
        paths << dir.filePath(QStringLiteral("f%1.bmp").arg(i));
        testbmp::WriteFile(paths.back(), Picture(std::uint8_t(i * 20)));
    }
    const Bytes untouched = testbmp::ReadFile(paths[2]);
    for (int jobs : {1, 2}) {
        for (const QString &p : paths)
            testbmp::WriteFile(p, testbmp::ReadFile(paths[2]));
        std::atomic<bool> stop = false;
        int reported = 0;
        const BatchProgress progress = [&](const BatchStep &) {
            if (++reported == 2)
                stop = true;
        };
        const BatchResult result
            = RunBatchParallel(paths, HalfWhite(), {TextAnchor::TopLeft, 3}, jobs, progress, &stop);
        EXPECT_TRUE(result.stopped) << jobs;
        EXPECT_EQ(result.written.size(), reported) << jobs;
        EXPECT_LT(reported, 6) << jobs;
        EXPECT_GE(reported, 2) << jobs;
        for (const QString &p : paths) {
            const Bytes now = testbmp::ReadFile(p);
            if (result.written.contains(p)) {
                EXPECT_EQ(now.size(), 54u + 4u * kWidth * kHeight) << jobs;
                EXPECT_NE(now, untouched);
            } else {
                EXPECT_EQ(now, untouched) << jobs;
            }
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 6) << "no temporaries left";
    }
}

TEST(BatchRun, ParallelRunGivesTheSameFilesAndKeepsDuplicatesInOrder)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.bmp"));
    const QString b = dir.filePath(QStringLiteral("b.bmp"));
    const QString c = dir.filePath(QStringLiteral("c.bmp"));
    // The same file under another spelling is still the same file.
    const QString aAgain = dir.path() + QStringLiteral("/./a.bmp");
    const QStringList list = {a, b, aAgain, c, a, dir.filePath(QStringLiteral("none.bmp"))};
    std::map<int, Bytes> results;
    for (int jobs : {1, 3}) {
        testbmp::WriteFile(a, Picture(1));
        testbmp::WriteFile(b, Picture(2));
        testbmp::WriteFile(c, Picture(3));
        std::vector<int> order;
        const BatchResult r
            = RunBatchParallel(list, HalfWhite(), {TextAnchor::BottomRight, 2}, jobs,
                               [&](const BatchStep &s) { order.push_back(s.index); });
        EXPECT_EQ(r.written, QStringList({a, b, aAgain, c, a})) << jobs;
        EXPECT_EQ(r.unreadable.size(), 1);
        // The listings of a come one after the other, in list order.
        std::vector<int> ofA;
        for (int i : order)
            if (i == 0 || i == 2 || i == 4)
                ofA.push_back(i);
        EXPECT_EQ(ofA, (std::vector<int> {0, 2, 4})) << jobs;
        EXPECT_EQ(order.size(), 6u);
        for (const QString &p : {a, b, c}) {
            const Bytes bytes = testbmp::ReadFile(p);
            if (jobs == 1)
                results[int(results.size())] = bytes;
        }
        if (jobs != 1) {
            EXPECT_EQ(testbmp::ReadFile(a), results[0]);
            EXPECT_EQ(testbmp::ReadFile(b), results[1]);
            EXPECT_EQ(testbmp::ReadFile(c), results[2]);
        }
    }
    EXPECT_EQ(BatchFileKey(a), BatchFileKey(aAgain));
    EXPECT_NE(BatchFileKey(a), BatchFileKey(b));
}

} // namespace

// A file's last step (its rename over itself) overlaps the next file's work, yet each file is
// reported in list order with what really became of it: here the second file's name is taken
// by a folder while the first is being reported, so its rename fails and it is unwritable.
TEST(BatchRun, ALastStepThatFailsIsReportedInOrderAsUnwritable)
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.bmp"));
    const QString second = dir.filePath(QStringLiteral("second.bmp"));
    const QString third = dir.filePath(QStringLiteral("third.bmp"));
    for (const QString &p : {first, second, third})
        testbmp::WriteFile(p, Picture(50));
    TextStyle style = HalfWhite();
    style.text = QStringLiteral("Abc");

    std::vector<BatchStep> steps;
    const BatchProgress progress = [&](const BatchStep &step) {
        steps.push_back(step);
        if (step.index == 0) {
            QFile::remove(second);
            QDir().mkpath(second + QStringLiteral("/inside"));
        }
    };
    const BatchResult result
        = RunBatch({first, second, third}, style, {TextAnchor::TopLeft, 0}, progress);
    EXPECT_EQ(result.written, QStringList({first, third}));
    EXPECT_EQ(result.unwritable, QStringList({second}));
    ASSERT_EQ(steps.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(steps[i].index, i);
    EXPECT_EQ(steps[1].result, BatchFileResult::Unwritable);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList({QStringLiteral("first.bmp"), QStringLiteral("third.bmp")}));
    EXPECT_EQ(style.x, 0);
    EXPECT_GT(style.cx, 0);
}

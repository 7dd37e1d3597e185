#include "batch/batch_run.h"
#include "batch/batch_summary.h"
#include "batch/parallel_batch.h"
#include "image/dib_image.h"
#include "overlay/compose_text.h"
#include "support/batch_workload.h"
#include "support/bmp_builder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testbmp::Bytes;

namespace {

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
    const BatchWorkload w(dir.path());
    std::map<std::string, Bytes> before = w.Files();

    // The reference: the good picture stamped once and twice by hand, the way the run must.
    TextStyle style = HalfWhite();
    Surface once = Loaded(w.good);
    const int width = once.Width(), height = once.Height();
    const SIZE box = MeasureText(once, style);
    ASSERT_GT(box.cx, 0);
    TextStyle placed = style;
    placed.x = (width - box.cx) / 2;
    placed.y = height - box.cy;
    ComposeText(once, placed, 0);
    Surface twice(width, height, 32);
    twice.BitBlt(0, 0, width, height, once, 0, 0);
    ComposeText(twice, placed, 0);

    std::vector<BatchStep> steps;
    const BatchResult result = RunBatch(w.List(), style, {TextAnchor::BottomCentre, 0},
                                        [&](const BatchStep &s) { steps.push_back(s); });

    EXPECT_EQ(result.written, QStringList({w.good, w.good, w.second}));
    EXPECT_EQ(result.unreadable, QStringList({w.missing, w.bad}));
    EXPECT_EQ(result.unwritable, QStringList({w.unwritable}));
    EXPECT_FALSE(result.stopped);
    using R = BatchFileResult;
    const R expected[]
        = {R::Written, R::Unreadable, R::Written, R::Unwritable, R::Unreadable, R::Written};
    ASSERT_EQ(steps.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(steps[i].index, i);
        EXPECT_EQ(steps[i].path, w.List()[i]);
        EXPECT_EQ(steps[i].result, expected[i]) << i;
        EXPECT_EQ(steps[i].reason.isEmpty(), expected[i] == R::Written) << i;
    }

    // The duplicate read the stamped file back: the half-transparent text is denser.
    EXPECT_TRUE(testbmp::SamePixelsAs(Loaded(w.good), twice, width, height));
    EXPECT_FALSE(testbmp::SamePixelsAs(once, twice, width, height));
    EXPECT_EQ(testbmp::U16At(testbmp::ReadFile(w.second), 28), 32); // the display's format
    // The failed files are as they were and no temporary is left.
    std::map<std::string, Bytes> after = w.Files();
    for (const char *name : {"good.bmp", "second.bmp"})
        before.erase(name), after.erase(name);
    EXPECT_EQ(after, before);
    // The style keeps the placement of the last file written, a picture of another size.
    const Surface last = Loaded(w.second);
    EXPECT_EQ(style.x, (last.Width() - box.cx) / 2);
    EXPECT_EQ(style.y, last.Height() - box.cy);
    EXPECT_EQ(style.cx, box.cx);
    EXPECT_EQ(style.cy, box.cy);

    EXPECT_EQ(BuildBatchSummary(result).text, w.Summary());
    EXPECT_TRUE(BuildBatchSummary(result).warning);
}

TEST(BatchRun, SummaryForEachKindOfOutcome)
{
    const struct
    {
        BatchResult result;
        const char *text;
        bool warning;
    } rows[] = {
        {{{"/a.bmp"}, {}, {}}, "文件保存完成!", false},
        {{{}, {"/x.bmp", "/y.bmp"}, {}},
         "文件保存完成!\n其中:\n/x.bmp\n/y.bmp\n不存在或无法打开!没有保存!",
         true},
        {{{}, {}, {"/z.bmp"}}, "文件保存完成!\n其中:\n/z.bmp\n无法写入!没有保存!", true},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(BuildBatchSummary(row.result).text, QString::fromUtf8(row.text));
        EXPECT_EQ(BuildBatchSummary(row.result).warning, row.warning) << row.text;
    }
}

TEST(BatchRun, EmptyTextRewritesEveryFileUnmarked)
{
    QTemporaryDir dir;
    const BatchWorkload w(dir.path());
    const Surface before = Loaded(w.good);
    TextStyle style = HalfWhite();
    style.text.clear();
    style.bgTransparent = 0; // even an opaque box shows nothing: it has no width
    const BatchResult result = RunBatch({w.good}, style, {TextAnchor::Centre, 0});
    EXPECT_EQ(result.written, QStringList({w.good}));
    EXPECT_EQ(testbmp::U16At(testbmp::ReadFile(w.good), 28), 32);
    EXPECT_TRUE(testbmp::SamePixelsAs(Loaded(w.good), before, before.Width(), before.Height()));
    EXPECT_EQ(style.cx, 0);
}

TEST(BatchRun, StopLeavesEveryFileUntouchedOrWholeAndParallelRunsStopToo)
{
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 6; ++i)
        paths << dir.filePath(QStringLiteral("f%1.bmp").arg(i));
    for (int jobs : {1, 2}) {
        SCOPED_TRACE(jobs);
        for (const QString &p : paths)
            testbmp::WriteSolid(p, 64, 40, 0x336699);
        const Bytes untouched = testbmp::ReadFile(paths[0]);
        std::atomic<bool> stop = false;
        int reported = 0;
        const BatchProgress progress = [&](const BatchStep &) {
            if (++reported == 2)
                stop = true;
        };
        const BatchResult result
            = RunBatchParallel(paths, HalfWhite(), {TextAnchor::TopLeft, 3}, jobs, progress, &stop);
        EXPECT_TRUE(result.stopped);
        EXPECT_EQ(result.written.size(), reported);
        EXPECT_LT(reported, 6);
        EXPECT_GE(reported, 2);
        for (const QString &p : paths) {
            const Bytes now = testbmp::ReadFile(p);
            if (result.written.contains(p)) {
                EXPECT_EQ(now.size(), 54u + 4u * 64 * 40);
                EXPECT_NE(now, untouched);
            } else {
                EXPECT_EQ(now, untouched);
            }
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 6) << "no temporaries left";
    }
}

TEST(BatchRun, ParallelRunGivesTheSameFilesAndKeepsDuplicatesInOrder)
{
    QTemporaryDir serialDir, parallelDir;
    std::map<std::string, Bytes> serial;
    for (const QTemporaryDir *dir : {&serialDir, &parallelDir}) {
        const int jobs = dir == &serialDir ? 1 : 3;
        SCOPED_TRACE(jobs);
        const BatchWorkload w(dir->path());
        const QString goodAgain = dir->path() + QStringLiteral("/./good.bmp"); // another spelling
        std::vector<int> order;
        const BatchResult r
            = RunBatchParallel(w.List() << goodAgain, HalfWhite(), {TextAnchor::BottomRight, 2},
                               jobs, [&](const BatchStep &s) { order.push_back(s.index); });
        EXPECT_EQ(r.written, QStringList({w.good, w.good, w.second, goodAgain}));
        EXPECT_EQ(r.unwritable, QStringList({w.unwritable}));
        EXPECT_EQ(order.size(), 7u);
        // The listings of the good picture come one after the other, in list order.
        std::vector<int> ofGood;
        for (int i : order)
            if (i == 0 || i == 2 || i == 6)
                ofGood.push_back(i);
        EXPECT_EQ(ofGood, (std::vector<int> {0, 2, 6}));
        if (jobs == 1)
            serial = w.Files();
        else
            EXPECT_EQ(w.Files(), serial);
    }
    EXPECT_EQ(BatchFileKey(serialDir.filePath("good.bmp")),
              BatchFileKey(serialDir.path() + "/./good.bmp"));
    EXPECT_NE(BatchFileKey(serialDir.filePath("good.bmp")),
              BatchFileKey(serialDir.filePath("second.bmp")));
}

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
        testbmp::WriteSolid(p, 64, 40, 0x336699);
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

} // namespace

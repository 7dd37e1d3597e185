#include "batch/batch_run.h"
#include "batch/batch_summary.h"
#include "batch/parallel_batch.h"
#include "image/dib_image.h"
#include "overlay/compose_text.h"
#include "support/batch_workload.h"

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

    // The reference: the good picture stamped twice by hand, the way the run must, the second
    // time over the first: the half-transparent text is denser.
    TextStyle style = HalfWhite();
    Surface twice = Loaded(w.good);
    const SIZE box = MeasureText(twice, style);
    TextStyle placed = style;
    placed.x = (twice.Width() - box.cx) / 2;
    placed.y = twice.Height() - box.cy;
    ComposeText(twice, placed, 0);
    ComposeText(twice, placed, 0);

    std::vector<BatchStep> steps;
    const BatchResult result = RunBatch(w.List(), style, {TextAnchor::BottomCentre, 0},
                                        [&](const BatchStep &s) { steps.push_back(s); });
    EXPECT_EQ(result.written, QStringList({w.good, w.good, w.second}));
    using R = BatchFileResult;
    const R expected[]
        = {R::Written, R::Unreadable, R::Written, R::Unwritable, R::Unreadable, R::Written};
    ASSERT_EQ(steps.size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(
            std::tuple(steps[i].index, steps[i].path, steps[i].result, steps[i].reason.isEmpty()),
            std::tuple(i, w.List()[i], expected[i], expected[i] == R::Written));
    EXPECT_TRUE(testbmp::SamePixelsAs(Loaded(w.good), twice, twice.Width(), twice.Height()));
    EXPECT_EQ(testbmp::U16At(testbmp::ReadFile(w.second), 28), 32); // the display's format
    // The failed files are as they were and no temporary is left.
    std::map<std::string, Bytes> after = w.Files();
    for (const char *name : {"good.bmp", "second.bmp"}) {
        before.erase(name);
        after.erase(name);
    }
    EXPECT_EQ(after, before);
    // The failures in list order, each in its place.
    EXPECT_EQ(BuildBatchSummary(result).text, w.Summary());
    // Two spellings of one file, there or not, share a key, so their listings run in turn.
    EXPECT_EQ(BatchFileKey(w.folder + "/./good.bmp"), BatchFileKey(w.good));
    EXPECT_EQ(BatchFileKey(w.folder + "/x/../missing.bmp"), BatchFileKey(w.missing));
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
        const BatchResult result = RunBatchParallel(
            paths, HalfWhite(), {TextAnchor::TopLeft, 3}, jobs,
            [&](const BatchStep &) { stop = ++reported >= 2; }, &stop);
        EXPECT_TRUE(result.stopped);
        EXPECT_EQ(result.written.size(), reported);
        EXPECT_TRUE(reported >= 2 && reported < 6) << reported;
        for (const QString &p : paths)
            EXPECT_EQ(testbmp::ReadFile(p) == untouched, !result.written.contains(p));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 6) << "no temporaries left";
    }
}

// A file's last step (its rename over itself) overlaps the next file's work, yet each file is
// reported in list order with what really became of it: here the second file's name is taken
// by a folder while the first is being reported, so its rename fails and it is unwritable.
TEST(BatchRun, ALastStepThatFailsIsReportedInOrderAsUnwritable)
{
    QTemporaryDir dir;
    QStringList paths;
    for (const char *name : {"first.bmp", "second.bmp", "third.bmp"}) {
        paths << dir.filePath(QString::fromLatin1(name));
        testbmp::WriteSolid(paths.back(), 64, 40, 0x336699);
    }
    std::vector<int> order;
    TextStyle style = HalfWhite();
    const BatchResult result
        = RunBatch(paths, style, {TextAnchor::TopLeft, 0}, [&](const BatchStep &step) {
              order.push_back(step.index);
              if (step.index == 0 && QFile::remove(paths[1]))
                  QDir().mkpath(paths[1] + QStringLiteral("/inside"));
          });
    EXPECT_EQ(result.written, QStringList({paths[0], paths[2]}));
    EXPECT_EQ(result.unwritable, QStringList({paths[1]}));
    EXPECT_EQ(order, (std::vector<int> {0, 1, 2}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "no temporaries left";
    EXPECT_TRUE(BuildBatchSummary(result).warning); // with no unreadable file too
}

} // namespace

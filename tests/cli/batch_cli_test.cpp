#include "batch/batch_run.h"
#include "run_stamp.h"
#include "support/batch_workload.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// The tool's batch mode is the core batch run, whatever the number of jobs.
TEST(BatchCli, SameFilesAsTheCoreRunForOneOrTwoJobs)
{
    const QStringList textArgs
        = {"--text",  "Ab 测试", "--size",   "18",           "--color",  "#FFFFFF",
           "--alpha", "128",     "--anchor", "bottom-right", "--margin", "3"};
    QTemporaryDir core, one, two;
    TextStyle style = HalfWhite();
    style.text = QStringLiteral("Ab 测试");
    style.font.lfHeight = -18;
    const BatchWorkload expected(core.path());
    RunBatch(expected.List(), style, {TextAnchor::BottomRight, 3});

    for (QTemporaryDir *dir : {&one, &two}) {
        const QString jobs = dir == &one ? "1" : "2";
        SCOPED_TRACE(jobs.toStdString());
        const BatchWorkload w(dir->path());
        const ToolRun r = RunStamp(QStringList(textArgs) << "--jobs" << jobs << w.List());
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains("3 of 6 files written, 2 unreadable, 1 unwritable"))
            << r.err.toStdString();
        for (const QString &failed : {w.missing, w.bad, w.unwritable})
            EXPECT_TRUE(r.err.contains(failed + ": ")) << r.err.toStdString();
        EXPECT_EQ(w.Files(), expected.Files());
    }

    // Every file written: success.
    const ToolRun r
        = RunStamp({"--jobs", "2", one.filePath("good.bmp"), one.filePath("second.bmp")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("2 of 2 files written")) << r.err.toStdString();
}

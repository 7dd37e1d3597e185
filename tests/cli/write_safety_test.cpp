#include "run_stamp.h"
#include "support/bmp_builder.h"
#include "support/small_disk.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

// The tool run with the fault library making the call asked for fail below folder.
ToolRun RunFailing(const QStringList &arguments, const QString &folder, const QString &fault)
{
    return RunStamp(
        arguments, {}, {},
        {"LD_PRELOAD=" VELMORA_FAIL_CALLS_PATH, "VELMORA_FAULT_DIR=" + folder,
         "VELMORA_FAULT=" + fault,
         "ASAN_OPTIONS=" + qEnvironmentVariable("ASAN_OPTIONS") + ":verify_asan_link_order=0"});
}

} // namespace

// Each call that puts a file on disk fails below Qt, as a full or failing disk makes it fail,
// and then (as root) the disk really is full, on both roads a file takes (streamed at 32 bits,
// whole at 24): the tool exits 1 naming the file and the system's reason, the original is byte
// for byte as it was and no temporary is left.
TEST(WriteSafety, EveryFailingCallLeavesTheOriginalWhole)
{
    // CALL:N:ERROR for the fault library (%1: the file's size less one); "full": no call fails,
    // the disk is full.
    const char *faults[] = {"write:0:ENOSPC", "write:4096:EIO",  "write:%1:ENOSPC", "sync:1:EIO",
                            "close:1:EIO",    "rename:1:ENOSPC", "full:ENOSPC"};
    // A megabyte of rows and one row more; several megabytes; the whole file in one write.
    const std::tuple<QString, int, int> pictures[]
        = {{"edge.bmp", 1024, 257}, {"large.bmp", 1200, 800}, {"small.bmp", 64, 48}};
    QTemporaryDir dir;
    const SmallDisk disk(dir.path(), "16m");
    const QString folder = QDir(dir.path()).canonicalPath();
    const auto entries = [&folder] {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    for (const QString fault : faults) {
        if (fault.startsWith("full") && !disk.Mounted())
            GTEST_SKIP() << "needs root to mount a small file system";
        for (const auto &[name, width, height] : pictures) // whatever an earlier row did
            testbmp::WriteFile(folder + '/' + name,
                               testbmp::Picture24(width, height, testbmp::Pattern));
        if (fault.startsWith("full"))
            disk.Fill();
        const QStringList before = entries();
        for (const auto &[name, width, height] : pictures)
            for (const int depth : {32, 24}) {
                const QString path = folder + '/' + name,
                              asked = QString(fault).replace(
                                  "%1", QString::number(53 + width * height * depth / 8));
                SCOPED_TRACE((asked + ' ' + name + ' ' + QString::number(depth)).toStdString());
                const testbmp::Bytes old = testbmp::ReadFile(path);
                const ToolRun r = RunFailing(
                    {"--depth", QString::number(depth), "--text", "Ab", path}, folder, asked);
                EXPECT_EQ(r.code, 1) << r.err.toStdString();
                EXPECT_TRUE(r.err.contains("cannot write " + path + ": "
                                           + std::strerror(fault.endsWith("EIO") ? EIO : ENOSPC)))
                    << r.err.toStdString();
                EXPECT_EQ(testbmp::ReadFile(path), old);
                EXPECT_EQ(entries(), before);
            }
    }
}

// The folder is synced after the rename. A file system that cannot sync a folder (EINVAL) has
// the file stamped all the same; a disk failing there is reported, though the new file stands.
TEST(WriteSafety, AFolderThatCannotBeSyncedIsNoFailureAFailingOneIs)
{
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).canonicalPath(), path = folder + "/a.bmp";
    for (const auto &[error, code] : {std::pair("EINVAL", 0), {"EIO", 1}}) {
        testbmp::WriteFile(path, testbmp::Picture24(64, 48, testbmp::Pattern));
        const ToolRun r = RunFailing({"--text", "Ab", path}, folder, "dirsync:1:" + QString(error));
        EXPECT_EQ(r.code, code) << error << r.err.toStdString();
        EXPECT_EQ(r.err.contains("cannot write " + path + ": " + std::strerror(EIO)), code == 1);
        EXPECT_EQ(testbmp::ReadFile(path).size(), 54u + 64 * 48 * 4) << error;
    }
}

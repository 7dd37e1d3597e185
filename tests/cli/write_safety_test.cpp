#include "run_stamp.h"
#include "support/bmp_builder.h"
#include "support/small_disk.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <unistd.h>

using testbmp::Bytes;

namespace {

// In place, plain and batch.
const QStringList kModes[] = {{}, {"--anchor", "centre"}};

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

// Each call that puts a file on disk fails below Qt, as a full or failing disk makes it fail,
// and then (as root) the disk really is full: the tool exits 1 naming the file and the system's
// reason, the original is byte for byte as it was and no temporary is left.
TEST(WriteSafety, EveryFailingCallLeavesTheOriginalWhole)
{
    struct Fault
    {
        const char *call; // null: the real full disk
        int error;
        qint64 (*n)(qint64 size); // bytes the disk takes (write), or the call that fails
    };
    const Fault faults[] = {
        {"write", ENOSPC,
         [](qint64) {
             return qint64(0);
         }},
        {"write", EIO,
         [](qint64 size) {
             return size / 2;
         }},
        {"write", ENOSPC,
         [](qint64 size) {
             return size - 1;
         }}, // only the tail is cut
        {"sync", EIO,
         [](qint64) {
             return qint64(1);
         }},
        {"close", EIO,
         [](qint64) {
             return qint64(1);
         }},
        {"rename", ENOSPC,
         [](qint64) {
             return qint64(1);
         }},
        {nullptr, ENOSPC, nullptr},
    };
    // The whole file in one write; a megabyte of rows and one row more; several megabytes.
    const std::tuple<QString, int, int> pictures[]
        = {{"edge.bmp", 1024, 257}, {"large.bmp", 1200, 800}, {"small.bmp", 64, 48}};
    QTemporaryDir dir;
    const SmallDisk disk(dir.path(), "16m");
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    std::map<QString, Bytes> originals;
    for (const auto &[name, width, height] : pictures) {
        originals[name] = testbmp::Picture24(
            width, height, [](int x, int y) { return std::uint32_t(x * 7 + y * 131); });
        testbmp::WriteFile(folder + '/' + name, originals[name]);
    }
    for (const Fault &f : faults) {
        if (!f.call && !disk.Mounted())
            GTEST_SKIP() << "needs root to mount a small file system";
        if (!f.call)
            disk.Fill();
        const QStringList entries = Entries(folder);
        for (const auto &[name, width, height] : pictures)
            for (const QStringList &mode : kModes) {
                const QString path = folder + '/' + name;
                QStringList env;
                if (f.call) {
                    const qint64 n = f.n(54 + qint64(width) * height * 4);
                    env = QStringList {"LD_PRELOAD=" VELMORA_FAIL_CALLS_PATH,
                                       "VELMORA_FAULT_DIR=" + folder,
                                       QString("VELMORA_FAULT=%1:%2:%3")
                                           .arg(f.call)
                                           .arg(n)
                                           .arg(f.error == EIO ? "EIO" : "ENOSPC"),
                                       "ASAN_OPTIONS=" + qEnvironmentVariable("ASAN_OPTIONS")
                                           + ":verify_asan_link_order=0"};
                }
                SCOPED_TRACE((name + ' ' + mode.join(' ') + ' ' + env.join(' ')).toStdString());
                testbmp::WriteFile(path, originals[name]); // whatever an earlier row did
                const ToolRun r = RunStamp(QStringList(mode) << "--text"
                                                             << "Ab" << path,
                                           {}, env);
                EXPECT_EQ(r.code, 1) << r.err.toStdString();
                EXPECT_TRUE(r.err.contains("cannot write " + path + ": "
                                           + QString::fromLocal8Bit(std::strerror(f.error))))
                    << r.err.toStdString();
                EXPECT_EQ(testbmp::ReadFile(path), originals[name]);
                EXPECT_EQ(Entries(folder), entries);
            }
    }
}

// A link at an output name is refused wherever it leads; a link stamped in place stays and its
// file is stamped; a file with other hard links is replaced under its given name, with a warning;
// the longest name a folder takes can be written.
TEST(WriteSafety, LinksAndLongNames)
{
    QTemporaryDir dir;
    const QString victim = dir.filePath("victim.bmp"), out = dir.filePath("out");
    const QString planted = out + "/victim.bmp", nowhere = dir.filePath("nowhere.bmp");
    testbmp::WriteSolid(victim, 8, 8, 0x112233);
    const Bytes old = testbmp::ReadFile(victim);
    QDir().mkdir(out);
    for (const QString &leadsTo : {victim, nowhere}) {
        QFile::remove(planted);
        ASSERT_TRUE(QFile::link(leadsTo, planted));
        const ToolRun r = RunStamp({"--output-dir", out, victim});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains("cannot write " + planted + ": a symbolic link"))
            << r.err.toStdString();
        EXPECT_EQ(testbmp::ReadFile(victim), old);
        EXPECT_FALSE(QFileInfo::exists(nowhere));
        EXPECT_TRUE(QFileInfo(planted).isSymLink());
    }

    for (const QStringList &mode : kModes) {
        SCOPED_TRACE(mode.join(' ').toStdString());
        QTemporaryDir in;
        const QString target = in.filePath("target.bmp"), link = in.filePath("link.bmp");
        const QString linked = in.filePath("linked.bmp"), twin = in.filePath("twin.bmp");
        const QString longest = in.filePath(QString(251, 'n') + ".bmp");
        for (const QString &path : {target, linked, longest})
            testbmp::WriteFile(path, old);
        ASSERT_TRUE(QFile::link(target, link));
        ASSERT_EQ(
            ::link(QFile::encodeName(linked).constData(), QFile::encodeName(twin).constData()), 0);

        const ToolRun r = RunStamp(QStringList(mode) << link << linked << longest);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), target);
        for (const QString &path : {target, linked, longest})
            EXPECT_EQ(testbmp::ReadFile(path).size(), 54u + 8 * 8 * 4) << path.toStdString();
        EXPECT_EQ(testbmp::ReadFile(twin), old);
        EXPECT_EQ(r.err.count("warning"), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("warning: " + linked + " had other hard links"));
        EXPECT_EQ(Entries(in.path()).size(), 5);
    }
}

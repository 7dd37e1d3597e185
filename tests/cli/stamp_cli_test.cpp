#include "batch/batch_run.h"
#include "batch/stamp_road.h"
#include "overlay/compose_text.h"
#include "run_stamp.h"
#include "support/batch_workload.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <sys/stat.h>
#include <unistd.h>

using testbmp::Bytes;
using Files = std::map<std::string, Bytes>;

namespace {

// A small top-down picture with a colour table.
Bytes EightBit()
{
    testbmp::BmpLayout s;
    s.bitCount = 8;
    s.width = 3;
    s.height = -2;
    s.palette = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    s.clrUsed = 3;
    s.pixels = testbmp::PackRows(8, {{0, 1, 2}, {2, 1, 0}}, true);
    return testbmp::BuildBmp(s);
}

// What a run leaves in the folder.
enum class Expect {
    Untouched, // every file as it was, the output folder empty
    AtXY,      // the text at (10, 7) on every listed picture, in list order
    Anchored,  // the text at the bottom right, 3 pixels from the edges
    Any,       // not looked at
};

// The text of every run.
const QStringList kText
    = {"--text", "Ab 测试", "--size", "18", "--color", "#FFFFFF", "--alpha", "128"};

// The shared workload, an output folder, and another picture named good.bmp in a subfolder.
struct Folder : BatchWorkload
{
    explicit Folder(const QString &path)
        : BatchWorkload(path)
        , out(path + "/out")
        , same(path + "/sub/good.bmp")
    {
        QDir().mkpath(out);
        QDir().mkpath(path + "/sub");
        testbmp::WriteFile(same, testbmp::ReadFile(second));
    }

    // Writes @name as the path it stands for.
    QString Named(QString text) const
    {
        return text.replace("@good", good)
            .replace("@second", second)
            .replace("@bad", bad)
            .replace("@missing", missing)
            .replace("@unwritable", unwritable)
            .replace("@same", same)
            .replace("@out", out)
            .replace("@folder", folder);
    }

    // The arguments of a row ('|' between them): @all is the workload's list, @empty an empty
    // argument. The names of files go to files too.
    QStringList Args(const char *joined, QStringList &files) const
    {
        QStringList args;
        for (const QString &part : QString::fromUtf8(joined).split('|', Qt::SkipEmptyParts)) {
            const bool file = part.startsWith('@') && part != "@out" && part != "@empty"
                && !part.startsWith("@folder");
            const QStringList named = part == "@all" ? List() : QStringList {Named(part)};
            args << (part == "@empty" ? QStringList {QString()} : named);
            if (file)
                files << named;
        }
        return args;
    }

    QString out, same;
};

Files FilesIn(const QString &folder)
{
    Files files;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        files[name.toStdString()] = testbmp::ReadFile(folder + '/' + name);
    return files;
}

// The folder's files once the core has stamped the listed ones (as listed in f) in a workload
// of its own: one picture at a time at (10, 7), or by the batch run at an anchor.
Files Reference(Expect how, QStringList listed, const Folder &f)
{
    QTemporaryDir dir;
    const Folder ref(dir.path());
    listed.replaceInStrings(f.folder, ref.folder);
    TextStyle style = HalfWhite();
    style.text = "Ab 测试";
    style.font.lfHeight = -18;
    if (how == Expect::Anchored) {
        RunBatch(listed, style, {TextAnchor::BottomRight, 3});
    } else {
        style.x = 10;
        style.y = 7;
        DibImage image;
        for (const QString &file : listed)
            StampFile(image, file, file,
                      [&style](Surface &s, const DibImage &) { return ComposeText(s, style, 0); });
    }
    return ref.Files();
}

// A file written at depth bits from the 32-bit file ref: its headers, and each pixel cut to the
// depth straight from ref's bytes (blue, green, red, unused; rows bottom first in both).
::testing::AssertionResult AtDepth(const Bytes &file, const Bytes &ref, int depth)
{
    const std::size_t w = testbmp::U32At(ref, 18), h = testbmp::U32At(ref, 22);
    const std::size_t stride = (w * depth + 31) / 32 * 4;
    if (testbmp::U16At(file, 28) != depth || file.size() != 54 + stride * h
        || testbmp::U32At(file, 2) != file.size() || testbmp::U32At(file, 34) != stride * h)
        return ::testing::AssertionFailure()
            << "headers of " << file.size() << " bytes at " << testbmp::U16At(file, 28) << " bits";
    for (std::size_t y = 0; y < h; ++y)
        for (std::size_t x = 0; x < w; ++x) {
            const std::uint8_t *p = &ref[54 + y * w * 4 + x * 4];
            const std::size_t at = 54 + y * stride + x * std::size_t(depth / 8);
            const bool same = depth == 24
                ? file[at] == p[0] && file[at + 1] == p[1] && file[at + 2] == p[2]
                : testbmp::U16At(file, at) == ((p[2] >> 3) << 10 | (p[1] >> 3) << 5 | p[0] >> 3);
            if (!same)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " from below";
        }
    return ::testing::AssertionSuccess();
}

struct Row
{
    const char *args;
    int code;
    // The lines of standard error after "velmora-stamp: ", each given by its start, in any
    // order, '\n' between them: "!" stands for a usage error's line and hint, "@failures" for
    // the lines of the workload's three failed files.
    const char *err;
    Expect files = Expect::Untouched;
    int depth = 32;
    // The --files-from list, names '|' between them, written one a line, or NUL-terminated
    // when the arguments ask for --null; to standard input when they name "-".
    const char *list = nullptr;
    const char *out = ""; // within standard output
};

// Every expected line found once among the lines printed, and nothing else printed.
::testing::AssertionResult PrintedLines(const QString &err, QString expected, const Folder &f)
{
    expected.replace("@failures",
                     "cannot read @missing: \ncannot write @unwritable\n"
                     "cannot read @bad: ");
    if (expected.startsWith('!'))
        expected = expected.mid(1) + "\nTry 'velmora-stamp --help'.";
    QStringList printed = err.split('\n', Qt::SkipEmptyParts);
    for (QString line : f.Named(expected).split('\n', Qt::SkipEmptyParts)) {
        if (!line.startsWith("Try "))
            line.prepend("velmora-stamp: ");
        const auto found = std::find_if(printed.begin(), printed.end(),
                                        [&](const QString &p) { return p.startsWith(line); });
        if (found == printed.end())
            return ::testing::AssertionFailure() << "no line " << line.toStdString() << " in\n"
                                                 << err.toStdString();
        printed.erase(found);
    }
    if (!printed.isEmpty())
        return ::testing::AssertionFailure() << "more lines:\n" << err.toStdString();
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(StampCli, ArgumentListsGiveTheirStatusMessagesAndFiles)
{
    const Row rows[] = {
        // Placement by --x, --y stays with --jobs; anchors may write into a folder.
        {"--x|10|--y|7|--jobs|1|@all", 1,
         "@failures\n3 of 6 files written, 2 unreadable, 1 unwritable", Expect::AtXY},
        {"--jobs|2|--x|10|--y|7|@all", 1,
         "@failures\n3 of 6 files written, 2 unreadable, 1 unwritable", Expect::AtXY},
        {"@good|--x=10|--y|7", 0, "", Expect::AtXY},
        {"--anchor|bottom-right|--margin|3|--jobs|2|@all", 1,
         "@failures\n3 of 6 files written, 2 unreadable, 1 unwritable", Expect::Anchored},
        {"--anchor|8|--margin=3|--output-dir|@out|@good|@second", 0,
         "2 of 2 files written, 0 unreadable, 0 unwritable", Expect::Anchored},
        {"--output-dir|@out|--x|10|--y|7|@good", 0, "", Expect::AtXY},
        // Files that would overwrite each other in the folder are refused before any write.
        {"--output-dir|@out|@good|@second|@same", 2,
         "@good and @same would both be written to @out/good.bmp; nothing was written"},
        // A failed write alone fails the run.
        {"--jobs|2|--x|10|--y|7|@good|@unwritable", 1,
         "cannot write @unwritable\n1 of 2 files written, 0 unreadable, 1 unwritable",
         Expect::AtXY},
        {"@unwritable", 1, "cannot write @unwritable"},
        // Usage errors: one line and the hint, nothing touched.
        {"--bogus|@good", 2, "!Unknown option 'bogus'."},
        {"@good|--text", 2, "!Missing value after '--text'."},
        {"--bold=yes|@good", 2, "!Unexpected value after '--bold'."},
        {"", 2, "!no files given"},
        {"--alpha|300|@good", 2, "!--alpha must be a whole number from 0 to 255, not \"300\""},
        {"--color|#12G456|@good", 2, "!--color must be a colour written #RRGGBB, not \"#12G456\""},
        {"--output-dir|@out|--background|white|@good", 2,
         "!--background must be a colour written #RRGGBB, not \"white\""},
        {"--font|@empty|@good", 2, "!--font needs a font family name"},
        {"--size|-3|@good", 2, "!--size must be a whole number from 1 to 2048, not \"-3\""},
        {"--x|left|@good", 2, "!--x must be a whole number from -2147483648 to 2147483647"},
        {"--anchor|9|@good", 2, "!--anchor must be centre, top-centre, bottom-centre, "},
        {"--anchor|top-left|--margin|-1|@good", 2, "!--margin must be a whole number from 0"},
        {"--jobs|0|@good", 2, "!--jobs must be a whole number from 1 to 1024, not \"0\""},
        {"--depth|8|@good", 2, "!--depth must be 16, 24 or 32, not \"8\""},
        {"--x|5|--anchor|top-left|@good", 2,
         "!--x and --y place the text themselves: they cannot go with --anchor"},
        {"--margin|4|@good", 2, "!--margin goes with --anchor"},
        {"--null|@good", 2, "!--null goes with --files-from"},
        {"--output-dir|@empty|@good", 2, "!--output-dir needs a folder"},
        {"--output-dir=|@good", 2, "!--output-dir needs a folder"},
        {"--files-from|@missing", 2, "cannot read @missing: No such file or directory"},
        // Lists of files, after the file arguments.
        {"--x|10|--y|7|--files-from|@folder/list|@good", 0,
         "2 of 2 files written, 0 unreadable, 0 unwritable", Expect::AtXY, 32, "|@second||"},
        {"--x|10|--y|7|--null|--files-from|-", 1,
         "@failures\n3 of 6 files written, 2 unreadable, 1 unwritable", Expect::AtXY, 32,
         "@good|@missing|@good|@unwritable|@bad|@second"},
        {"--x|10|--y|7|--files-from|-", 1,
         "@folder/x\xEF\xBF\xBD.bmp: the name is not valid UTF-8\n"
         "1 of 2 files written, 1 unreadable, 0 unwritable",
         Expect::AtXY, 32, "@good|@folder/x\xFF.bmp"},
        // Quiet: the failures only.
        {"--quiet|--jobs|2|--x|10|--y|7|@all", 1, "@failures", Expect::AtXY},
        // Depths: the 32-bit pictures' colours, cut to the depth.
        {"--depth|24|--x|10|--y|7|@good|@second", 0,
         "2 of 2 files written, 0 unreadable, 0 unwritable", Expect::AtXY, 24},
        {"--depth|16|--x|10|--y|7|@good|@second", 0,
         "2 of 2 files written, 0 unreadable, 0 unwritable", Expect::AtXY, 16},
        {"--depth=32|--x|10|--y|7|@good|@second", 0,
         "2 of 2 files written, 0 unreadable, 0 unwritable", Expect::AtXY, 32},
        {"--text|-reverse|@good", 0, "", Expect::Any}, // an option of Qt's own is an argument
        {"--font|No Such Family|@good", 0,
         "warning: no font family \"No Such Family\"; the text is drawn in \"WenQuanYi Micro Hei\"",
         Expect::Any},
        {"--version|@good", 0, "", Expect::Untouched, 32, nullptr,
         "velmora-stamp " VELMORA_VERSION},
        {"--alpha|300|--help", 0, "", Expect::Untouched, 32, nullptr, "  --files-from FILE"},
    };
    QTemporaryDir pristineDir;
    const Files pristine = Folder(pristineDir.path()).Files();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.args);
        QTemporaryDir dir;
        const Folder f(dir.path());
        QStringList listed;
        const QStringList args = kText + f.Args(row.args, listed);
        QByteArray list;
        if (row.list) {
            const bool nul = args.contains("--null");
            for (const QString &name : QString::fromUtf8(row.list).split('|')) {
                // A name with a byte that is not UTF-8: written as raw bytes.
                list
                    += f.Named(name).toUtf8().replace("\xEF\xBF\xBD", "\xFF") + (nul ? '\0' : '\n');
                if (!name.isEmpty())
                    listed << f.Named(name);
            }
            if (!args.contains("-"))
                testbmp::WriteFile(f.folder + "/list", Bytes(list.begin(), list.end()));
        }
        const ToolRun r = RunStamp(args, args.contains("-") ? list : QByteArray());
        EXPECT_EQ(r.code, row.code);
        EXPECT_TRUE(PrintedLines(r.err, QString::fromUtf8(row.err), f));
        EXPECT_TRUE(r.out.contains(row.out)) << r.out.toStdString();

        Files files = f.Files();
        files.erase("list");
        const Files out = FilesIn(f.out);
        if (row.files == Expect::Any)
            continue;
        if (row.files == Expect::Untouched) {
            EXPECT_EQ(files, pristine);
            EXPECT_TRUE(out.empty());
            continue;
        }
        const Files ref = Reference(row.files, listed, f);
        if (args.contains("--output-dir")) { // the stamped files in the folder, the rest untouched
            Files stamped;
            for (const auto &[name, bytes] : ref)
                if (bytes != pristine.at(name))
                    stamped[name] = bytes;
            EXPECT_EQ(out, stamped);
            EXPECT_EQ(files, pristine);
            continue;
        }
        ASSERT_EQ(files.size(), ref.size());
        for (const auto &[name, bytes] : ref) {
            SCOPED_TRACE(name);
            if (row.depth == 32 || bytes == pristine.at(name))
                EXPECT_EQ(files.at(name), bytes);
            else
                EXPECT_TRUE(AtDepth(files.at(name), bytes, row.depth));
        }
    }
}

// The manual page made at build time renders without a warning and shows the options.
TEST(StampCli, ManualPageRenders)
{
#ifndef VELMORA_MAN_PAGE
    GTEST_SKIP() << "no manual page in this build";
#else
    QProcess man;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MANWIDTH", "80");
    env.remove("MAN_KEEP_FORMATTING");
    man.setProcessEnvironment(env);
    man.start("man", {"--warnings", "-P", "cat", "-l", VELMORA_MAN_PAGE});
    ASSERT_TRUE(man.waitForFinished(60000));
    const QString page = QString::fromUtf8(man.readAllStandardOutput());
    EXPECT_EQ(man.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(man.readAllStandardError()), QString());
    for (const char *shown : {"velmora-stamp - stamp a line of text", "--files-from", "--depth",
                              "Exit status", VELMORA_VERSION})
        EXPECT_TRUE(page.contains(shown)) << shown << " not in\n" << page.toStdString();
#endif
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
        {{"--text", w20000, "--size", size, wideFile, tiny}, 1, "2 unwritable", wideFile},
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

#include "run_stamp.h"
#include "support/batch_workload.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

namespace {

struct Row
{
    const char *args; // '|' between them; the @words are spelt out in the test
    int code;
    // The lines of standard error after "velmora-stamp: ", each given by its start; "!" stands
    // for a usage error's line and hint.
    const char *err;
    const char *changed = ""; // the files changed or made, by name
    // The text's top-left corner on each (0, 0: not looked at), and their bits per pixel.
    int x = 0, y = 0, depth = 32;
    // Standard input and the file sub/list (names, '|' between them); what standard output holds.
    const char *input = "", *out = "";
};

// Whether the text's box starts at x, y: green there (within what 16 bits keep of it), and not
// left of it or above it.
bool CornerAt(const testbmp::Bytes &file, int x, int y)
{
    const QImage image = QImage::fromData(file.data(), int(file.size()));
    const QRgb box = 0xF800, mask = 0xF8F8F8;
    return (image.pixel(x, y) & mask) == box && (image.pixel(x - 1, y) & mask) != box
        && (image.pixel(x, y - 1) & mask) != box;
}

} // namespace

// Every option, exit status, message, output name and list of files, end to end, in a folder
// with the workload, links and odd names: what each run prints, which files it writes, where
// the text lands in them and at what depth, all in little memory. A link stamped in place stays
// and its file is stamped; a file with other hard links is replaced under the name given, with
// a warning; a link at an output name is refused wherever it leads; a name that is not UTF-8 is
// refused alone, and its neighbour named with U+FFFD is left alone.
TEST(StampCli, ArgumentListsGiveTheirStatusMessagesAndFiles)
{
    const char *links = "good.bmp link.bmp linked.bmp @long second.bmp target.bmp";
    // clang-format off
    const Row rows[] = {
        {"--jobs|1|--x|10|--y|7|@all|x\\377.bmp|link.bmp|linked.bmp|@long|sub/fifo.bmp|sub/good.bmp"
            "|--files-from|sub/list", 1, "@failures\n@refused\n@refused\n@warned\n"
            "cannot read sub/fifo.bmp: not a regular file\n8 of 14 files written, 5 unreadable",
            links, 10, 7, 32, "|second.bmp||x\xFF.bmp|"},
        {"--quiet|--jobs|2|--depth|24|--anchor|top-left|--margin|3|@all|link.bmp|linked.bmp|@long"
            "|--null|--files-from|-", 1, "@failures\n@warned\ncannot read missing.bmp: ", links,
            3, 3, 24, "good.bmp|missing.bmp|second.bmp"},
        {"--anchor|3|--margin=3|--output-dir|out|good.bmp|second.bmp|target.bmp|linked.bmp", 1,
            "@planted\ncannot write out/linked.bmp: a symbolic link\n2 of 4 files written",
            "out/good.bmp out/second.bmp", 3, 3},
        {"--text|-reverse|--depth=16|--output-dir|out|good.bmp|target.bmp", 1,
            "@planted\n1 of 2 files written, 0 unreadable, 1 unwritable", "out/good.bmp", 0, 0, 16},
        {"--output-dir|out|good.bmp|sub/good.bmp", 2,
            "good.bmp and sub/good.bmp would both be written to out/good.bmp; nothing was written"},
        {"locked/unwritable.bmp", 1, "cannot write locked/unwritable.bmp: "},
        {"--font|No Such Family|good.bmp|--x=10|--y|7", 0,
            "warning: no font family \"No Such Family\"; the text is drawn in", "good.bmp", 10, 7},
        {"--files-from|missing.bmp", 2, "cannot read missing.bmp: No such file or directory"},
        {"--output-dir|out\\377|good.bmp", 2, "!an argument is not valid UTF-8: out\uFFFD"},
        {"--text|@huge|--size|2048|good.bmp|second.bmp", 1, "cannot stamp good.bmp: the text\n"
            "cannot stamp second.bmp: the text\n0 of 2 files written, 0 unreadable, 2 unwritable"},
        // Usage errors: one line and the hint, nothing touched.
        {"--bogus|good.bmp", 2, "!Unknown option 'bogus'."},
        {"--quiet", 2, "!no files given"},
        {"--alpha|256|good.bmp", 2, "!--alpha must be a whole number from 0 to 255, not \"256\""},
        {"--color|#12G456|good.bmp", 2, "!--color must be a colour written #RRGGBB, not \"#12G456"},
        {"--font||good.bmp", 2, "!--font needs a font family name"},
        {"--anchor|9|good.bmp", 2, "!--anchor must be centre, top-centre, bottom-centre, "},
        {"--depth|20|good.bmp", 2, "!--depth must be 16, 24 or 32, not \"20\""},
        {"--x|5|--anchor|top-left|good.bmp", 2, "!--x and --y place the text themselves: they"},
        {"--margin|4|good.bmp", 2, "!--margin goes with --anchor"},
        {"--null|good.bmp", 2, "!--null goes with --files-from"},
        {"--output-dir=|good.bmp", 2, "!--output-dir needs a folder"},
    };
    // A box of one colour, for CornerAt.
    const QString text = "--text|Ab 测试|--size|18|--opaque|--color|#00FF00|--background|#00FF00|";
    const QString longest = QString(251, 'n') + ".bmp"; // the longest name a folder takes
    // The workload's failed files, a name refused, a hard link, a planted link, the workload.
    const std::pair<QString, QString> words[] = {
        {"@failures", "cannot read missing.bmp: \ncannot write locked/unwritable.bmp: \n"
            "cannot read bad.bmp: "},
        {"@refused", "x\uFFFD.bmp: the name is not valid UTF-8"},
        {"@warned", "warning: linked.bmp had other hard links, which keep the old picture"},
        {"@planted", "cannot write out/target.bmp: a symbolic link"},
        {"@all", "good.bmp|missing.bmp|good.bmp|locked/unwritable.bmp|bad.bmp|second.bmp"},
        {"@long", longest}, {"@huge", QString(20000, 'W')}};
    // clang-format on
    // sub/good.bmp: another file of that name, 3 GiB, nearly all of it past the picture.
    const QString fixture
        = "cd \"$0\" && mkdir out sub && mkfifo sub/fifo.bmp && ln -s target.bmp link.bmp && "
          "for f in sub/good.bmp target.bmp linked.bmp x\uFFFD.bmp $1; do cp good.bmp $f; done && "
          "truncate -s 3G sub/good.bmp && ln linked.bmp twin.bmp && ln -s ../bad.bmp "
          "out/target.bmp && ln -s ../nowhere.bmp out/linked.bmp";
    for (const Row &row : rows) {
        SCOPED_TRACE(row.args);
        QTemporaryDir dir;
        const BatchWorkload w(dir.path());
        QProcess::execute("sh", {"-c", fixture, dir.path(), longest});
        QString spelt = text + row.args + '\t' + row.err; // the arguments, and standard error
        for (const auto &[word, meaning] : words)
            spelt.replace(word, meaning);
        const QStringList args = spelt.section('\t', 0, 0).split('|');
        const QByteArray input
            = QByteArray(row.input).replace('|', args.contains("--null") ? '\0' : '\n');
        testbmp::WriteFile(dir.filePath("sub/list"), testbmp::Bytes(input.begin(), input.end()));
        const auto pristine = w.Files({"", "locked/", "out/"});
        const ToolRun r = RunStamp(args, dir.path(), input);
        EXPECT_EQ(r.code, row.code) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(row.out)) << r.out.toStdString();

        const QStringList lines = spelt.section('\t', 1).split('\n', Qt::SkipEmptyParts);
        const bool usage = !lines.empty() && lines[0].startsWith('!');
        EXPECT_EQ(r.err.count('\n'), lines.size() + usage) << r.err.toStdString();
        EXPECT_EQ(r.err.contains("\nTry 'velmora-stamp --help'.\n"), usage);
        for (const QString &line : lines)
            EXPECT_TRUE(r.err.contains("velmora-stamp: " + line.mid(usage))) << line.toStdString();

        const auto now = w.Files({"", "locked/", "out/"});
        QStringList changed;
        for (const auto &[name, bytes] : now)
            if (!pristine.count(name) || pristine.at(name) != bytes) {
                changed << QString::fromStdString(name);
                EXPECT_EQ(testbmp::U16At(bytes, 28), row.depth) << name;
                EXPECT_TRUE(!row.x || CornerAt(bytes, row.x, row.y)) << name;
            }
        EXPECT_EQ(changed.join(' ').replace(longest, "@long").toStdString(), row.changed);
        for (const auto &[name, bytes] : pristine)
            EXPECT_TRUE(now.count(name)) << name << " is gone";
    }
    rusage usage {}; // the largest peak memory of any run, in KiB
    getrusage(RUSAGE_CHILDREN, &usage);
    EXPECT_LT(usage.ru_maxrss, 384 * 1024);
}

#include "image/dib_image.h"
#include "overlay/compose_text.h"
#include "overlay/text_options.h"
#include "support/bmp_builder.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 120, kHeight = 60;

COLORREF PictureColor(int x, int y)
{
    return RGB(30 + x % 200, 50 + y % 150, 90);
}

// A 24-bit picture whose every pixel is far from black, white and pure red.
testbmp::Bytes PictureFile()
{
    std::vector<std::vector<std::uint32_t>> rows(kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const COLORREF c = PictureColor(x, y);
            rows[y].push_back((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
        }
    testbmp::BmpSpec spec;
    spec.width = kWidth;
    spec.height = kHeight;
    spec.pixels = testbmp::PackRows(24, rows);
    return testbmp::BuildBmp(spec);
}

struct StampRun
{
    int exitCode = -1;
    QString stderrText;
};

StampRun Stamp(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(VELMORA_STAMP_PATH), args);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

Surface Drawn(const QString &path)
{
    DibImage image;
    if (!image.Load(path))
        return {};
    Surface s(image.GetWidth(), image.GetHeight());
    image.Draw(s);
    return s;
}

} // namespace

TEST(StampText, TextLandsInItsBoxAndNowhereElse)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("p.bmp"));
    testbmp::WriteFile(file, PictureFile());
    const QStringList textArgs
        = {QStringLiteral("--text"), QString::fromUtf8("Hi 水印"), QStringLiteral("--size"),
           QStringLiteral("22"),     QStringLiteral("--color"),    QStringLiteral("#FF0000"),
           QStringLiteral("--x"),    QStringLiteral("-4"),         QStringLiteral("--y=30"),
           QStringLiteral("--bold")};
    const StampRun run = Stamp(textArgs + QStringList {file});
    ASSERT_EQ(run.exitCode, 0) << run.stderrText.toStdString();

    // The box the tool must have used, measured here with the same options.
    QStringList args = textArgs;
    TextStyle style;
    QString error;
    ASSERT_TRUE(TakeTextOptions(args, style, error));
    const Surface out = Drawn(file);
    ASSERT_EQ(out.Width(), kWidth);
    const SIZE box = MeasureText(out, style);
    ASSERT_GT(box.cx, 0);
    int red = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool inside = x >= -4 && x < -4 + box.cx && y >= 30 && y < 30 + box.cy;
            if (!inside) {
                ASSERT_EQ(out.GetPixel(x, y), PictureColor(x, y)) << x << "," << y;
            }
            red += out.GetPixel(x, y) == RGB(255, 0, 0);
        }
    EXPECT_GT(red, 10);
}

TEST(StampText, InvisibleTextAndDefaultsKeepThePictureApartFromTheDefaultLine)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("p.bmp"));
    testbmp::WriteFile(file, PictureFile());
    ASSERT_EQ(
        Stamp({QStringLiteral("--opaque"), QStringLiteral("--alpha"), QStringLiteral("0"), file})
            .exitCode,
        0);
    Surface out = Drawn(file);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(out.GetPixel(x, y), PictureColor(x, y)) << x << "," << y;

    // No options: a new style's "quon" in black at the top-left corner.
    ASSERT_EQ(Stamp({file}).exitCode, 0);
    out = Drawn(file);
    const SIZE box = MeasureText(out, TextStyle());
    int black = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            if (x >= box.cx || y >= box.cy) {
                ASSERT_EQ(out.GetPixel(x, y), PictureColor(x, y)) << x << "," << y;
            }
            black += out.GetPixel(x, y) == RGB(0, 0, 0);
        }
    EXPECT_GT(black, 0);
}

TEST(StampText, BadValuesAreUsageErrorsBeforeAnyFileIsTouched)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("p.bmp"));
    const QString outDir = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(outDir);
    const testbmp::Bytes original = PictureFile();
    testbmp::WriteFile(file, original);
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{QStringLiteral("--alpha"), QStringLiteral("300")}, QStringLiteral("--alpha")},
        {{QStringLiteral("--color"), QStringLiteral("#12G456")}, QStringLiteral("--color")},
        {{QStringLiteral("--background"), QStringLiteral("white")}, QStringLiteral("--background")},
        {{QStringLiteral("--font"), QString()}, QStringLiteral("--font")},
        {{QStringLiteral("--size"), QStringLiteral("-3")}, QStringLiteral("--size")},
        {{QStringLiteral("--x"), QStringLiteral("left")}, QStringLiteral("--x")},
    };
    for (const auto &[bad, name] : cases) {
        for (const QString &target : {QString(), outDir}) {
            QStringList args = bad;
            if (!target.isEmpty())
                args << QStringLiteral("--output-dir") << target;
            const StampRun run = Stamp(args << file);
            EXPECT_EQ(run.exitCode, 2) << bad.join(' ').toStdString();
            EXPECT_TRUE(run.stderrText.contains(name)) << run.stderrText.toStdString();
            EXPECT_EQ(testbmp::ReadFile(file), original);
            EXPECT_TRUE(QDir(outDir).isEmpty());
        }
    }
    // The option with no value at the end of the line.
    const StampRun run = Stamp({file, QStringLiteral("--text")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.stderrText.contains(QStringLiteral("--text needs a value")));
    EXPECT_EQ(testbmp::ReadFile(file), original);
}

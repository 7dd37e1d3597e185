#include "image/dib_image.h"
#include "overlay/compose_text.h"
#include "overlay/text_options.h"
#include "run_stamp.h"
#include "support/bmp_builder.h"

#include <QDir>
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
    return testbmp::Picture24(kWidth, kHeight, [](int x, int y) {
        return std::uint32_t(30 + x % 200) << 16 | std::uint32_t(50 + y % 150) << 8 | 90;
    });
}

QStringList Args(const char *joined)
{
    return QString::fromUtf8(joined).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

} // namespace

TEST(StampText, TextLandsInItsBoxAndNowhereElse)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("p.bmp"));
    struct Case
    {
        const char *args;
        COLORREF ink;
        bool visible;
    };
    for (const Case &c : {Case {"--text|Hi 水印|--size|22|--color|#FF0000|--x|-4|--y=30|--bold",
                                RGB(255, 0, 0), true},
                          Case {"", RGB(0, 0, 0), true}, // a new style's "quon" at the corner
                          Case {"--opaque|--alpha|0", RGB(0, 0, 0), false}}) {
        SCOPED_TRACE(c.args);
        testbmp::WriteFile(file, PictureFile());
        const auto [code, printed, err] = RunStamp(Args(c.args) << file);
        ASSERT_EQ(code, 0) << err.toStdString();

        // The box the tool must have used, measured here with the same options.
        QStringList args = Args(c.args);
        TextStyle style;
        QString error;
        ASSERT_TRUE(TakeTextOptions(args, style, error));
        DibImage image;
        ASSERT_TRUE(image.Load(file));
        Surface out(image.GetWidth(), image.GetHeight());
        ASSERT_EQ(out.Width(), kWidth);
        image.Draw(out);
        const SIZE box = MeasureText(out, style);
        int ink = 0, changed = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const bool inside
                    = x >= style.x && x < style.x + box.cx && y >= style.y && y < style.y + box.cy;
                const bool same = out.GetPixel(x, y) == PictureColor(x, y);
                ASSERT_TRUE(inside || same) << x << "," << y;
                changed += !same;
                ink += out.GetPixel(x, y) == c.ink;
            }
        EXPECT_EQ(ink > 0, c.visible);
        EXPECT_EQ(changed > 0, c.visible);
    }
}

TEST(StampText, BadValuesAreUsageErrorsBeforeAnyFileIsTouched)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("p.bmp"));
    const QString outDir = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(outDir);
    const testbmp::Bytes original = PictureFile();
    testbmp::WriteFile(file, original);
    struct Case
    {
        const char *args, *message;
    };
    for (const Case &c :
         {Case {"--alpha|300", "--alpha"}, Case {"--color|#12G456", "--color"},
          Case {"--output-dir|OUT|--background|white", "--background"}, Case {"--font||", "--font"},
          Case {"--output-dir|OUT|--size|-3", "--size"}, Case {"--x|left", "--x"},
          Case {"FILE|--text", "--text needs a value"}, Case {"--anchor|middle", "--anchor"},
          Case {"--anchor|9", "--anchor"}, Case {"--jobs|0", "--jobs"},
          Case {"--margin|-1", "--margin"}, Case {"FILE|--jobs", "--jobs"},
          Case {"--output-dir|OUT|--anchor|0", "in place"}}) {
        QStringList args = Args(c.args);
        if (args.size() == 1) // "--font" with an empty value
            args << QString();
        args.replaceInStrings(QStringLiteral("OUT"), outDir);
        if (!args.contains(QStringLiteral("FILE")))
            args << file;
        args.replaceInStrings(QStringLiteral("FILE"), file);
        const auto [code, printed, err] = RunStamp(args);
        EXPECT_EQ(code, 2) << c.args;
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.message))) << err.toStdString();
        EXPECT_EQ(testbmp::ReadFile(file), original);
        EXPECT_TRUE(QDir(outDir).isEmpty());
    }
}

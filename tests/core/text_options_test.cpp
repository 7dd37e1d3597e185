#include "overlay/text_options.h"

#include "platform/gdi_font.h"

#include <gtest/gtest.h>

namespace {

// Arguments written as one string, split at '|'.
QStringList Args(const char *joined)
{
    return QString::fromUtf8(joined).split(QLatin1Char('|'));
}

} // namespace

TEST(TextOptions, EveryOptionSetsItsFieldAndOtherArgumentsStay)
{
    QStringList args = Args("in.bmp|--text|水印 x|--font|DejaVu Sans|--size|48|--weight=600|"
                            "--italic|--underline|--strikeout|--color|#FF8000|"
                            "--background=#00ff7f|--opaque|--alpha|0|--x|-12|--y|2147483647|"
                            "--jobs|2|out.bmp");
    TextStyle style;
    QString error;
    ASSERT_TRUE(TakeTextOptions(args, style, error)) << error.toStdString();
    EXPECT_EQ(args, Args("in.bmp|--jobs|2|out.bmp"));
    EXPECT_EQ(style.text, QString::fromUtf8("水印 x"));
    EXPECT_EQ(FaceName(style.font), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(style.font.lfHeight, -48);
    EXPECT_EQ(style.font.lfWeight, 600);
    EXPECT_EQ(style.font.lfItalic + style.font.lfUnderline + style.font.lfStrikeOut, 3);
    EXPECT_EQ(style.textColor, RGB(0xFF, 0x80, 0x00));
    EXPECT_EQ(style.bkColor, RGB(0x00, 0xFF, 0x7F));
    EXPECT_EQ(style.bgTransparent, 0);
    EXPECT_EQ(style.alpha, 0);
    EXPECT_EQ(style.x, -12);
    EXPECT_EQ(style.y, 2147483647);

    args = Args("--bold|--|--italic");
    TextStyle other;
    ASSERT_TRUE(TakeTextOptions(args, other, error));
    EXPECT_EQ(other.font.lfWeight, FW_BOLD);
    EXPECT_EQ(other.font.lfItalic, 0) << "after -- nothing is an option";
    EXPECT_EQ(args, Args("--|--italic"));
}

TEST(TextOptions, BadValuesAreRefusedWithTheOptionNamed)
{
    for (const char *bad : {"--alpha|300", "--alpha|-1", "--alpha|12abc", "--color|red",
                            "--color|#12345", "--color|#12345G", "--background|#+12345", "--font|",
                            "--font|abcdefghijklmnopqrstuvwxyz0123456", "--size|0", "--size|100000",
                            "--weight|1001", "--x|2147483648", "--y|", "--text", "--bold=yes"}) {
        QStringList args = Args(bad);
        const QString name = args.first().section(QLatin1Char('='), 0, 0);
        TextStyle style;
        QString error;
        EXPECT_FALSE(TakeTextOptions(args, style, error)) << bad;
        EXPECT_TRUE(error.contains(name)) << error.toStdString();
    }
}

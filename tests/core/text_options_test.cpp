#include "overlay/text_options.h"

#include "platform/gdi_font.h"

#include <gtest/gtest.h>

namespace {

QStringList Args(std::initializer_list<const char *> list)
{
    QStringList args;
    for (const char *a : list)
        args << QString::fromUtf8(a);
    return args;
}

} // namespace

TEST(TextOptions, EveryOptionSetsItsFieldAndOtherArgumentsStay)
{
    QStringList args = Args({"in.bmp",      "--text",
                             "水印 x",      "--font",
                             "DejaVu Sans", "--size",
                             "48",          "--weight=600",
                             "--italic",    "--underline",
                             "--strikeout", "--color",
                             "#FF8000",     "--background=#00ff7f",
                             "--opaque",    "--alpha",
                             "0",           "--x",
                             "-12",         "--y",
                             "2147483647",  "--jobs",
                             "2",           "out.bmp"});
    TextStyle style;
    QString error;
    ASSERT_TRUE(TakeTextOptions(args, style, error)) << error.toStdString();
    EXPECT_EQ(args, Args({"in.bmp", "--jobs", "2", "out.bmp"}));
    EXPECT_EQ(style.text, QString::fromUtf8("水印 x"));
    EXPECT_EQ(FaceName(style.font), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(style.font.lfHeight, -48);
    EXPECT_EQ(style.font.lfWeight, 600);
    EXPECT_EQ(style.font.lfItalic, 1);
    EXPECT_EQ(style.font.lfUnderline, 1);
    EXPECT_EQ(style.font.lfStrikeOut, 1);
    EXPECT_EQ(style.textColor, RGB(0xFF, 0x80, 0x00));
    EXPECT_EQ(style.bkColor, RGB(0x00, 0xFF, 0x7F));
    EXPECT_EQ(style.bgTransparent, 0);
    EXPECT_EQ(style.alpha, 0);
    EXPECT_EQ(style.x, -12);
    EXPECT_EQ(style.y, 2147483647);

    args = Args({"--bold", "--", "--italic"});
    TextStyle other;
    ASSERT_TRUE(TakeTextOptions(args, other, error));
    EXPECT_EQ(other.font.lfWeight, FW_BOLD);
    EXPECT_EQ(other.font.lfItalic, 0) << "after -- nothing is an option";
    EXPECT_EQ(args, Args({"--", "--italic"}));
}

TEST(TextOptions, BadValuesAreRefusedWithTheOptionNamed)
{
    const std::vector<std::pair<QStringList, const char *>> cases = {
        {Args({"--alpha", "300"}), "--alpha"},
        {Args({"--alpha", "-1"}), "--alpha"},
        {Args({"--alpha", "12abc"}), "--alpha"},
        {Args({"--color", "red"}), "--color"},
        {Args({"--color", "#12345"}), "--color"},
        {Args({"--color", "#12345G"}), "--color"},
        {Args({"--background", "#+12345"}), "--background"},
        {Args({"--font", ""}), "--font"},
        {Args({"--font", "abcdefghijklmnopqrstuvwxyz0123456"}), "--font"},
        {Args({"--size", "0"}), "--size"},
        {Args({"--size", "100000"}), "--size"},
        {Args({"--weight", "1001"}), "--weight"},
        {Args({"--x", "2147483648"}), "--x"},
        {Args({"--y", ""}), "--y"},
        {Args({"--text"}), "--text"},
        {Args({"--bold=yes"}), "--bold"},
    };
    for (const auto &[input, name] : cases) {
        QStringList args = input;
        TextStyle style;
        QString error;
        EXPECT_FALSE(TakeTextOptions(args, style, error)) << input.join(' ').toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(name))) << error.toStdString();
    }
}

#include "platform/gdi_font.h"
#include "platform/gdi_text.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

TEST(GdiFont, HeightWeightStylesAndQualityBecomeTheFont)
{
    LOGFONT lf;
    QFont font = FontFromLogFont(lf);
    EXPECT_EQ(font.pixelSize(), 16);
    EXPECT_EQ(font.weight(), QFont::Normal);
    EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut());
    EXPECT_EQ(font.families(), QStringList {kFallbackFamily});

    lf.lfHeight = -30;
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = lf.lfUnderline = lf.lfStrikeOut = 1;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    SetFaceName(lf, QStringLiteral("DejaVu Sans"));
    font = FontFromLogFont(lf);
    EXPECT_EQ(font.pixelSize(), 30);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_TRUE(font.italic() && font.underline() && font.strikeOut());
    EXPECT_TRUE(font.styleStrategy() & QFont::NoAntialias);
    EXPECT_EQ(font.families(), (QStringList {QStringLiteral("DejaVu Sans"), kFallbackFamily}));

    lf.lfHeight = -1000000; // far beyond any picture: bounded
    EXPECT_EQ(FontFromLogFont(lf).pixelSize(), kMaxPixelSize);
    lf.lfHeight = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(FontFromLogFont(lf).pixelSize(), kMaxPixelSize);
}

TEST(GdiFont, PositiveHeightIsTheLargestCellThatFits)
{
    auto cellOf = [](QFont font, int pixelSize) {
        font.setPixelSize(pixelSize);
        const QFontMetrics metrics(font);
        return metrics.ascent() + metrics.descent();
    };
    const QFont plain = FontFromLogFont(LOGFONT {});
    const int exact = cellOf(plain, 25); // a cell some size fills exactly
    // 1: no size fits, so the smallest is taken.
    for (int cell : {1, 12, 40, 97, exact}) {
        LOGFONT lf;
        lf.lfHeight = cell;
        const int size = FontFromLogFont(lf).pixelSize();
        EXPECT_TRUE(cellOf(plain, size) <= cell || size == 1) << cell;
        EXPECT_GT(cellOf(plain, size + 1), cell) << cell;
        if (cell == exact) {
            EXPECT_EQ(cellOf(plain, size), exact);
        }
    }
}

TEST(GdiFont, RoundTripKeepsEveryFieldAndTakesChangesFromTheFont)
{
    // A cell height (33): QFont only knows the pixel size it became.
    LOGFONT lf {33, 7, 900, 900, 0, 0, 0, 0, 134, 3, 2, ANTIALIASED_QUALITY, 0x22, ""};
    EXPECT_EQ(LogFontFromFont(FontFromLogFont(lf), lf), lf);
    SetFaceName(lf, QStringLiteral("DejaVu Serif"));
    lf.lfItalic = 1;
    EXPECT_EQ(LogFontFromFont(FontFromLogFont(lf), lf), lf);

    QFont changed = FontFromLogFont(lf);
    changed.setPixelSize(20);
    changed.setWeight(QFont::Bold);
    changed.setItalic(false);
    changed.setUnderline(true);
    changed.setStyleStrategy(QFont::NoAntialias);
    changed.setFamilies({QStringLiteral("DejaVu Sans Mono")});
    LOGFONT expected = lf;
    expected.lfHeight = -20;
    expected.lfWeight = 700;
    expected.lfItalic = 0;
    expected.lfUnderline = 1;
    expected.lfQuality = NONANTIALIASED_QUALITY;
    SetFaceName(expected, QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(LogFontFromFont(changed, lf), expected);

    QFont points(QStringLiteral("DejaVu Sans"));
    points.setPointSize(12); // 16 pixels at 96 dots per inch
    EXPECT_EQ(LogFontFromFont(points).lfHeight, 0) << "16 pixels is what height 0 gives";
    points.setPointSize(24);
    EXPECT_EQ(LogFontFromFont(points).lfHeight, -32);
}

TEST(GdiFont, FaceNameIsCutAtACharacterBoundary)
{
    LOGFONT lf;
    const QString eleven = QString::fromUtf8("文泉驿微米黑文泉驿微米"); // 33 bytes
    SetFaceName(lf, eleven);
    EXPECT_EQ(std::strlen(lf.lfFaceName), 30u);
    EXPECT_EQ(FaceName(lf), eleven.left(10));
    SetFaceName(lf, QStringLiteral("A"));
    EXPECT_EQ(FaceName(lf), QStringLiteral("A"));
    EXPECT_EQ(lf.lfFaceName[2], 0);
}

TEST(GdiText, ExtentAndOpaqueBoxAtEveryDepth)
{
    for (int bits : {16, 24, 32}) {
        SCOPED_TRACE(bits);
        Surface s(80, 40, bits);
        s.FillSolidRect(0, 0, 80, 40, RGB(0, 0, 255));
        LOGFONT lf;
        lf.lfHeight = -20;
        lf.lfQuality = NONANTIALIASED_QUALITY;
        s.SelectFont(lf);
        const SIZE extent = GetTextExtentPoint32(s, QStringLiteral("Wq"));
        EXPECT_GT(extent.cx, 0);
        EXPECT_GE(extent.cy, 20);
        EXPECT_EQ(GetTextExtentPoint32(s, QString()).cx, 0);
        EXPECT_EQ(GetTextExtentPoint32(s, QString()).cy, extent.cy);

        s.SetBkMode(OPAQUE);
        s.SetBkColor(RGB(255, 255, 255));
        s.SetTextColor(RGB(0, 0, 0));
        TextOut(s, 5, 3, QStringLiteral("Wq"));
        int black = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 80; ++x) {
                const bool inside = x >= 5 && x < 5 + extent.cx && y >= 3 && y < 3 + extent.cy;
                const COLORREF c = s.GetPixel(x, y);
                if (!inside) {
                    ASSERT_EQ(c, RGB(0, 0, 255)) << x << "," << y;
                } else {
                    ASSERT_TRUE(c == RGB(255, 255, 255) || c == RGB(0, 0, 0)) << x << "," << y;
                    black += c == RGB(0, 0, 0);
                }
                if (bits == 32) {
                    ASSERT_EQ(s.Row(y)[x * 4 + 3], 0) << "unused byte at " << x << "," << y;
                }
            }
        EXPECT_GT(black, 0);
        // The glyphs are where Qt itself puts them, drawn on a plain image at the baseline.
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPixelSize(20);
        font.setStyleStrategy(QFont::NoAntialias);
        QImage plain(80, 40, QImage::Format_RGB32);
        plain.fill(Qt::white);
        QPainter painter(&plain);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(5, 3 + QFontMetrics(font).ascent(), QStringLiteral("Wq"));
        painter.end();
        for (int y = 3; y < 3 + extent.cy; ++y)
            for (int x = 5; x < 5 + extent.cx; ++x)
                ASSERT_EQ(s.GetPixel(x, y) == RGB(0, 0, 0), plain.pixel(x, y) == qRgb(0, 0, 0))
                    << x << "," << y;
    }
}

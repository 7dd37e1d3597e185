#include "platform/gdi_font.h"
#include "platform/gdi_text.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

auto Traits(const QFont &f)
{
    return std::tuple(f.pixelSize(), f.weight(), f.italic(), f.underline(), f.strikeOut(),
                      bool(f.styleStrategy() & QFont::NoAntialias), f.families());
}

} // namespace

TEST(GdiFont, HeightWeightStylesQualityAndFaceBecomeTheFont)
{
    EXPECT_EQ(
        Traits(FontFromLogFont({})),
        std::tuple(16, QFont::Normal, false, false, false, false, QStringList {kFallbackFamily}));
    const LOGFONT lf {-30, 0, 0, 0, FW_BOLD, 1, 1, 1, 0, 0, 0, NONANTIALIASED_QUALITY, 0, "Serif"};
    EXPECT_EQ(Traits(FontFromLogFont(lf)),
              std::tuple(30, QFont::Bold, true, true, true, true,
                         QStringList {"Serif", kFallbackFamily}));
    // Far beyond any picture: bounded.
    EXPECT_EQ(FontFromLogFont({.lfHeight = INT32_MIN}).pixelSize(), kMaxPixelSize);
    // A positive height is the largest cell that fits: none fits 1, so the smallest size; a
    // cell that some size fills exactly gets that size.
    const auto cellOf = [](int size) {
        return QFontMetrics(FontFromLogFont({-size})).height();
    };
    for (int cell : {1, 40, cellOf(25)}) {
        const int size = FontFromLogFont({cell}).pixelSize();
        EXPECT_TRUE((cellOf(size) <= cell || size == 1) && cellOf(size + 1) > cell) << cell;
    }
}

TEST(GdiFont, RecordSurvivesItsFontAndTakesWhatTheFontChanged)
{
    // Fields a QFont has no place for come back from the base record; a face name is cut at a
    // character boundary, and a shorter one leaves none of the longer one behind.
    LOGFONT lf {-33, 7, 900, 900, 0, 1, 0, 0, 134, 3, 2, ANTIALIASED_QUALITY, 0x22};
    const QString eleven = QString::fromUtf8("文泉驿微米黑文泉驿微米"); // 33 bytes
    SetFaceName(lf, eleven);
    EXPECT_EQ(FaceName(lf), eleven.left(10));
    SetFaceName(lf, QString(31, 'a')); // the longest that fits, kept whole
    EXPECT_EQ(FaceName(lf), QString(31, 'a'));
    SetFaceName(lf, eleven);
    EXPECT_EQ(LogFontFromFont(FontFromLogFont(lf), lf), lf);
    QFont changed(QStringLiteral("Monospace"), -1, QFont::Bold);
    changed.setPixelSize(20);
    changed.setUnderline(true);
    changed.setStyleStrategy(QFont::NoAntialias);
    EXPECT_EQ(LogFontFromFont(changed, lf),
              LOGFONT({-20, 7, 900, 900, 700, 0, 1, 0, 134, 3, 2, 3, 0x22, "Monospace"}));
    // Points at 96 dots per inch.
    EXPECT_EQ(LogFontFromFont(QFont(QStringLiteral("Serif"), 24)).lfHeight, -32);
}

TEST(GdiText, ExtentOpaqueBoxAndGlyphsAreWhereQtPutsThemAtEveryDepth)
{
    // The same text drawn by QPainter on a plain image: its cell filled, glyphs at the baseline.
    QFont font(kFallbackFamily);
    font.setPixelSize(20);
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    const QString text = QStringLiteral("Wq");
    const QRect cell(5, 3, metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent());
    QImage plain(80, 40, QImage::Format_RGB32);
    plain.fill(Qt::blue);
    QPainter painter(&plain);
    painter.fillRect(cell, Qt::white);
    painter.setFont(font);
    painter.drawText(5, 3 + metrics.ascent(), text);
    painter.end();
    for (int bits : {16, 24, 32}) {
        SCOPED_TRACE(bits);
        Surface s(80, 40, bits); // black text on white, opaque, unless set otherwise
        s.FillSolidRect(0, 0, 80, 40, RGB(0, 0, 255));
        s.SelectFont({.lfHeight = -20, .lfQuality = NONANTIALIASED_QUALITY});
        EXPECT_EQ(GetTextExtentPoint32(s, text), (SIZE {cell.width(), cell.height()}));
        EXPECT_EQ(GetTextExtentPoint32(s, QString()), (SIZE {0, cell.height()}));
        TextOut(s, 5, 3, text);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 80; ++x) {
                const QRgb p = plain.pixel(x, y);
                ASSERT_EQ(s.GetPixel(x, y), RGB(qRed(p), qGreen(p), qBlue(p))) << x << "," << y;
                ASSERT_TRUE(bits != 32 || s.Row(y)[x * 4 + 3] == 0)
                    << "unused byte " << x << "," << y;
            }
    }
}

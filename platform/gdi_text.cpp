#include "gdi_text.h"

#include "clip_rect.h"
#include "colorref_qcolor.h"
#include "gdi_font.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <limits>

namespace {

// QPainter stores 0xFF in the fourth byte of the 32-bit pixels it paints; the surface keeps
// that byte 0, so a written file has the same bytes whether text was drawn or not.
void ClearUnusedBytes(Surface &surface, int x, int y, int w, int h)
{
    if (surface.BitsPerPixel() != 32)
        return;
    int sx = 0, sy = 0;
    if (!ClipCopy(x, y, w, h, sx, sy, surface.Width(), surface.Height(),
                  std::numeric_limits<int>::max(), std::numeric_limits<int>::max()))
        return;
    for (int row = y; row < y + h; ++row) {
        std::uint8_t *p = surface.Row(row) + std::size_t(x) * 4;
        for (int col = 0; col < w; ++col)
            p[std::size_t(col) * 4 + 3] = 0;
    }
}

} // namespace

SIZE GetTextExtentPoint32(const Surface &surface, const QString &text)
{
    const QFontMetrics metrics(FontFromLogFont(surface.GetFont()));
    return {metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent()};
}

bool TextExtentFits(const Surface &surface, const QString &text)
{
    constexpr long long kMaxTextExtent = 1LL << 24;
    const QFontMetrics metrics(FontFromLogFont(surface.GetFont()));
    // No character is wider than twice the larger of the face's widest glyph and its height,
    // fallback faces included.
    const long long widest = 2LL * std::max(metrics.maxWidth(), metrics.height());
    return (long long)text.size() * widest <= kMaxTextExtent;
}

void TextOut(Surface &surface, int x, int y, const QString &text)
{
    if (surface.IsNull())
        return;
    const QFont font = FontFromLogFont(surface.GetFont());
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(text);
    const int height = metrics.ascent() + metrics.descent();

    QImage image = surface.WrapAsImage();
    {
        QPainter painter(&image);
        if (surface.GetBkMode() == OPAQUE)
            painter.fillRect(x, y, width, height, ToQColor(surface.GetBkColor()));
        painter.setFont(font);
        painter.setPen(ToQColor(surface.GetTextColor()));
        painter.drawText(x, y + metrics.ascent(), text);
    }
    // Glyphs may reach past their cell (italics, accents); antialiasing adds a pixel around.
    const QRect painted
        = QRect(x, y, width, height)
              .united(metrics.boundingRect(text).translated(x, y + metrics.ascent()))
              .adjusted(-1, -1, 1, 1);
    ClearUnusedBytes(surface, painted.x(), painted.y(), painted.width(), painted.height());
}

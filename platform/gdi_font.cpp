#include "gdi_font.h"

#include <QFontMetrics>
#include <QStringList>

#include <algorithm>
#include <cstring>

namespace {

int CellHeight(QFont font, int pixelSize)
{
    font.setPixelSize(pixelSize);
    const QFontMetrics metrics(font);
    return metrics.ascent() + metrics.descent();
}

// The largest pixel size whose cell (ascent plus descent) is at most cellHeight; at least 1.
int PixelSizeForCell(const QFont &font, int cellHeight)
{
    const int target = std::min(cellHeight, kMaxPixelSize);
    const int cell = CellHeight(font, target);
    int size = cell > 0 ? int((long long)target * target / cell) : target;
    size = std::clamp(size, 1, kMaxPixelSize);
    // The first guess is off by a pixel or two through rounding of the metrics.
    for (int i = 0; i < 8 && size > 1 && CellHeight(font, size) > target; ++i)
        --size;
    for (int i = 0; i < 8 && size < kMaxPixelSize && CellHeight(font, size + 1) <= target; ++i)
        ++size;
    return size;
}

QFont::StyleStrategy StrategyFor(std::uint8_t quality)
{
    switch (quality) {
    case NONANTIALIASED_QUALITY:
        return QFont::NoAntialias;
    case ANTIALIASED_QUALITY:
        return QFont::PreferAntialias;
    default:
        return QFont::PreferDefault;
    }
}

int WeightFor(std::int32_t weight)
{
    return weight <= 0 ? FW_NORMAL : std::min(weight, 1000);
}

} // namespace

QFont FontFromLogFont(const LOGFONT &record)
{
    QFont font;
    const QString face = FaceName(record);
    if (face.isEmpty())
        font.setFamilies({kFallbackFamily});
    else
        font.setFamilies({face, kFallbackFamily});
    font.setWeight(QFont::Weight(WeightFor(record.lfWeight)));
    font.setItalic(record.lfItalic != 0);
    font.setUnderline(record.lfUnderline != 0);
    font.setStrikeOut(record.lfStrikeOut != 0);
    font.setStyleStrategy(StrategyFor(record.lfQuality));
    font.setKerning(true);

    if (record.lfHeight < 0)
        font.setPixelSize(int(std::min<long long>(-(long long)record.lfHeight, kMaxPixelSize)));
    else if (record.lfHeight > 0)
        font.setPixelSize(PixelSizeForCell(font, record.lfHeight));
    else
        font.setPixelSize(kDefaultPixelSize);
    return font;
}

LOGFONT LogFontFromFont(const QFont &font, const LOGFONT &base)
{
    LOGFONT record = base;
    const QFont fromBase = FontFromLogFont(base);

    int pixelSize = font.pixelSize();
    if (pixelSize <= 0) // given in points: at the 96 dots per inch the surfaces are drawn at
        pixelSize = std::max(1, int(font.pointSizeF() * 96.0 / 72.0 + 0.5));
    if (pixelSize != fromBase.pixelSize())
        record.lfHeight = -pixelSize;

    if (font.weight() != fromBase.weight())
        record.lfWeight = font.weight();
    if (font.italic() != fromBase.italic())
        record.lfItalic = font.italic() ? 1 : 0;
    if (font.underline() != fromBase.underline())
        record.lfUnderline = font.underline() ? 1 : 0;
    if (font.strikeOut() != fromBase.strikeOut())
        record.lfStrikeOut = font.strikeOut() ? 1 : 0;

    const QFont::StyleStrategy strategy = font.styleStrategy();
    if ((strategy & QFont::NoAntialias) != (fromBase.styleStrategy() & QFont::NoAntialias)
        || (strategy & QFont::PreferAntialias)
            != (fromBase.styleStrategy() & QFont::PreferAntialias)) {
        record.lfQuality = (strategy & QFont::NoAntialias) ? NONANTIALIASED_QUALITY
            : (strategy & QFont::PreferAntialias)          ? ANTIALIASED_QUALITY
                                                           : DEFAULT_QUALITY;
    }

    const QStringList families
        = font.families().isEmpty() ? QStringList {font.family()} : font.families();
    if (families.value(0) != fromBase.families().value(0))
        SetFaceName(record, families.value(0));
    return record;
}

void SetFaceName(LOGFONT &record, const QString &face)
{
    const QByteArray utf8 = face.toUtf8();
    qsizetype length = std::min<qsizetype>(utf8.size(), sizeof record.lfFaceName - 1);
    // Step back over continuation bytes so no character is cut in two.
    if (length < utf8.size())
        while (length > 0 && (std::uint8_t(utf8[length]) & 0xC0) == 0x80)
            --length;
    std::memset(record.lfFaceName, 0, sizeof record.lfFaceName);
    std::memcpy(record.lfFaceName, utf8.constData(), std::size_t(length));
}

QString FaceName(const LOGFONT &record)
{
    return QString::fromUtf8(record.lfFaceName,
                             qsizetype(strnlen(record.lfFaceName, sizeof record.lfFaceName)));
}

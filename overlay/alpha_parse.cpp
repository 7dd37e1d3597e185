#include "alpha_parse.h"

#include <algorithm>
#include <limits>

namespace {

constexpr qsizetype kExaminedLength = 31;

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

std::optional<std::int32_t> ParseAlphaText(const QString &fullText)
{
    const QString text = fullText.left(kExaminedLength);
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    const bool leadingZero = i < n && text[i] == u'0';

    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate as a magnitude in 64 bits and stop growing once past the 32-bit range, so any
    // number of digits saturates instead of overflowing.
    constexpr std::int64_t kLimit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
    std::int64_t magnitude = 0;
    while (i < n && IsDigit(text[i])) {
        magnitude = std::min(kLimit, magnitude * 10 + (text[i].unicode() - u'0'));
        ++i;
    }
    while (i < n && IsBlank(text[i]))
        ++i;
    if (i != n)
        return std::nullopt;

    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue == 0 && !leadingZero)
        return std::nullopt;
    return std::int32_t(std::clamp<std::int64_t>(signedValue,
                                                 std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

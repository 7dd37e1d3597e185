#include "text_anchor.h"

#include <array>
#include <charconv>

namespace {

// Where the box sits along one side: at the low edge, in the middle, or at the high edge.
enum class Along { Low, Middle, High };

struct AnchorRow
{
    Along horizontal;
    Along vertical;
    std::string_view name;
};

constexpr std::array<AnchorRow, kTextAnchorCount> kRows = {{
    {Along::Middle, Along::Middle, "centre"},
    {Along::Middle, Along::Low, "top-centre"},
    {Along::Middle, Along::High, "bottom-centre"},
    {Along::Low, Along::Low, "top-left"},
    {Along::Low, Along::Middle, "middle-left"},
    {Along::Low, Along::High, "bottom-left"},
    {Along::High, Along::Low, "top-right"},
    {Along::High, Along::Middle, "middle-right"},
    {Along::High, Along::High, "bottom-right"},
}};

// 64-bit arithmetic: a side of 65,535 minus a box of any int32 size stays exact; the result
// is clamped into int32 for boxes that no picture could show anyway.
std::int32_t Place(Along along, std::int64_t side, std::int64_t box, std::int64_t margin)
{
    std::int64_t v = 0;
    switch (along) {
    case Along::Low:
        v = margin;
        break;
    case Along::Middle:
        v = (side - box) / 2; // C++ division truncates toward zero, as the table wants
        break;
    case Along::High:
        v = side - box - margin;
        break;
    }
    if (v < INT32_MIN)
        return INT32_MIN;
    if (v > INT32_MAX)
        return INT32_MAX;
    return std::int32_t(v);
}

} // namespace

std::optional<TextAnchor> TextAnchorFromIndex(int index)
{
    if (index < 0 || index >= kTextAnchorCount)
        return std::nullopt;
    return TextAnchor(index);
}

POINT AnchorPosition(TextAnchor anchor, std::int32_t width, std::int32_t height, std::int32_t cx,
                     std::int32_t cy, std::int32_t margin)
{
    const AnchorRow &row = kRows[std::size_t(anchor)];
    return {Place(row.horizontal, width, cx, margin), Place(row.vertical, height, cy, margin)};
}

std::optional<TextAnchor> ParseTextAnchor(std::string_view text)
{
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (kRows[i].name == text)
            return TextAnchor(i);
    }
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return TextAnchorFromIndex(value);
}

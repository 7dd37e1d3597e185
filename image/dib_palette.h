#pragma once

#include <cstdint>
#include <vector>

// One entry of a logical palette, red, green, blue as the colour table gives them.
struct PaletteEntry
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t flags = 0;
    friend bool operator==(const PaletteEntry &, const PaletteEntry &) = default;
};

// The palette made from a picture's colour table, in table order.
class DibPalette
{
public:
    DibPalette() = default;
    explicit DibPalette(std::vector<PaletteEntry> entries)
        : m_entries(std::move(entries))
    { }
    bool IsEmpty() const { return m_entries.empty(); }
    int GetEntryCount() const { return int(m_entries.size()); }
    const std::vector<PaletteEntry> &Entries() const { return m_entries; }

private:
    std::vector<PaletteEntry> m_entries;
};

#pragma once

#include <cstdint>
#include <cstring>

// The font description the text calls take, field for field the record that the font dialog
// fills and the text style keeps. The face name is UTF-8, at most 31 bytes and NUL-terminated.
struct LOGFONT
{
    std::int32_t lfHeight = 0; // < 0: character height in pixels; > 0: cell height; 0: default
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 0; // 0: normal (400)
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    char lfFaceName[32] = {};

    friend bool operator==(const LOGFONT &a, const LOGFONT &b)
    {
        return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth
            && a.lfEscapement == b.lfEscapement && a.lfOrientation == b.lfOrientation
            && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic
            && a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut
            && a.lfCharSet == b.lfCharSet && a.lfOutPrecision == b.lfOutPrecision
            && a.lfClipPrecision == b.lfClipPrecision && a.lfQuality == b.lfQuality
            && a.lfPitchAndFamily == b.lfPitchAndFamily
            && std::strncmp(a.lfFaceName, b.lfFaceName, sizeof a.lfFaceName) == 0;
    }
};

constexpr std::int32_t FW_DONTCARE = 0;
constexpr std::int32_t FW_NORMAL = 400;
constexpr std::int32_t FW_BOLD = 700;

constexpr std::uint8_t DEFAULT_QUALITY = 0;
constexpr std::uint8_t NONANTIALIASED_QUALITY = 3;
constexpr std::uint8_t ANTIALIASED_QUALITY = 4;

#pragma once

#include "platform/surface.h"

#include <cstdint>
#include <optional>
#include <string_view>

// Where the batch run puts the text box on each picture; the value is also the item index of
// the dialog's anchor combo box.
enum class TextAnchor : std::int32_t {
    Centre = 0,
    TopCentre = 1,
    BottomCentre = 2,
    TopLeft = 3,
    MiddleLeft = 4,
    BottomLeft = 5,
    TopRight = 6,
    MiddleRight = 7,
    BottomRight = 8,
};

inline constexpr int kTextAnchorCount = 9;

// The anchor with this value, or nothing for a value outside 0..8.
std::optional<TextAnchor> TextAnchorFromIndex(int index);

// The top-left corner of a cx x cy text box on a width x height picture, in picture pixels.
// Halves truncate toward zero, and a box larger than the picture gets negative coordinates.
// margin keeps the box that many pixels away from the edges it touches (0: it touches them);
// centred directions ignore it.
POINT AnchorPosition(TextAnchor anchor, std::int32_t width, std::int32_t height, std::int32_t cx,
                     std::int32_t cy, std::int32_t margin = 0);

// A name of the command line (centre, top-centre, ... bottom-right) or a value 0..8 as an
// anchor; nothing for anything else.
std::optional<TextAnchor> ParseTextAnchor(std::string_view text);

#pragma once

#include "platform/surface.h"
#include "text_style.h"

#include <cstdint>

// Blends the style's text onto target with its box's top-left corner at (style.x, style.y),
// target coordinates being picture pixels. Measures the text and stores the size in
// style.cx, style.cy. Markers (corner squares, selection and drag outlines) are drawn only
// when markers is exactly 1. Only the text box (and the markers) are touched. False, with the
// target unchanged, when the text cannot be composed: too wide to draw, or no memory for the
// part of its box that lies on the target.
bool ComposeText(Surface &target, TextStyle &style, std::uint8_t markers);

// The text's extent (advance width, ascent plus descent) in the style's font; the style is not
// changed.
SIZE MeasureText(const Surface &surface, const TextStyle &style);

// The preview's composition: the same steps, with the box centred on target
// (px = W / 2 - w / 2, py = H / 2 - h / 2) and the size not stored. Returns the position used.
POINT ComposeTextCentred(Surface &target, const TextStyle &style);

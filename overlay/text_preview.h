#pragma once

#include "overlay/text_style.h"
#include "platform/surface.h"

// The text properties dialog's preview, drawn without widgets so it can be checked and timed.

// White, with black lines every 10 pixels across and down, starting at the top-left corner.
void DrawPreviewGrid(Surface &background);

// The whole preview on a surface of the preview box's size: the grid, then the style's text
// centred on it at the pixel size it has on the picture, blended with the style's opacity.
// Returns the top-left corner the text was placed at (negative when the text is larger than
// the box). The style's measured size is left alone.
POINT RenderPreview(Surface &background, const TextStyle &style);

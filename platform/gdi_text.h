#pragma once

#include "surface.h"

#include <QString>

// The extent of text in the surface's selected font: the advance width and the cell height
// (ascent plus descent). An empty text is 0 wide and one cell high.
SIZE GetTextExtentPoint32(const Surface &surface, const QString &text);

// Whether the text's extent can be measured and drawn at all: up to 2^24 pixels wide. Beyond
// that the font engine's own measures overflow, so such a text is refused rather than drawn
// wrong. Judged from the text's length, before anything is measured.
bool TextExtentFits(const Surface &surface, const QString &text);

// Draws text with its cell's top-left corner at (x, y), in the surface's selected font and text
// colour. In OPAQUE mode the whole extent is first filled with the background colour; in
// TRANSPARENT mode only the glyph pixels change. Clipped to the surface; a surface without a
// bitmap is left alone.
void TextOut(Surface &surface, int x, int y, const QString &text);

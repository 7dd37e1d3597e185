#include "text_style.h"

void TextStyle::CopyFrom(const TextStyle &source)
{
    text = source.text;
    x = source.x;
    y = source.y;
    cx = source.cx;
    cy = source.cy;
    alpha = source.alpha;
    bgTransparent = source.bgTransparent;
    selected = source.selected;
    textColor = source.textColor;
    bkColor = source.bkColor;
    font = source.font;
    dragging = 0;
}

void TextStyle::ResetPlacement()
{
    x = 0;
    y = 0;
    dragging = 0;
    selected = 0;
}

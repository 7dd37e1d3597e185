#include "text_preview.h"

#include "overlay/compose_text.h"

namespace {

constexpr int kGridStep = 10;

} // namespace

void DrawPreviewGrid(Surface &background)
{
    const int w = background.Width();
    const int h = background.Height();
    background.PatBlt(0, 0, w, h, WHITENESS);
    for (int y = 0; y <= h; y += kGridStep) {
        background.MoveToEx(0, y);
        background.LineTo(w, y);
    }
    for (int x = 0; x <= w; x += kGridStep) {
        background.MoveToEx(x, 0);
        background.LineTo(x, h);
    }
}

POINT RenderPreview(Surface &background, const TextStyle &style)
{
    DrawPreviewGrid(background);
    return ComposeTextCentred(background, style);
}

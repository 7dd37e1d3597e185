#include "picture_view_renderer.h"

#include "overlay/compose_text.h"

#include <algorithm>

namespace {

// How far the corner squares reach outside the text box.
constexpr int kMarkerReach = 4;

// The frame: from (0, 0) along the picture's right and bottom edges and back, in view pixels.
void DrawFrame(Surface &view, int width, int height, int h, int v)
{
    view.MoveToEx(0, 0);
    view.LineTo(width - h, 0);
    view.LineTo(width - h, height - v);
    view.LineTo(0, height - v);
    view.LineTo(0, 0);
}

long long Clamp(long long value, long long low, long long high)
{
    return std::clamp(value, low, high);
}

} // namespace

void PictureViewRenderer::Invalidate()
{
    m_picture = Surface();
    m_drawnBits = nullptr;
}

Surface &PictureViewRenderer::DrawnPicture(const DibImage &image)
{
    const int width = image.GetWidth(), height = image.GetHeight();
    if (m_picture.IsNull() || m_picture.Width() != width || m_picture.Height() != height
        || m_drawnBits != image.GetBits()) {
        m_picture = Surface(width, height, 32);
        image.Draw(m_picture);
        m_drawnBits = image.GetBits();
    }
    return m_picture;
}

void PictureViewRenderer::Render(const DibImage &image, TextStyle &style, int h, int v,
                                 Surface &view)
{
    const int viewWidth = view.Width(), viewHeight = view.Height();
    view.PatBlt(0, 0, viewWidth, viewHeight, WHITENESS);
    if (!image.IsLoaded())
        return;
    const Surface &picture = DrawnPicture(image);
    const int width = image.GetWidth(), height = image.GetHeight();
    view.BitBlt(0, 0, viewWidth, viewHeight, picture, h, v);

    if (!style.text.isEmpty()) {
        // The part of the picture the text and its markers can touch, within what the view
        // shows; it is composed on a copy of that part, which clips as the picture would.
        const SIZE size = MeasureText(picture, style);
        const long long dx = (long long)style.dragCurrent.x - style.dragStart.x;
        const long long dy = (long long)style.dragCurrent.y - style.dragStart.y;
        const bool dragging = style.dragging == 1;
        const long long left
            = (long long)style.x + (dragging ? std::min(0LL, dx) : 0) - kMarkerReach;
        const long long top
            = (long long)style.y + (dragging ? std::min(0LL, dy) : 0) - kMarkerReach;
        const long long right
            = (long long)style.x + (dragging ? std::max(0LL, dx) : 0) + size.cx + kMarkerReach;
        const long long bottom
            = (long long)style.y + (dragging ? std::max(0LL, dy) : 0) + size.cy + kMarkerReach;
        const long long visibleRight = std::min<long long>(width, (long long)h + viewWidth);
        const long long visibleBottom = std::min<long long>(height, (long long)v + viewHeight);
        const int clipLeft = int(Clamp(left, h, visibleRight));
        const int clipTop = int(Clamp(top, v, visibleBottom));
        const int clipRight = int(Clamp(right, h, visibleRight));
        const int clipBottom = int(Clamp(bottom, v, visibleBottom));

        TextStyle shifted = style;
        shifted.x = int(Clamp((long long)style.x - clipLeft, INT32_MIN, INT32_MAX));
        shifted.y = int(Clamp((long long)style.y - clipTop, INT32_MIN, INT32_MAX));
        if (clipRight > clipLeft && clipBottom > clipTop) {
            Surface part = picture.CreateCompatible(clipRight - clipLeft, clipBottom - clipTop);
            part.BitBlt(0, 0, part.Width(), part.Height(), picture, clipLeft, clipTop);
            ComposeText(part, shifted, 1);
            view.BitBlt(clipLeft - h, clipTop - v, part.Width(), part.Height(), part, 0, 0);
        } else {
            shifted.cx = size.cx;
            shifted.cy = size.cy;
        }
        style.cx = shifted.cx;
        style.cy = shifted.cy;
    }
    DrawFrame(view, width, height, h, v);
}

void RenderViewFully(const DibImage &image, TextStyle &style, int h, int v, Surface &pictureSurface,
                     Surface &view)
{
    const int width = image.GetWidth(), height = image.GetHeight();
    pictureSurface = view.CreateCompatible(width, height);
    if (!image.IsLoaded()) {
        view.PatBlt(0, 0, view.Width(), view.Height(), WHITENESS);
        return;
    }
    image.Draw(pictureSurface);
    if (!style.text.isEmpty())
        ComposeText(pictureSurface, style, 1);
    view.PatBlt(0, 0, view.Width(), view.Height(), WHITENESS);
    view.BitBlt(0, 0, view.Width(), view.Height(), pictureSurface, h, v);
    DrawFrame(view, width, height, h, v);
}

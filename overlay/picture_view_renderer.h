#pragma once

#include "image/dib_image.h"
#include "overlay/text_style.h"
#include "platform/surface.h"

// The pixels of the picture view, without any widget: the picture 1:1 at the scroll offsets,
// the text with its markers, the frame along the picture's right and bottom edges, white past
// the picture and white with no picture.
//
// The drawn picture is cached until Invalidate (a load, a close, a save), and only what the
// view shows is composed, so a redraw costs what the view's size costs, not the picture's.
class PictureViewRenderer
{
public:
    // Forgets the drawn picture; the next Render draws it again.
    void Invalidate();

    // Draws the view at scroll offsets (h, v), picture pixels, onto view, whose size is the
    // view's. Measures the text into style.cx, style.cy as the composition does.
    void Render(const DibImage &image, TextStyle &style, int h, int v, Surface &view);

    // The picture drawn 1:1 at full size, for a save to compose on. Drawing on it spoils the
    // cache: call Invalidate afterwards.
    Surface &DrawnPicture(const DibImage &image);

private:
    Surface m_picture; // the bare picture, picture pixels
    const std::uint8_t *m_drawnBits = nullptr;
};

// The view drawn the long way: the whole picture onto pictureSurface, the text composed on it
// with its markers, then the visible part copied to view with the frame. The cached Render
// gives the same pixels.
void RenderViewFully(const DibImage &image, TextStyle &style, int h, int v, Surface &pictureSurface,
                     Surface &view);

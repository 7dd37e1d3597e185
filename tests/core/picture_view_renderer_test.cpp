#include "overlay/picture_view_renderer.h"
#include "support/bmp_builder.h"

#include <gtest/gtest.h>

#include <array>

TEST(PictureViewRenderer, CachedViewIsTheFullRedrawAndTheFrameFollowsTheScroll)
{
    DibImage image;
    ASSERT_TRUE(image.LoadFromBytes(testbmp::Picture24(300, 200, testbmp::Pattern), {}));
    TextStyle style;
    style.text = QStringLiteral("Velmora 测试");
    style.alpha = 128;
    style.bgTransparent = 0;
    style.selected = style.dragging = 1;
    style.dragStart = {10, 10};

    // Drag point, text x, y, scroll offsets h, v, view width and height: the text in view with
    // the drag outline across it; scrolled so the view cuts the text at its left and top; the
    // last offsets, the box past the picture's corner; a view larger than the picture, the box
    // partly off it; the text and its outline out of view; dragged up and left of the start.
    const std::array<int, 8> cases[]
        = {{70, 35, 20, 30, 0, 0, 120, 90},       {70, 35, 20, 30, 37, 21, 120, 90},
           {70, 35, 250, 180, 180, 110, 120, 90}, {70, 35, -5, -8, 0, 0, 400, 300},
           {70, 35, 100, 100, 0, 0, 60, 40},      {-30, -20, 60, 50, 0, 0, 120, 90}};
    PictureViewRenderer renderer;
    for (const auto &[dragX, dragY, x, y, h, v, width, height] : cases) {
        SCOPED_TRACE(testing::Message() << "text " << x << "," << y << " scroll " << h << "," << v);
        style.dragCurrent = {dragX, dragY};
        style.x = x;
        style.y = y;
        style.cx = style.cy = 0;
        TextStyle fullStyle = style;
        Surface cached(width, height), full(width, height), pictureSurface;
        renderer.Render(image, style, h, v, cached);
        RenderViewFully(image, fullStyle, h, v, pictureSurface, full);
        EXPECT_TRUE(testbmp::SamePixelsAs(cached, full, width, height));
        EXPECT_EQ(SIZE({style.cx, style.cy}), SIZE({fullStyle.cx, fullStyle.cy}));
    }

    // The frame runs one pixel right of and below the picture, moved by the scroll, with white
    // beyond: offsets h, v, then a pixel and whether it is black.
    const std::array<int, 5> frame[]
        = {{0, 150, 50, 50, 1}, {0, 150, 50, 51, 0}, {150, 0, 150, 20, 1}, {150, 0, 151, 20, 0}};
    Surface view(400, 300);
    style.x = 1000;
    for (const auto [h, v, x, y, black] : frame) {
        renderer.Render(image, style, h, v, view);
        EXPECT_EQ(view.GetPixel(x, y), black ? RGB(0, 0, 0) : RGB(255, 255, 255))
            << "offsets " << h << "," << v << " at " << x << "," << y;
    }
}

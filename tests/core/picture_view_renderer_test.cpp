#include "overlay/picture_view_renderer.h"
#include "support/bmp_builder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A picture whose every pixel differs from its neighbours, so a shifted copy shows.
bool LoadPattern(DibImage &image, const QString &path, int width, int height)
{
    std::vector<std::vector<std::uint32_t>> rows {std::size_t(height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rows[std::size_t(y)].push_back(std::uint32_t((x * 7) & 0xFF) << 16
                                           | std::uint32_t((y * 5) & 0xFF) << 8
                                           | std::uint32_t((x + y) & 0xFF));
    testbmp::BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.pixels = testbmp::PackRows(24, rows);
    testbmp::WriteFile(path, testbmp::BuildBmp(layout));
    return image.Load(path);
}

TEST(PictureViewRenderer, CachedViewIsTheFullRedrawPixelForPixel)
{
    QTemporaryDir dir;
    DibImage image;
    ASSERT_TRUE(LoadPattern(image, dir.filePath(QStringLiteral("p.bmp")), 300, 200));

    TextStyle style;
    style.text = QStringLiteral("Velmora 测试");
    style.alpha = 128;
    style.bgTransparent = 0;
    style.bkColor = RGB(10, 200, 30);
    style.font.lfHeight = -24;
    style.selected = 1;
    style.dragging = 1;
    style.dragStart = {10, 10};
    style.dragCurrent = {70, 35};

    struct Case
    {
        int x, y, h, v, viewWidth, viewHeight;
    };
    const Case cases[] = {
        {20, 30, 0, 0, 120, 90},       // text in view, drag outline across it
        {20, 30, 37, 21, 120, 90},     // scrolled: text cut at the view's left and top
        {250, 180, 180, 110, 120, 90}, // last offsets, box past the picture's corner
        {-5, -8, 0, 0, 400, 300},      // view larger than the picture, box partly off it
        {100, 100, 0, 0, 60, 40},      // text out of view, its drag outline too
    };
    PictureViewRenderer renderer;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "text at " << c.x << "," << c.y << " offsets " << c.h << "," << c.v
                     << " view " << c.viewWidth << "x" << c.viewHeight);
        style.x = c.x;
        style.y = c.y;
        TextStyle fullStyle = style;
        Surface cached(c.viewWidth, c.viewHeight);
        Surface full(c.viewWidth, c.viewHeight);
        Surface pictureSurface;
        renderer.Render(image, style, c.h, c.v, cached);
        RenderViewFully(image, fullStyle, c.h, c.v, pictureSurface, full);
        EXPECT_TRUE(testbmp::SamePixelsAs(cached, full, c.viewWidth, c.viewHeight));
        EXPECT_EQ(style.cx, fullStyle.cx);
        EXPECT_EQ(style.cy, fullStyle.cy);
        EXPECT_GT(style.cx, 0);
    }

    // The frame runs one pixel right of the last column; white lies beyond it.
    Surface view(400, 300);
    style.x = 1000;
    renderer.Render(image, style, 0, 0, view);
    EXPECT_EQ(view.GetPixel(300, 50), RGB(0, 0, 0));
    EXPECT_EQ(view.GetPixel(301, 50), RGB(255, 255, 255));
    EXPECT_EQ(view.GetPixel(50, 200), RGB(0, 0, 0));
    EXPECT_EQ(view.GetPixel(50, 250), RGB(255, 255, 255));
    // Scrolled down by 150, the bottom edge is 150 pixels higher.
    renderer.Render(image, style, 0, 150, view);
    EXPECT_EQ(view.GetPixel(50, 50), RGB(0, 0, 0));
    EXPECT_EQ(view.GetPixel(50, 51), RGB(255, 255, 255));
    EXPECT_EQ(view.GetPixel(300, 20), RGB(0, 0, 0));
    // Scrolled right by 150, the right edge is 150 pixels further left.
    renderer.Render(image, style, 150, 0, view);
    EXPECT_EQ(view.GetPixel(150, 20), RGB(0, 0, 0));
    EXPECT_EQ(view.GetPixel(151, 20), RGB(255, 255, 255));

    // A new picture under the same renderer is drawn anew once invalidated; no picture: white.
    ASSERT_TRUE(LoadPattern(image, dir.filePath(QStringLiteral("q.bmp")), 50, 40));
    renderer.Invalidate();
    renderer.Render(image, style, 0, 0, view);
    EXPECT_EQ(view.GetPixel(51, 10), RGB(255, 255, 255));
    EXPECT_EQ(view.GetPixel(50, 10), RGB(0, 0, 0));
    image.Clear();
    renderer.Invalidate();
    renderer.Render(image, style, 0, 0, view);
    EXPECT_EQ(view.GetPixel(0, 0), RGB(255, 255, 255));
}

} // namespace

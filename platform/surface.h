#pragma once

#include "colorref.h"
#include "logfont.h"
#include "page_memory.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <memory>

struct POINT
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const POINT &, const POINT &) = default;
};

struct SIZE
{
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    friend bool operator==(const SIZE &, const SIZE &) = default;
};

// Background modes of text drawing.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Raster operations of PatBlt.
enum PatBltOp { BLACKNESS, WHITENESS };

// A drawing surface: a memory device context with its bitmap, in one object. Pixels are kept
// top row first, each row padded to a multiple of 4 bytes, exactly as a bottom-up file stores
// them once the row order is turned around:
//   32 bits: blue, green, red, unused (the byte layout of QImage::Format_RGB32);
//   24 bits: blue, green, red (QImage::Format_BGR888);
//   16 bits: a little-endian word, 5 bits each of red, green, blue, top bit clear
//            (QImage::Format_RGB555).
// Besides the pixels it carries the state that the text and line calls use: text colour,
// background colour and mode, the selected font and the pen position. The pen is always the
// default one: solid, one pixel wide, black.
class Surface
{
public:
    Surface() = default; // holds no bitmap: 0 x 0
    // A bitmap of width x height, all black. A size it cannot hold gives a null surface.
    Surface(int width, int height, int bitsPerPixel = 32);

    Surface(Surface &&other) noexcept;
    Surface &operator=(Surface &&other) noexcept;
    Surface(const Surface &) = delete;
    Surface &operator=(const Surface &) = delete;

    // A new surface in the same pixel format (CreateCompatibleDC + CreateCompatibleBitmap).
    Surface CreateCompatible(int width, int height) const;

    bool IsNull() const { return !m_bits; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int BitsPerPixel() const { return m_bitsPerPixel; }
    std::size_t Stride() const { return m_stride; }
    std::size_t ByteCount() const { return m_stride * std::size_t(m_height); }
    static std::size_t StrideFor(int width, int bitsPerPixel)
    {
        return ((std::size_t(width) * std::size_t(bitsPerPixel) + 31) / 32) * 4;
    }

    std::uint8_t *Bits() { return m_bits.get(); }
    const std::uint8_t *Bits() const { return m_bits.get(); }
    std::uint8_t *Row(int y) { return m_bits.get() + std::size_t(y) * m_stride; }
    const std::uint8_t *Row(int y) const { return m_bits.get() + std::size_t(y) * m_stride; }

    // Pixel access in COLORREF terms; 16-bit channels are widened by rounding v * 255 / 31.
    // GetPixel outside the bitmap gives CLR_INVALID; SetPixel outside it does nothing.
    static constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
    COLORREF GetPixel(int x, int y) const;
    void SetPixel(int x, int y, COLORREF color);
    // Stores count pixels given as 0x00RRGGBB words (the 32-bit layout: blue, green, red,
    // unused in memory) from (x, y) rightwards, converted to this surface's format. The caller
    // keeps the span inside the bitmap.
    void StoreRow(int x, int y, const std::uint32_t *pixels, int count);

    // Device context state.
    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return m_textColor; }
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const { return m_bkColor; }
    int SetBkMode(int mode);
    int GetBkMode() const { return m_bkMode; }
    void SelectFont(const LOGFONT &font) { m_font = font; }
    const LOGFONT &GetFont() const { return m_font; }

    // Copies w x h pixels from src, another surface, at (sx, sy) to (x, y), clipped to both
    // surfaces. Between different pixel formats each pixel is converted.
    void BitBlt(int x, int y, int w, int h, const Surface &src, int sx, int sy);
    // Fills the rectangle (clipped) white or black.
    void PatBlt(int x, int y, int w, int h, PatBltOp op);
    // Fills the rectangle (clipped) with one colour.
    void FillSolidRect(int x, int y, int w, int h, COLORREF color);
    // Horizontal and vertical lines with the default pen; LineTo leaves out its end point and
    // moves the pen there.
    void MoveToEx(int x, int y);
    void LineTo(int x, int y);

    // A QImage over this surface's own pixels, without copying, for QPainter to draw text on.
    // It stays valid while the surface lives and is not moved from.
    QImage WrapAsImage();

private:
    void StorePixel(std::uint8_t *p, COLORREF color) const;
    COLORREF LoadPixel(const std::uint8_t *p) const;

    PictureMemory m_bits;
    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 32;
    std::size_t m_stride = 0;

    COLORREF m_textColor = RGB(0, 0, 0);
    COLORREF m_bkColor = RGB(255, 255, 255);
    int m_bkMode = OPAQUE;
    LOGFONT m_font;
    POINT m_penPosition;
};

#include "surface.h"

#include "clip_rect.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// Largest bitmap a surface makes: 2^31 bytes, far above any picture the reader accepts.
constexpr std::size_t kMaxSurfaceBytes = std::size_t(1) << 31;

std::uint8_t Widen5(unsigned v)
{
    return std::uint8_t((v * 255 + 15) / 31);
}

} // namespace

Surface::Surface(int width, int height, int bitsPerPixel)
{
    if (width <= 0 || height <= 0)
        return;
    if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32)
        return;
    const std::size_t stride = StrideFor(width, bitsPerPixel);
    if (stride > kMaxSurfaceBytes / std::size_t(height))
        return;
    // Zero pages, fresh from the system or cleared for reuse.
    m_bits = MakePictureMemory(stride * std::size_t(height));
    if (!m_bits)
        return;
    m_width = width;
    m_height = height;
    m_bitsPerPixel = bitsPerPixel;
    m_stride = stride;
}

Surface::Surface(Surface &&other) noexcept
{
    *this = std::move(other);
}

Surface &Surface::operator=(Surface &&other) noexcept
{
    if (this == &other)
        return *this;
    m_bits = std::move(other.m_bits);
    m_width = std::exchange(other.m_width, 0);
    m_height = std::exchange(other.m_height, 0);
    m_bitsPerPixel = other.m_bitsPerPixel;
    m_stride = std::exchange(other.m_stride, 0);
    m_textColor = other.m_textColor;
    m_bkColor = other.m_bkColor;
    m_bkMode = other.m_bkMode;
    m_font = other.m_font;
    m_penPosition = other.m_penPosition;
    return *this;
}

Surface Surface::CreateCompatible(int width, int height) const
{
    return Surface(width, height, m_bitsPerPixel);
}

void Surface::StorePixel(std::uint8_t *p, COLORREF color) const
{
    const std::uint8_t r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    switch (m_bitsPerPixel) {
    case 32:
        p[0] = b;
        p[1] = g;
        p[2] = r;
        p[3] = 0;
        break;
    case 24:
        p[0] = b;
        p[1] = g;
        p[2] = r;
        break;
    default: {
        const unsigned word = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        p[0] = std::uint8_t(word & 0xFF);
        p[1] = std::uint8_t(word >> 8);
        break;
    }
    }
}

COLORREF Surface::LoadPixel(const std::uint8_t *p) const
{
    if (m_bitsPerPixel == 16) {
        const unsigned word = unsigned(p[0]) | (unsigned(p[1]) << 8);
        return RGB(Widen5((word >> 10) & 31), Widen5((word >> 5) & 31), Widen5(word & 31));
    }
    return RGB(p[2], p[1], p[0]);
}

COLORREF Surface::GetPixel(int x, int y) const
{
    if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    return LoadPixel(Row(y) + std::size_t(x) * (m_bitsPerPixel / 8));
}

void Surface::SetPixel(int x, int y, COLORREF color)
{
    if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    StorePixel(Row(y) + std::size_t(x) * (m_bitsPerPixel / 8), color);
}

void Surface::StoreRow(int x, int y, const std::uint32_t *pixels, int count)
{
    std::uint8_t *d = Row(y) + std::size_t(x) * (m_bitsPerPixel / 8);
    if (m_bitsPerPixel == 32) {
        std::memcpy(d, pixels, std::size_t(count) * 4);
        return;
    }
    for (int i = 0; i < count; ++i) {
        const std::uint32_t v = pixels[i];
        StorePixel(d + std::size_t(i) * (m_bitsPerPixel / 8),
                   RGB(std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)));
    }
}

COLORREF Surface::SetTextColor(COLORREF color)
{
    return std::exchange(m_textColor, color);
}

COLORREF Surface::SetBkColor(COLORREF color)
{
    return std::exchange(m_bkColor, color);
}

int Surface::SetBkMode(int mode)
{
    return std::exchange(m_bkMode, mode);
}

void Surface::BitBlt(int x, int y, int w, int h, const Surface &src, int sx, int sy)
{
    if (!m_bits || !src.m_bits || &src == this)
        return;
    if (!ClipCopy(x, y, w, h, sx, sy, m_width, m_height, src.m_width, src.m_height))
        return;
    const int dstBytes = m_bitsPerPixel / 8;
    const int srcBytes = src.m_bitsPerPixel / 8;
    for (int row = 0; row < h; ++row) {
        std::uint8_t *d = Row(y + row) + std::size_t(x) * dstBytes;
        const std::uint8_t *s = src.Row(sy + row) + std::size_t(sx) * srcBytes;
        if (dstBytes == srcBytes && m_bitsPerPixel == src.m_bitsPerPixel) {
            std::memcpy(d, s, std::size_t(w) * dstBytes);
        } else {
            for (int col = 0; col < w; ++col)
                StorePixel(d + std::size_t(col) * dstBytes,
                           src.LoadPixel(s + std::size_t(col) * srcBytes));
        }
    }
}

void Surface::PatBlt(int x, int y, int w, int h, PatBltOp op)
{
    FillSolidRect(x, y, w, h, op == WHITENESS ? RGB(255, 255, 255) : RGB(0, 0, 0));
}

void Surface::FillSolidRect(int x, int y, int w, int h, COLORREF color)
{
    if (!m_bits)
        return;
    int sx = 0, sy = 0;
    if (!ClipCopy(x, y, w, h, sx, sy, m_width, m_height, std::numeric_limits<int>::max(),
                  std::numeric_limits<int>::max()))
        return;
    const int bytes = m_bitsPerPixel / 8;
    std::uint8_t pixel[4];
    StorePixel(pixel, color);
    std::uint8_t *first = Row(y) + std::size_t(x) * bytes;
    for (int col = 0; col < w; ++col)
        std::memcpy(first + std::size_t(col) * bytes, pixel, bytes);
    for (int row = 1; row < h; ++row)
        std::memcpy(Row(y + row) + std::size_t(x) * bytes, first, std::size_t(w) * bytes);
}

void Surface::MoveToEx(int x, int y)
{
    m_penPosition = {x, y};
}

void Surface::LineTo(int x, int y)
{
    const POINT from = std::exchange(m_penPosition, POINT {x, y});
    // The end point is left out, so a closed outline drawn as four lines sets each corner once.
    if (from.y == y) { // horizontal: the outlines and frames the program draws
        if (y < 0 || y >= m_height || from.x == x)
            return;
        const long long first = from.x < x ? from.x : x + 1LL;
        const long long last = from.x < x ? x - 1LL : from.x;
        for (long long px = std::max(first, 0LL); px <= std::min(last, m_width - 1LL); ++px)
            SetPixel(int(px), y, RGB(0, 0, 0));
        return;
    }
    if (from.x == x) { // vertical; the program draws no other slope
        if (x < 0 || x >= m_width)
            return;
        const long long first = from.y < y ? from.y : y + 1LL;
        const long long last = from.y < y ? y - 1LL : from.y;
        for (long long py = std::max(first, 0LL); py <= std::min(last, m_height - 1LL); ++py)
            SetPixel(x, int(py), RGB(0, 0, 0));
    }
}

QImage Surface::WrapAsImage()
{
    if (!m_bits)
        return {};
    const QImage::Format format = m_bitsPerPixel == 32 ? QImage::Format_RGB32
        : m_bitsPerPixel == 24                         ? QImage::Format_BGR888
                                                       : QImage::Format_RGB555;
    return QImage(m_bits.get(), m_width, m_height, qsizetype(m_stride), format);
}

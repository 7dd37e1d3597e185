#include "compose_text.h"

#include "platform/alpha_blend.h"
#include "platform/gdi_text.h"

#include <algorithm>
#include <utility>

namespace {

// Marker coordinates come from unbounded record fields; far outside any surface they are
// pulled in to a range where sums cannot overflow, which leaves every drawn pixel the same.
constexpr long long kCoordinateLimit = 1LL << 30;

int Clamp(long long v)
{
    return int(std::clamp(v, -kCoordinateLimit, kCoordinateLimit));
}

// A memory surface with the font, colours and mode of one composition. The surface owns its
// bitmap, so the temporaries of a composition are released when it goes out of scope.
Surface MakeMemorySurface(const TextStyle &style)
{
    Surface memory;
    memory.SelectFont(style.font);
    memory.SetBkColor(style.bkColor);
    memory.SetTextColor(style.textColor);
    memory.SetBkMode(style.bgTransparent == 1 ? TRANSPARENT : OPAQUE);
    return memory;
}

// Gives a memory surface a bitmap of w x h in the target's format, keeping its state.
void SelectBitmap(Surface &memory, const Surface &target, int w, int h)
{
    Surface bitmap = target.CreateCompatible(w, h);
    bitmap.SelectFont(memory.GetFont());
    bitmap.SetBkColor(memory.GetBkColor());
    bitmap.SetTextColor(memory.GetTextColor());
    bitmap.SetBkMode(memory.GetBkMode());
    memory = std::move(bitmap);
}

void Outline(Surface &target, long long left, long long top, long long w, long long h)
{
    target.MoveToEx(Clamp(left), Clamp(top));
    target.LineTo(Clamp(left + w), Clamp(top));
    target.LineTo(Clamp(left + w), Clamp(top + h));
    target.LineTo(Clamp(left), Clamp(top + h));
    target.LineTo(Clamp(left), Clamp(top));
}

void DrawMarkers(Surface &target, const TextStyle &style, POINT at, SIZE size)
{
    const long long px = at.x, py = at.y, w = size.cx, h = size.cy;
    const COLORREF black = RGB(0, 0, 0);
    target.FillSolidRect(Clamp(px - 3), Clamp(py - 3), 3, 3, black); // top left
    target.FillSolidRect(Clamp(px - 3), Clamp(py + h), 3, 3, black); // bottom left
    target.FillSolidRect(Clamp(px + w), Clamp(py + h), 3, 3, black); // bottom right
    target.FillSolidRect(Clamp(px + w), Clamp(py - 3), 3, 3, black); // top right
    if (style.selected == 1)
        Outline(target, px, py, w, h);
    if (style.dragging == 1) {
        // Where the box lands when the button is released.
        const long long left = (long long)style.dragCurrent.x + px - style.dragStart.x;
        const long long top = (long long)style.dragCurrent.y + py - style.dragStart.y;
        Outline(target, left, top, w, h);
    }
}

struct Composed
{
    bool ok = false;
    POINT at;
    SIZE size;
};

// The composition every site shares: measure, copy the pixels under the box, draw the text on
// the copy, blend the copy back. place turns the measured size into the box's top-left corner.
// Only the part of the box that lies on the target is copied, drawn and blended: the pixels
// that land are the same as with the whole box, and a box far larger than the picture costs
// no more than the picture.
template<typename Place>
Composed Compose(Surface &target, const TextStyle &style, Place place)
{
    Surface memory = MakeMemorySurface(style);
    if (!TextExtentFits(memory, style.text))
        return {};
    const SIZE size = GetTextExtentPoint32(memory, style.text);
    const POINT at = place(size);
    const long long left = std::max<long long>(at.x, 0);
    const long long top = std::max<long long>(at.y, 0);
    const long long right = std::min<long long>((long long)at.x + size.cx, target.Width());
    const long long bottom = std::min<long long>((long long)at.y + size.cy, target.Height());
    if (right <= left || bottom <= top)
        return {true, at, size};
    const int w = int(right - left), h = int(bottom - top);
    SelectBitmap(memory, target, w, h);
    if (memory.IsNull())
        return {};
    memory.BitBlt(0, 0, w, h, target, int(left), int(top));
    TextOut(memory, int(at.x - left), int(at.y - top), style.text);
    AlphaBlend(target, int(left), int(top), w, h, memory, 0, 0, std::uint8_t(style.alpha & 0xFF));
    return {true, at, size};
}

} // namespace

bool ComposeText(Surface &target, TextStyle &style, std::uint8_t markers)
{
    const Composed composed = Compose(target, style, [&](SIZE measured) {
        style.cx = measured.cx;
        style.cy = measured.cy;
        return POINT {style.x, style.y};
    });
    if (composed.ok && markers == 1)
        DrawMarkers(target, style, composed.at, composed.size);
    return composed.ok;
}

SIZE MeasureText(const Surface &surface, const TextStyle &style)
{
    Surface memory = surface.CreateCompatible(0, 0);
    memory.SelectFont(style.font);
    return GetTextExtentPoint32(memory, style.text);
}

POINT ComposeTextCentred(Surface &target, const TextStyle &style)
{
    const int width = target.Width(), height = target.Height();
    return Compose(target, style,
                   [&](SIZE measured) {
                       return POINT {width / 2 - measured.cx / 2, height / 2 - measured.cy / 2};
                   })
        .at;
}

#pragma once

#include "platform/colorref.h"
#include "platform/logfont.h"
#include "platform/surface.h"

#include <QString>

#include <cstdint>

// The one record that describes the overlay: the text line, where its box sits on the picture
// (picture pixels), its last measured size, how it is drawn, and the view's drag bookkeeping
// (view coordinates). The main window keeps one for the whole run; the dialogs keep copies.
struct TextStyle
{
    QString text = QStringLiteral("quon");
    std::int32_t x = 0;       // left edge of the text box, picture pixels
    std::int32_t y = 0;       // top edge of the text box, picture pixels
    std::int32_t cx = 0;      // width of the box as last measured
    std::int32_t cy = 0;      // height of the box as last measured
    std::int32_t alpha = 255; // 0 invisible .. 255 opaque; only the low byte reaches the blend
    std::uint8_t bgTransparent = 1; // exactly 1: only the glyphs are drawn; else an opaque box
    std::uint8_t dragging = 0;
    std::uint8_t selected = 0;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    LOGFONT font;      // all zero: the default font
    POINT dragCurrent; // view coordinates of the last move during a drag
    POINT dragStart;   // view coordinates where the drag began

    // The copy the dialogs and the main window exchange: everything but the drag points,
    // which stay the target's own, and with dragging cleared.
    void CopyFrom(const TextStyle &source);

    // After a picture is opened or saved and read back: the box goes to the top-left corner,
    // neither selected nor dragged. Text, font, colours and opacity stay.
    void ResetPlacement();
};

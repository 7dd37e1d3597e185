#pragma once

#include "colorref.h"

#include <QColor>

// A colour of the drawing calls as Qt takes it.
inline QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

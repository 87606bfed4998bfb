#pragma once
// Drawing helpers that work on the pixels of a device context.
#include "CDC.h"

class CDrawingManager {
public:
    explicit CDrawingManager(CDC& dc) : m_dc(dc) {}

    // Sets the alpha value of every pixel of the rectangle (logical
    // coordinates) to the value and keeps the colours; for surfaces that
    // carry alpha (32-bit bitmaps, the glass frame's buffers).
    BOOL FillAlpha(const RECT& rect, BYTE alpha = 255);

private:
    CDC& m_dc;
};

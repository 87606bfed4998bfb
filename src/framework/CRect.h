#pragma once
// A rectangle in pixels: RECT with its size and moves.
#include <windows.h>

class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& rect) : RECT(rect) {}  // NOLINT: a RECT is a rectangle

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    void OffsetRect(int x, int y) { ::OffsetRect(this, x, y); }
    void OffsetRect(POINT point) { OffsetRect(point.x, point.y); }
    POINT TopLeft() const { return POINT{left, top}; }
};

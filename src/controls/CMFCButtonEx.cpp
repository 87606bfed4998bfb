#include "CMFCButtonEx.h"

#include "CDrawingManager.h"

CMFCButtonEx::CMFCButtonEx() = default;

CMFCButtonEx::~CMFCButtonEx() = default;

void CMFCButtonEx::OnDraw(CDC* pDC, const RECT& rect, UINT state)
{
    CMFCButton::OnDraw(pDC, rect, state);
    // Text drawn by GDI leaves alpha 0, which the glass would show through.
    CDrawingManager(*pDC).FillAlpha(rect, 255);
}

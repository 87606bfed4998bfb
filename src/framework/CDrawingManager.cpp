#include "CDrawingManager.h"

#include "CDib32.h"

#include <cstdint>

BOOL CDrawingManager::FillAlpha(const RECT& rect, BYTE alpha)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return FALSE;
    // A copy of the area in a 32-bit DIB, its alpha bytes set, copied back:
    // a plain copy between 32-bit surfaces keeps the alpha byte.
    CDib32 copy(m_dc, width, height);
    if (!copy.Ok())
        return FALSE;
    if (!::BitBlt(copy.Dc(), 0, 0, width, height, m_dc, rect.left, rect.top, SRCCOPY))
        return FALSE;
    ::GdiFlush();
    auto* pixel = reinterpret_cast<std::uint8_t*>(copy.Bits());
    for (long i = 0, count = static_cast<long>(width) * height; i < count; ++i, pixel += 4)
        pixel[3] = alpha;
    return ::BitBlt(m_dc, rect.left, rect.top, width, height, copy.Dc(), 0, 0, SRCCOPY);
}

#include "CDrawingManager.h"

#include <cstdint>

namespace {

// A memory context with a 32-bit top-down DIB section selected, undone at the end.
class DibContext {
public:
    DibContext(HDC compatible, int width, int height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_hDC = ::CreateCompatibleDC(compatible);
        m_hBitmap = ::CreateDIBSection(compatible, &info, DIB_RGB_COLORS, &m_pBits, nullptr, 0);
        if (m_hDC != nullptr && m_hBitmap != nullptr)
            m_hFormer = ::SelectObject(m_hDC, m_hBitmap);
    }
    ~DibContext()
    {
        if (m_hFormer != nullptr)
            ::SelectObject(m_hDC, m_hFormer);
        if (m_hBitmap != nullptr)
            ::DeleteObject(m_hBitmap);
        if (m_hDC != nullptr)
            ::DeleteDC(m_hDC);
    }
    DibContext(const DibContext&) = delete;
    DibContext& operator=(const DibContext&) = delete;

    bool Ok() const { return m_hFormer != nullptr && m_pBits != nullptr; }
    HDC Dc() const { return m_hDC; }
    std::uint8_t* Bits() const { return static_cast<std::uint8_t*>(m_pBits); }

private:
    HDC m_hDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hFormer = nullptr;
    void* m_pBits = nullptr;
};

}  // namespace

BOOL CDrawingManager::FillAlpha(const RECT& rect, BYTE alpha)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return FALSE;
    // A copy of the area in a 32-bit DIB, its alpha bytes set, copied back:
    // a plain copy between 32-bit surfaces keeps the alpha byte.
    DibContext copy(m_dc, width, height);
    if (!copy.Ok())
        return FALSE;
    if (!::BitBlt(copy.Dc(), 0, 0, width, height, m_dc, rect.left, rect.top, SRCCOPY))
        return FALSE;
    ::GdiFlush();
    std::uint8_t* pixel = copy.Bits();
    for (long i = 0, count = static_cast<long>(width) * height; i < count; ++i, pixel += 4)
        pixel[3] = alpha;
    return ::BitBlt(m_dc, rect.left, rect.top, width, height, copy.Dc(), 0, 0, SRCCOPY);
}

#include "CDib32.h"

CDib32::CDib32(HDC compatible, int width, int height) : m_width(width), m_height(height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    m_hDC = ::CreateCompatibleDC(compatible);
    m_hBitmap = ::CreateDIBSection(m_hDC, &info, DIB_RGB_COLORS, &m_pBits, nullptr, 0);
    if (m_hDC != nullptr && m_hBitmap != nullptr)
        m_hFormer = ::SelectObject(m_hDC, m_hBitmap);
}

CDib32::~CDib32()
{
    if (m_hFormer != nullptr)
        ::SelectObject(m_hDC, m_hFormer);
    if (m_hBitmap != nullptr)
        ::DeleteObject(m_hBitmap);
    if (m_hDC != nullptr)
        ::DeleteDC(m_hDC);
}

#include "CDC.h"

BOOL CDC::FillSolidRect(const RECT& rect, COLORREF color)
{
    const COLORREF old = ::SetBkColor(m_hDC, color);
    const BOOL ok = ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
    return ok;
}

CPaintDC::CPaintDC(HWND hwnd) : m_hWnd(hwnd)
{
    m_hDC = ::BeginPaint(hwnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
}

CWindowDC::CWindowDC(HWND hwnd, bool clientOnly) : m_hWnd(hwnd)
{
    m_hDC = clientOnly ? ::GetDC(hwnd) : ::GetWindowDC(hwnd);
}

CWindowDC::~CWindowDC()
{
    if (m_hDC != nullptr)
        ::ReleaseDC(m_hWnd, m_hDC);
}

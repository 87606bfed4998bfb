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

CClientDC::CClientDC(HWND hwnd) : m_hWnd(hwnd)
{
    m_hDC = ::GetDC(hwnd);
}

CClientDC::~CClientDC()
{
    if (m_hDC != nullptr)
        ::ReleaseDC(m_hWnd, m_hDC);
}

CWindowDC::CWindowDC(HWND hwnd) : m_hWnd(hwnd)
{
    m_hDC = ::GetWindowDC(hwnd);
}

CWindowDC::~CWindowDC()
{
    if (m_hDC != nullptr)
        ::ReleaseDC(m_hWnd, m_hDC);
}

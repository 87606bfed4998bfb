#pragma once
#include <windows.h>

// A memory device context with one bitmap selected, both given back at the end.
class MemoryDC {
public:
    MemoryDC(HDC compatible, HBITMAP bitmap) : m_hDC(::CreateCompatibleDC(compatible))
    {
        m_hFormer = ::SelectObject(m_hDC, bitmap);
    }
    ~MemoryDC()
    {
        ::SelectObject(m_hDC, m_hFormer);
        ::DeleteDC(m_hDC);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return m_hDC; }

private:
    HDC m_hDC;
    HGDIOBJ m_hFormer;
};

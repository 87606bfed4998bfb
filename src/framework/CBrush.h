#pragma once
// A GDI brush owned by the object.
#include <windows.h>

class CBrush {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    ~CBrush() { DeleteObject(); }
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;

    BOOL CreateSolidBrush(COLORREF color)
    {
        DeleteObject();
        m_hBrush = ::CreateSolidBrush(color);
        return m_hBrush != nullptr;
    }
    void DeleteObject()
    {
        if (m_hBrush != nullptr) {
            ::DeleteObject(m_hBrush);
            m_hBrush = nullptr;
        }
    }
    HBRUSH GetSafeHandle() const { return m_hBrush; }
    operator HBRUSH() const { return m_hBrush; }

private:
    HBRUSH m_hBrush = nullptr;
};

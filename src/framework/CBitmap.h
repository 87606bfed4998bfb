#pragma once
// A GDI bitmap owned by the object.
#include <windows.h>

class CBitmap {
public:
    CBitmap() = default;
    ~CBitmap() { DeleteObject(); }
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // A bitmap of the device context's format; an older bitmap of the object is deleted first.
    BOOL CreateCompatibleBitmap(HDC dc, int width, int height)
    {
        DeleteObject();
        m_hBitmap = ::CreateCompatibleBitmap(dc, width, height);
        return m_hBitmap != nullptr;
    }
    // Takes a bitmap to own, deleting the older one.
    void Attach(HBITMAP bitmap)
    {
        DeleteObject();
        m_hBitmap = bitmap;
    }
    void DeleteObject()
    {
        if (m_hBitmap != nullptr) {
            ::DeleteObject(m_hBitmap);
            m_hBitmap = nullptr;
        }
    }
    HBITMAP GetSafeHandle() const { return m_hBitmap; }
    operator HBITMAP() const { return m_hBitmap; }

private:
    HBITMAP m_hBitmap = nullptr;
};

#pragma once
// A 32-bit top-down DIB section selected into a memory device context, both
// owned: pixels are 0xAARRGGBB words, row after row.
#include <windows.h>

#include <cstdint>

class CDib32 {
public:
    // Compatible with the given context (null: the screen).
    CDib32(HDC compatible, int width, int height);
    ~CDib32();
    CDib32(const CDib32&) = delete;
    CDib32& operator=(const CDib32&) = delete;

    bool Ok() const { return m_hFormer != nullptr && m_pBits != nullptr; }
    HDC Dc() const { return m_hDC; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The pixels; call GdiFlush before reading what GDI drew.
    std::uint32_t* Bits() const { return static_cast<std::uint32_t*>(m_pBits); }

private:
    int m_width;
    int m_height;
    HDC m_hDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hFormer = nullptr;
    void* m_pBits = nullptr;
};

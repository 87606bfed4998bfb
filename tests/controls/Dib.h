#pragma once
// A 32-bit top-down DIB section in a memory device context, for tests that
// draw into it and read its pixels (0xAARRGGBB).
#include <windows.h>

#include <cstdint>

class Dib {
public:
    Dib(int width, int height, std::uint32_t fill = 0) : m_width(width), m_height(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_hDC = ::CreateCompatibleDC(nullptr);
        m_hBitmap = ::CreateDIBSection(m_hDC, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_pBits), nullptr, 0);
        m_hFormer = ::SelectObject(m_hDC, m_hBitmap);
        for (int i = 0; i < width * height; ++i)
            m_pBits[i] = fill;
    }
    ~Dib()
    {
        ::SelectObject(m_hDC, m_hFormer);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hDC);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    HDC Dc() const { return m_hDC; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    std::uint32_t At(int x, int y) const
    {
        ::GdiFlush();
        return m_pBits[y * m_width + x];
    }
    static std::uint32_t Rgb(std::uint32_t pixel) { return pixel & 0xFFFFFF; }
    static int Alpha(std::uint32_t pixel) { return static_cast<int>(pixel >> 24); }

private:
    int m_width;
    int m_height;
    HDC m_hDC;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hFormer;
    std::uint32_t* m_pBits = nullptr;
};

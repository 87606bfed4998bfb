#pragma once
// A 32-bit DIB for tests that draw into it and read its pixels (0xAARRGGBB).
#include "CDib32.h"

#include <windows.h>

#include <cstdint>

class Dib {
public:
    Dib(int width, int height, std::uint32_t fill = 0) : m_dib(nullptr, width, height)
    {
        for (int i = 0; i < width * height; ++i)
            m_dib.Bits()[i] = fill;
    }

    HDC Dc() const { return m_dib.Dc(); }
    int Width() const { return m_dib.Width(); }
    int Height() const { return m_dib.Height(); }
    std::uint32_t At(int x, int y) const
    {
        ::GdiFlush();
        return m_dib.Bits()[y * m_dib.Width() + x];
    }
    static std::uint32_t Rgb(std::uint32_t pixel) { return pixel & 0xFFFFFF; }
    static int Alpha(std::uint32_t pixel) { return static_cast<int>(pixel >> 24); }

private:
    CDib32 m_dib;
};

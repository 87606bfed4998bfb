#include "PreviewPaintSize.h"

SIZE PreviewPaintSize(int width, int height, int areaWidth, int areaHeight, bool* stretched)
{
    const bool fits = width < areaWidth && height < areaHeight;
    if (stretched != nullptr)
        *stretched = !fits;
    if (fits)
        return SIZE{width, height};
    const double sx = static_cast<double>(areaWidth) / width;
    const double sy = static_cast<double>(areaHeight) / height;
    // On equal ratios the width is the one computed.
    if (sy <= sx)
        return SIZE{static_cast<LONG>(sy * width), areaHeight};
    return SIZE{areaWidth, static_cast<LONG>(sx * height)};
}

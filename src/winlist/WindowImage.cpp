#include "WindowImage.h"

#include "MemoryDC.h"
#include "ScreenDC.h"

bool NewWindowImage(HWND window, HDC screen, WindowImage* image, RECT* rect)
{
    *rect = RECT{};
    ::GetWindowRect(window, rect);
    image->width = rect->right - rect->left;
    image->height = rect->bottom - rect->top;
    image->bitmap = ::CreateCompatibleBitmap(screen, image->width, image->height);
    return image->bitmap != nullptr;
}

bool CaptureWindowFromScreen(HWND window, WindowImage* image)
{
    *image = WindowImage{};
    const ScreenDC screen;
    RECT rect{};
    if (!NewWindowImage(window, screen.Get(), image, &rect))
        return false;
    MemoryDC memory(screen.Get(), image->bitmap);
    ::BitBlt(memory.Get(), 0, 0, image->width, image->height, screen.Get(), rect.left, rect.top, SRCCOPY);
    return true;
}

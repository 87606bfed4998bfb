#pragma once
// A picture of a window as a bitmap of the window's size.
#include <windows.h>

struct WindowImage {
    HBITMAP bitmap = nullptr;  // owned by the receiver
    int width = 0;
    int height = 0;
};

// A bitmap of the window's present size, compatible with the screen's
// context; the window's rectangle in *rect.
bool NewWindowImage(HWND window, HDC screen, WindowImage* image, RECT* rect);

// What the screen shows where the window is; asks the window nothing.
bool CaptureWindowFromScreen(HWND window, WindowImage* image);

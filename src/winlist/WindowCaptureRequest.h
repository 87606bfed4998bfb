#pragma once
#include <windows.h>

// What a capture is to take, and what it is to give back afterwards.
struct WindowCaptureRequest {
    HWND window = nullptr;
    // A minimised window is restored for the moment, transparent and far
    // off the screen, and minimised again in its place.
    bool minimised = false;
    LONG exStyle = 0;            // as read before the capture
    WINDOWPLACEMENT placement{};  // as read before the capture
    // The layered attributes to put back afterwards (a layered window only).
    bool layered = false;
    COLORREF key = 0xFFFFFF;
    BYTE alpha = 255;
    DWORD flags = 0;
};

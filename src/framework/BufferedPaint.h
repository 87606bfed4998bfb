#pragma once
// The visual styles' buffered painting. The calls exist only from Windows
// Vista on; they are bound from the system's uxtheme.dll at their first use,
// and where they are missing every call fails and nothing is drawn.
#include <windows.h>
#include <uxtheme.h>

class BufferedPaint {
public:
    // A buffer over the target's rectangle and its device context in
    // *bufferDC; null (and *bufferDC null) when it cannot begin.
    static HPAINTBUFFER BeginBufferedPaint(HDC target, const RECT* rect, BP_BUFFERFORMAT format,
                                           BP_PAINTPARAMS* params, HDC* bufferDC);
    static HRESULT BufferedPaintSetAlpha(HPAINTBUFFER buffer, const RECT* rect, BYTE alpha);
    // Ends the buffer, copying it to the target first when updateTarget is TRUE.
    static HRESULT EndBufferedPaint(HPAINTBUFFER buffer, BOOL updateTarget);
};

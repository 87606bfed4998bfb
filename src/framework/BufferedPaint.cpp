#include "BufferedPaint.h"

#include "UxThemeBinding.h"

namespace {

// All three calls, or none: a buffer is never begun that cannot be ended.
bool Bound(const UxThemeCalls& calls)
{
    return calls.beginBufferedPaint != nullptr && calls.bufferedPaintSetAlpha != nullptr &&
           calls.endBufferedPaint != nullptr;
}

}  // namespace

HPAINTBUFFER BufferedPaint::BeginBufferedPaint(HDC target, const RECT* rect, BP_BUFFERFORMAT format,
                                               BP_PAINTPARAMS* params, HDC* bufferDC)
{
    if (bufferDC != nullptr)
        *bufferDC = nullptr;
    const UxThemeCalls& calls = UxThemeBinding();
    return Bound(calls) ? calls.beginBufferedPaint(target, rect, format, params, bufferDC) : nullptr;
}

HRESULT BufferedPaint::BufferedPaintSetAlpha(HPAINTBUFFER buffer, const RECT* rect, BYTE alpha)
{
    const UxThemeCalls& calls = UxThemeBinding();
    return Bound(calls) ? calls.bufferedPaintSetAlpha(buffer, rect, alpha) : E_NOTIMPL;
}

HRESULT BufferedPaint::EndBufferedPaint(HPAINTBUFFER buffer, BOOL updateTarget)
{
    const UxThemeCalls& calls = UxThemeBinding();
    return Bound(calls) ? calls.endBufferedPaint(buffer, updateTarget) : E_NOTIMPL;
}

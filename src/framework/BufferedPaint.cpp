#include "BufferedPaint.h"

namespace {

using BeginFn = HPAINTBUFFER(WINAPI*)(HDC, const RECT*, BP_BUFFERFORMAT, BP_PAINTPARAMS*, HDC*);
using SetAlphaFn = HRESULT(WINAPI*)(HPAINTBUFFER, const RECT*, BYTE);
using EndFn = HRESULT(WINAPI*)(HPAINTBUFFER, BOOL);

struct Binding {
    BeginFn begin = nullptr;
    SetAlphaFn setAlpha = nullptr;
    EndFn end = nullptr;
};

template <class F>
F Bind(HMODULE module, const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

// Bound once; the library stays loaded for the life of the process.
const Binding& Calls()
{
    static const Binding binding = [] {
        Binding b;
        if (const HMODULE module = ::LoadLibraryA("uxtheme.dll")) {
            b.begin = Bind<BeginFn>(module, "BeginBufferedPaint");
            b.setAlpha = Bind<SetAlphaFn>(module, "BufferedPaintSetAlpha");
            b.end = Bind<EndFn>(module, "EndBufferedPaint");
            if (b.begin == nullptr || b.setAlpha == nullptr || b.end == nullptr)
                b = Binding{};
        }
        return b;
    }();
    return binding;
}

}  // namespace

HPAINTBUFFER BufferedPaint::BeginBufferedPaint(HDC target, const RECT* rect, BP_BUFFERFORMAT format,
                                               BP_PAINTPARAMS* params, HDC* bufferDC)
{
    if (bufferDC != nullptr)
        *bufferDC = nullptr;
    const Binding& calls = Calls();
    return calls.begin != nullptr ? calls.begin(target, rect, format, params, bufferDC) : nullptr;
}

HRESULT BufferedPaint::BufferedPaintSetAlpha(HPAINTBUFFER buffer, const RECT* rect, BYTE alpha)
{
    const Binding& calls = Calls();
    return calls.setAlpha != nullptr ? calls.setAlpha(buffer, rect, alpha) : E_NOTIMPL;
}

HRESULT BufferedPaint::EndBufferedPaint(HPAINTBUFFER buffer, BOOL updateTarget)
{
    const Binding& calls = Calls();
    return calls.end != nullptr ? calls.end(buffer, updateTarget) : E_NOTIMPL;
}

#pragma once
// The window manager's five calls as one table, bound from the system's
// dwmapi.dll at the first use, so that a system without the library never
// loads it. The wrappers reach the window manager through here alone; a test
// may put a table of its own in place (Wine composes nothing).
#include <windows.h>
#include <dwmapi.h>

struct DwmCalls {
    HRESULT(WINAPI* isCompositionEnabled)(BOOL* enabled);
    HRESULT(WINAPI* updateThumbnailProperties)(HTHUMBNAIL thumbnail, const DWM_THUMBNAIL_PROPERTIES* properties);
    HRESULT(WINAPI* registerThumbnail)(HWND destination, HWND source, PHTHUMBNAIL thumbnail);
    HRESULT(WINAPI* unregisterThumbnail)(HTHUMBNAIL thumbnail);
    HRESULT(WINAPI* extendFrameIntoClientArea)(HWND window, const MARGINS* margins);
};

// The table in force: the one put in place, else the system's, bound at the
// first call of this function. An entry is null when the library or the
// call is missing.
const DwmCalls& DwmBinding();

// Puts a table in place of the system's; null goes back to the system's.
// The table must stay alive while it is in place.
void ReplaceDwmBinding(const DwmCalls* calls);

// Keeps a copy of a table in place for its own life, then the system's again.
class ScopedDwmBinding {
public:
    explicit ScopedDwmBinding(const DwmCalls& calls) : m_calls(calls) { ReplaceDwmBinding(&m_calls); }
    ~ScopedDwmBinding() { ReplaceDwmBinding(nullptr); }
    ScopedDwmBinding(const ScopedDwmBinding&) = delete;
    ScopedDwmBinding& operator=(const ScopedDwmBinding&) = delete;

private:
    DwmCalls m_calls;
};

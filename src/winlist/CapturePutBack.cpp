#include "CapturePutBack.h"

#include "CHandle.h"
#include "CaptureJob.h"
#include "SentMessageWait.h"

namespace {

// How long the end waits for a window to take its style back before it
// leaves the request with the window.
const DWORD kStyleWaitMs = 500;

struct StyleBack {
    HWND window;
    LONG exStyle;
};

DWORD WINAPI StyleBackThread(LPVOID parameter)
{
    const StyleBack* back = static_cast<StyleBack*>(parameter);
    ::SetWindowLongA(back->window, GWL_EXSTYLE, back->exStyle);
    delete back;
    return 0;
}

// The style is set by the window's own thread, so the call waits for its
// answer: it is made on a thread of its own. When this program ends before
// the window answers, the request stays with the window all the same.
void PutStyleBack(HWND window, LONG exStyle)
{
    StyleBack* back = new StyleBack{window, exStyle};
    const CHandle thread(::CreateThread(nullptr, 0, &StyleBackThread, back, 0, nullptr));
    if (!thread.IsValid()) {
        delete back;
        return;
    }
    WaitHandlingSentMessages(thread.Get(), kStyleWaitMs);
}

}  // namespace

void PutBackWithoutAnswer(CaptureJob& job)
{
    const CaptureProgress progress = job.GiveUp();
    const WindowCaptureRequest& r = job.Request();
    const HWND hWnd = r.window;
    if (!r.minimised || !::IsWindow(hWnd))
        return;
    // Nothing changed yet, or all given back (or on its way to the window).
    const CaptureStep step = progress.begun;
    if (step == CaptureStep::kNone || step >= CaptureStep::kStyleBack)
        return;
    if (r.layered)
        ::SetLayeredWindowAttributes(hWnd, r.key, r.alpha, r.flags);
    else
        ::SetLayeredWindowAttributes(hWnd, 0, 255, LWA_ALPHA);
    // Back where it was restored, unless that move has begun; minimised,
    // unless that has begun: a window minimised again is neither moved nor
    // shown any more.
    if (step >= CaptureStep::kMovedAway && step < CaptureStep::kMovedBack) {
        const RECT& rect = progress.restoredRect;
        ::SetWindowPos(hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    }
    if (step >= CaptureStep::kShown && step < CaptureStep::kMinimisedAgain)
        ::ShowWindowAsync(hWnd, SW_SHOWMINNOACTIVE);
    const bool redrawOff = (step >= CaptureStep::kRedrawOff && step < CaptureStep::kRedrawOn) ||
                           (step >= CaptureStep::kRedrawOffAgain && step < CaptureStep::kRedrawOnAgain);
    if (redrawOff)
        ::SendNotifyMessageA(hWnd, WM_SETREDRAW, TRUE, 0);
    if (!r.layered)
        PutStyleBack(hWnd, r.exStyle);
}

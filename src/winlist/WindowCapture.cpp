#include "WindowCapture.h"

#include "MemoryDC.h"

namespace {

// Far enough to be out of every screen.
const int kOffScreen = 10000;
// How long the end waits for a window to take its style back before it
// leaves the request with the window.
const DWORD kStyleWaitMs = 500;

// The screen's device context for the life of the object.
class ScreenDC {
public:
    ScreenDC() : m_hDC(::GetDC(nullptr)) {}
    ~ScreenDC() { ::ReleaseDC(nullptr, m_hDC); }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC Get() const { return m_hDC; }

private:
    HDC m_hDC;
};

// A critical section held for the life of the object.
class Lock {
public:
    explicit Lock(CRITICAL_SECTION& section) : m_section(section) { ::EnterCriticalSection(&m_section); }
    ~Lock() { ::LeaveCriticalSection(&m_section); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};

void SetWindowRedraw(HWND hWnd, BOOL redraw)
{
    ::SendMessageA(hWnd, WM_SETREDRAW, static_cast<WPARAM>(redraw), 0);
}

// A bitmap of the window's present size; the window's rectangle in *rect.
bool NewImage(HWND window, HDC screen, WindowImage* image, RECT* rect)
{
    *rect = RECT{};
    ::GetWindowRect(window, rect);
    image->width = rect->right - rect->left;
    image->height = rect->bottom - rect->top;
    image->bitmap = ::CreateCompatibleBitmap(screen, image->width, image->height);
    return image->bitmap != nullptr;
}

// The system may report another program's minimised window with its
// minimised rectangle as its normal position (Wine knows no other process's
// normal position): one that is the minimised spot or lies off every screen
// is not given back.
bool IsTrustedNormal(const RECT& normal, const RECT& minimised)
{
    return !::EqualRect(&normal, &minimised) && ::MonitorFromRect(&normal, MONITOR_DEFAULTTONULL) != nullptr;
}

// A rectangle of the screen as a placement holds it: in work-area
// coordinates, but for a tool window.
RECT PlacementRect(const RECT& screen, LONG exStyle)
{
    RECT rect = screen;
    if ((exStyle & WS_EX_TOOLWINDOW) != 0)
        return rect;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(::MonitorFromRect(&screen, MONITOR_DEFAULTTONEAREST), &info))
        ::OffsetRect(&rect, info.rcMonitor.left - info.rcWork.left, info.rcMonitor.top - info.rcWork.top);
    return rect;
}

// Shared by the waiting caller and the capturing thread; the last of the
// two to let go deletes it, and the image when nobody took it.
struct Job {
    WindowCaptureRequest request;
    WindowImage image;
    HANDLE done = nullptr;
    LONG references = 2;
    LONG taken = 0;  // 1 once the caller took the image, 2 once it gave up

    // Under the lock: given up for the program's end (the thread does
    // nothing more), and the rectangle of the window once restored.
    CRITICAL_SECTION lock;
    bool abandoned = false;
    bool restored = false;
    RECT restoredRect{};

    Job() { ::InitializeCriticalSection(&lock); }
    ~Job() { ::DeleteCriticalSection(&lock); }
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    void Release()
    {
        if (::InterlockedDecrement(&references) != 0)
            return;
        if (taken != 1 && image.bitmap != nullptr)
            ::DeleteObject(image.bitmap);
        ::CloseHandle(done);
        delete this;
    }
    // False once the capture was given up: each step asks before it acts.
    bool GoOn()
    {
        const Lock held(lock);
        return !abandoned;
    }
};

void Capture(Job* job)
{
    const WindowCaptureRequest& r = job->request;
    const HWND hWnd = r.window;
    RECT minimised{};
    RECT restored{};
    if (r.minimised) {
        ::GetWindowRect(hWnd, &minimised);
        ::SetWindowLongA(hWnd, GWL_EXSTYLE, r.exStyle | WS_EX_LAYERED);
        {
            const Lock held(job->lock);
            if (job->abandoned)
                return;
            ::SetLayeredWindowAttributes(hWnd, 0, 0, LWA_ALPHA);
        }
        if (!job->GoOn())
            return;
        SetWindowRedraw(hWnd, FALSE);
        if (!job->GoOn())
            return;
        ::ShowWindow(hWnd, SW_SHOWNORMAL);
        if (!job->GoOn())
            return;
        SetWindowRedraw(hWnd, TRUE);
        // Away from where it is once restored: the normal position read
        // before may be the minimised spot.
        ::GetWindowRect(hWnd, &restored);
        {
            const Lock held(job->lock);
            if (job->abandoned)
                return;
            job->restoredRect = restored;
            job->restored = true;
        }
        ::MoveWindow(hWnd, restored.left + kOffScreen, restored.top + kOffScreen, restored.right - restored.left,
                     restored.bottom - restored.top, TRUE);
    }

    if (!job->GoOn())
        return;
    {
        const ScreenDC screen;
        RECT rect{};
        if (NewImage(hWnd, screen.Get(), &job->image, &rect)) {
            MemoryDC memory(screen.Get(), job->image.bitmap);
            ::PrintWindow(hWnd, memory.Get(), 0);
        }
    }
    if (!r.minimised || !job->GoOn())
        return;

    SetWindowRedraw(hWnd, FALSE);
    // Minimised from where it was restored, still transparent: where the
    // placement cannot be set (another process's window under Wine), that
    // is the normal position the window keeps.
    if (!job->GoOn())
        return;
    ::SetWindowPos(hWnd, nullptr, restored.left, restored.top, restored.right - restored.left,
                   restored.bottom - restored.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    WINDOWPLACEMENT placement = r.placement;
    if (!IsTrustedNormal(placement.rcNormalPosition, minimised))
        placement.rcNormalPosition = PlacementRect(restored, r.exStyle);
    placement.showCmd = SW_MINIMIZE;
    if (!job->GoOn())
        return;
    ::SetWindowPlacement(hWnd, &placement);
    if (!job->GoOn())
        return;
    ::SendMessageA(hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    if (!job->GoOn())
        return;
    SetWindowRedraw(hWnd, TRUE);
    {
        const Lock held(job->lock);
        if (job->abandoned)
            return;
        if (r.layered) {
            ::SetLayeredWindowAttributes(hWnd, r.key, r.alpha, r.flags);
            return;
        }
    }
    ::SetWindowLongA(hWnd, GWL_EXSTYLE, r.exStyle);
}

DWORD WINAPI CaptureThread(LPVOID parameter)
{
    Job* job = static_cast<Job*>(parameter);
    Capture(job);
    ::SetEvent(job->done);
    job->Release();
    return 0;
}

// Waits for the object; messages sent to this thread meanwhile (by the
// captured window, if it is one of this thread's, or on its activation)
// are handled, posted ones stay queued.
bool WaitHandlingSentMessages(HANDLE object, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return ::WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &object, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0)
            return true;
        if (woken != WAIT_OBJECT_0 + 1)
            return ::WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

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
    const HANDLE thread = ::CreateThread(nullptr, 0, &StyleBackThread, back, 0, nullptr);
    if (thread == nullptr) {
        delete back;
        return;
    }
    WaitHandlingSentMessages(thread, kStyleWaitMs);
    ::CloseHandle(thread);
}

// What the capture changed in a minimised window, put back while the window
// does not answer: what the system holds at once, the rest queued to the
// window in the order in which it takes it, behind what the capture is
// still waiting for.
void PutBackWithoutAnswer(Job* job)
{
    const WindowCaptureRequest& r = job->request;
    const HWND hWnd = r.window;
    {
        const Lock held(job->lock);
        job->abandoned = true;
        if (!r.minimised || !::IsWindow(hWnd))
            return;
        if (r.layered)
            ::SetLayeredWindowAttributes(hWnd, r.key, r.alpha, r.flags);
        else
            ::SetLayeredWindowAttributes(hWnd, 0, 255, LWA_ALPHA);
        if (job->restored) {
            const RECT& rect = job->restoredRect;
            ::SetWindowPos(hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
        }
        ::ShowWindowAsync(hWnd, SW_SHOWMINNOACTIVE);
        ::SendNotifyMessageA(hWnd, WM_SETREDRAW, TRUE, 0);
    }
    if (!r.layered)
        PutStyleBack(hWnd, r.exStyle);
}

// The capture that ran out of time and has not finished: it holds one
// reference of its job. The UI thread alone reads and writes it.
Job* g_stuck = nullptr;

}  // namespace

HWND StuckCapture()
{
    if (g_stuck != nullptr && ::WaitForSingleObject(g_stuck->done, 0) == WAIT_OBJECT_0) {
        g_stuck->Release();
        g_stuck = nullptr;
    }
    return g_stuck != nullptr ? g_stuck->request.window : nullptr;
}

void FinishStuckCapture(DWORD timeoutMs)
{
    if (StuckCapture() == nullptr || !g_stuck->GoOn())
        return;
    if (WaitHandlingSentMessages(g_stuck->done, timeoutMs)) {
        StuckCapture();
        return;
    }
    PutBackWithoutAnswer(g_stuck);
}

bool WindowAnswers(HWND window, UINT timeoutMs)
{
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &answer) != 0;
}

bool CaptureWindowBounded(const WindowCaptureRequest& request, DWORD timeoutMs, WindowImage* image)
{
    *image = WindowImage{};
    // One thread that hangs in a window is the most this program keeps.
    if (StuckCapture() != nullptr)
        return false;
    Job* job = new Job;
    job->request = request;
    job->done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const HANDLE thread =
        job->done != nullptr ? ::CreateThread(nullptr, 0, &CaptureThread, job, 0, nullptr) : nullptr;
    if (thread == nullptr) {
        job->references = 1;
        job->Release();
        return false;
    }
    ::CloseHandle(thread);
    const bool finished = WaitHandlingSentMessages(job->done, timeoutMs);
    if (finished) {
        job->taken = 1;
        *image = job->image;
    } else {
        job->taken = 2;
        ::InterlockedIncrement(&job->references);
        g_stuck = job;
    }
    job->Release();
    return finished;
}

bool CaptureWindowFromScreen(HWND window, WindowImage* image)
{
    *image = WindowImage{};
    const ScreenDC screen;
    RECT rect{};
    if (!NewImage(window, screen.Get(), image, &rect))
        return false;
    MemoryDC memory(screen.Get(), image->bitmap);
    ::BitBlt(memory.Get(), 0, 0, image->width, image->height, screen.Get(), rect.left, rect.top, SRCCOPY);
    return true;
}

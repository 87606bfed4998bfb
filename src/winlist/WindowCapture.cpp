#include "WindowCapture.h"

#include "MemoryDC.h"

namespace {

// Far enough to be out of every screen.
const int kOffScreen = 10000;

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

// Shared by the waiting caller and the capturing thread; the last of the
// two to let go deletes it, and the image when nobody took it.
struct Job {
    WindowCaptureRequest request;
    WindowImage image;
    HANDLE done = nullptr;
    LONG references = 2;
    LONG taken = 0;  // 1 once the caller took the image, 2 once it gave up

    void Release()
    {
        if (::InterlockedDecrement(&references) != 0)
            return;
        if (taken != 1 && image.bitmap != nullptr)
            ::DeleteObject(image.bitmap);
        ::CloseHandle(done);
        delete this;
    }
};

void Capture(const WindowCaptureRequest& r, WindowImage* image)
{
    const HWND hWnd = r.window;
    if (r.minimised) {
        ::SetWindowLongA(hWnd, GWL_EXSTYLE, r.exStyle | WS_EX_LAYERED);
        ::SetLayeredWindowAttributes(hWnd, 0, 0, LWA_ALPHA);
        SetWindowRedraw(hWnd, FALSE);
        ::ShowWindow(hWnd, SW_SHOWNORMAL);
        SetWindowRedraw(hWnd, TRUE);
        const RECT& normal = r.placement.rcNormalPosition;
        ::MoveWindow(hWnd, normal.left + kOffScreen, normal.top + kOffScreen, normal.right - normal.left,
                     normal.bottom - normal.top, TRUE);
    }

    {
        const ScreenDC screen;
        RECT rect{};
        if (NewImage(hWnd, screen.Get(), image, &rect)) {
            MemoryDC memory(screen.Get(), image->bitmap);
            ::PrintWindow(hWnd, memory.Get(), 0);
        }
    }

    if (r.minimised) {
        SetWindowRedraw(hWnd, FALSE);
        WINDOWPLACEMENT placement = r.placement;
        placement.showCmd = SW_MINIMIZE;
        ::SetWindowPlacement(hWnd, &placement);
        ::SendMessageA(hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        SetWindowRedraw(hWnd, TRUE);
        if (r.layered)
            ::SetLayeredWindowAttributes(hWnd, r.key, r.alpha, r.flags);
        else
            ::SetWindowLongA(hWnd, GWL_EXSTYLE, r.exStyle);
    }
}

DWORD WINAPI CaptureThread(LPVOID parameter)
{
    Job* job = static_cast<Job*>(parameter);
    Capture(job->request, &job->image);
    ::SetEvent(job->done);
    job->Release();
    return 0;
}

// Waits for the event; messages sent to this thread meanwhile (by the
// captured window, if it is one of this thread's, or on its activation)
// are handled, posted ones stay queued.
bool WaitHandlingSentMessages(HANDLE event, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &event, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0)
            return true;
        if (woken != WAIT_OBJECT_0 + 1)
            return ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
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

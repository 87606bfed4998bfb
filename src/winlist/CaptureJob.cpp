#include "CaptureJob.h"

#include "CapturePlacement.h"
#include "MemoryDC.h"
#include "ScreenDC.h"

namespace {

// Far enough to be out of every screen.
const int kOffScreen = 10000;

void SetWindowRedraw(HWND hWnd, BOOL redraw)
{
    ::SendMessageA(hWnd, WM_SETREDRAW, static_cast<WPARAM>(redraw), 0);
}

}  // namespace

CaptureJob* CaptureJob::Start(const WindowCaptureRequest& request)
{
    CaptureJob* job = new CaptureJob;
    job->m_request = request;
    job->m_done.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const CHandle thread(job->m_done.IsValid() ? ::CreateThread(nullptr, 0, &CaptureJob::Thread, job, 0, nullptr)
                                               : nullptr);
    if (!thread.IsValid()) {
        delete job;
        return nullptr;
    }
    return job;
}

CaptureJob::~CaptureJob()
{
    if (m_taken != 1 && m_image.bitmap != nullptr)
        ::DeleteObject(m_image.bitmap);
}

WindowImage CaptureJob::TakeImage()
{
    m_taken = 1;
    return m_image;
}

void CaptureJob::DropImage()
{
    m_taken = 2;
}

void CaptureJob::AddReference()
{
    ::InterlockedIncrement(&m_references);
}

void CaptureJob::Release()
{
    if (::InterlockedDecrement(&m_references) == 0)
        delete this;
}

bool CaptureJob::IsGivenUp()
{
    const CriticalSection::Lock held(m_lock);
    return m_abandoned;
}

CaptureProgress CaptureJob::GiveUp()
{
    const CriticalSection::Lock held(m_lock);
    m_abandoned = true;
    return m_progress;
}

// The step is noted before its call and the call made once the lock is let
// go: a lock held across a call that waits for the window would make the
// end wait for it too. So a give-up that comes in between finds the step
// begun while its call has not reached the window yet, and what it queues
// to the window can reach it first; that moment cannot be closed here.
bool CaptureJob::Begin(CaptureStep step)
{
    const CriticalSection::Lock held(m_lock);
    if (m_abandoned)
        return false;
    m_progress.begun = step;
    return true;
}

DWORD WINAPI CaptureJob::Thread(LPVOID parameter)
{
    CaptureJob* job = static_cast<CaptureJob*>(parameter);
    job->Capture();
    {
        const CriticalSection::Lock held(job->m_lock);
        job->m_progress.begun = CaptureStep::kDone;
    }
    ::SetEvent(job->m_done.Get());
    job->Release();
    return 0;
}

void CaptureJob::Capture()
{
    const WindowCaptureRequest& r = m_request;
    const HWND hWnd = r.window;
    RECT minimised{};
    RECT restored{};
    if (r.minimised) {
        ::GetWindowRect(hWnd, &minimised);
        if (!Begin(CaptureStep::kTransparent))
            return;
        ::SetWindowLongA(hWnd, GWL_EXSTYLE, r.exStyle | WS_EX_LAYERED);
        {
            const CriticalSection::Lock held(m_lock);
            if (m_abandoned)
                return;
            ::SetLayeredWindowAttributes(hWnd, 0, 0, LWA_ALPHA);
        }
        if (!Begin(CaptureStep::kRedrawOff))
            return;
        SetWindowRedraw(hWnd, FALSE);
        if (!Begin(CaptureStep::kShown))
            return;
        ::ShowWindow(hWnd, SW_SHOWNORMAL);
        if (!Begin(CaptureStep::kRedrawOn))
            return;
        SetWindowRedraw(hWnd, TRUE);
        // Away from where it is once restored: the normal position read
        // before may be the minimised spot.
        ::GetWindowRect(hWnd, &restored);
        {
            const CriticalSection::Lock held(m_lock);
            if (m_abandoned)
                return;
            m_progress.begun = CaptureStep::kMovedAway;
            m_progress.restoredRect = restored;
        }
        ::MoveWindow(hWnd, restored.left + kOffScreen, restored.top + kOffScreen, restored.right - restored.left,
                     restored.bottom - restored.top, TRUE);
    }

    if (!Begin(CaptureStep::kDrawn))
        return;
    {
        const ScreenDC screen;
        RECT rect{};
        if (NewWindowImage(hWnd, screen.Get(), &m_image, &rect)) {
            MemoryDC memory(screen.Get(), m_image.bitmap);
            ::PrintWindow(hWnd, memory.Get(), 0);
        }
    }
    if (!r.minimised || !Begin(CaptureStep::kRedrawOffAgain))
        return;

    SetWindowRedraw(hWnd, FALSE);
    // Minimised from where it was restored, still transparent: where the
    // placement cannot be set (another process's window under Wine), that
    // is the normal position the window keeps.
    if (!Begin(CaptureStep::kMovedBack))
        return;
    ::SetWindowPos(hWnd, nullptr, restored.left, restored.top, restored.right - restored.left,
                   restored.bottom - restored.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    WINDOWPLACEMENT placement = r.placement;
    if (!IsTrustedNormal(placement.rcNormalPosition, minimised))
        placement.rcNormalPosition = PlacementRect(restored, r.exStyle);
    placement.showCmd = SW_MINIMIZE;
    if (!Begin(CaptureStep::kPlaced))
        return;
    ::SetWindowPlacement(hWnd, &placement);
    if (!Begin(CaptureStep::kMinimisedAgain))
        return;
    ::SendMessageA(hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    if (!Begin(CaptureStep::kRedrawOnAgain))
        return;
    SetWindowRedraw(hWnd, TRUE);
    {
        const CriticalSection::Lock held(m_lock);
        if (m_abandoned)
            return;
        m_progress.begun = CaptureStep::kStyleBack;
        if (r.layered) {
            ::SetLayeredWindowAttributes(hWnd, r.key, r.alpha, r.flags);
            return;
        }
    }
    ::SetWindowLongA(hWnd, GWL_EXSTYLE, r.exStyle);
}

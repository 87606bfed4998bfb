#include "WindowCapture.h"

#include "CaptureJob.h"
#include "CapturePutBack.h"
#include "SentMessageWait.h"

namespace {

// The capture that ran out of time and has not finished: it holds one
// reference of its job. The UI thread alone reads and writes it.
CaptureJob* g_stuck = nullptr;

}  // namespace

HWND StuckCapture()
{
    if (g_stuck != nullptr && g_stuck->IsDone()) {
        g_stuck->Release();
        g_stuck = nullptr;
    }
    return g_stuck != nullptr ? g_stuck->Request().window : nullptr;
}

void FinishStuckCapture(DWORD timeoutMs)
{
    if (StuckCapture() == nullptr || g_stuck->IsGivenUp())
        return;
    if (WaitHandlingSentMessages(g_stuck->Done(), timeoutMs)) {
        StuckCapture();
        return;
    }
    PutBackWithoutAnswer(*g_stuck);
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
    CaptureJob* job = CaptureJob::Start(request);
    if (job == nullptr)
        return false;
    const bool finished = WaitHandlingSentMessages(job->Done(), timeoutMs);
    if (finished) {
        *image = job->TakeImage();
    } else {
        job->DropImage();
        job->AddReference();
        g_stuck = job;
    }
    job->Release();
    return finished;
}

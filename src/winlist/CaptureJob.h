#pragma once
// One capture on a thread of its own, shared by the caller that waits for
// it and the thread that takes it: the last of the two to let go deletes
// it, and the image when nobody took it.
#include "CHandle.h"
#include "CriticalSection.h"
#include "WindowCaptureRequest.h"
#include "WindowImage.h"

#include <windows.h>

// The steps of the capture of a minimised window, in their order; a
// window that is not minimised is only drawn.
enum class CaptureStep {
    kNone,
    kTransparent,     // layered, at alpha 0
    kRedrawOff,
    kShown,           // restored in its place
    kRedrawOn,
    kMovedAway,       // off the screen, from the rectangle it was restored at
    kDrawn,
    kRedrawOffAgain,
    kMovedBack,
    kPlaced,          // its placement given, where the system takes it
    kMinimisedAgain,
    kRedrawOnAgain,
    kStyleBack,       // its layered attributes or its style given back
    kDone,
};

// How far the thread had got when the capture was given up: the step it
// had begun last (whose call may still wait for the window, and is then
// queued to it before whatever is sent after), and the rectangle at which
// the window was restored once it was moved away.
struct CaptureProgress {
    CaptureStep begun = CaptureStep::kNone;
    RECT restoredRect{};
};

class CaptureJob {
public:
    // The capture under way on its thread, with one reference for the
    // caller; null when it cannot be started.
    static CaptureJob* Start(const WindowCaptureRequest& request);

    CaptureJob(const CaptureJob&) = delete;
    CaptureJob& operator=(const CaptureJob&) = delete;

    const WindowCaptureRequest& Request() const { return m_request; }
    // Signalled once the thread has finished.
    HANDLE Done() const { return m_done.Get(); }
    bool IsDone() const { return ::WaitForSingleObject(m_done.Get(), 0) == WAIT_OBJECT_0; }

    // The image of a finished capture, handed to the caller, who deletes it.
    WindowImage TakeImage();
    // The caller will not take the image: the job deletes it.
    void DropImage();

    void AddReference();
    void Release();

    bool IsGivenUp();
    // For the program's end: the thread begins no step from here on.
    CaptureProgress GiveUp();

private:
    CaptureJob() = default;
    ~CaptureJob();

    static DWORD WINAPI Thread(LPVOID parameter);
    void Capture();
    // Notes the step as begun; false once the capture was given up, and the
    // step is then not taken.
    bool Begin(CaptureStep step);

    WindowCaptureRequest m_request;
    WindowImage m_image;
    CHandle m_done;
    LONG m_references = 2;
    LONG m_taken = 0;  // 1 once the caller took the image, 2 once it gave up

    // Under the lock: given up (the thread begins nothing more), and how far
    // the thread has got.
    CriticalSection m_lock;
    bool m_abandoned = false;
    CaptureProgress m_progress;
};

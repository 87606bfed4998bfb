#pragma once
// One capture on a thread of its own, shared by the caller that waits for
// it and the thread that takes it: the last of the two to let go deletes
// it, and the image when nobody took it.
#include "CHandle.h"
#include "CriticalSection.h"
#include "WindowCaptureRequest.h"
#include "WindowImage.h"

#include <windows.h>

// What the thread had done to a minimised window when it was given up.
struct CaptureProgress {
    bool restored = false;  // restored, with its rectangle then in restoredRect
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

    // False once the capture was given up.
    bool GoOn();
    // For the program's end: the thread does nothing more from here on.
    CaptureProgress GiveUp();

private:
    CaptureJob() = default;
    ~CaptureJob();

    static DWORD WINAPI Thread(LPVOID parameter);
    void Capture();

    WindowCaptureRequest m_request;
    WindowImage m_image;
    CHandle m_done;
    LONG m_references = 2;
    LONG m_taken = 0;  // 1 once the caller took the image, 2 once it gave up

    // Under the lock: given up (the thread does nothing more), and what the
    // thread has done.
    CriticalSection m_lock;
    bool m_abandoned = false;
    CaptureProgress m_progress;
};

#pragma once
// Pictures of another program's window that never let the caller wait on
// that window for longer than a bound: a program that hangs must not
// freeze this one.
#include "WindowCaptureRequest.h"
#include "WindowImage.h"

#include <windows.h>

// True when the window's thread takes a message within the time.
bool WindowAnswers(HWND window, UINT timeoutMs);

// The whole window drawn by itself (PrintWindow), on a thread of its own
// that the caller waits for at most timeoutMs, handling the messages sent
// to its thread meanwhile. False when the time ran out: the capture then
// finishes on its own when the window answers again (a minimised window is
// put back only then), and its image is dropped. Until it has finished no
// other capture is started: false at once.
bool CaptureWindowBounded(const WindowCaptureRequest& request, DWORD timeoutMs, WindowImage* image);

// The window whose capture ran out of time and has not finished yet; null
// when there is none. UI thread only.
HWND StuckCapture();

// For the program's end, after which the capture's thread would stop
// halfway: waits at most timeoutMs for a capture that ran out of time; one
// that has not finished by then does nothing more, and what it changed in a
// minimised window is put back by calls that do not wait for the window's
// answer (its layered attributes at once; its place, its minimising and its
// style as the window takes them, also after this program has ended).
void FinishStuckCapture(DWORD timeoutMs);

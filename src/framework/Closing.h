#pragma once
// The program's closing road: once it has begun (the medium is gone, so its
// letter may name another volume by now), no dialog or message box of the
// program opens any more, those open end as cancelled, and nothing more is
// written.
#include <windows.h>

#include <functional>

void AfxBeginClosing();
bool AfxIsClosing();
// The program's look at its medium, set once it knows the medium; it begins
// the closing road itself when the medium is gone. The removal's notice may
// never come (a thread held up longer than the system waits misses it), so
// the medium is looked at after each step that can hold the thread for long
// (the system's file dialog and folder picker, the shell's copy) and before
// anything is written to it or started from it.
void AfxSetMediumCheck(std::function<void()> check);
// Runs that look; true while the closing road has not begun.
bool AfxMediumStillHere();
// Ends every modal loop open on this thread but that of keep (the main
// dialog): the program's own dialogs with IDCANCEL, the system's (message
// boxes, the file dialog, the folder picker, the shell's questions) as their
// Cancel does, and an open menu.
void AfxEndModalLoops(HWND keep);
// What a message box of this type answers once the road has begun: No to a
// question, OK to a notice, else Cancel.
int AfxClosingAnswer(UINT type);
// Back to before the road, for a process that runs the program's dialogs again (a test's).
void AfxResetClosing();

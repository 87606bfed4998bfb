#pragma once
// The program's closing road: once it has begun (the medium is gone, so its
// letter may name another volume by now), no dialog or message box of the
// program opens any more, those open end as cancelled, and nothing more is
// written.
#include <windows.h>

void AfxBeginClosing();
bool AfxIsClosing();
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

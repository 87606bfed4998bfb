#pragma once
#include <windows.h>

// Waits at most timeoutMs for the object; messages sent to this thread
// meanwhile (by a window of this thread that another one waits on, or on its
// activation) are handled, posted ones stay queued. True once it is signalled.
bool WaitHandlingSentMessages(HANDLE object, DWORD timeoutMs);

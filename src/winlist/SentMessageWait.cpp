#include "SentMessageWait.h"

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

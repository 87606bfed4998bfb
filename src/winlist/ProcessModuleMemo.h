#pragma once
// What one window-list refresh has read of the processes, so that a process
// with many windows is asked once per refresh. Between refreshes it holds
// nothing: a process id may name another process later.
#include "ProcessModule.h"

#include <utility>
#include <vector>

class ProcessModuleMemo {
public:
    // From Begin to End each process is read once; outside, every Get reads.
    void Begin();
    void End();
    ProcessModule Get(DWORD processId);

private:
    bool m_bActive = false;
    std::vector<std::pair<DWORD, ProcessModule>> m_known;  // a few dozen processes at most
};

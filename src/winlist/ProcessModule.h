#pragma once
// The executable of another process: its first module. Both read the
// process afresh on every call; "" when it cannot be opened or read.
#include "CString.h"

#include <windows.h>

void GetProcessModulePath(DWORD processId, CString& path);
void GetProcessModuleName(DWORD processId, CString& name);

#pragma once
// The executable of another process: the path of its main module (the
// first of its modules), and the file name that ends that path. Every call
// reads the process afresh; both are "" when it cannot be opened or read.
#include "CString.h"

#include <windows.h>

struct ProcessModule {
    CString path;
    CString name;
    // False when the path does not come whole through the ANSI code page
    // within MAX_PATH bytes: path then holds what the ANSI interfaces make of it.
    bool whole = false;
};

ProcessModule ReadProcessModule(DWORD processId);

void GetProcessModulePath(DWORD processId, CString& path);
void GetProcessModuleName(DWORD processId, CString& name);

#pragma once
// One listed top-level window and the program it belongs to. A value: the
// window handle is only named, never owned.
#include "CString.h"

#include <windows.h>

class CWinItem {
public:
    CWinItem();
    CWinItem(const CWinItem& other);
    CWinItem& operator=(const CWinItem& other);
    virtual ~CWinItem();

    HWND m_hWnd;
    DWORD m_dwProcessId;
    CString m_strTitle;        // the window text when listed, at most 255 bytes
    CString m_strProgramName;  // file name of the process's executable
    CString m_strProgramPath;  // its full path, drive first
    // The process's path could not be read whole in the ANSI code page:
    // m_strProgramPath is not the program's path then.
    BOOL m_bPathUnfit;
};

#pragma once
// The application object: one per program, constructed with the program's
// static objects; the entry point runs its InitInstance once.
#include "CString.h"

#include <windows.h>

class CWnd;

class CWinApp {
public:
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The program's start-up; FALSE ends the program without a message loop.
    virtual BOOL InitInstance();
    virtual int ExitInstance() { return 0; }

    // The command line's arguments as the program was started (0 is its path).
    static int GetArgCount();
    static const char* GetArg(int index);

    // The application title: the given name, else the executable's file
    // name without its extension.
    const char* GetAppName() const { return m_strAppName.GetString(); }

    CWnd* m_pMainWnd = nullptr;  // owner of message boxes and of dialogs opened without one
    HINSTANCE m_hInstance;

private:
    CString m_strAppName;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The title when an application object exists, else the executable's name.
const char* AfxGetAppName();
HINSTANCE AfxGetResourceHandle();
// The owner of a box or dialog opened without one: the main window, or the
// popup last active over it; null when there is no main window.
HWND AfxDefaultOwner();
// The executable's file name without its folder and extension.
CString AfxModuleTitle();

// Runs the application object: the search for libraries kept to the system
// folder, common controls, InitInstance, exit code.
int AfxWinMain();

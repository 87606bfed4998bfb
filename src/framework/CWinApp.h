#pragma once
// The application object: one per program, constructed with the program's
// static objects; the entry point runs its InitInstance once.
#include "CString.h"

#include <windows.h>

#include <initializer_list>
#include <vector>

class CWnd;
class CWinApp;

// The framework's help command: F1 in a top-level dialog sends it to the main window.
enum : UINT { ID_HELP = 0xE146 };

// The application's command table: commands that no window took, by id; a
// class's table is searched before its base class's.
struct AppCommandEntry {
    UINT id;
    void (CWinApp::*handler)();
};
struct AppCommandMap {
    AppCommandMap(const AppCommandMap* base, std::initializer_list<AppCommandEntry> list)
        : baseMap(base), entries(list) {}
    const AppCommandMap* baseMap;
    std::vector<AppCommandEntry> entries;
};

// How the help file reaches the system's viewer (the platform's by default;
// tests replace it): the two folders searched for the viewer, and the start.
struct HelpCalls {
    UINT(WINAPI* windowsFolder)(LPSTR, UINT);
    UINT(WINAPI* systemFolder)(LPSTR, UINT);
    BOOL(WINAPI* createProcess)(LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID,
                                LPCSTR, LPSTARTUPINFOA, LPPROCESS_INFORMATION);
};
HelpCalls& HelpBinding();

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

    // Runs the command table's handler for a command; FALSE when it has none.
    BOOL OnCmdMsg(UINT id);
    // Opens the help file, when there is one, in the system's viewer.
    void OnHelp();

    CWnd* m_pMainWnd = nullptr;  // owner of message boxes and of dialogs opened without one
    HINSTANCE m_hInstance;
    CString m_strHelpFilePath;  // the program's path with the extension ".hlp"

protected:
    virtual const AppCommandMap* GetCommandMap() const;

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

// The panel's collection of windows and its Skype check.
#include "CWinListDlg.h"

#include "ProcessModule.h"

// Each process is asked once per refresh, however many windows it has.
BOOL CWinListDlg::RefreshWindowItems()
{
    m_items.clear();
    m_refreshModules.Begin();
    ::EnumWindows(&CWinListDlg::EnumWindowsProc, reinterpret_cast<LPARAM>(this));
    m_refreshModules.End();
    return TRUE;
}

BOOL CALLBACK CWinListDlg::EnumWindowsProc(HWND hWnd, LPARAM lParam)
{
    reinterpret_cast<CWinListDlg*>(lParam)->AddWindowItem(hWnd);
    return TRUE;
}

// The cheap tests come first; each process is opened only for windows
// that are visible and have a text.
void CWinListDlg::AddWindowItem(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !::IsWindowVisible(hWnd))
        return;
    char title[256] = {};
    ::GetWindowTextA(hWnd, title, sizeof title);
    if (title[0] == '\0')
        return;

    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    const ProcessModule module = m_refreshModules.Get(processId);
    // The program's own windows, by its fixed file name.
    if (module.name == "Vellokari.exe")
        return;
    if ((::GetWindowLongA(hWnd, GWL_STYLE) & WS_SYSMENU) == 0)
        return;
    RECT rect{};
    ::GetWindowRect(hWnd, &rect);
    if (rect.top == rect.bottom || rect.left == rect.right)
        return;

    CString pathDrive = module.path.Left(2);
    CString drive = m_strDrive;
    if (pathDrive.MakeUpper() != drive.MakeUpper())
        return;

    CWinItem item;
    item.m_hWnd = hWnd;
    item.m_dwProcessId = processId;
    item.m_strTitle = title;
    item.m_strProgramName = module.name;
    item.m_strProgramPath = module.path;
    item.m_bPathUnfit = module.whole ? FALSE : TRUE;
    m_items.push_back(item);
}

BOOL CWinListDlg::IsSkypeRunning()
{
    m_bSkypeFound = 0;
    ::EnumWindows(&CWinListDlg::EnumSkypeWindowsProc, reinterpret_cast<LPARAM>(this));
    return m_bSkypeFound;
}

BOOL CALLBACK CWinListDlg::EnumSkypeWindowsProc(HWND hWnd, LPARAM lParam)
{
    return reinterpret_cast<CWinListDlg*>(lParam)->CheckSkypeWindow(hWnd) == 1 ? FALSE : TRUE;
}

// Hidden windows count too; the drive is compared exactly here.
int CWinListDlg::CheckSkypeWindow(HWND hWnd)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    CString path;
    GetProcessModulePath(processId, path);
    if (path.Left(2) != m_strDrive)
        return 0;
    CString name;
    GetProcessModuleName(processId, name);
    if (name != "Skype.exe")
        return 0;
    m_bSkypeFound = 1;
    return 1;
}

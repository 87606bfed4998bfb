#include "CWinApp.h"

#include "CFile.h"
#include "CHandle.h"
#include "CWnd.h"
#include "Closing.h"
#include "CommonControlsBinding.h"
#include "Mbcs.h"
#include "SystemLibrary.h"

#include <commctrl.h>
#include <cstdlib>
#include <vector>

namespace {
CWinApp* g_app = nullptr;

CString HelpFilePath()
{
    char path[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString help(path);
    const char* slash = MbcsReverseFind(path, '\\');
    const int dot = help.ReverseFind('.');
    if (dot >= 0 && (slash == nullptr || dot > slash - path))
        help = help.Left(dot);
    return help + ".hlp";
}

const char kHelpViewer[] = "winhlp32.exe";

// The help viewer in the Windows folder, else in the system folder; empty
// when neither holds it. Its folder comes back too.
CString HelpViewerPath(CString& folder)
{
    for (UINT(WINAPI * getFolder)(LPSTR, UINT) : {HelpBinding().windowsFolder, HelpBinding().systemFolder}) {
        char text[MAX_PATH + 1] = {};
        const UINT length = getFolder(text, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            continue;
        // A root ("C:\") ends in its backslash, other folders do not.
        const char* slash = MbcsReverseFind(text, '\\');
        const bool root = slash != nullptr && slash[1] == '\0';
        folder = text;
        const CString viewer = folder + (root ? "" : "\\") + kHelpViewer;
        if (IsFileAt(viewer))
            return viewer;
    }
    folder.Empty();
    return CString();
}

}  // namespace

HelpCalls& HelpBinding()
{
    static HelpCalls calls{&::GetSystemWindowsDirectoryA, &::GetSystemDirectoryA, &::CreateProcessA};
    return calls;
}

CString AfxModuleTitle()
{
    char path[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* slash = MbcsReverseFind(path, '\\');
    CString name(slash != nullptr ? slash + 1 : path);
    const int dot = name.ReverseFind('.');
    return dot >= 0 ? name.Left(dot) : name;
}

CWinApp::CWinApp(const char* appName)
    : m_hInstance(::GetModuleHandleA(nullptr)),
      m_strHelpFilePath(HelpFilePath()),
      m_strAppName(appName != nullptr ? CString(appName) : AfxModuleTitle())
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

const AppCommandMap* CWinApp::GetCommandMap() const
{
    static const AppCommandMap map{nullptr, {}};
    return &map;
}

BOOL CWinApp::OnCmdMsg(UINT id)
{
    for (const AppCommandMap* map = GetCommandMap(); map != nullptr; map = map->baseMap) {
        for (const AppCommandEntry& entry : map->entries) {
            if (entry.id == id) {
                (this->*entry.handler)();
                return TRUE;
            }
        }
    }
    return FALSE;
}

void CWinApp::OnHelp()
{
    // Once the medium has gone its letter may name another volume's file.
    if (AfxIsClosing())
        return;
    // Without its file the program has no help, and F1 shows nothing.
    if (!IsFileAt(m_strHelpFilePath))
        return;
    // The viewer by its full path in a system folder, started there: the
    // system's own help call finds it by name, and one beside the program
    // or in the current folder would run. No viewer there, no help.
    CString folder;
    const CString viewer = HelpViewerPath(folder);
    if (viewer.IsEmpty())
        return;
    const CString commandLine = "\"" + viewer + "\" \"" + m_strHelpFilePath + "\"";
    std::vector<char> line(commandLine.GetString(), commandLine.GetString() + commandLine.GetLength() + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!HelpBinding().createProcess(viewer, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                                     &process))
        return;
    // Not waited for: both handles go at once.
    const CHandle started(process.hProcess);
    const CHandle thread(process.hThread);
}

int CWinApp::GetArgCount()
{
    return __argc;
}

const char* CWinApp::GetArg(int index)
{
    return index >= 0 && index < __argc && __argv != nullptr ? __argv[index] : "";
}

CWinApp* AfxGetApp()
{
    return g_app;
}

CWnd* AfxGetMainWnd()
{
    return g_app != nullptr ? g_app->m_pMainWnd : nullptr;
}

const char* AfxGetAppName()
{
    if (g_app != nullptr)
        return g_app->GetAppName();
    static const CString title = AfxModuleTitle();
    return title.GetString();
}

HWND AfxDefaultOwner()
{
    CWnd* main = AfxGetMainWnd();
    const HWND owner = main != nullptr ? main->m_hWnd : nullptr;
    if (owner == nullptr || !::IsWindow(owner))
        return nullptr;
    return ::GetLastActivePopup(owner);
}

HINSTANCE AfxGetResourceHandle()
{
    return ::GetModuleHandleA(nullptr);
}

int AfxWinMain()
{
    // Before anything loads a library: none may come from the medium.
    AfxRestrictDllSearch();
    InitCommonControlsOnce();
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return -1;
    if (app->InitInstance()) {
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return app->ExitInstance();
}

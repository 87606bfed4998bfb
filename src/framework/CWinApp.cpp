#include "CWinApp.h"

#include "CWnd.h"
#include "CommonControlsBinding.h"
#include "Mbcs.h"
#include "SystemLibrary.h"

#include <commctrl.h>
#include <cstdlib>

namespace {
CWinApp* g_app = nullptr;
}  // namespace

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

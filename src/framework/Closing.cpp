#include "Closing.h"

#include "CDialog.h"

#include <utility>
#include <vector>

namespace {

bool g_closing = false;
std::function<void()> g_mediumCheck;

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
    return TRUE;
}

bool IsDialogWindow(HWND hwnd)
{
    char name[16] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0;
}

}  // namespace

void AfxBeginClosing()
{
    g_closing = true;
}

bool AfxIsClosing()
{
    return g_closing;
}

void AfxSetMediumCheck(std::function<void()> check)
{
    g_mediumCheck = std::move(check);
}

bool AfxMediumStillHere()
{
    if (!g_closing && g_mediumCheck)
        g_mediumCheck();
    return !g_closing;
}

void AfxEndModalLoops(HWND keep)
{
    ::EndMenu();
    // Collected first: ending a dialog changes the thread's windows.
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (const HWND hwnd : windows) {
        if (hwnd == keep || !::IsWindow(hwnd) || !IsDialogWindow(hwnd))
            continue;
        if (auto* own = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hwnd))) {
            own->EndForClosing();
            continue;
        }
        // The system's own: its Cancel, then the end that a box without a
        // Cancel button needs.
        ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(hwnd, IDCANCEL)));
        if (::IsWindow(hwnd))
            ::EndDialog(hwnd, IDCANCEL);
    }
}

int AfxClosingAnswer(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return IDOK;
    case MB_YESNO:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

void AfxResetClosing()
{
    g_closing = false;
}

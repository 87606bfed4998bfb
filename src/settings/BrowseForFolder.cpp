#include "BrowseForFolder.h"

#include "AnsiPath.h"
#include "CWinApp.h"
#include "CWnd.h"
#include "Closing.h"

#include <shlobj.h>

#include <cstring>
#include <cwchar>

namespace {
char g_szFolder[MAX_PATH];
}  // namespace

int CALLBACK BrowseFolderCallback(HWND hwnd, UINT msg, LPARAM, LPARAM lpData)
{
    if (msg == BFFM_INITIALIZED)
        ::SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, lpData);
    return 0;
}

char* BrowseForFolder(const char* startFolder, bool* unfit)
{
    if (unfit != nullptr)
        *unfit = false;
    std::memset(g_szFolder, 0, sizeof g_szFolder);
    if (AfxIsClosing())
        return nullptr;

    CWnd* main = AfxGetMainWnd();
    BROWSEINFOA info{};
    info.hwndOwner = main != nullptr ? main->m_hWnd : nullptr;
    info.pidlRoot = nullptr;
    info.pszDisplayName = g_szFolder;
    info.lpszTitle = "フォルダの選択";
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = &BrowseFolderCallback;
    info.lParam = reinterpret_cast<LPARAM>(startFolder);

    LPITEMIDLIST chosen = ::SHBrowseForFolderA(&info);
    // The display name may fill the buffer without its NUL: it is never read.
    std::memset(g_szFolder, 0, sizeof g_szFolder);
    // Ended by the closing road, the picker answers with its start folder;
    // and its medium may have gone unheard while it was open.
    if (!AfxMediumStillHere()) {
        if (chosen != nullptr)
            ::CoTaskMemFree(chosen);
        return nullptr;
    }
    if (chosen == nullptr)
        return nullptr;
    // The ANSI form of the path comes back cut at MAX_PATH or with other
    // characters in place of those that the code page lacks: the path is
    // read in UTF-16 and taken only when it comes through whole. The UTF-16
    // form is cut at MAX_PATH too, with success: one that fills the buffer
    // may have been longer.
    wchar_t wide[MAX_PATH] = {};
    const BOOL converted = ::SHGetPathFromIDListW(chosen, wide);
    ::CoTaskMemFree(chosen);
    if (!converted)
        return nullptr;
    wide[MAX_PATH - 1] = L'\0';
    CString path;
    if (std::wcslen(wide) >= MAX_PATH - 1 || !AnsiPathFromWide(wide, &path) || path.IsEmpty() ||
        path.GetLength() >= MAX_PATH) {
        if (unfit != nullptr)
            *unfit = true;
        return nullptr;
    }
    std::memcpy(g_szFolder, path.GetString(), static_cast<std::size_t>(path.GetLength()));
    return g_szFolder;
}

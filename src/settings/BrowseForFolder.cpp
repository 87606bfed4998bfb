#include "BrowseForFolder.h"

#include "CWinApp.h"
#include "CWnd.h"
#include "Closing.h"

#include <shlobj.h>

#include <cstring>

namespace {
char g_szFolder[MAX_PATH];
}  // namespace

int CALLBACK BrowseFolderCallback(HWND hwnd, UINT msg, LPARAM, LPARAM lpData)
{
    if (msg == BFFM_INITIALIZED)
        ::SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, lpData);
    return 0;
}

char* BrowseForFolder(const char* startFolder)
{
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
    if (chosen == nullptr)
        return nullptr;
    const BOOL converted = ::SHGetPathFromIDListA(chosen, g_szFolder);
    ::CoTaskMemFree(chosen);
    return converted ? g_szFolder : nullptr;
}

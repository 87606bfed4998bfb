#include "DwmWrappers.h"

#include "CWnd.h"
#include "DwmBinding.h"

OSVERSIONINFOA g_osVersionInfo{};
int g_osVersionValid = 0;

void LoadOsVersionInfo()
{
    ::ZeroMemory(&g_osVersionInfo, sizeof g_osVersionInfo);
    g_osVersionInfo.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (::GetVersionExA(&g_osVersionInfo) == 1)
        g_osVersionValid = 1;
}

int IsDwmAvailable()
{
    if (g_osVersionValid == 0)
        LoadOsVersionInfo();
    return g_osVersionValid == 1 && g_osVersionInfo.dwMajorVersion >= 6u ? 1 : 0;
}

// A missing library or call counts as no window manager: the same -1.
int SafeDwmIsCompositionEnabled(BOOL* pfEnabled)
{
    if (IsDwmAvailable()) {
        if (const auto call = DwmBinding().isCompositionEnabled)
            return static_cast<int>(call(pfEnabled));
    }
    if (pfEnabled != nullptr)
        *pfEnabled = FALSE;
    return -1;
}

int SafeDwmUpdateThumbnailProperties(HTHUMBNAIL hThumbnail, const DWM_THUMBNAIL_PROPERTIES* ptnProperties)
{
    if (!IsDwmAvailable())
        return -1;
    const auto call = DwmBinding().updateThumbnailProperties;
    return call != nullptr ? static_cast<int>(call(hThumbnail, ptnProperties)) : -1;
}

int SafeDwmRegisterThumbnail(HWND hwndDestination, HWND hwndSource, PHTHUMBNAIL phThumbnailId)
{
    if (!IsDwmAvailable())
        return -1;
    const auto call = DwmBinding().registerThumbnail;
    return call != nullptr ? static_cast<int>(call(hwndDestination, hwndSource, phThumbnailId)) : -1;
}

int SafeDwmUnregisterThumbnail(HTHUMBNAIL hThumbnailId)
{
    if (!IsDwmAvailable())
        return -1;
    const auto call = DwmBinding().unregisterThumbnail;
    return call != nullptr ? static_cast<int>(call(hThumbnailId)) : -1;
}

int SafeDwmExtendFrameIntoClientArea(HWND hWnd, const MARGINS* pMarInset)
{
    if (!IsDwmAvailable())
        return -1;
    const auto call = DwmBinding().extendFrameIntoClientArea;
    return call != nullptr ? static_cast<int>(call(hWnd, pMarInset)) : -1;
}

void GetChildRectInParent(CWnd* pParent, CWnd* pChild, RECT* pRect)
{
    if (pRect == nullptr)
        return;
    // A failed query leaves its zeros in place.
    POINT origin{0, 0};
    ::ClientToScreen(pParent != nullptr ? pParent->GetSafeHwnd() : nullptr, &origin);
    RECT window{0, 0, 0, 0};
    ::GetWindowRect(pChild != nullptr ? pChild->GetSafeHwnd() : nullptr, &window);
    pRect->left = window.left - origin.x;
    pRect->top = window.top - origin.y;
    pRect->right = window.right - origin.x;
    pRect->bottom = window.bottom - origin.y;
}

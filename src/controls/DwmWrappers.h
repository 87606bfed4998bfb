#pragma once
// The program's calls into the Desktop Window Manager. Each wrapper first
// asks the version gate whether a window manager can exist here; when it
// cannot, the wrapper returns -1 and does not touch the window manager's
// library. Any other result is the window manager's own status, unchanged
// (0 success; a failure is negative but never -1).
#include <windows.h>
#include <dwmapi.h>
#include <uxtheme.h>

class CWnd;

extern OSVERSIONINFOA g_osVersionInfo;  // only dwMajorVersion is used
extern int g_osVersionValid;            // 1 once g_osVersionInfo holds an answer

// Reads the system's version into g_osVersionInfo; sets g_osVersionValid on success.
void LoadOsVersionInfo();
// 1 when the version is known and its major number is 6 or more; reads the
// version first while it is not known.
int IsDwmAvailable();

// Without a window manager the flag (when given) is set to FALSE.
int SafeDwmIsCompositionEnabled(BOOL* pfEnabled);
int SafeDwmUpdateThumbnailProperties(HTHUMBNAIL hThumbnail, const DWM_THUMBNAIL_PROPERTIES* ptnProperties);
// Without a window manager the handle is not written.
int SafeDwmRegisterThumbnail(HWND hwndDestination, HWND hwndSource, PHTHUMBNAIL phThumbnailId);
int SafeDwmUnregisterThumbnail(HTHUMBNAIL hThumbnailId);
int SafeDwmExtendFrameIntoClientArea(HWND hWnd, const MARGINS* pMarInset);

// The child's window rectangle, border and all, in the parent's client
// coordinates: the rectangle for a move of the child inside the parent.
void GetChildRectInParent(CWnd* pParent, CWnd* pChild, RECT* pRect);

// The benchmark's floor: the main dialog's template shown alone as the
// program's modal main window, with the common controls bound as the
// program binds them and nothing else (no panels, no start sequence,
// nothing read). What the shipped program costs beyond it is its own.
#include "AppIds.h"
#include "CommonControlsBinding.h"

#include <windows.h>

namespace {

INT_PTR CALLBACK FloorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    InitCommonControlsOnce();
    return static_cast<int>(
        ::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_VELLOKARI_DIALOG), nullptr, &FloorProc, 0));
}

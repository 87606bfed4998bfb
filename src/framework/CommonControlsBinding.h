#pragma once
// The common controls' calls as one table, bound at the first use. The
// library is no known DLL, so it is never imported: it comes from the
// assembly that the program's manifest names (version 6), else from the
// system folder, never from the program's folder. An entry is null where the
// library or the call is missing.
#include <windows.h>
#include <commctrl.h>

struct CommonControlsCalls {
    decltype(&::InitCommonControlsEx) initCommonControlsEx;
    decltype(&::ImageList_Create) imageListCreate;
    decltype(&::ImageList_Destroy) imageListDestroy;
    decltype(&::ImageList_ReplaceIcon) imageListReplaceIcon;
    decltype(&::ImageList_GetImageCount) imageListGetImageCount;
    decltype(&::ImageList_SetBkColor) imageListSetBkColor;
    decltype(&::ImageList_GetBkColor) imageListGetBkColor;
    decltype(&::ImageList_GetIconSize) imageListGetIconSize;
    decltype(&::ImageList_Draw) imageListDraw;
};

const CommonControlsCalls& CommonControlsBinding();

// The control classes that the program's dialogs use, registered once.
bool InitCommonControlsOnce();

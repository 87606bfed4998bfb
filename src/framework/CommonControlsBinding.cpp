#include "CommonControlsBinding.h"

#include "SystemLibrary.h"

const CommonControlsCalls& CommonControlsBinding()
{
    static const CommonControlsCalls calls = [] {
        CommonControlsCalls c{};
        const HMODULE module = LoadSystemAssemblyLibrary("comctl32.dll");
        c.initCommonControlsEx = BindEntry<decltype(c.initCommonControlsEx)>(module, "InitCommonControlsEx");
        c.imageListCreate = BindEntry<decltype(c.imageListCreate)>(module, "ImageList_Create");
        c.imageListDestroy = BindEntry<decltype(c.imageListDestroy)>(module, "ImageList_Destroy");
        c.imageListReplaceIcon = BindEntry<decltype(c.imageListReplaceIcon)>(module, "ImageList_ReplaceIcon");
        c.imageListGetImageCount = BindEntry<decltype(c.imageListGetImageCount)>(module, "ImageList_GetImageCount");
        c.imageListSetBkColor = BindEntry<decltype(c.imageListSetBkColor)>(module, "ImageList_SetBkColor");
        c.imageListGetBkColor = BindEntry<decltype(c.imageListGetBkColor)>(module, "ImageList_GetBkColor");
        c.imageListGetIconSize = BindEntry<decltype(c.imageListGetIconSize)>(module, "ImageList_GetIconSize");
        c.imageListDraw = BindEntry<decltype(c.imageListDraw)>(module, "ImageList_Draw");
        return c;
    }();
    return calls;
}

bool InitCommonControlsOnce()
{
    static const bool done = [] {
        const auto init = CommonControlsBinding().initCommonControlsEx;
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_LINK_CLASS | ICC_STANDARD_CLASSES};
        return init != nullptr && init(&controls) != FALSE;
    }();
    return done;
}

#include "UxThemeBinding.h"

#include "SystemLibrary.h"

const UxThemeCalls& UxThemeBinding()
{
    static const UxThemeCalls calls = [] {
        UxThemeCalls c{};
        const HMODULE module = LoadSystemLibrary("uxtheme.dll");
        if (module == nullptr)
            return c;
        c.isAppThemed = BindEntry<decltype(c.isAppThemed)>(module, "IsAppThemed");
        c.openThemeData = BindEntry<decltype(c.openThemeData)>(module, "OpenThemeData");
        c.closeThemeData = BindEntry<decltype(c.closeThemeData)>(module, "CloseThemeData");
        c.drawThemeBackground = BindEntry<decltype(c.drawThemeBackground)>(module, "DrawThemeBackground");
        c.getThemeBackgroundContentRect =
            BindEntry<decltype(c.getThemeBackgroundContentRect)>(module, "GetThemeBackgroundContentRect");
        c.beginBufferedPaint = BindEntry<decltype(c.beginBufferedPaint)>(module, "BeginBufferedPaint");
        c.bufferedPaintSetAlpha = BindEntry<decltype(c.bufferedPaintSetAlpha)>(module, "BufferedPaintSetAlpha");
        c.endBufferedPaint = BindEntry<decltype(c.endBufferedPaint)>(module, "EndBufferedPaint");
        return c;
    }();
    return calls;
}

#pragma once
// The visual styles' calls as one table, bound from the system's uxtheme.dll
// at the first use (it is no known DLL, so it is never imported). An entry
// is null where the library or the call is missing: before Windows Vista the
// buffered painting, before XP all of them.
#include <windows.h>
#include <uxtheme.h>

struct UxThemeCalls {
    decltype(&::IsAppThemed) isAppThemed;
    decltype(&::OpenThemeData) openThemeData;
    decltype(&::CloseThemeData) closeThemeData;
    decltype(&::DrawThemeBackground) drawThemeBackground;
    decltype(&::GetThemeBackgroundContentRect) getThemeBackgroundContentRect;
    decltype(&::BeginBufferedPaint) beginBufferedPaint;
    decltype(&::BufferedPaintSetAlpha) bufferedPaintSetAlpha;
    decltype(&::EndBufferedPaint) endBufferedPaint;
};

const UxThemeCalls& UxThemeBinding();

#pragma once
// GUI objects that the framework's controls share: made once, on first use,
// and kept for the life of the process. Callers never destroy them.
#include <windows.h>

class CGlobalData {
public:
    // The system's hand cursor (IDC_HAND).
    static HCURSOR GetHandCursor();
    // The default GUI font (DEFAULT_GUI_FONT) in bold (weight 700), not underlined.
    static HFONT GetBoldGuiFont();
    // The font of the system's menus (the non-client metrics' menu font).
    static HFONT GetMenuFont();
    // The Windows major version, as GetVersionExA reported it at the first
    // question; 0 when it could not be read.
    static DWORD GetWindowsMajorVersion();
};

#pragma once
// The head of a dialog template among the test program's resources (the
// program's own templates when it links them), as the resource holds it,
// before the system adjusts any style.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct DialogTemplateHead {
    bool found = false;
    DWORD exStyle = 0;
    DWORD style = 0;
    WORD items = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring title;
    WORD pointSize = 0;
    std::wstring typeface;
    std::vector<LANGID> languages;  // every language the template is there in
};

// Reads an extended template (DIALOGEX) by its id.
DialogTemplateHead ReadDialogTemplateHead(UINT id);

// A control's place in its dialog in dialog units: left, top, width, height.
RECT DialogUnitsOf(HWND dialog, HWND control);

// One child of a dialog as a test expects it; style holds the bits that must be set.
struct ExpectedControl {
    int id;
    const char* className;
    const char* text;
    RECT place;  // in dialog units: left, top, width, height
    DWORD style;
    // How far the place may be off, in dialog units: a control that sizes
    // itself in pixels (an up-down control and its buddy) lands on whole
    // units that depend on the dialog's font.
    int slack = 0;
};

// Checks the dialog's children, in order and no more, against the table;
// more (when given) checks further what a test needs of each child.
void ExpectControls(HWND dialog, const std::vector<ExpectedControl>& controls,
                    const std::function<void(HWND, const ExpectedControl&)>& more = nullptr);

#pragma once
// Reading and pressing a dialog's controls as a user would see and press them.
#include <windows.h>

#include <string>

// The text of a dialog item.
std::string ItemText(HWND dialog, int id);
// What a button sends its dialog when it is clicked.
void Click(HWND dialog, int id);
// A control's place and size in dialog units (left, top, width, height).
RECT DialogUnits(HWND dialog, int id);

#pragma once
// Reading and pressing a dialog's controls as a user would see and press
// them, and checking a modal dialog against its table.
#include "DialogTemplate.h"
#include "ModalSeam.h"

#include <windows.h>

#include <string>
#include <vector>

// The point in the middle of a list view row's first column, as a click
// of the user's mouse has it.
LPARAM RowPoint(HWND list, int row);

// The text of a dialog item.
std::string ItemText(HWND dialog, int id);
// What a button sends its dialog when it is clicked.
void Click(HWND dialog, int id);
// The same, posted: a click from outside the dialog's loop or process, which
// does not hang on the focus that moves while a dialog goes away.
bool ClickButton(HWND dialog, int id);

class CDialog;
// Runs the dialog modally; the driver gets it once it shows and must end it.
INT_PTR RunDriven(CDialog& dialog, ModalSeam::Driver driver);

// The template of a modal dialog of the program: modal frame with caption
// and system menu, "ＭＳ Ｐゴシック" 9 point, Japanese only.
void ExpectModalTemplate(UINT id, short cx, short cy, WORD items, const std::wstring& title);

// The dialog's caption, frame and client size, and its children as
// ExpectControls checks them, in this order (the tab order); the focus on
// the first.
void ExpectDialog(HWND dialog, const char* caption, SIZE size, const std::vector<ExpectedControl>& controls);

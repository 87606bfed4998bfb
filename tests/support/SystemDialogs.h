#pragma once
// The system's file dialog and folder picker as Wine shows them, met by a
// DialogWatch handler and used as a user would: a file name typed into the
// name field, a folder clicked in the picker's tree, then OK.
#include <windows.h>

#include <string>
#include <vector>

// The folder that the file dialog shows.
std::string FileDialogFolder(HWND dialog);
// Types the name (a full path, as a user may) and presses Open.
void FileDialogChoose(HWND dialog, const std::string& name);

// The picker's tree.
HWND PickerTree(HWND picker);
// True once the picker's tree has a selected item, or when 5 s have passed
// since the first call (end holds that time; start it at 0): a DialogWatch
// handler may meet the picker before its start folder is selected.
bool PickerSettled(HWND picker, ULONGLONG& end);
// The label of the tree's selected folder ("tools", " (M:)" for a drive).
std::string PickerSelection(HWND picker);
// Opens the drive's item and the folders below it one by one, as a user
// does, and selects the last; false when one of them is not in the tree.
bool PickerSelect(HWND picker, char driveLetter, const std::vector<std::string>& folders);
// Selects the item below the tree's root with this label ("My Computer").
bool PickerSelectTopItem(HWND picker, const std::string& label);

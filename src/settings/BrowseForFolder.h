#pragma once
// The system's folder picker, opened at a start folder.
#include <windows.h>

// The chosen folder's full path (E:\tools, E:\ for a drive's root), or null
// when the user cancels or the choice has no file-system path, and also
// when its path does not come whole through the ANSI code page within
// MAX_PATH bytes (*unfit, when given, then tells that case apart). The text
// lies in one buffer shared by every call: the next call overwrites it.
char* BrowseForFolder(const char* startFolder, bool* unfit = nullptr);

// The picker's events: on its initialisation it selects the start folder
// given as the callback data. Always 0.
int CALLBACK BrowseFolderCallback(HWND hwnd, UINT msg, LPARAM lParam, LPARAM lpData);

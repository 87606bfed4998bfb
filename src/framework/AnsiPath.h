#pragma once
// Paths that the system gives in UTF-16, taken into the program's ANSI code
// page only when they come through it whole: the program keeps and uses
// every path through the ANSI interfaces, which hold MAX_PATH bytes with the
// NUL, and a character that the code page lacks would become another.
#include "CString.h"

#include <windows.h>

// True, with the path in *ansi, when every character has its own form in
// the ANSI code page and the whole text with its NUL fits MAX_PATH bytes;
// false, with *ansi empty, otherwise.
bool AnsiPathFromWide(const wchar_t* wide, CString* ansi);


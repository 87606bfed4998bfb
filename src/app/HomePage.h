#pragma once
// The maker's home page, opened in the web browser from the links of the
// main dialog and of the about box.
#include <windows.h>

// Under the reserved .example domain, so that it never leads to somebody else's site.
extern const char kHomePageAddress[];

// Hands the address to the shell with the window as owner; the outcome is
// the shell's and the browser's to report.
void OpenHomePage(HWND owner);

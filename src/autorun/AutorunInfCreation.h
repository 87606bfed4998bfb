#pragma once
// The text that the system writes as a new Autorun.inf, and the rule that
// every text it writes ends with a line end.
#include "CString.h"

// The four lines that start and show the program from the medium's root:
// its folder without the drive ("E:\Tools" gives Tools\Vellokari.exe, the
// root "E:" gives \Vellokari.exe). Already in comparison form.
CString AutorunInfCreationText(const CString& exeDir);

// The text with CR LF appended unless it ends with CR LF already (the empty
// text becomes CR LF alone).
CString EndWithCrLf(const CString& text);

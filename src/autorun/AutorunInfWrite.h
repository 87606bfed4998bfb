#pragma once
// What the system writes to the medium's Autorun.inf: the text of a new
// file, the rule that a text it writes ends with a line end, and the write.
#include "CString.h"

#include <windows.h>

// The four lines that start and show the program from the medium's root:
// its folder without the drive ("E:\Tools" gives Tools\Vellokari.exe, the
// root "E:" gives \Vellokari.exe). Already in comparison form.
CString AutorunInfCreationText(const CString& exeDir);

// The text with CR LF appended unless it ends with CR LF already (the empty
// text becomes CR LF alone).
CString EndWithCrLf(const CString& text);

// Puts the text in the place of the file at path only once all of it is
// written beside it, so that a failure (the medium full or gone, the file
// held by another program or read-only) leaves the old file whole. A failure
// writes "<who> write error=<code> path=<path>" to the debug log and shows
// the box with the failure text.
BOOL WriteAutorunInfFile(const CString& path, const CString& text, const char* who, const char* failure);

#pragma once
// One file operation handed to the Windows shell, which shows its own
// progress, asks its own questions and reports its own errors.
#include "CString.h"

#include <windows.h>

// `from` and `to` each name one path; the destination names the target file.
// Both are extended in place by one NUL so that each forms the shell's
// double-NUL list; they keep that character afterwards. TRUE when the shell
// cleared its abort flag: an error the shell reports without an abort counts
// as done, so the caller checks the outcome on its own.
BOOL ShellFileOperation(HWND owner, UINT operation, CString& from, CString& to);

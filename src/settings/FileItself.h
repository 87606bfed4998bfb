#pragma once
// A file as the name in its folder holds it: never what a link under that
// name leads to, and its attributes changed only through a handle to it.
#include "CHandle.h"
#include "CString.h"

#include <windows.h>

// TRUE when the handle holds the file of that very name in its folder. A
// link is opened as itself where the system can (Windows, with
// FILE_FLAG_OPEN_REPARSE_POINT); Wine opens what a host link leads to
// whatever it is asked, and then the file's own path is another one.
bool IsTheNameItself(HANDLE file, const CString& path);

// The file at path, opened for its attributes, where the name is the file
// itself and its only name: a hard link's other names share its attributes,
// and a link's target is someone else's. None otherwise, and for a folder.
CHandle OpenSoleFile(const char* path);

// The attributes of the file the handle holds; INVALID_FILE_ATTRIBUTES when
// the system cannot tell.
DWORD AttributesOf(HANDLE file);

// Gives the file the handle holds these attributes (none is "normal"),
// its times left as they are.
bool SetAttributesOf(HANDLE file, DWORD attributes);

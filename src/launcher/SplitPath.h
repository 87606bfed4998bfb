#pragma once
#include "CString.h"

// Splits a path at its last backslash (a whole character, never the second
// byte of a double-byte one): the folder before it, the file name after it.
// Without a backslash the folder is empty and the name is the whole path.
void SplitPath(CString path, CString& folder, CString& fileName);

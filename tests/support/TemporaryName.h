#pragma once
// Where the safe replace writes the new content of a file (a path, or a path
// on a medium such as "\Autorun.Inf") before it takes the file's place.
#include "CSafeFile.h"

#include <string>

inline std::string Temporary(const std::string& path)
{
    return CSafeFile::TemporaryPath(path.c_str()).GetString();
}

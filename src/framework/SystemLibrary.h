#pragma once
// The loader looks for a library that is not one of the system's known DLLs
// in the program's folder first, and the program runs from media that others
// may have written: such libraries are bound from the system folder alone.
#include <windows.h>

// The named library of the system folder, loaded by its full path, its own
// dependencies searched from there; null when it is missing. It stays loaded.
HMODULE LoadSystemLibrary(const char* name);

// The named library of the assembly that the program's manifest names (the
// common controls of version 6), else of the system folder; no other folder
// is searched, for it nor for its own dependencies.
HMODULE LoadSystemAssemblyLibrary(const char* name);

// An entry of a loaded library as the type wanted; null when it is missing.
template <class F>
F BindEntry(HMODULE module, const char* name)
{
    return module != nullptr ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)))
                             : nullptr;
}

// Keeps every later search of this process for a library to the system
// folder where the system can (Windows 8, or 7 with its update), and the
// current folder out of it everywhere.
void AfxRestrictDllSearch();

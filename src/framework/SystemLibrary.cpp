#include "SystemLibrary.h"

HMODULE LoadSystemLibrary(const char* name)
{
    char path[MAX_PATH + 32] = {};
    const UINT n = ::GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || lstrlenA(name) > 30)
        return nullptr;
    lstrcatA(path, "\\");
    lstrcatA(path, name);
    return ::LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadSystemAssemblyLibrary(const char* name)
{
    // The assembly is looked up before any folder. Systems that know no
    // search flags refuse the call; the system folder's copy serves there.
    const HMODULE module = ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module != nullptr ? module : LoadSystemLibrary(name);
}

void AfxRestrictDllSearch()
{
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault =
        BindEntry<SetDefaultDllDirectoriesFn>(::GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefault != nullptr)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryA("");
}

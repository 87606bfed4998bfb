#include "ProcessModule.h"

#include <psapi.h>

// One question to the process: the path of its main module, which is the
// first module that EnumProcessModules lists. Listing every module first
// costs more than the read itself under Wine. The name is the path's last
// part, as the loader keeps it.
ProcessModule ReadProcessModule(DWORD processId)
{
    char text[1024] = {};
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (process != nullptr) {
        ::GetModuleFileNameExA(process, nullptr, text, sizeof text);
        ::CloseHandle(process);
    }
    // A text cut at the buffer's end may lack its NUL.
    text[sizeof text - 1] = '\0';
    ProcessModule module;
    module.path = text;
    const int slash = module.path.ReverseFind('\\');
    module.name = slash >= 0 ? module.path.Mid(slash + 1) : module.path;
    return module;
}

void GetProcessModulePath(DWORD processId, CString& path)
{
    path = ReadProcessModule(processId).path;
}

void GetProcessModuleName(DWORD processId, CString& name)
{
    name = ReadProcessModule(processId).name;
}

#include "ProcessModule.h"

#include <psapi.h>

namespace {

enum class ModuleText { Path, Name };

CString ReadFirstModule(DWORD processId, ModuleText what)
{
    char text[1024] = {};
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (process != nullptr) {
        HMODULE modules[1024] = {};
        DWORD needed = 0;
        if (::EnumProcessModules(process, modules, sizeof modules, &needed)) {
            if (what == ModuleText::Path)
                ::GetModuleFileNameExA(process, modules[0], text, sizeof text);
            else
                ::GetModuleBaseNameA(process, modules[0], text, sizeof text);
        }
        ::CloseHandle(process);
    }
    // A text cut at the buffer's end may lack its NUL.
    text[sizeof text - 1] = '\0';
    return CString(text);
}

}  // namespace

void GetProcessModulePath(DWORD processId, CString& path)
{
    path = ReadFirstModule(processId, ModuleText::Path);
}

void GetProcessModuleName(DWORD processId, CString& name)
{
    name = ReadFirstModule(processId, ModuleText::Name);
}

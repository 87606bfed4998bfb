#include "ProcessModule.h"

#include "AnsiPath.h"
#include "CHandle.h"

#include <psapi.h>

// One question to the process: the path of its main module, which is the
// first module that EnumProcessModules lists. Listing every module first
// costs more than the read itself under Wine. The name is the path's last
// part, as the loader keeps it. The path is read in UTF-16, so that one
// that the ANSI code page cannot carry whole is known as such.
ProcessModule ReadProcessModule(DWORD processId)
{
    wchar_t wide[1024] = {};
    const CHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (process.IsValid())
        ::GetModuleFileNameExW(process.Get(), nullptr, wide, sizeof wide / sizeof wide[0]);
    // A text cut at the buffer's end may lack its NUL.
    wide[sizeof wide / sizeof wide[0] - 1] = L'\0';
    ProcessModule module;
    if (AnsiPathFromWide(wide, &module.path)) {
        module.whole = true;
    } else {
        // Shown and compared as the ANSI interfaces give it.
        char text[2048] = {};
        ::WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text - 1, nullptr, nullptr);
        text[sizeof text - 1] = '\0';
        module.path = text;
    }
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

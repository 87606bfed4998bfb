#include "SkypeOnMedium.h"

#include "CFile.h"

#include <string>

namespace {

const DWORD kSkypePathSize = 260;

// Skype is a 32-bit program and registers in the 32-bit view; a 64-bit
// build reading its own view would never find it.
const REGSAM kSkypeKeyAccess = KEY_ALL_ACCESS | KEY_WOW64_32KEY;

// Opens Skype's key; the user's hive only when the machine's refuses access.
HKEY OpenSkypeKey()
{
    HKEY key = nullptr;
    const LONG result = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Skype\\Phone", 0, kSkypeKeyAccess, &key);
    if (result == ERROR_SUCCESS)
        return key;
    if (result != ERROR_ACCESS_DENIED)
        return nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Skype\\Phone", 0, kSkypeKeyAccess, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

}  // namespace

void EnsureSubfolder(const char* base, const char* name)
{
    CString folder = base;
    folder += "\\";
    folder += name;
    // A folder with further attribute bits gets an attempt that fails and changes nothing.
    if (::GetFileAttributesA(folder) != FILE_ATTRIBUTE_DIRECTORY)
        ::CreateDirectoryA(folder, nullptr);
}

BOOL ReadSkypePathFromRegistry(CString& path)
{
    const HKEY key = OpenSkypeKey();
    if (key == nullptr)
        return FALSE;
    char buffer[kSkypePathSize] = {};
    DWORD size = kSkypePathSize;
    if (::RegQueryValueExA(key, "SkypePath", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) ==
        ERROR_SUCCESS) {
        // A value stored without its NUL still ends inside the buffer.
        buffer[size < kSkypePathSize ? size : kSkypePathSize - 1] = '\0';
        path = buffer;
    }
    ::RegCloseKey(key);
    return TRUE;
}

CString SkypeCopyPath(const CString& exeDir)
{
    return exeDir + "\\skype\\bin\\Skype.exe";
}

CString FreeNameBeside(const CString& path)
{
    // Process and moment in the name: a user's file by chance is passed over.
    const unsigned seed = static_cast<unsigned>(::GetCurrentProcessId()) ^ static_cast<unsigned>(::GetTickCount());
    for (unsigned n = 0; n < 100; ++n) {
        CString name;
        name.Format("%s.%08x.vkin", path.GetString(), seed + n);
        if (::GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES && ::GetLastError() != ERROR_ACCESS_DENIED)
            return name;
    }
    return CString();
}

void RemoveIncoming(const CString& path)
{
    if (path.IsEmpty() || !IsFileAt(path))
        return;
    // The shell may have carried the source's read-only mark over.
    ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(path);
}

void RemoveStrayIncoming(const CString& path)
{
    const int slash = path.ReverseFind('\\');
    const CString folder = slash >= 0 ? path.Left(slash + 1) : CString();
    const CString stem = (slash >= 0 ? path.Mid(slash + 1) : path) + ".";
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA(path + ".*.vkin", &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        // Exactly the names that FreeNameBeside gives: the stem, eight lower-case hex digits, ".vkin".
        const std::string name = found.cFileName;
        const std::size_t length = static_cast<std::size_t>(stem.GetLength());
        bool ours = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && name.size() == length + 13 &&
                    name.compare(0, length, stem.GetString()) == 0 && name.compare(length + 8, 5, ".vkin") == 0;
        for (std::size_t i = length; ours && i < length + 8; ++i)
            ours = (name[i] >= '0' && name[i] <= '9') || (name[i] >= 'a' && name[i] <= 'f');
        if (ours)
            RemoveIncoming(folder + name.c_str());
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
}

BOOL IsWholeCopy(const char* copy, const char* source)
{
    WIN32_FILE_ATTRIBUTE_DATA made{};
    WIN32_FILE_ATTRIBUTE_DATA original{};
    return ::GetFileAttributesExA(copy, GetFileExInfoStandard, &made) &&
           ::GetFileAttributesExA(source, GetFileExInfoStandard, &original) &&
           made.nFileSizeHigh == original.nFileSizeHigh && made.nFileSizeLow == original.nFileSizeLow;
}

void ClearReadOnly(const char* path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0)
        return;
    const DWORD rest = attributes & ~FILE_ATTRIBUTE_READONLY;
    ::SetFileAttributesA(path, rest != 0 ? rest : FILE_ATTRIBUTE_NORMAL);
}

CRunInf MakeSkypeRunItem(const CString& exeDir)
{
    const CString folder = exeDir.Mid(2);
    CRunInf item;
    item.m_nRunKind = RUNKIND_AUTO_START;
    item.m_strProgramName = "Skype.exe";
    item.m_strProgramPath = folder + "\\skype\\bin\\Skype.exe";
    item.m_strWorkPath = folder + "\\skype\\bin";
    item.m_strArg.Format("/datapath:\"%s%s%s\" /removable", "%letter%", folder.GetString(), "\\skype\\data");
    item.m_nDelayTime = 0;
    item.m_nGateKind = 0;
    item.m_bSkype = TRUE;
    return item;
}

#include "SkypeOnMedium.h"

#include "CFile.h"
#include "CHandle.h"
#include "CSafeFile.h"
#include "FileItself.h"

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
    // The safe replace's names: no file of a user's is named so, and one
    // that a cut-off copy left is known as ours and removed. A name counts
    // as free only where a file can be made new under it: one that seems
    // free may be a link that leads nowhere, and the shell would copy
    // through it to wherever it points.
    for (int variant = 0; variant < CSafeFile::TEMPORARY_VARIANTS; ++variant) {
        const CString name = CSafeFile::TemporaryPath(path, variant);
        const CHandle probe(::CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (probe.IsValid())
            return name;
    }
    return CString();
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
    const CHandle file = OpenSoleFile(path);
    const DWORD attributes = file.IsValid() ? AttributesOf(file.Get()) : INVALID_FILE_ATTRIBUTES;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        SetAttributesOf(file.Get(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

BOOL PutCopyInPlace(const char* incoming, const char* target)
{
    // A read-only copy in place would refuse every later update.
    ClearReadOnly(incoming);
    // The old copy's mark goes only where the name is that file alone; a
    // link's target keeps its attributes, the rename replaces the link's name.
    DWORD before = INVALID_FILE_ATTRIBUTES;
    BY_HANDLE_FILE_INFORMATION old{};
    {
        // Closed before the rename: Wine replaces no open file.
        const CHandle file = OpenSoleFile(target);
        if (file.IsValid() && ::GetFileInformationByHandle(file.Get(), &old) &&
            (old.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 &&
            SetAttributesOf(file.Get(), old.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY))
            before = old.dwFileAttributes;
    }
    if (::MoveFileExA(incoming, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return TRUE;
    // The old copy stays, and stays as it was: its mark goes back to that very file.
    const DWORD error = ::GetLastError();
    if (before != INVALID_FILE_ATTRIBUTES) {
        const CHandle file = OpenSoleFile(target);
        BY_HANDLE_FILE_INFORMATION now{};
        if (file.IsValid() && ::GetFileInformationByHandle(file.Get(), &now) &&
            now.dwVolumeSerialNumber == old.dwVolumeSerialNumber && now.nFileIndexHigh == old.nFileIndexHigh &&
            now.nFileIndexLow == old.nFileIndexLow)
            SetAttributesOf(file.Get(), before);
    }
    ::SetLastError(error);
    return FALSE;
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

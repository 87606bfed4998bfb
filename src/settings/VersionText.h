#pragma once
// Display texts of executables' versions: "Ver.:" followed by the version
// string of the version resource's first translation, as stored. The empty
// text means that no version could be read. Texts hold at most 255 bytes.
#include "CString.h"

#include <windows.h>

// The program's own "ProductVersion"; built by the first call that reads the
// resource through to its string table, and kept for the process's life.
CString GetProductVersionString();

// The "FileVersion" of the named file, read afresh on every call.
CString GetFileVersionString(const char* path);

// The platform calls through which the texts reach files. Tests replace
// entries to count the reads or to read another file as the program's own.
struct VersionFileCalls {
    DWORD(WINAPI* moduleFileName)(HMODULE module, LPSTR path, DWORD size);
    DWORD(WINAPI* infoSize)(LPCSTR path, LPDWORD handle);
    BOOL(WINAPI* info)(LPCSTR path, DWORD handle, DWORD size, LPVOID block);
};
VersionFileCalls& VersionFileBinding();  // the platform's calls until replaced

// Empties the store of the program's own version. The program itself never
// does; tests do, to read it again.
void ForgetProductVersionString();

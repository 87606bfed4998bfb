#include "CSettingsReadHold.h"

#include "DebugLog.h"

#include <utility>

CSettingsReadHold::~CSettingsReadHold()
{
    Release();
}

BOOL CSettingsReadHold::Take(const char* path, DWORD waitMs)
{
    Release();
    const ULONGLONG deadline = ::GetTickCount64() + waitMs;
    for (;;) {
        // Shared as the profile reader shares it, so its reads go on.
        CHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsValid()) {
            m_file = std::move(file);
            return TRUE;
        }
        const DWORD error = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesA(path);
        if (attributes == INVALID_FILE_ATTRIBUTES && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND))
            return TRUE;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return TRUE;
        if (::GetTickCount64() >= deadline) {
            DebugLog("CSettingsReadHold::Take(%s) error=%lu\n", path, error);
            return FALSE;
        }
        ::Sleep(50);
    }
}

void CSettingsReadHold::Release()
{
    m_file.Reset();
}

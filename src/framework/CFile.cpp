#include "CFile.h"

CFile::~CFile()
{
    Close();
}

BOOL CFile::Open(const char* path, UINT flags)
{
    Close();
    m_dwError = 0;

    DWORD access = GENERIC_READ;
    if ((flags & 0x3) == modeWrite)
        access = GENERIC_WRITE;
    else if ((flags & 0x3) == modeReadWrite)
        access = GENERIC_READ | GENERIC_WRITE;

    DWORD share = 0;
    switch (flags & 0x70) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: share = 0; break;
    }

    DWORD disposition = OPEN_EXISTING;
    if (flags & modeCreateNew)
        disposition = CREATE_NEW;
    else if (flags & modeCreate)
        disposition = (flags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    m_hFile = ::CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE) {
        m_dwError = ::GetLastError();
        return FALSE;
    }
    return TRUE;
}

void CFile::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE) {
        ::CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}

UINT CFile::Read(void* buffer, UINT count)
{
    DWORD read = 0;
    if (!IsOpen()) {
        m_dwError = ERROR_INVALID_HANDLE;
        return 0;
    }
    if (!::ReadFile(m_hFile, buffer, count, &read, nullptr)) {
        m_dwError = ::GetLastError();
        return 0;
    }
    return read;
}

BOOL CFile::Write(const void* buffer, UINT count)
{
    if (!IsOpen()) {
        m_dwError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    const char* p = static_cast<const char*>(buffer);
    while (count > 0) {
        DWORD written = 0;
        if (!::WriteFile(m_hFile, p, count, &written, nullptr) || written == 0) {
            m_dwError = written == 0 && ::GetLastError() == 0 ? ERROR_WRITE_FAULT : ::GetLastError();
            return FALSE;
        }
        p += written;
        count -= written;
    }
    return TRUE;
}

BOOL CFile::Flush()
{
    if (!IsOpen() || !::FlushFileBuffers(m_hFile)) {
        m_dwError = IsOpen() ? ::GetLastError() : ERROR_INVALID_HANDLE;
        return FALSE;
    }
    return TRUE;
}

BOOL IsFileAt(const char* path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

#include "CSafeFile.h"

#include "Closing.h"

#include <windows.h>

namespace {

// What a replaced file hands on to its successor; read-only is never handed
// on, a read-only file is not replaced at all.
const DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Windows refuses to replace such a file; Wine lets a privileged user do it.
bool IsReadOnlyOrFolder(const char* path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

}  // namespace

CSafeFile::~CSafeFile()
{
    Abandon();
}

BOOL CSafeFile::Open(const char* path)
{
    Abandon();
    m_dwError = 0;
    m_bFailed = FALSE;
    m_dwKeep = 0;
    // The program closes because its medium is gone: the letter may name another volume now.
    if (AfxIsClosing())
        return Fail(ERROR_NOT_READY);
    m_strPath = path;
    const int slash = m_strPath.ReverseFind('\\');
    const CString folder = slash >= 0 ? m_strPath.Left(slash + 1) : CString(".\\");

    if (IsReadOnlyOrFolder(path))
        return Fail(ERROR_ACCESS_DENIED);
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        m_dwKeep = attributes & kKeptAttributes;
        // The medium may hold the name in another letter case; it stays so.
        WIN32_FIND_DATAA found{};
        const HANDLE search = ::FindFirstFileA(path, &found);
        if (search != INVALID_HANDLE_VALUE) {
            ::FindClose(search);
            m_strPath = (slash >= 0 ? m_strPath.Left(slash + 1) : CString()) + found.cFileName;
        }
    }
    return OpenTemporary(folder);
}

BOOL CSafeFile::OpenTemporary(const CString& folder)
{
    m_strTempPath = m_strPath + ".tmp";
    // A temporary file left by an earlier run, or by anything, is reused:
    // attributes that it was given do not stand in the way.
    const DWORD stale = ::GetFileAttributesA(m_strTempPath);
    if (stale != INVALID_FILE_ATTRIBUTES && (stale & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        (stale & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0)
        ::SetFileAttributesA(m_strTempPath, FILE_ATTRIBUTE_NORMAL);
    const UINT flags = CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::typeBinary;
    if (m_file.Open(m_strTempPath, flags))
        return TRUE;
    const DWORD error = m_file.GetError();

    // Held by another program, or not a file at all: a name of its own.
    char unique[MAX_PATH] = {};
    if (::GetTempFileNameA(folder, "vk", 0, unique) != 0) {
        m_strTempPath = unique;
        if (m_file.Open(m_strTempPath, flags))
            return TRUE;
        ::DeleteFileA(unique);
    }
    return Fail(error);
}

BOOL CSafeFile::Write(const void* data, UINT count)
{
    if (!IsOpen())
        return Fail(m_dwError != 0 ? m_dwError : ERROR_INVALID_HANDLE);
    if (m_bFailed)
        return FALSE;
    if (!m_file.Write(data, count)) {
        m_bFailed = TRUE;
        return Fail(m_file.GetError());
    }
    return TRUE;
}

BOOL CSafeFile::Commit()
{
    if (!IsOpen())
        return Fail(m_dwError != 0 ? m_dwError : ERROR_INVALID_HANDLE);
    if (m_bFailed || !m_file.Flush()) {
        const DWORD error = m_bFailed ? m_dwError : m_file.GetError();
        Abandon();
        return Fail(error);
    }
    m_file.Close();

    DWORD error = 0;
    if (IsReadOnlyOrFolder(m_strPath))
        error = ERROR_ACCESS_DENIED;
    else if ((m_dwKeep & ~FILE_ATTRIBUTE_ARCHIVE) != 0 && !::SetFileAttributesA(m_strTempPath, m_dwKeep))
        error = ::GetLastError();
    else if (!::MoveFileExA(m_strTempPath, m_strPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = ::GetLastError();
    if (error != 0) {
        ::DeleteFileA(m_strTempPath);
        return Fail(error);
    }
    return TRUE;
}

void CSafeFile::Abandon()
{
    if (!m_file.IsOpen())
        return;
    m_file.Close();
    ::DeleteFileA(m_strTempPath);
}

BOOL CSafeFile::Fail(DWORD error)
{
    m_dwError = error != 0 ? error : ERROR_WRITE_FAULT;
    return FALSE;
}

BOOL SafeReplaceFile(const char* path, const void* data, UINT count, DWORD* error)
{
    CSafeFile file;
    if (file.Open(path) && file.Write(data, count) && file.Commit())
        return TRUE;
    if (error != nullptr)
        *error = file.GetError();
    return FALSE;
}

#include "CSafeFile.h"

#include "Closing.h"
#include "TakeNameAway.h"

#include <windows.h>

namespace {

// What a replaced file hands on to its successor; read-only is never handed
// on, a read-only file is not replaced at all.
const DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The new content always goes to a file made new: a name that is taken, by
// a file or by a link to one, is never opened for writing.
const UINT kTemporaryFlags = CFile::modeCreateNew | CFile::modeWrite | CFile::shareExclusive | CFile::typeBinary;

// Windows refuses to replace such a file; Wine lets a privileged user do it.
bool IsReadOnlyOrFolder(const char* path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

bool IsTaken(DWORD error)
{
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
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
    // The medium is gone, its removal heard or not: the letter may name another volume now.
    if (!AfxMediumStillHere())
        return Fail(ERROR_NOT_READY);
    m_strPath = path;
    const int slash = m_strPath.ReverseFind('\\');

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
    return OpenTemporary();
}

CString CSafeFile::TemporaryPath(const CString& path, int variant)
{
    // FNV-1a of the file's name, letters in either case alike, as the
    // medium's file system takes them.
    const int slash = path.ReverseFind('\\');
    const CString name = slash >= 0 ? path.Mid(slash + 1) : path;
    DWORD hash = 2166136261u;
    for (int i = 0; i < name.GetLength(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 'A' && c <= 'Z')
            c = static_cast<unsigned char>(c - 'A' + 'a');
        hash = (hash ^ c) * 16777619u;
    }
    CString mark;
    if (variant > 0)
        mark.Format("~vk%08lx-%d", static_cast<unsigned long>(hash), variant);
    else
        mark.Format("~vk%08lx", static_cast<unsigned long>(hash));
    // In a deep folder the name itself gives way: the mark alone is no longer than it.
    if (path.GetLength() + 1 + mark.GetLength() < MAX_PATH)
        return path + "." + mark;
    return (slash >= 0 ? path.Left(slash + 1) : CString()) + mark;
}

BOOL CSafeFile::OpenTemporary()
{
    DWORD error = 0;
    // The first of our names that can be had: another may be held by a
    // program that looks at new files, or be a folder that nobody of ours made.
    for (int variant = 0; variant < TEMPORARY_VARIANTS; ++variant) {
        m_strTempPath = TemporaryPath(m_strPath, variant);
        if (m_file.Open(m_strTempPath, kTemporaryFlags))
            return TRUE;
        // Ours, left by a replace that was cut off, or a link that someone
        // put under our name: the name goes, and the file is made new.
        if (IsTaken(m_file.GetError()) && TakeNameAway(m_strPath, m_strTempPath) &&
            m_file.Open(m_strTempPath, kTemporaryFlags))
            return TRUE;
        if (error == 0 && !IsTaken(m_file.GetError()))
            error = m_file.GetError();
    }
    m_strTempPath.Empty();
    return Fail(error != 0 ? error : ERROR_ALREADY_EXISTS);
}

void CSafeFile::RemoveLeftovers(const CString& path)
{
    // Nothing is removed under a letter whose medium has gone.
    if (!AfxMediumStillHere())
        return;
    for (int variant = 0; variant < TEMPORARY_VARIANTS; ++variant) {
        const CString leftover = TemporaryPath(path, variant);
        const DWORD attributes = ::GetFileAttributesA(leftover);
        // A folder, or a link to one, stays: harmless, nothing is written through it.
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            continue;
        TakeNameAway(path, leftover);
    }
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
    // The attributes go on through the handle, to this very file.
    DWORD error = 0;
    if ((m_dwKeep & ~FILE_ATTRIBUTE_ARCHIVE) != 0) {
        FILE_BASIC_INFO basic{};  // times of 0 are left as they are
        basic.FileAttributes = m_dwKeep;
        if (!::SetFileInformationByHandle(m_file.GetHandle(), FileBasicInfo, &basic, sizeof basic))
            error = ::GetLastError();
    }
    m_file.Close();

    // The rename replaces the name, a link's too, never what a link leads to.
    if (error == 0 && IsReadOnlyOrFolder(m_strPath))
        error = ERROR_ACCESS_DENIED;
    if (error == 0 && !::MoveFileExA(m_strTempPath, m_strPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = ::GetLastError();
    if (error != 0) {
        TakeNameAway(m_strPath, m_strTempPath, false);
        return Fail(error);
    }
    RemoveLeftovers(m_strPath);
    return TRUE;
}

void CSafeFile::Abandon()
{
    if (!m_file.IsOpen())
        return;
    m_file.Close();
    TakeNameAway(m_strPath, m_strTempPath, false);
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

#pragma once
// New content for a file, written beside it and put in its place only once
// every byte is written and flushed, so that a failure at any point (a full
// or removed medium, a file held by another program) leaves the old file
// whole. The file keeps its name as it stands on the medium and its hidden,
// system and archive attributes; a read-only file is not replaced.
#include "CFile.h"
#include "CString.h"

class CSafeFile {
public:
    CSafeFile() = default;
    ~CSafeFile();  // an unfinished file is thrown away
    CSafeFile(const CSafeFile&) = delete;
    CSafeFile& operator=(const CSafeFile&) = delete;

    // Starts the new content; FALSE when the file is read-only or nothing
    // can be written beside it.
    BOOL Open(const char* path);
    // FALSE once a write has failed; the content is then not taken.
    BOOL Write(const void* data, UINT count);
    // Puts the complete content in the file's place; FALSE leaves the file as it was.
    BOOL Commit();
    // Throws the new content away.
    void Abandon();

    BOOL IsOpen() const { return m_file.IsOpen(); }
    DWORD GetError() const { return m_dwError; }  // the system's code of the last failure

private:
    BOOL OpenTemporary(const CString& folder);
    BOOL Fail(DWORD error);

    CFile m_file;
    CString m_strPath;
    CString m_strTempPath;
    DWORD m_dwKeep = 0;  // attributes of the old file that the new one takes
    DWORD m_dwError = 0;
    BOOL m_bFailed = FALSE;
};

// The whole content at once; error (when given) gets the system's code of a failure.
BOOL SafeReplaceFile(const char* path, const void* data, UINT count, DWORD* error = nullptr);

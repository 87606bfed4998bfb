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

    // Where the new content of path is written: beside it, its name followed
    // by ".~vk" and eight hex digits made from that name (and "-1" to "-9"
    // for the others that are tried when one is held); where that would not
    // fit in MAX_PATH, the mark alone ("~vk..." in the same folder). No file of a user's is
    // named so, and one left by an interrupted replace is known as ours: its
    // name is taken away (a link's too, never what the link leads to), and
    // the new content goes to a file made new, never into one that was there.
    static CString TemporaryPath(const CString& path, int variant = 0);
    enum { TEMPORARY_VARIANTS = 10 };
    // Removes every file of ours under those names beside path, whatever
    // attributes it was given, and every link under them (what a link leads
    // to stays as it is); other files stay.
    static void RemoveLeftovers(const CString& path);
    DWORD GetError() const { return m_dwError; }  // the system's code of the last failure

private:
    BOOL OpenTemporary();
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

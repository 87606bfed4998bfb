#pragma once
// A file of the platform, owned by the object (closed by the destructor).
// Results are booleans; a failed operation leaves its system error in GetError().
#include <windows.h>

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,    // create, or cut an existing file to length 0
        modeNoTruncate = 0x2000, // with modeCreate: keep an existing file's content
        typeText = 0x4000,
        typeBinary = 0x8000,
        // Creates the file new: fails where the name is taken, by a file or a
        // link, so that nothing a name leads to is ever written over.
        modeCreateNew = 0x10000,
    };

    CFile() = default;
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    virtual BOOL Open(const char* path, UINT flags);
    virtual void Close();
    // Bytes read, 0 at the end of the file or on an error (see GetError).
    virtual UINT Read(void* buffer, UINT count);
    // TRUE only when every byte was written.
    virtual BOOL Write(const void* buffer, UINT count);
    BOOL Flush();

    BOOL IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    HANDLE GetHandle() const { return m_hFile; }
    DWORD GetError() const { return m_dwError; }

protected:
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    DWORD m_dwError = 0;
};

// TRUE when a file, not a folder, lies at the path.
BOOL IsFileAt(const char* path);

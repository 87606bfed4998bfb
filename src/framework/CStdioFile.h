#pragma once
// A file read and written line by line. In text mode (the default) a read
// turns CR LF into a line end, ends a line at a lone LF, keeps a lone CR and
// stops at the byte 0x1A; a write turns each LF into CR LF. With typeBinary
// nothing is translated: lines end at LF and CRs stay in the text.
#include "CFile.h"
#include "CString.h"

class CStdioFile : public CFile {
public:
    CStdioFile() = default;

    BOOL Open(const char* path, UINT flags) override;
    void Close() override;
    UINT Read(void* buffer, UINT count) override;

    // TRUE for every line read (a last line without a line end included),
    // FALSE at the end of the file with nothing read, or on a read error
    // (then GetError() is not 0). The line end is not part of the text.
    BOOL ReadString(CString& line);
    // The same for at most maxLength bytes of a line: a longer line arrives
    // cut there, and the next read goes on with the rest of it.
    BOOL ReadString(CString& line, UINT maxLength);
    // Writes the text; FALSE when not every byte reached the file.
    BOOL WriteString(const char* text);
    // In text mode, once a read has stopped at a byte 0x1A: whether the file
    // holds any byte after it, which no read gives. FALSE before that.
    BOOL HasBytesAfterEndMark();

private:
    int NextByte();  // -1 at the end or on an error
    int PeekByte();

    bool m_bText = true;
    bool m_bEnd = false;
    bool m_bEndMark = false;   // a read stopped at 0x1A
    bool m_bAfterMark = false; // the buffer held bytes after it
    char m_buffer[4096];
    UINT m_nFill = 0;
    UINT m_nPos = 0;
};

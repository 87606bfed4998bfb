#include "CStdioFile.h"

#include <climits>
#include <cstring>
#include <string>

BOOL CStdioFile::Open(const char* path, UINT flags)
{
    m_bText = (flags & typeBinary) == 0;
    m_bEnd = m_bEndMark = m_bAfterMark = false;
    m_nFill = m_nPos = 0;
    return CFile::Open(path, flags);
}

void CStdioFile::Close()
{
    CFile::Close();
    m_nFill = m_nPos = 0;
}

UINT CStdioFile::Read(void* buffer, UINT count)
{
    char* out = static_cast<char*>(buffer);
    UINT n = 0;
    while (n < count) {
        const int c = NextByte();
        if (c < 0)
            break;
        if (m_bText && c == '\r' && PeekByte() == '\n')
            continue;
        out[n++] = static_cast<char>(c);
    }
    return n;
}

int CStdioFile::PeekByte()
{
    if (m_nPos == m_nFill && !m_bEnd) {
        m_nFill = CFile::Read(m_buffer, sizeof m_buffer);
        m_nPos = 0;
        if (m_nFill == 0)
            m_bEnd = true;
    }
    if (m_nPos == m_nFill)
        return -1;
    const int c = static_cast<unsigned char>(m_buffer[m_nPos]);
    if (m_bText && c == 0x1A) {
        m_bEnd = m_bEndMark = true;
        m_bAfterMark = m_nPos + 1 < m_nFill;
        m_nFill = m_nPos;
        return -1;
    }
    return c;
}

int CStdioFile::NextByte()
{
    const int c = PeekByte();
    if (c >= 0)
        ++m_nPos;
    return c;
}

BOOL CStdioFile::ReadString(CString& line)
{
    return ReadString(line, UINT_MAX);
}

BOOL CStdioFile::ReadString(CString& line, UINT maxLength)
{
    line.Empty();
    m_dwError = 0;
    std::string text;
    bool any = false;
    while (text.size() < maxLength) {
        const int c = NextByte();
        if (c < 0)
            break;
        any = true;
        if (c == '\n')
            break;
        if (m_bText && c == '\r' && PeekByte() == '\n') {
            NextByte();
            break;
        }
        text += static_cast<char>(c);
    }
    line = CString(text);
    return any && m_dwError == 0;
}

BOOL CStdioFile::HasBytesAfterEndMark()
{
    if (!m_bEndMark)
        return FALSE;
    if (m_bAfterMark)
        return TRUE;
    // The mark was the last byte of the buffer: one more read tells.
    char next = 0;
    return CFile::Read(&next, 1) == 1;
}

BOOL CStdioFile::WriteString(const char* text)
{
    if (!m_bText)
        return Write(text, static_cast<UINT>(std::strlen(text)));
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\n')
            out += '\r';
        out += *p;
    }
    return Write(out.data(), static_cast<UINT>(out.size()));
}

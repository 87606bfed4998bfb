#pragma once
// 8-bit text in code page 932. Lengths and positions count bytes; searches
// and case changes step over whole characters.
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text);  // NOLINT: converts like the text it holds
    CString(const char* text, int length);
    CString(char ch, int repeat = 1);
    CString(const std::string& text) : m_text(text) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const char* GetString() const { return m_text.c_str(); }
    operator const char*() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }
    char GetAt(int index) const { return m_text[static_cast<std::size_t>(index)]; }
    char operator[](int index) const { return GetAt(index); }

    void Format(const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
    void AppendFormat(const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // Positions of whole characters; -1 when not found.
    int Find(const char* sub, int start = 0) const;
    int Find(char ch, int start = 0) const;
    int ReverseFind(char ch) const;
    // Left to right, without overlap; returns the number of replacements.
    int Replace(const char* oldText, const char* newText);
    int Replace(char oldCh, char newCh);

    // Only single-byte letters change; double-byte characters stay as they are.
    CString& MakeUpper();
    CString& MakeLower();

    CString& TrimRight(const char* chars = " \t\r\n");
    CString& TrimLeft(const char* chars = " \t\r\n");
    CString& Trim(const char* chars = " \t\r\n");

    int Compare(const char* other) const;
    int CompareNoCase(const char* other) const;

    // A writable buffer of at least minLength bytes plus a NUL; ReleaseBuffer
    // takes the text up to the first NUL, or length bytes when given.
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int length = -1);

    CString& operator=(const char* text);
    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
    friend bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const char* a, const CString& b) { return !(b == a); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }

private:
    void FormatAppendV(const char* format, __builtin_va_list args);

    std::string m_text;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);

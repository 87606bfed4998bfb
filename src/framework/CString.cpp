#include "CString.h"

#include "Mbcs.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

int Clamp(int value, int low, int high)
{
    return value < low ? low : (value > high ? high : value);
}

}  // namespace

CString::CString(const char* text) : m_text(text != nullptr ? text : "") {}

CString::CString(const char* text, int length)
    : m_text(text != nullptr && length > 0 ? std::string(text, static_cast<std::size_t>(length))
                                           : std::string())
{
}

CString::CString(char ch, int repeat)
    : m_text(static_cast<std::size_t>(repeat > 0 ? repeat : 0), ch)
{
}

void CString::FormatAppendV(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0)
        return;
    const std::size_t old = m_text.size();
    m_text.resize(old + static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(&m_text[old], static_cast<std::size_t>(needed) + 1, format, args);
    m_text.resize(old + static_cast<std::size_t>(needed));
}

void CString::Format(const char* format, ...)
{
    m_text.clear();
    va_list args;
    va_start(args, format);
    FormatAppendV(format, args);
    va_end(args);
}

void CString::AppendFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatAppendV(format, args);
    va_end(args);
}

CString CString::Left(int count) const
{
    return CString(m_text.substr(0, static_cast<std::size_t>(Clamp(count, 0, GetLength()))));
}

CString CString::Right(int count) const
{
    const int n = Clamp(count, 0, GetLength());
    return CString(m_text.substr(static_cast<std::size_t>(GetLength() - n)));
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    const int start = Clamp(first, 0, GetLength());
    const int n = Clamp(count, 0, GetLength() - start);
    return CString(m_text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(n)));
}

int CString::Find(const char* sub, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    // Step from the beginning so that start itself lands on a character boundary.
    const char* base = m_text.c_str();
    const char* p = base;
    while (p - base < start)
        p += MbcsCharLength(p);
    const char* found = MbcsFind(p, sub);
    return found != nullptr ? static_cast<int>(found - base) : -1;
}

int CString::Find(char ch, int start) const
{
    const char sub[2] = {ch, '\0'};
    return ch == '\0' ? -1 : Find(sub, start);
}

int CString::ReverseFind(char ch) const
{
    const char* found = MbcsReverseFind(m_text.c_str(), ch);
    return found != nullptr ? static_cast<int>(found - m_text.c_str()) : -1;
}

int CString::Replace(const char* oldText, const char* newText)
{
    const std::size_t oldLength = std::strlen(oldText);
    if (oldLength == 0)
        return 0;
    std::string result;
    int count = 0;
    const char* p = m_text.c_str();
    while (*p != '\0') {
        if (std::strncmp(p, oldText, oldLength) == 0) {
            result += newText;
            p += oldLength;
            ++count;
        } else {
            const std::size_t n = MbcsCharLength(p);
            result.append(p, n);
            p += n;
        }
    }
    if (count > 0)
        m_text = result;
    return count;
}

int CString::Replace(char oldCh, char newCh)
{
    const char oldText[2] = {oldCh, '\0'};
    const char newText[2] = {newCh, '\0'};
    return Replace(oldText, newText);
}

CString& CString::MakeUpper()
{
    for (std::size_t i = 0; i < m_text.size(); i += MbcsCharLength(&m_text[i])) {
        if (m_text[i] >= 'a' && m_text[i] <= 'z')
            m_text[i] = static_cast<char>(m_text[i] - 'a' + 'A');
    }
    return *this;
}

CString& CString::MakeLower()
{
    for (std::size_t i = 0; i < m_text.size(); i += MbcsCharLength(&m_text[i])) {
        if (m_text[i] >= 'A' && m_text[i] <= 'Z')
            m_text[i] = static_cast<char>(m_text[i] - 'A' + 'a');
    }
    return *this;
}

CString& CString::TrimRight(const char* chars)
{
    const std::size_t last = m_text.find_last_not_of(chars);
    m_text.erase(last == std::string::npos ? 0 : last + 1);
    return *this;
}

CString& CString::TrimLeft(const char* chars)
{
    m_text.erase(0, m_text.find_first_not_of(chars));
    return *this;
}

CString& CString::Trim(const char* chars)
{
    return TrimRight(chars).TrimLeft(chars);
}

int CString::Compare(const char* other) const
{
    return std::strcmp(m_text.c_str(), other != nullptr ? other : "");
}

int CString::CompareNoCase(const char* other) const
{
    CString a(*this);
    CString b(other);
    return a.MakeLower().Compare(b.MakeLower());
}

char* CString::GetBuffer(int minLength)
{
    const std::size_t n = static_cast<std::size_t>(minLength > GetLength() ? minLength : GetLength());
    m_text.resize(n + 1, '\0');
    return &m_text[0];
}

void CString::ReleaseBuffer(int length)
{
    if (length >= 0 && static_cast<std::size_t>(length) <= m_text.size())
        m_text.resize(static_cast<std::size_t>(length));
    else
        m_text.resize(std::strlen(m_text.c_str()));
}

CString& CString::operator=(const char* text)
{
    m_text = text != nullptr ? text : "";
    return *this;
}

CString& CString::operator+=(const CString& other)
{
    m_text += other.m_text;
    return *this;
}

CString& CString::operator+=(const char* text)
{
    if (text != nullptr)
        m_text += text;
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_text += ch;
    return *this;
}

CString operator+(const CString& a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, const char* b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const char* a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, char b)
{
    CString r(a);
    r += b;
    return r;
}

#include "CWriteIniFile.h"

#include "DebugLog.h"

#include <string>

namespace {

void LogOpenError(const CString& path)
{
    DebugLog("CWriteIniFile::openFile(%s) Error!\n", path.GetString());
}

// The characters that the profile reader drops around a value. None of
// them is ever the second byte of a character.
bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

// The profile reader drops the blanks around a value and one pair of
// enclosing quotes (" or '). A value that either would change goes out
// inside one more pair of double quotes, which the reader takes off again.
bool NeedsQuotes(const std::string& text)
{
    if (text.empty())
        return false;
    const char first = text.front();
    const char last = text.back();
    return IsBlank(first) || IsBlank(last) || ((first == '"' || first == '\'') && last == first);
}

}  // namespace

CWriteIniFile::CWriteIniFile() = default;

CWriteIniFile::~CWriteIniFile() = default;

BOOL CWriteIniFile::openFile(const char* path)
{
    m_strPath = path;
    m_strCurrentSection.Empty();
    if (!m_file.Open(path)) {
        LogOpenError(m_strPath);
        return FALSE;
    }
    return TRUE;
}

BOOL CWriteIniFile::writeString(const char* section, const char* key, const char* value)
{
    if (m_strCurrentSection != section) {
        m_strCurrentSection = section;
        WriteLine("[" + m_strCurrentSection + "]\r\n");
    }
    // A line end inside a value would end the entry and could start keys of
    // its own. CR and LF are never the second byte of a character, so they
    // are replaced byte by byte.
    std::string text = value != nullptr ? value : "";
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    if (NeedsQuotes(text))
        text = '"' + text + '"';
    return WriteLine(CString(key) + "=" + CString(text) + "\r\n");
}

BOOL CWriteIniFile::closeFile()
{
    if (!m_file.IsOpen())
        return FALSE;
    if (!m_file.Commit()) {
        LogOpenError(m_strPath);
        return FALSE;
    }
    return TRUE;
}

BOOL CWriteIniFile::WriteLine(const CString& line)
{
    return m_file.Write(line.GetString(), static_cast<UINT>(line.GetLength()));
}

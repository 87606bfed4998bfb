#include "CWriteIniFile.h"

#include "DebugLog.h"

#include <windows.h>

namespace {

void LogOpenError(const CString& path)
{
    DebugLog("CWriteIniFile::openFile(%s) Error!\n", path.GetString());
}

}  // namespace

CWriteIniFile::CWriteIniFile() = default;

CWriteIniFile::~CWriteIniFile()
{
    if (m_file.IsOpen())
        Discard();
}

BOOL CWriteIniFile::openFile(const char* path)
{
    m_strPath = path;
    m_strTempPath = m_strPath + ".tmp";
    m_strCurrentSection.Empty();
    m_bWriteFailed = FALSE;

    // A read-only file is not ours to replace (Wine would let the rename
    // through, Windows would not): refuse it the same way everywhere.
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        LogOpenError(m_strPath);
        return FALSE;
    }
    if (!m_file.Open(m_strTempPath, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::typeBinary)) {
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
    WriteLine(CString(key) + "=" + CString(text) + "\r\n");
    return !m_bWriteFailed;
}

BOOL CWriteIniFile::closeFile()
{
    if (!m_file.IsOpen())
        return FALSE;
    if (m_bWriteFailed || !m_file.Flush()) {
        Discard();
        LogOpenError(m_strPath);
        return FALSE;
    }
    m_file.Close();

    if (!::MoveFileExA(m_strTempPath, m_strPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileA(m_strTempPath);
        LogOpenError(m_strPath);
        return FALSE;
    }
    return TRUE;
}

BOOL CWriteIniFile::WriteLine(const CString& line)
{
    if (m_bWriteFailed || !m_file.WriteString(line))
        m_bWriteFailed = TRUE;
    return !m_bWriteFailed;
}

void CWriteIniFile::Discard()
{
    m_file.Close();
    ::DeleteFileA(m_strTempPath);
}

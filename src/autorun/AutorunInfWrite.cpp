#include "AutorunInfWrite.h"

#include "AfxMessageBox.h"
#include "CSafeFile.h"
#include "DebugLog.h"

CString AutorunInfCreationText(const CString& exeDir)
{
    // The drive letter, the colon and the backslash go (all there is of the
    // root's "E:"): the medium may have another letter on the next computer.
    // The name is always the program's own, whatever the running file is called.
    const CString exePath = exeDir.Mid(3) + "\\Vellokari.exe";
    CString text;
    text.Format("[autorun]\r\nOPEN=%s\r\nICON=%s\r\nACTION = Vellokari\r\n", exePath.GetString(), exePath.GetString());
    return text;
}

CString EndWithCrLf(const CString& text)
{
    if (text.GetLength() >= 2 && text.Right(2) == "\r\n")
        return text;
    return text + "\r\n";
}

BOOL WriteAutorunInfFile(const CString& path, const CString& text, const char* who, const char* failure)
{
    DWORD error = 0;
    if (SafeReplaceFile(path, text.GetString(), static_cast<UINT>(text.GetLength()), &error))
        return TRUE;
    DebugLog("%s write error=%lu path=%s\n", who, error, path.GetString());
    AfxMessageBox(failure);
    return FALSE;
}

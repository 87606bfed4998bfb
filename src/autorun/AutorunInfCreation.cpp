#include "AutorunInfCreation.h"

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

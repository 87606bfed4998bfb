#include "AutorunInfText.h"

#include "CStdioFile.h"

#include <string>

CString AutorunInfPath(const CString& drive)
{
    return drive + "\\" + "Autorun.Inf";
}

AutorunInfRead ReadAutorunInfText(const CString& drive, CString& text, DWORD* error)
{
    CStdioFile file;
    // Other programs keep their right to read and write the file meanwhile.
    if (!file.Open(AutorunInfPath(drive), CFile::modeRead | CFile::shareDenyNone)) {
        if (error != nullptr)
            *error = file.GetError();
        return AUTORUNINF_READ_NOT_OPENED;
    }
    std::string form;
    CString line;
    while (file.ReadString(line)) {
        form += line.str();
        form += "\r\n";
    }
    const DWORD failure = file.GetError();
    file.Close();
    if (failure != 0) {
        if (error != nullptr)
            *error = failure;
        return AUTORUNINF_READ_FAILED;
    }
    text = CString(form);
    return AUTORUNINF_READ_OK;
}

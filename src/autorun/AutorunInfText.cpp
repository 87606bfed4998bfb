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
    // One byte more than still fits tells a line that does not fit; an
    // endless file is never read further than that.
    while (file.ReadString(line, static_cast<UINT>(AUTORUNINF_MAX_TEXT - form.size()) + 1)) {
        if (form.size() + line.GetLength() + 2 > static_cast<std::size_t>(AUTORUNINF_MAX_TEXT)) {
            file.Close();
            return AUTORUNINF_READ_TOO_LARGE;
        }
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

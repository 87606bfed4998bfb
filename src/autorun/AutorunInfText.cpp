#include "AutorunInfText.h"

#include "CStdioFile.h"
#include "Mbcs.h"

#include <string>

namespace {

// The first limit bytes of a form whose last line starts at lineStart,
// stepping over whole characters of that line.
std::string CutAtCharacter(const std::string& form, std::size_t lineStart, std::size_t limit)
{
    std::size_t end = lineStart;
    while (end < limit) {
        const std::size_t length = MbcsCharLength(form.c_str() + end);
        if (end + length > limit)
            break;
        end += length;
    }
    return form.substr(0, end);
}

}  // namespace

CString AutorunInfPath(const CString& drive)
{
    return drive + "\\" + "Autorun.Inf";
}

AutorunInfRead ReadAutorunInfText(const CString& drive, CString& text, DWORD* error, CString* beginning)
{
    CStdioFile file;
    // Other programs keep their right to read and write the file meanwhile.
    if (!file.Open(AutorunInfPath(drive), CFile::modeRead | CFile::shareDenyNone)) {
        if (error != nullptr)
            *error = file.GetError();
        return AUTORUNINF_READ_NOT_OPENED;
    }
    const std::size_t limit = AUTORUNINF_MAX_TEXT;
    std::string form;
    CString line;
    // One byte more than still fits tells a line that does not fit; an
    // endless file is never read further than that.
    while (file.ReadString(line, static_cast<UINT>(limit - form.size()) + 1)) {
        if (form.size() + line.GetLength() + 2 > limit) {
            file.Close();
            if (beginning != nullptr) {
                const std::size_t lineStart = form.size();
                form += line.str();
                form += "\r\n";
                *beginning = CString(CutAtCharacter(form, lineStart, limit));
            }
            return AUTORUNINF_READ_TOO_LARGE;
        }
        form += line.str();
        form += "\r\n";
    }
    const bool afterMark = file.GetError() == 0 && file.HasBytesAfterEndMark();
    const DWORD failure = file.GetError();
    file.Close();
    if (failure != 0) {
        if (error != nullptr)
            *error = failure;
        return AUTORUNINF_READ_FAILED;
    }
    text = CString(form);
    return afterMark ? AUTORUNINF_READ_AFTER_MARK : AUTORUNINF_READ_OK;
}

std::size_t AutorunInfFormLength(const CString& bytes)
{
    // Split as the text-mode read splits: LF or CR LF ends a line, a lone CR
    // stays in it, 0x1A ends the text, and every line gets CR LF.
    const std::string& text = bytes.str();
    std::size_t length = 0;
    bool lineOpen = false;
    for (std::size_t i = 0; i < text.size() && text[i] != '\x1A'; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            i += text[i] == '\r' ? 1 : 0;
            length += 2;
            lineOpen = false;
        } else {
            ++length;
            lineOpen = true;
        }
    }
    return lineOpen ? length + 2 : length;
}

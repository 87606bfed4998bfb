#include "AnsiPath.h"

#include <cwchar>
#include <vector>

bool AnsiPathFromWide(const wchar_t* wide, CString* ansi)
{
    *ansi = CString();
    if (wide == nullptr)
        return false;
    const int length = static_cast<int>(std::wcslen(wide));
    if (length == 0)
        return true;
    BOOL defaulted = FALSE;
    const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr, &defaulted);
    if (bytes <= 0 || defaulted || bytes >= MAX_PATH)
        return false;
    std::vector<char> text(static_cast<std::size_t>(bytes) + 1, '\0');
    defaulted = FALSE;
    if (::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, text.data(), bytes, nullptr, &defaulted) !=
            bytes ||
        defaulted)
        return false;
    // Back again: a character mapped to a look-alike does not come back.
    std::vector<wchar_t> back(static_cast<std::size_t>(length) + 1, L'\0');
    if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), bytes, back.data(), length) != length ||
        std::wmemcmp(back.data(), wide, static_cast<std::size_t>(length)) != 0)
        return false;
    *ansi = CString(text.data(), bytes);
    return true;
}

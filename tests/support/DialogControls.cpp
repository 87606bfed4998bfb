#include "DialogControls.h"

std::string ItemText(HWND dialog, int id)
{
    const HWND item = ::GetDlgItem(dialog, id);
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(item)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(item, &text[0], static_cast<int>(text.size()))));
    return text;
}

void Click(HWND dialog, int id)
{
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

RECT DialogUnits(HWND dialog, int id)
{
    RECT rect{};
    ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    RECT unit{0, 0, 4, 8};
    ::MapDialogRect(dialog, &unit);
    return {MulDiv(rect.left, 4, unit.right), MulDiv(rect.top, 8, unit.bottom),
            MulDiv(rect.right - rect.left, 4, unit.right), MulDiv(rect.bottom - rect.top, 8, unit.bottom)};
}

#include "DialogControls.h"

#include "CDialog.h"

#include <gtest/gtest.h>

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

bool ClickButton(HWND dialog, int id)
{
    const HWND button = ::GetDlgItem(dialog, id);
    return button != nullptr &&
           ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

INT_PTR RunDriven(CDialog& dialog, ModalSeam::Driver driver)
{
    ModalSeam seam;
    seam.Push(std::move(driver));
    const INT_PTR result = dialog.DoModal();
    EXPECT_EQ(seam.Driven(), 1);
    EXPECT_EQ(seam.LeftOpen(), 0);
    return result;
}

void ExpectModalTemplate(UINT id, short cx, short cy, WORD items, const std::wstring& title)
{
    const DialogTemplateHead head = ReadDialogTemplateHead(id);
    ASSERT_TRUE(head.found) << id;
    EXPECT_EQ(head.style, static_cast<DWORD>(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(head.cx, cx);
    EXPECT_EQ(head.cy, cy);
    EXPECT_EQ(head.items, items);
    EXPECT_EQ(head.title, title);
    EXPECT_EQ(head.pointSize, 9);
    EXPECT_EQ(head.typeface, L"ＭＳ Ｐゴシック");
    EXPECT_EQ(head.languages, (std::vector<LANGID>{MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)}));
}

void ExpectDialog(HWND dialog, const char* caption, SIZE size, const std::vector<ExpectedControl>& controls)
{
    char text[256] = {};
    ::GetWindowTextA(dialog, text, sizeof text);
    EXPECT_STREQ(text, caption);
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(dialog, GWL_STYLE));
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    RECT client{};
    ::GetClientRect(dialog, &client);
    RECT units{0, 0, size.cx, size.cy};
    ::MapDialogRect(dialog, &units);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);

    ExpectControls(dialog, controls);
    if (!controls.empty()) {
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog, controls.front().id));
    }
}

LPARAM RowPoint(HWND list, int row)
{
    const HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT head{}, client{};
    ::GetWindowRect(header, &head);
    ::GetClientRect(list, &client);
    const int top = head.bottom - head.top;
    const int perPage = static_cast<int>(::SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    const int height = perPage > 0 ? (client.bottom - top) / perPage : 16;
    return MAKELPARAM(30, top + height * row + height / 2);
}

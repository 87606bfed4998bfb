#include "DialogTemplate.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Reader {
    const BYTE* p;
    WORD Word()
    {
        WORD w;
        std::memcpy(&w, p, 2);
        p += 2;
        return w;
    }
    DWORD Dword()
    {
        DWORD d;
        std::memcpy(&d, p, 4);
        p += 4;
        return d;
    }
    std::wstring Text()
    {
        std::wstring text;
        for (WORD c = Word(); c != 0; c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }
    // A name or an ordinal (0xFFFF and a number), or nothing (0).
    void SkipNameOrOrdinal()
    {
        const WORD first = Word();
        if (first == 0xFFFF)
            Word();
        else if (first != 0)
            while (Word() != 0) {
            }
    }
};

BOOL CALLBACK NoteLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    reinterpret_cast<std::vector<LANGID>*>(param)->push_back(language);
    return TRUE;
}

}  // namespace

DialogTemplateHead ReadDialogTemplateHead(UINT id)
{
    DialogTemplateHead head;
    const HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (found == nullptr)
        return head;
    Reader in{static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, found)))};
    if (in.Word() != 1 || in.Word() != 0xFFFF)  // not a DIALOGEX
        return head;
    head.found = true;
    in.Dword();  // help id
    head.exStyle = in.Dword();
    head.style = in.Dword();
    head.items = in.Word();
    head.x = static_cast<short>(in.Word());
    head.y = static_cast<short>(in.Word());
    head.cx = static_cast<short>(in.Word());
    head.cy = static_cast<short>(in.Word());
    in.SkipNameOrOrdinal();  // menu
    in.SkipNameOrOrdinal();  // class
    head.title = in.Text();
    if (head.style & DS_SETFONT) {
        head.pointSize = in.Word();
        in.Word();  // weight
        in.Word();  // italic, character set
        head.typeface = in.Text();
    }
    ::EnumResourceLanguagesA(nullptr, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(id), &NoteLanguage,
                             reinterpret_cast<LONG_PTR>(&head.languages));
    return head;
}

RECT DialogUnitsOf(HWND dialog, HWND control)
{
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    RECT unit{0, 0, 4, 8};
    ::MapDialogRect(dialog, &unit);
    return {MulDiv(rect.left, 4, unit.right), MulDiv(rect.top, 8, unit.bottom),
            MulDiv(rect.right - rect.left, 4, unit.right), MulDiv(rect.bottom - rect.top, 8, unit.bottom)};
}

void ExpectControls(HWND dialog, const std::vector<ExpectedControl>& controls,
                    const std::function<void(HWND, const ExpectedControl&)>& more)
{
    HWND child = ::GetWindow(dialog, GW_CHILD);
    for (const ExpectedControl& c : controls) {
        SCOPED_TRACE(c.id);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(::GetDlgCtrlID(child), c.id);
        char className[32] = {};
        ::GetClassNameA(child, className, sizeof className);
        EXPECT_STREQ(className, c.className);
        char text[256] = {};
        ::GetWindowTextA(child, text, sizeof text);
        EXPECT_STREQ(text, c.text);
        const RECT place = DialogUnitsOf(dialog, child);
        EXPECT_NEAR(place.left, c.place.left, c.slack);
        EXPECT_NEAR(place.top, c.place.top, c.slack);
        EXPECT_NEAR(place.right, c.place.right, c.slack);
        EXPECT_NEAR(place.bottom, c.place.bottom, c.slack);
        const DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(child, GWL_STYLE));
        EXPECT_EQ(style & c.style, c.style);
        if (more)
            more(child, c);
        child = ::GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr);
}

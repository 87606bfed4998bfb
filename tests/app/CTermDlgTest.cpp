// The closing notice: its own timer closes it with IDOK, or the user does.
#include "CTermDlg.h"
#include "TestSupport.h"
#include "TimerSeam.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> StaticTexts(HWND dialog)
{
    std::vector<std::string> texts;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char name[32] = {};
        char text[256] = {};
        ::GetClassNameA(child, name, sizeof name);
        ::GetWindowTextA(child, text, sizeof text);
        if (std::string(name) == "Static")
            texts.push_back(text);
    }
    return texts;
}

}  // namespace

TEST(CloseNotice, ItsTimerEndsItWithOk)
{
    ModalSeam seam;
    seam.Push([](CDialog& dialog) {
        const HWND hwnd = dialog.m_hWnd;
        char caption[64] = {};
        ::GetWindowTextA(hwnd, caption, sizeof caption);
        EXPECT_STREQ(caption, "終了します。");
        EXPECT_EQ(StaticTexts(hwnd), (std::vector<std::string>{"メディアが取り外されました", "Vellokariを終了します"}));
        EXPECT_EQ(::SendMessageA(hwnd, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));

        // Another timer's message leaves the notice open.
        ::SendMessageA(hwnd, WM_TIMER, 7, 0);
        EXPECT_TRUE(dialog.IsRunningModal());
        // The notice's own timer, as it fires after its 5000 ms.
        ::SendMessageA(hwnd, WM_TIMER, CTermDlg::TIMER_TERM_CLOSE, 0);
        EXPECT_FALSE(dialog.IsRunningModal());
        // It was killed when it fired: there is no timer 103 left to kill.
        EXPECT_FALSE(::KillTimer(hwnd, CTermDlg::TIMER_TERM_CLOSE));
    });
    CTermDlg notice(nullptr);
    EXPECT_EQ(notice.DoModal(), IDOK);
    EXPECT_EQ(seam.Driven(), 1);
    EXPECT_EQ(seam.LeftOpen(), 0);
}

TEST(CloseNotice, ClosesItselfAfter5000Ms)
{
    TimerSeam timers;
    ModalSeam seam;
    ULONGLONG shown = 0, closed = 0;
    seam.Push([&](CDialog& dialog) {
        shown = ::GetTickCount64();
        EXPECT_TRUE(WaitFor([&] { return !dialog.IsRunningModal(); }, 20000));
        closed = ::GetTickCount64();
        const std::vector<TimerRequest> requests = timers.Requests(dialog.m_hWnd, CTermDlg::TIMER_TERM_CLOSE);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].elapse, 5000u);
    });
    CTermDlg notice;
    EXPECT_EQ(notice.DoModal(), IDOK);
    EXPECT_GE(closed - shown, 4500u);
    EXPECT_LT(closed - shown, 15000u);
}

TEST(CloseNotice, TimerIsSetWhenItOpens)
{
    ModalSeam seam;
    seam.Push([](CDialog& dialog) {
        // Only a timer that exists can be killed.
        EXPECT_TRUE(::KillTimer(dialog.m_hWnd, CTermDlg::TIMER_TERM_CLOSE));
        EXPECT_TRUE(dialog.IsRunningModal());
        dialog.EndDialog(IDCANCEL);
    });
    CTermDlg notice;
    EXPECT_EQ(notice.DoModal(), IDCANCEL);
    EXPECT_EQ(CTermDlg::TERM_CLOSE_MS, 5000u);
}

TEST(CloseNotice, OkOrEscapeEndItAtOnce)
{
    struct Case {
        const char* how;
        INT_PTR result;
    };
    for (const Case& c : {Case{"ok", IDOK}, Case{"enter", IDOK}, Case{"escape", IDCANCEL}}) {
        ModalSeam seam;
        const std::string how = c.how;
        seam.Push([how](CDialog& dialog) {
            const HWND hwnd = dialog.m_hWnd;
            if (how == "ok") {
                ::SendMessageA(::GetDlgItem(hwnd, IDOK), BM_CLICK, 0, 0);
            } else {
                // Keys through the dialog's own keyboard handling.
                const WPARAM key = how == "enter" ? VK_RETURN : VK_ESCAPE;
                MSG msg{::GetFocus() != nullptr ? ::GetFocus() : hwnd, WM_KEYDOWN, key, 0, 0, {}};
                ::IsDialogMessageA(hwnd, &msg);
            }
            EXPECT_FALSE(dialog.IsRunningModal()) << how;
        });
        CTermDlg notice;
        EXPECT_EQ(notice.DoModal(), c.result) << c.how;
    }
}

// The preview in the running program, of a minimised window of another
// program from the medium: where that window is when its user restores it
// afterwards, and what it is left as when the program ends while its
// capture is still under way.
#include "DialogControls.h"
#include "MountManager.h"
#include "ProgramUnderTest.h"
#include "TestMedium.h"
#include "TestSupport.h"
#include "WinListIds.h"
#include "WinListTest.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <sstream>
#include <string>

namespace {

const char kNoticeCaption[] = "終了します。";

// A window minimised by its program from this place.
const char kPlace[] = "x=200,y=200,w=300,h=150";
const char kNormal[] = "200,200,500,350";

std::string Text(const RECT& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

// The panel of the main dialog that holds the control.
HWND PanelWith(HWND main, int id)
{
    for (HWND child = ::GetWindow(main, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (WindowClass(child) == "#32770" && ::GetDlgItem(child, id) != nullptr)
            return child;
    }
    return nullptr;
}

// A click in the middle of a row's first column, as the user's mouse makes it.
void ClickRow(HWND list, int row)
{
    const LPARAM point = RowPoint(list, row);
    ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    ::PostMessageA(list, WM_LBUTTONUP, 0, point);
}

bool LayeredAtAlphaZero(HWND hwnd)
{
    COLORREF key = 0;
    BYTE alpha = 255;
    DWORD flags = 0;
    return (::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 &&
           ::GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags) && (flags & LWA_ALPHA) && alpha == 0;
}

// The window's thread has handled everything sent to it before this.
bool HasAnswered(HWND hwnd, UINT timeoutMs)
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

// A line of the fixture's position log (see its source) of the window shown
// and not minimised.
bool WasRestored(const std::string& log)
{
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string pos, title;
        int visible = 0, iconic = 1;
        fields >> pos >> title >> visible >> iconic;
        if (visible == 1 && iconic == 0)
            return true;
    }
    return false;
}

// The window restored by its user (from another program, as the task bar
// does): where it comes back.
std::string RestoredAt(HWND hwnd)
{
    ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    return Text(rect);
}

}  // namespace

// The system reports another program's minimised window at its minimised
// place: the preview puts it back where its user had it all the same.
TEST(ProgramPreview, MinimisedWindowComesBackWhereItWasAfterAPreview)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ProgramUnderTest program(medium.Path("\\Tools\\Vellokari.exe"));
    ASSERT_TRUE(program.IsInstalled());
    TempFolder logs;
    const std::string log = logs / "positions.log";
    WindowsFixture app;
    ASSERT_TRUE(app.Start(PutFixture(medium, "\\apps\\vk_windows.exe"), {std::string("t=VkPlaced,min,") + kPlace}, log));
    const HWND window = app.Window(0);
    ASSERT_TRUE(WaitFor([&] { return ::IsIconic(window); }));

    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.WaitMainWindow(), nullptr);
    const HWND list = ::GetDlgItem(PanelWith(program.MainWindow(), IDC_LIST_WINDOWS), IDC_LIST_WINDOWS);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
    const std::size_t logged = ReadBytes(log).size();
    ClickRow(list, 0);
    // Done once it was restored for the capture and is minimised again with its own style.
    ASSERT_TRUE(WaitFor([&] {
        return WasRestored(ReadBytes(log).substr(logged)) && ::IsIconic(window) &&
               ::GetWindowLongA(window, GWL_EXSTYLE) == 0;
    })) << ReadBytes(log);
    ASSERT_TRUE(program.Idle());
    EXPECT_TRUE(program.Close());
    EXPECT_EQ(RestoredAt(window), kNormal) << ReadBytes(log);
}

// The program ends while the capture waits for a window that is slow to
// draw once restored: whatever ends it, the window ends minimised again,
// with its own style, where it was.
TEST(ProgramPreview, EndDuringACaptureLeavesTheWindowAsItWas)
{
    struct Case {
        const char* what;
        int slowMs;  // longer than the capture's wait and the road to the end
        bool removable;
        std::function<bool(ProgramUnderTest&, TestMedium&)> end;
    };
    const Case cases[] = {
        {"closed", 12000, false, [](ProgramUnderTest& program, TestMedium&) { return program.Close(); }},
        {"medium removed", 20000, true,
         [](ProgramUnderTest& program, TestMedium& medium) {
             return RemoveDrive(medium.Letter()) && BroadcastVolumeRemoval(1u << (medium.Letter() - 'A')) &&
                    program.WaitDialog(kNoticeCaption) != nullptr && program.WaitExit(20000);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestMedium medium;
        ASSERT_TRUE(medium.IsReady());
        if (c.removable) {
            ASSERT_TRUE(DefineRemovableDrive(medium.Letter(), medium.HostFolder()));
        }
        ProgramUnderTest program(medium.Path("\\Tools\\Vellokari.exe"));
        ASSERT_TRUE(program.IsInstalled());
        WindowsFixture app;
        ASSERT_TRUE(app.Start(PutFixture(medium, "\\apps\\vk_windows.exe"),
                              {"t=VkSlow,min," + std::string(kPlace) + ",slow=" + std::to_string(c.slowMs)}));
        const HWND window = app.Window(0);
        ASSERT_TRUE(WaitFor([&] { return ::IsIconic(window); }));

        ASSERT_TRUE(program.Start());
        ASSERT_NE(program.WaitMainWindow(), nullptr);
        const HWND panel = PanelWith(program.MainWindow(), IDC_LIST_WINDOWS);
        const HWND list = ::GetDlgItem(panel, IDC_LIST_WINDOWS);
        ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
        ClickRow(list, 0);
        // Restored for the capture, transparent, and stuck in its drawing
        // (restored, it may not have begun to draw yet).
        ASSERT_TRUE(WaitFor(
            [&] { return !::IsIconic(window) && LayeredAtAlphaZero(window) && !HasAnswered(window, 100); }));

        ASSERT_TRUE(c.end(program, medium));
        EXPECT_EQ(program.ExitCode(), 0u);
        ASSERT_FALSE(HasAnswered(window, 100)) << "it had drawn before the program ended: no capture was under way";
        ASSERT_TRUE(HasAnswered(window, static_cast<UINT>(c.slowMs) + 10000)) << "the window drew again";
        EXPECT_TRUE(::IsIconic(window));
        EXPECT_FALSE(LayeredAtAlphaZero(window));
        EXPECT_EQ(::GetWindowLongA(window, GWL_EXSTYLE), 0);
        EXPECT_EQ(RestoredAt(window), kNormal);
    }
}

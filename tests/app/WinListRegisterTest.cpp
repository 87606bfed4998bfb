// Registration from the window list in the running program, of a program
// whose path the ANSI code page cannot carry whole.
#include "AppTest.h"
#include "ProgramUnderTest.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {

std::wstring Wide(const std::string& text)
{
    std::wstring wide(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0)), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(wide.size() - 1);
    return wide;
}

// The window fixture copied to a path given in UTF-16 and started from
// there; ended with the object.
class WideFixture {
public:
    WideFixture(const std::wstring& exe, const std::string& requests)
    {
        if (!::CopyFileW(Wide(FixturePath("vk_windows.exe")).c_str(), exe.c_str(), FALSE))
            return;
        std::wstring line = L"\"" + exe + L"\" " + Wide(requests);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        m_started = ::CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                     &m_info) != FALSE;
    }
    ~WideFixture()
    {
        if (!m_started)
            return;
        ::TerminateProcess(m_info.hProcess, 0);
        ::WaitForSingleObject(m_info.hProcess, 10000);
        ::CloseHandle(m_info.hThread);
        ::CloseHandle(m_info.hProcess);
    }
    WideFixture(const WideFixture&) = delete;
    WideFixture& operator=(const WideFixture&) = delete;
    bool IsStarted() const { return m_started; }

private:
    bool m_started = false;
    PROCESS_INFORMATION m_info{};
};

}  // namespace

TEST(WinListRegister, AProgramWhosePathTheCodePageCannotCarryIsRefused)
{
    ProgramOnMedium on;
    ASSERT_TRUE(on.IsReady());
    const StoredItem kept = RecorderItem(on.medium, "kept", 0);
    ASSERT_TRUE(WriteBytes(on.ini, SettingsText("", {kept})));
    // "한국": Hangul, which code page 932 does not have.
    const std::wstring folder = Wide(on.medium.Path("\\")) + L"\xD55C\xAD6D";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    WideFixture tool(folder + L"\\rec.exe", "t=vk-hangul-window,x=900,y=700");
    ASSERT_TRUE(tool.IsStarted());
    ASSERT_TRUE(on.StartWithLauncher());

    const HWND windows = PanelWith(on.main, 1028);
    ASSERT_NE(windows, nullptr);
    const HWND windowList = ::GetDlgItem(windows, 1028);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(windowList, LVM_GETITEMCOUNT, 0, 0) == 1; }));
    const LPARAM row = RowPoint(windowList, 0);
    ::PostMessageA(windowList, WM_LBUTTONDOWN, MK_LBUTTON, row);
    ::PostMessageA(windowList, WM_LBUTTONUP, 0, row);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(windowList, LVM_GETSELECTIONMARK, 0, 0) == 0; }));
    ASSERT_TRUE(on.program.Idle());
    ClickButton(windows, 1029);
    const HWND box = on.program.WaitDialog("Vellokari");
    ASSERT_NE(box, nullptr) << ReadBytes(on.ini);
    SaveScreen("winlist-register-refused", box);
    EXPECT_EQ(MessageBoxText(box), "パスが長すぎるか、使用できない文字を含むため登録できません.");
    ClickButton(box, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box); }));
    ASSERT_TRUE(on.program.Idle());
    EXPECT_EQ(ReadBytes(on.ini), SettingsText("", {kept}));
    EXPECT_EQ(::SendMessageA(on.list, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_TRUE(on.program.Close());
}

// Which top-level windows the panel collects and when Skype counts as
// running from the medium: real processes of the window fixture, started
// from the medium, from the fixed disk and under other names.
#include "ProcessModule.h"
#include "WinListTest.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

std::set<std::string> Titles(const CWinListDlg& panel)
{
    std::set<std::string> titles;
    for (const CWinItem& item : panel.m_items)
        titles.insert(item.m_strTitle.GetString());
    return titles;
}

const CWinItem* ItemOf(const CWinListDlg& panel, HWND hwnd)
{
    for (const CWinItem& item : panel.m_items) {
        if (item.m_hWnd == hwnd)
            return &item;
    }
    return nullptr;
}

std::string LowerDrive(std::string path)
{
    path[0] = static_cast<char>(path[0] - 'A' + 'a');
    return path;
}

// The top-level windows in the system's order.
std::vector<HWND> AllWindows()
{
    std::vector<HWND> windows;
    ::EnumWindows(
        [](HWND hwnd, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace

TEST(WindowFilter, OnlyVisibleTitledWindowsWithSystemMenuAndSizeOfProgramsOnTheMediumAreListed)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    TempFolder fixedDisk;
    ASSERT_EQ(fixedDisk.Path().substr(0, 2), "C:");
    const std::string onMedium = PutFixture(medium, "\\apps\\vk_windows.exe");
    const std::string ownName = PutFixture(medium, "\\Vellokari.exe");
    const std::string otherName = PutFixture(medium, "\\copy\\vellokari.exe");
    const std::string onFixedDisk = PutFixture(fixedDisk, "vk_windows.exe");

    CWinListDlg panel;
    panel.m_strDrive = medium.Drive().c_str();
    panel.RefreshWindowItems();
    EXPECT_TRUE(panel.m_items.empty()) << "nothing runs from the medium yet";

    WindowsFixture app, fixed, own, other, lower;
    ASSERT_TRUE(app.Start(onMedium, {"t=VkListed", "t=VkHidden,hidden", "w=150", "t=VkNoSystemMenu,nosys",
                                     "t=VkZeroWidth,w=0", "t=VkZeroHeight,h=0", "t=VkMinimised,min",
                                     "t=VkSecond"}));
    ASSERT_TRUE(fixed.Start(onFixedDisk, {"t=VkFixedDisk"}));
    ASSERT_TRUE(own.Start(ownName, {"t=VkOwnName"}));
    ASSERT_TRUE(other.Start(otherName, {"t=VkOtherName"}));
    ASSERT_TRUE(lower.Start(LowerDrive(onMedium), {"t=VkLowerDrive"}));

    panel.RefreshWindowItems();
    EXPECT_EQ(Titles(panel),
              (std::set<std::string>{"VkListed", "VkMinimised", "VkSecond", "VkOtherName", "VkLowerDrive"}));
    EXPECT_EQ(panel.m_strDrive, medium.Drive().c_str()) << "the drive string is left as it was";

    // Three windows of one process: three items with its id, name and path.
    for (const int i : {0, 6, 7}) {
        const CWinItem* item = ItemOf(panel, app.Window(i));
        ASSERT_NE(item, nullptr) << i;
        EXPECT_EQ(item->m_dwProcessId, app.Id());
        EXPECT_EQ(item->m_strProgramName, "vk_windows.exe");
        EXPECT_EQ(item->m_strProgramPath, onMedium.c_str());
    }
    const CWinItem* copy = ItemOf(panel, other.Window(0));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->m_strProgramName, "vellokari.exe");
    // The drive as the process reports it; the filter compared it upper-cased.
    const CWinItem* lowerItem = ItemOf(panel, lower.Window(0));
    ASSERT_NE(lowerItem, nullptr);
    EXPECT_EQ(lowerItem->m_strProgramPath, LowerDrive(onMedium).c_str());

    // The items keep the system's order of the windows.
    std::vector<HWND> expected;
    for (const HWND hwnd : AllWindows()) {
        if (ItemOf(panel, hwnd) != nullptr)
            expected.push_back(hwnd);
    }
    std::vector<HWND> listed;
    for (const CWinItem& item : panel.m_items)
        listed.push_back(item.m_hWnd);
    EXPECT_EQ(listed, expected);

    // Each refresh replaces what the last one found.
    app.Kill();
    other.Kill();
    panel.RefreshWindowItems();
    EXPECT_EQ(Titles(panel), (std::set<std::string>{"VkLowerDrive"}));
}

TEST(WindowFilter, ModuleOfAProcessThatHasEndedIsEmpty)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    const std::string exe = PutFixture(medium, "\\apps\\vk_windows.exe");
    WindowsFixture app;
    ASSERT_TRUE(app.Start(exe, {"t=VkModule"}));
    CString path = "x", name = "x";
    GetProcessModulePath(app.Id(), path);
    GetProcessModuleName(app.Id(), name);
    EXPECT_EQ(path, exe.c_str());
    EXPECT_EQ(name, "vk_windows.exe");

    const DWORD id = app.Id();
    app.Kill();
    GetProcessModulePath(id, path);
    GetProcessModuleName(id, name);
    EXPECT_EQ(path, "");
    EXPECT_EQ(name, "");
}

// A window whose process cannot be opened has no program to show: it is left out.
TEST(WindowFilter, WindowOfAProcessThatCannotBeOpenedIsLeftOut)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    const std::string exe = PutFixture(medium, "\\apps\\vk_windows.exe");
    WindowsFixture open, closed;
    ASSERT_TRUE(open.Start(exe, {"t=VkOpen"}));
    ASSERT_TRUE(closed.Start(exe, {"t=VkClosed,closed"}));
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, closed.Id());
    EXPECT_EQ(process, nullptr) << "the process refuses to be opened";
    if (process != nullptr)
        ::CloseHandle(process);

    CWinListDlg panel;
    panel.m_strDrive = medium.Drive().c_str();
    panel.AddWindowItem(open.Window(0));
    panel.AddWindowItem(closed.Window(0));
    EXPECT_EQ(Titles(panel), (std::set<std::string>{"VkOpen"}));
    panel.RefreshWindowItems();
    EXPECT_EQ(Titles(panel), (std::set<std::string>{"VkOpen"}));
}

TEST(SkypeCheck, OnlySkypeExeFromTheMediumCountsHiddenWindowsIncluded)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    TempFolder fixedDisk;
    const std::string skype = PutFixture(medium, "\\skype\\bin\\Skype.exe");
    const std::string lowerName = PutFixture(medium, "\\other\\skype.exe");
    const std::string fixedSkype = PutFixture(fixedDisk, "Skype.exe");

    struct Case {
        const char* what;
        std::string exe;
        const char* request;
        BOOL running;
    };
    const Case cases[] = {
        {"Skype from the medium, only hidden windows", skype, "t=VkSkype,hidden", 1},
        {"Skype from the medium, a window without text", skype, "w=50", 1},
        {"skype.exe from the medium", lowerName, "t=VkSkype", 0},
        {"Skype from the fixed disk", fixedSkype, "t=VkSkype", 0},
        {"Skype from the medium with a lower-case drive", LowerDrive(skype), "t=VkSkype", 0},
    };

    CWinListDlg panel;
    panel.m_strDrive = medium.Drive().c_str();
    EXPECT_EQ(panel.IsSkypeRunning(), 0);
    for (const Case& c : cases) {
        WindowsFixture process;
        ASSERT_TRUE(process.Start(c.exe, {c.request})) << c.what;
        panel.m_bSkypeFound = !c.running;
        EXPECT_EQ(panel.IsSkypeRunning(), c.running) << c.what;
        EXPECT_EQ(panel.m_bSkypeFound, c.running) << c.what;
    }

    // The lower-case drive passes the list, though not the Skype check.
    WindowsFixture lower;
    ASSERT_TRUE(lower.Start(LowerDrive(skype), {"t=VkLowerSkype"}));
    panel.RefreshWindowItems();
    EXPECT_EQ(Titles(panel), (std::set<std::string>{"VkLowerSkype"}));
    EXPECT_EQ(panel.IsSkypeRunning(), 0);
}

// Both panels in one process, as the main dialog hosts them, running for
// about a minute: hundreds of window-list refreshes with a selection and a
// preview each, and tens of thousands of run ticks with starts that fail
// and starts that succeed. Nothing that the process holds may grow with
// their number. How the objects are counted under Wine, where the system's
// own counters report 0, is said in ObjectCounts.h. An icon leaked by each
// refresh makes this test fail: every refresh then adds one USER object,
// three GDI objects and about 4 KB of private memory.
#include "CLauncherDlg.h"
#include "ObjectCounts.h"
#include "WinListIds.h"
#include "WinListTest.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const int kFixtureProcesses = 4;
const int kWindowsPerProcess = 5;
const int kWarmUpRefreshes = 20;
const int kRefreshes = 700;  // after the warm-up, in two halves
const int kTicksPerRefresh = 60;
// Run items are re-armed and a gate opened once a cycle; each failed start
// then rebuilds the launcher's list, which is the slow part of a tick.
const int kTicksPerCycle = 1000;
const ULONGLONG kBudgetMs = 60000;  // the loop stops early on a slow machine
// A count may move by a few objects that a library makes once on first use.
const int kObjectSlack = 4;
// The heap settles in steps of its own; a leak of one icon per refresh adds
// far more over the second half.
const std::size_t kMemorySlack = 768 * 1024;

CRunInf Item(const char* name, const std::string& path, int kind, int delay, int gate)
{
    CRunInf item;
    item.m_strProgramName = name;
    item.m_strProgramPath = path.c_str();
    item.m_nRunKind = kind;
    item.m_nDelayTime = delay;
    item.m_nGateKind = gate;
    return item;
}

// Thirty items: manual ones with icons, automatic ones at start and on a gate
// whose programs are missing (each start fails and rebuilds the list), and
// one on its own gate whose program starts and ends at once.
std::vector<CRunInf> RunItems()
{
    std::vector<CRunInf> items;
    char name[32];
    for (int i = 0; i < 10; ++i) {
        std::snprintf(name, sizeof name, "manual%d", i);
        items.push_back(Item(name, "\\apps\\vk_windows.exe", RUNKIND_MANUAL, 0, 0));
    }
    for (int i = 0; i < 10; ++i) {
        std::snprintf(name, sizeof name, "\\missing\\start%d.exe", i);
        items.push_back(Item("start", name, RUNKIND_AUTO_START, 1 + i * 3, 0));
    }
    for (int i = 0; i < 9; ++i) {
        std::snprintf(name, sizeof name, "\\missing\\gate%d.exe", i);
        items.push_back(Item("gate", name, RUNKIND_AUTO_GATE, i * 3, i % 4));
    }
    items.push_back(Item("ends", "\\apps\\vk_version_plain.exe", RUNKIND_AUTO_GATE, 5, 4));
    return items;
}

class SoakHost {
public:
    SoakHost()
    {
        m_wnd.m_hWnd = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_CLIPCHILDREN, 20, 20, 560, 540, nullptr,
                                         nullptr, nullptr, nullptr);
        // Not activated: without a window manager, hiding an activated window waits 2 s.
        ::SetWindowPos(m_wnd.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    }
    ~SoakHost()
    {
        if (m_winList.m_hWnd != nullptr)
            m_winList.DestroyWindow();
        if (m_launcher.m_hWnd != nullptr)
            m_launcher.DestroyWindow();
        ::DestroyWindow(m_wnd.m_hWnd);
        m_wnd.m_hWnd = nullptr;
    }
    SoakHost(const SoakHost&) = delete;
    SoakHost& operator=(const SoakHost&) = delete;

    // The launcher on top, the window list below it, as the main dialog lays
    // them out; the test sends the timers' messages itself.
    bool Open(const std::string& drive, const std::string& iniPath)
    {
        m_launcher.m_strDrive = drive.c_str();
        m_winList.m_strDrive = drive.c_str();
        if (!m_launcher.Create(CLauncherDlg::IDD, &m_wnd) || !m_winList.Create(IDD_WINLIST_DIALOG, &m_wnd))
            return false;
        RECT upper{};
        ::GetWindowRect(m_launcher.m_hWnd, &upper);
        ::SetWindowPos(m_winList.m_hWnd, nullptr, 0, upper.bottom - upper.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        ::SetWindowPos(m_launcher.m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        m_launcher.Initialize(iniPath.c_str());
        m_launcher.KillTimer(TIMER_RUN_TICK);
        m_launcher.KillTimer(TIMER_AUTORUN_CHECK);
        m_winList.KillTimer(TIMER_WINLIST_REFRESH);
        ::UpdateWindow(m_wnd.m_hWnd);
        return true;
    }

    void RunTick() { m_launcher.SendMessage(WM_TIMER, TIMER_RUN_TICK, 0); }

    // What the start and a gateway do to the items: every item armed afresh,
    // one gate opened.
    void NewCycle(int cycle)
    {
        for (CRunInf& item : m_launcher.m_runItems)
            item.armRun();
        // Gate 4 is the item that starts for real.
        m_launcher.SendMessage(g_uLauncherGateOpenMsg, static_cast<WPARAM>(cycle % 5), 0);
    }

    // One refresh with a marked row, which the refresh keeps, and its preview.
    void Refresh(int n)
    {
        const int rows = m_winList.m_listCtrl.GetItemCount();
        if (rows > 0)
            MarkRow(m_winList, n % rows);
        Tick(m_winList);
        if (Mark(m_winList) >= 0)
            ClickList(m_winList);
        PumpMessages();
    }

    CWnd m_wnd;
    CLauncherDlg m_launcher;
    CWinListDlg m_winList;
};

}  // namespace

TEST(Soak, RefreshesAndRunTicksLeaveNoObjectsBehind)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    const std::string exe = PutFixture(medium, "\\apps\\vk_windows.exe");
    medium.Put(FixturePath("vk_version_plain.exe"), "\\apps\\vk_version_plain.exe");

    WindowsFixture fixtures[kFixtureProcesses];
    for (int p = 0; p < kFixtureProcesses; ++p) {
        std::vector<std::string> windows;
        for (int w = 0; w < kWindowsPerProcess; ++w) {
            const int i = p * kWindowsPerProcess + w;
            windows.push_back("t=VkSoak" + std::to_string(i) + ",x=" + std::to_string(600 + (i % 5) * 130) +
                              ",y=" + std::to_string(560 + (i / 5) * 100) + ",w=120,h=90" + (i == 7 ? ",min" : ""));
        }
        ASSERT_TRUE(fixtures[p].Start(exe, windows));
    }

    const std::string iniPath = medium.Path("\\Vellokari.ini");
    {
        CLauncherDlg writer;
        writer.m_strIniPath = iniPath.c_str();
        writer.m_runItems = RunItems();
        writer.SaveSettings();
    }

    SoakHost host;
    ASSERT_TRUE(host.Open(medium.Drive(), iniPath));
    ASSERT_EQ(host.m_launcher.m_runItems.size(), 30u);

    int refreshes = 0;
    int ticks = 0;
    const ULONGLONG deadline = ::GetTickCount64() + kBudgetMs;
    auto run = [&](int count) {
        for (int r = 0; r < count && ::GetTickCount64() < deadline; ++r) {
            host.Refresh(refreshes++);
            for (int t = 0; t < kTicksPerRefresh; ++t, ++ticks) {
                if (ticks % kTicksPerCycle == 0)
                    host.NewCycle(ticks / kTicksPerCycle);
                host.RunTick();
            }
        }
    };

    run(kWarmUpRefreshes);
    EXPECT_EQ(static_cast<int>(host.m_winList.m_items.size()), kFixtureProcesses * kWindowsPerProcess);
    const ObjectCounts start = ObjectCounts::Take();
    const int startRefreshes = refreshes;
    run(kRefreshes / 2);
    const ObjectCounts middle = ObjectCounts::Take();
    run(kRefreshes / 2);
    const ObjectCounts end = ObjectCounts::Take();

    std::printf("soak: %d refreshes and %d run ticks after the warm-up\n  start  %s\n  middle %s\n  end    %s\n",
                refreshes - startRefreshes, ticks, start.Text().c_str(), middle.Text().c_str(), end.Text().c_str());
    // Enough work for a leak of one object per refresh to stand out.
    EXPECT_GE(refreshes - startRefreshes, 10 * kObjectSlack);
    EXPECT_EQ(static_cast<int>(host.m_winList.m_items.size()), kFixtureProcesses * kWindowsPerProcess);
    EXPECT_LE(end.gdi, start.gdi + kObjectSlack);
    EXPECT_LE(end.user, start.user + kObjectSlack);
    EXPECT_LE(end.handles, start.handles + kObjectSlack);
    EXPECT_LE(end.privateBytes, middle.privateBytes + kMemorySlack);
}

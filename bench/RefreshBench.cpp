#include "RefreshBench.h"

#include "CWinListDlg.h"
#include "WinListTest.h"

#include <psapi.h>

#include <cstdio>

FixtureWindows::FixtureWindows() = default;
FixtureWindows::~FixtureWindows() = default;

bool FixtureWindows::Start(const TestMedium& medium, int processes, int windowsPerProcess)
{
    const std::string exe = PutFixture(medium, "\\apps\\vk_windows.exe");
    for (int p = 0; p < processes; ++p) {
        std::vector<std::string> windows;
        for (int w = 0; w < windowsPerProcess; ++w) {
            const int i = p * windowsPerProcess + w;
            windows.push_back("t=VkBench" + std::to_string(i) + ",x=" + std::to_string(600 + (i % 10) * 60) +
                              ",y=" + std::to_string(500 + (i / 10) * 45) + ",w=56,h=40");
        }
        m_fixtures.push_back(std::make_unique<WindowsFixture>());
        if (!m_fixtures.back()->Start(exe, windows))
            return false;
    }
    return true;
}

namespace {

BOOL CALLBACK BareWindow(HWND hWnd, LPARAM lParam)
{
    if (!::IsWindowVisible(hWnd))
        return TRUE;
    char title[256] = {};
    if (::GetWindowTextA(hWnd, title, sizeof title) == 0)
        return TRUE;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    char path[MAX_PATH] = {};
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process != nullptr) {
        DWORD size = sizeof path;
        ::QueryFullProcessImageNameA(process, 0, path, &size);
        ::CloseHandle(process);
    }
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

// The processes of the listed windows, once each.
std::vector<DWORD> ListedProcesses(const CWinListDlg& panel)
{
    std::vector<DWORD> ids;
    for (const CWinItem& item : panel.m_items) {
        bool known = false;
        for (DWORD id : ids)
            known = known || id == item.m_dwProcessId;
        if (!known)
            ids.push_back(item.m_dwProcessId);
    }
    return ids;
}

// The median cost of one call on each of the processes, in ms.
template <class Query>
double PerCall(const std::vector<DWORD>& ids, Query query)
{
    std::vector<double> times;
    for (int round = 0; round < 5; ++round) {
        for (DWORD id : ids) {
            const double start = NowMs();
            query(id);
            times.push_back(NowMs() - start);
        }
    }
    return Median(times);
}

HANDLE Open(DWORD id, DWORD access)
{
    return ::OpenProcess(access, FALSE, id);
}

void Profile(const CWinListDlg& panel)
{
    const std::vector<DWORD> ids = ListedProcesses(panel);
    const DWORD full = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
    const double open = PerCall(ids, [&](DWORD id) { ::CloseHandle(Open(id, full)); });
    const double modules = PerCall(ids, [&](DWORD id) {
        const HANDLE h = Open(id, full);
        HMODULE list[1024];
        DWORD needed = 0;
        ::EnumProcessModules(h, list, sizeof list, &needed);
        ::CloseHandle(h);
    });
    const double modulesAndPath = PerCall(ids, [&](DWORD id) {
        const HANDLE h = Open(id, full);
        HMODULE list[1024];
        DWORD needed = 0;
        char text[1024];
        ::EnumProcessModules(h, list, sizeof list, &needed);
        ::GetModuleFileNameExA(h, list[0], text, sizeof text);
        ::CloseHandle(h);
    });
    const double mainPath = PerCall(ids, [&](DWORD id) {
        const HANDLE h = Open(id, full);
        char text[1024];
        ::GetModuleFileNameExA(h, nullptr, text, sizeof text);
        ::CloseHandle(h);
    });
    const double imageName = PerCall(ids, [&](DWORD id) {
        const HANDLE h = Open(id, PROCESS_QUERY_LIMITED_INFORMATION);
        char text[MAX_PATH];
        DWORD size = sizeof text;
        ::QueryFullProcessImageNameA(h, 0, text, &size);
        ::CloseHandle(h);
    });
    std::fprintf(stderr, "profile, per process (median ms): open %.3f; open+modules %.3f; open+modules+path %.3f; "
                "open+path of the main module %.3f; open+image name %.3f\n",
                open, modules, modulesAndPath, mainPath, imageName);
}

// The list rebuild's parts, on the panel's own list.
void ProfileList(CWinListDlg& panel)
{
    CListCtrl& list = panel.m_listCtrl;
    const int rows = static_cast<int>(panel.m_items.size());
    std::vector<double> erase, insert, texts, icons, redraw, paint;
    for (int round = 0; round < 5; ++round) {
        list.SetRedraw(FALSE);
        double start = NowMs();
        list.DeleteAllItems();
        erase.push_back(NowMs() - start);
        start = NowMs();
        for (int i = 0; i < rows; ++i)
            list.InsertItem(i, panel.m_items[static_cast<std::size_t>(i)].m_strTitle, 0);
        insert.push_back(NowMs() - start);
        start = NowMs();
        for (int i = 0; i < rows; ++i) {
            list.SetItemText(i, 1, "name");
            list.SetItemText(i, 2, "M:");
            list.SetItemText(i, 3, "0x00000000");
        }
        texts.push_back(NowMs() - start);
        start = NowMs();
        for (int i = 0; i < rows; ++i)
            panel.m_imageCache.GetIndex(panel.m_items[static_cast<std::size_t>(i)].m_strProgramPath);
        icons.push_back(NowMs() - start);
        start = NowMs();
        list.SetRedraw(TRUE);
        redraw.push_back(NowMs() - start);
        start = NowMs();
        PumpMessages();
        paint.push_back(NowMs() - start);
    }
    std::fprintf(stderr, "profile, list of %d rows (median ms): delete all %.2f; insert rows %.2f; set 3 texts each %.2f; "
                "icon lookups %.2f; drawing on again %.2f; the paint after it %.2f\n",
                rows, Median(erase), Median(insert), Median(texts), Median(icons), Median(redraw), Median(paint));
}

}  // namespace

int BarePass()
{
    int kept = 0;
    ::EnumWindows(&BareWindow, reinterpret_cast<LPARAM>(&kept));
    return kept;
}

std::vector<BenchRow> BenchRefresh(const TestMedium& medium, int pairs, bool profile)
{
    FixtureWindows fixtures;
    if (!fixtures.Start(medium, 20, 5)) {
        std::fprintf(stderr, "the fixture windows did not open\n");
        return {};
    }
    PanelHost host;
    CWinListDlg panel;
    if (!host.Open(panel, medium.Drive())) {
        std::fprintf(stderr, "the window list did not open\n");
        return {};
    }
    // The test drives the refresh itself.
    panel.KillTimer(TIMER_WINLIST_REFRESH);

    auto refresh = [&] {
        panel.RefreshWindowItems();
        panel.FillWindowList();
    };
    // Warm: icons cached, libraries loaded.
    for (int i = 0; i < 3; ++i) {
        refresh();
        BarePass();
        PumpMessages();
    }
    std::vector<double> refreshes, collections, bare;
    int kept = 0;
    for (int i = 0; i < pairs; ++i) {
        double start = NowMs();
        kept = BarePass();
        bare.push_back(NowMs() - start);
        start = NowMs();
        panel.RefreshWindowItems();
        const double collected = NowMs();
        panel.FillWindowList();
        refreshes.push_back(NowMs() - start);
        collections.push_back(collected - start);
        PumpMessages();
    }
    std::fprintf(stderr, "refresh: %zu windows listed of %d visible with a text\n", panel.m_items.size(), kept);
    if (profile) {
        Profile(panel);
        ProfileList(panel);
    }

    const double r = Median(refreshes);
    const double c = Median(collections);
    const double b = Median(bare);
    char listed[96];
    std::snprintf(listed, sizeof listed, "refresh, %zu windows of 20 processes", panel.m_items.size());
    return {
        {listed, Fixed(c, "ms"), Fixed(b, "ms"), Ratio(c, b), "<= 1.5 x the bare pass"},
        {"  with the list rebuilt (the timer's work)", Fixed(r, "ms"), Fixed(b, "ms"), Ratio(r, b), ""},
    };
}

#include "TickBench.h"

#include "BenchSettings.h"
#include "CLauncherDlg.h"

#include <cstdio>

std::vector<BenchRow> BenchTick(const TestMedium& medium, int items, int ticks)
{
    const std::string iniPath = medium.Path("\\Vellokari.ini");
    // Counting a delay longer than the measurement.
    WriteBenchSettings(iniPath, items, 600, nullptr);
    const HWND host = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_CLIPCHILDREN, 20, 20, 420, 240, nullptr,
                                        nullptr, nullptr, nullptr);
    std::vector<double> times;
    {
        CLauncherDlg panel;
        panel.m_strDrive = medium.Drive().c_str();
        if (!panel.Create(CLauncherDlg::IDD, CWnd::FromHandle(host))) {
            std::fprintf(stderr, "the launcher panel did not open\n");
            ::DestroyWindow(host);
            return {};
        }
        ::SetWindowPos(host, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        panel.ShowWindow(SW_SHOWNA);
        panel.Initialize(iniPath.c_str());
        panel.KillTimer(TIMER_RUN_TICK);
        panel.KillTimer(TIMER_AUTORUN_CHECK);
        for (int i = 0; i < ticks; ++i) {
            const double start = NowMs();
            panel.SendMessage(WM_TIMER, TIMER_RUN_TICK, 0);
            times.push_back(NowMs() - start);
        }
        std::fprintf(stderr, "tick: %zu run items\n", panel.m_runItems.size());
        panel.DestroyWindow();
    }
    ::DestroyWindow(host);
    char figure[64];
    std::snprintf(figure, sizeof figure, "run tick, %d run items", items);
    return {{figure, Fixed(Median(times) * 1000.0, "us", 0), "", "", "(no goal of its own)"}};
}

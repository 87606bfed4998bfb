#include "ProgramBench.h"

#include "BenchSettings.h"
#include "ObjectCounts.h"
#include "RefreshBench.h"
#include "WinListTest.h"

#include <psapi.h>

#include <cstdio>

namespace {

// Wine reports no CPU time for another process, so it is read from the
// host: the Unix process whose command line starts with this program's
// path (and has this argument next, when one is given). Its time is the
// process's own; what Wine's server does for it is not in it.
DWORD FindHostProcess(const std::string& exe, const std::string& argument)
{
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    DWORD match = 0;
    do {
        const DWORD pid = static_cast<DWORD>(std::strtoul(found.cFileName, nullptr, 10));
        if (pid == 0)
            continue;
        const std::string line = ReadBytes("Z:\\proc\\" + std::string(found.cFileName) + "\\cmdline");
        const std::size_t end = line.find('\0');
        if (end == std::string::npos || ::lstrcmpiA(line.substr(0, end).c_str(), exe.c_str()) != 0)
            continue;
        if (!argument.empty() && line.compare(end + 1, argument.size() + 1, argument + '\0') != 0)
            continue;
        match = pid;
    } while (match == 0 && ::FindNextFileA(search, &found));
    ::FindClose(search);
    return match;
}

// User and system time of a host process in ms (clock ticks of 10 ms).
double HostCpuMs(DWORD pid)
{
    const std::string stat = ReadBytes("Z:\\proc\\" + std::to_string(pid) + "\\stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return 0.0;
    // After the name: state is field 3, utime field 14 and stime field 15.
    const char* p = stat.c_str() + close + 1;
    unsigned long long values[13] = {};
    for (int field = 3; field <= 15; ++field) {
        while (*p == ' ')
            ++p;
        values[field - 3] = std::strtoull(p, nullptr, 10);
        while (*p != ' ' && *p != '\0')
            ++p;
    }
    return static_cast<double>(values[11] + values[12]) * 10.0;
}

// One started program; ended when the object goes.
class Running {
public:
    // The program's path and its first argument name its host process.
    bool Start(const std::string& exe, const std::string& arguments, const std::string& folder)
    {
        m_exe = exe;
        m_argument = arguments.substr(0, arguments.find(' '));
        return m_process.Start("\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments), folder.c_str());
    }

    // Starts it and waits until it is idle with a visible window of its
    // own: the milliseconds from creation, or a negative value on failure.
    double StartShown(const std::string& exe, const std::string& arguments, const std::string& folder)
    {
        const double start = NowMs();
        if (!Start(exe, arguments, folder))
            return -1.0;
        ::WaitForInputIdle(m_process.Handle(), 20000);
        const double deadline = start + 20000.0;
        while (!HasVisibleWindow()) {
            if (NowMs() > deadline)
                return -1.0;
            ::Sleep(1);
        }
        return NowMs() - start;
    }

    // Working set and committed private bytes, in KB.
    void Memory(double& workingSetKb, double& privateKb) const
    {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        ::GetProcessMemoryInfo(m_process.Handle(), &counters, sizeof counters);
        workingSetKb = static_cast<double>(counters.WorkingSetSize) / 1024.0;
        // Wine leaves the private-usage counter at 0.
        privateKb = static_cast<double>(CommittedPrivateBytes(m_process.Handle())) / 1024.0;
    }

    // User and system time so far, in ms, as the host counts it.
    double CpuMs()
    {
        for (int i = 0; m_hostPid == 0 && i < 200; ++i) {
            m_hostPid = FindHostProcess(m_exe, m_argument);
            if (m_hostPid == 0)
                ::Sleep(10);
        }
        return m_hostPid != 0 ? HostCpuMs(m_hostPid) : 0.0;
    }

private:
    struct Search {
        DWORD processId;
        bool found;
    };
    static BOOL CALLBACK Visible(HWND hwnd, LPARAM lParam)
    {
        Search* search = reinterpret_cast<Search*>(lParam);
        DWORD processId = 0;
        ::GetWindowThreadProcessId(hwnd, &processId);
        if (processId != search->processId || !::IsWindowVisible(hwnd))
            return TRUE;
        search->found = true;
        return FALSE;
    }
    bool HasVisibleWindow() const
    {
        Search search{m_process.Id(), false};
        ::EnumWindows(&Visible, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    ChildProcess m_process;  // ended when it goes
    std::string m_exe;
    std::string m_argument;
    DWORD m_hostPid = 0;
};

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

// The program from the medium, with its settings beside it; the floor from the medium too.
struct OnMedium {
    std::string program;
    std::string floor;
};

OnMedium Install(const TestMedium& medium, const ProgramPaths& paths, int items)
{
    OnMedium installed;
    installed.program = medium.Put(paths.program, "\\Vellokari\\Vellokari.exe");
    installed.floor = medium.Put(paths.floor, "\\floor\\VellokariFloor.exe");
    PutFixture(medium, "\\apps\\vk_windows.exe");
    // Skype recorded for the medium; nothing due while -NOSTART holds the items at start.
    static const CString version = "Ver.:8.0.0.1";
    WriteBenchSettings(medium.Path("\\Vellokari\\Vellokari.ini"), items, 30, &version);
    return installed;
}

// As long as the first window-list refresh takes, with room to spare.
const DWORD kAfterFirstRefreshMs = 1000;

}  // namespace

std::vector<BenchRow> BenchStartAndMemory(const TestMedium& medium, const ProgramPaths& paths, int pairs)
{
    const OnMedium installed = Install(medium, paths, 20);
    std::vector<double> programStart, floorStart, programSet, floorSet, programPrivate, floorPrivate;
    for (int pair = 0; pair < pairs; ++pair) {
        for (int which = 0; which < 2; ++which) {
            const bool program = which == 0;
            Running running;
            const std::string& exe = program ? installed.program : installed.floor;
            const double ms = running.StartShown(exe, program ? "-NOSTART" : "", FolderOf(exe));
            if (ms < 0) {
                std::fprintf(stderr, "%s did not show its window\n", program ? "the program" : "the floor");
                return {};
            }
            ::Sleep(kAfterFirstRefreshMs);
            double set = 0, privateKb = 0;
            running.Memory(set, privateKb);
            (program ? programStart : floorStart).push_back(ms);
            (program ? programSet : floorSet).push_back(set);
            (program ? programPrivate : floorPrivate).push_back(privateKb);
        }
    }
    const double ps = Median(programStart), fs = Median(floorStart);
    const double pw = Median(programSet), fw = Median(floorSet);
    const double pp = Median(programPrivate), fp = Median(floorPrivate);
    char figure[64];
    std::snprintf(figure, sizeof figure, "start, median of %d pairs", pairs);
    return {
        {figure, Fixed(ps, "ms"), Fixed(fs, "ms"), Ratio(ps, fs), "<= 1.3 x the floor"},
        {"working set after the first refresh", Fixed(pw / 1024.0, "MB"), Fixed(fw / 1024.0, "MB"), Ratio(pw, fw),
         "<= 1.5 x the floor"},
        {"private bytes after the first refresh", Fixed(pp / 1024.0, "MB"), Fixed(fp / 1024.0, "MB"), Ratio(pp, fp),
         ""},
    };
}

std::vector<BenchRow> BenchSize(const ProgramPaths& paths)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(paths.program.c_str(), GetFileExInfoStandard, &data))
        return {};
    const double kb = static_cast<double>(data.nFileSizeLow) / 1024.0;
    if (!::GetFileAttributesExA(paths.floor.c_str(), GetFileExInfoStandard, &data))
        return {};
    const double floorKb = static_cast<double>(data.nFileSizeLow) / 1024.0;
    return {{"size of Vellokari.exe", Fixed(kb, "KB", 0), Fixed(floorKb, "KB", 0), Ratio(kb, floorKb),
             "<= 1024 KB, one static file"}};
}

std::vector<BenchRow> BenchIdle(const TestMedium& medium, const ProgramPaths& paths, DWORD seconds)
{
    const OnMedium installed = Install(medium, paths, 50);
    const double windowMs = seconds * 1000.0;
    double busy = 0, bare = 0, quiet = 0;
    {
        FixtureWindows windows;
        if (!windows.Start(medium, 20, 5)) {
            std::fprintf(stderr, "the fixture windows did not open\n");
            return {};
        }
        Running program, barePass;
        if (program.StartShown(installed.program, "-NOSTART", FolderOf(installed.program)) < 0) {
            std::fprintf(stderr, "the program did not show its window\n");
            return {};
        }
        // The bare pass runs beside it, over the same windows.
        if (!barePass.Start(paths.bench, "--bare-every 3000", FolderOf(paths.bench))) {
            std::fprintf(stderr, "the bare pass did not start\n");
            return {};
        }
        ::Sleep(kAfterFirstRefreshMs);
        const double program0 = program.CpuMs(), bare0 = barePass.CpuMs();
        ::Sleep(seconds * 1000);
        busy = program.CpuMs() - program0;
        bare = barePass.CpuMs() - bare0;
    }
    {
        Running program;
        if (program.StartShown(installed.program, "-NOSTART", FolderOf(installed.program)) < 0)
            return {};
        ::Sleep(kAfterFirstRefreshMs);
        const double program0 = program.CpuMs();
        ::Sleep(seconds * 1000);
        quiet = program.CpuMs() - program0;
    }
    auto share = [&](double ms) { return ms * 100.0 / windowMs; };
    return {
        {"idle load, 50 items, 100 windows of 20 procs", Fixed(share(busy), "% core", 2),
         Fixed(share(bare), "% core", 2), Ratio(busy, bare), "<= 1.5 x the bare pass / 3 s"},
        {"idle load, 50 items, no windows", Fixed(share(quiet), "% core", 2), "", "", "<= 0.5 % of one core"},
    };
}

int RunBarePassForever(DWORD periodMs)
{
    for (;;) {
        BarePass();
        ::Sleep(periodMs);
    }
}

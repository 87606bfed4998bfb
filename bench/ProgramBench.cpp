#include "ProgramBench.h"

#include "CLauncherDlg.h"
#include "RefreshBench.h"
#include "WinListTest.h"

#include <psapi.h>

#include <cstdio>

namespace {

std::string ReadHostFile(const std::string& path)
{
    std::string text;
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    ::CloseHandle(file);
    return text;
}

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
        const std::string line = ReadHostFile("Z:\\proc\\" + std::string(found.cFileName) + "\\cmdline");
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
    const std::string stat = ReadHostFile("Z:\\proc\\" + std::to_string(pid) + "\\stat");
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
    Running() = default;
    ~Running() { End(); }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    // The program's path and its first argument name its host process.
    bool Start(const std::string& exe, const std::string& arguments, const std::string& folder)
    {
        m_exe = exe;
        m_argument = arguments.substr(0, arguments.find(' '));
        const std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string line = commandLine;
        return ::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                                &m_info) != FALSE;
    }

    // Starts it and waits until it is idle with a visible window of its
    // own: the milliseconds from creation, or a negative value on failure.
    double StartShown(const std::string& exe, const std::string& arguments, const std::string& folder)
    {
        const double start = NowMs();
        if (!Start(exe, arguments, folder))
            return -1.0;
        ::WaitForInputIdle(m_info.hProcess, 20000);
        const double deadline = start + 20000.0;
        while (MainWindow() == nullptr) {
            if (NowMs() > deadline)
                return -1.0;
            ::Sleep(1);
        }
        return NowMs() - start;
    }

    HWND MainWindow() const
    {
        Search search{m_info.dwProcessId, nullptr};
        ::EnumWindows(&Visible, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // Working set and committed private bytes.
    void Memory(double& workingSetKb, double& privateKb) const
    {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        ::GetProcessMemoryInfo(m_info.hProcess, &counters, sizeof counters);
        workingSetKb = static_cast<double>(counters.WorkingSetSize) / 1024.0;
        // Wine leaves the private-usage counter at 0: the committed private pages instead.
        std::size_t total = 0;
        MEMORY_BASIC_INFORMATION region{};
        const char* address = nullptr;
        while (::VirtualQueryEx(m_info.hProcess, address, &region, sizeof region) == sizeof region) {
            if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
                total += region.RegionSize;
            const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
            if (next <= address)
                break;
            address = next;
        }
        privateKb = static_cast<double>(total) / 1024.0;
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

    void End()
    {
        if (m_info.hProcess == nullptr)
            return;
        ::TerminateProcess(m_info.hProcess, 0);
        ::WaitForSingleObject(m_info.hProcess, 10000);
        ::CloseHandle(m_info.hProcess);
        ::CloseHandle(m_info.hThread);
        m_info = PROCESS_INFORMATION{};
    }

private:
    struct Search {
        DWORD processId;
        HWND found;
    };
    static BOOL CALLBACK Visible(HWND hwnd, LPARAM lParam)
    {
        Search* search = reinterpret_cast<Search*>(lParam);
        DWORD processId = 0;
        ::GetWindowThreadProcessId(hwnd, &processId);
        if (processId != search->processId || !::IsWindowVisible(hwnd))
            return TRUE;
        search->found = hwnd;
        return FALSE;
    }

    PROCESS_INFORMATION m_info{};
    std::string m_exe;
    std::string m_argument;
    DWORD m_hostPid = 0;
};

// The settings beside the program: items on the medium, and a Skype
// version recorded for the medium.
void WriteSettings(const std::string& iniPath, int items)
{
    const CString version = "Ver.:8.0.0.1";
    CLauncherDlg writer;
    writer.m_strIniPath = iniPath.c_str();
    writer.m_pstrVersion = &version;
    for (int i = 0; i < items; ++i) {
        CRunInf item;
        char name[32];
        std::snprintf(name, sizeof name, "item%d", i);
        item.m_strProgramName = name;
        item.m_strProgramPath = "\\apps\\vk_windows.exe";
        // Manual, at start (held by -NOSTART), and waiting for a gate: none is due.
        item.m_nRunKind = i % 3;
        item.m_nDelayTime = 30;
        item.m_nGateKind = i % 5;
        writer.m_runItems.push_back(item);
    }
    writer.SaveSettings();
}

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
    WriteSettings(medium.Path("\\Vellokari\\Vellokari.ini"), items);
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

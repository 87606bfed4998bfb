// The program's benchmark under Wine: prints one table of medians, each
// with the figure it is measured against in the same run, on standard
// output; notes and the profile go to standard error.
//   vk_bench.exe [--program EXE --floor EXE] [--idle-seconds N] [--profile]
//   vk_bench.exe --bare-every MS   (the bare pass, again and again)
#include "Bench.h"
#include "CommonControlsBinding.h"
#include "ProgramBench.h"
#include "RefreshBench.h"
#include "TickBench.h"

#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    bool profile = false;
    ProgramPaths paths;
    DWORD idleSeconds = 60;
    for (int i = 1; i < argc; ++i) {
        const bool value = i + 1 < argc;
        if (std::strcmp(argv[i], "--profile") == 0)
            profile = true;
        else if (std::strcmp(argv[i], "--bare-every") == 0 && value)
            return RunBarePassForever(static_cast<DWORD>(std::atoi(argv[++i])));
        else if (std::strcmp(argv[i], "--program") == 0 && value)
            paths.program = argv[++i];
        else if (std::strcmp(argv[i], "--floor") == 0 && value)
            paths.floor = argv[++i];
        else if (std::strcmp(argv[i], "--idle-seconds") == 0 && value)
            idleSeconds = static_cast<DWORD>(std::atoi(argv[++i]));
    }
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, sizeof self);
    paths.bench = self;

    // The panels' debug log writes to standard output: it goes to the null
    // device, as in the program without its debug switch.
    std::FILE* table = _fdopen(_dup(_fileno(stdout)), "w");
    if (table == nullptr || std::freopen("NUL", "w", stdout) == nullptr)
        table = stdout;

    InitCommonControlsOnce();

    std::vector<BenchRow> rows;
    auto add = [&](const std::vector<BenchRow>& more) { rows.insert(rows.end(), more.begin(), more.end()); };
    if (!paths.program.empty() && !paths.floor.empty()) {
        {
            TestMedium medium;
            add(BenchStartAndMemory(medium, paths, 15));
        }
        add(BenchSize(paths));
        {
            TestMedium medium;
            add(BenchIdle(medium, paths, idleSeconds));
        }
    }
    {
        TestMedium medium;
        if (!medium.IsReady()) {
            std::fprintf(stderr, "no medium (WINEPREFIX must name the prefix)\n");
            return 1;
        }
        add(BenchRefresh(medium, 21, profile));
        add(BenchTick(medium, 1000, 101));
    }
    PrintTable(table, rows);
    return 0;
}

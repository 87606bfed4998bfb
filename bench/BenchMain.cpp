// The program's benchmark under Wine: prints one table of medians, each
// with the figure it is measured against in the same run, on standard
// output; notes and the profile go to standard error.
//   vk_bench.exe [--profile]
#include "Bench.h"
#include "RefreshBench.h"
#include "TickBench.h"

#include <commctrl.h>
#include <io.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    bool profile = false;
    for (int i = 1; i < argc; ++i)
        profile = profile || std::strcmp(argv[i], "--profile") == 0;

    // The panels' debug log writes to standard output: it goes to the null
    // device, as in the program without its debug switch.
    std::FILE* table = _fdopen(_dup(_fileno(stdout)), "w");
    if (table == nullptr || std::freopen("NUL", "w", stdout) == nullptr)
        table = stdout;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    std::vector<BenchRow> rows;
    {
        TestMedium medium;
        if (!medium.IsReady()) {
            std::fprintf(stderr, "no medium (WINEPREFIX must name the prefix)\n");
            return 1;
        }
        for (const BenchRow& row : BenchRefresh(medium, 21, profile))
            rows.push_back(row);
        for (const BenchRow& row : BenchTick(medium, 1000, 101))
            rows.push_back(row);
    }
    PrintTable(table, rows);
    return 0;
}

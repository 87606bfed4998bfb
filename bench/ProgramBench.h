#pragma once
// The shipped program against the floor, each started as its own process
// from the medium: start time and memory pair by pair, the size of the
// file, and the CPU time the program takes while it idles.
#include "Bench.h"
#include "TestMedium.h"

#include <string>
#include <vector>

struct ProgramPaths {
    std::string program;  // Vellokari.exe of the release build
    std::string floor;    // the floor program of the same build
    std::string bench;    // this program, started again for the bare pass
};

std::vector<BenchRow> BenchStartAndMemory(const TestMedium& medium, const ProgramPaths& paths, int pairs);
std::vector<BenchRow> BenchSize(const ProgramPaths& paths);
std::vector<BenchRow> BenchIdle(const TestMedium& medium, const ProgramPaths& paths, DWORD seconds);

// The bare pass every periodMs until the process is ended (--bare-every).
int RunBarePassForever(DWORD periodMs);

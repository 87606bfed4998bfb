#pragma once
// One window-list refresh (the timer's work: collect the windows, rebuild
// the list) with many windows of many processes on the medium, against the
// bare pass over the same windows, alternated pair by pair; and the cost of
// each process query on its own, for a profile.
#include "Bench.h"
#include "TestMedium.h"

#include <memory>
#include <vector>

class WindowsFixture;

// Fixture processes with their windows on the medium; ended when it goes.
class FixtureWindows {
public:
    FixtureWindows();
    ~FixtureWindows();
    FixtureWindows(const FixtureWindows&) = delete;
    FixtureWindows& operator=(const FixtureWindows&) = delete;
    bool Start(const TestMedium& medium, int processes, int windowsPerProcess);

private:
    std::vector<std::unique_ptr<WindowsFixture>> m_fixtures;
};

// The bare pass: enumerate, keep the visible windows with a text, and read
// each one's program path once with the cheapest call there is. The number
// of windows it kept.
int BarePass();

std::vector<BenchRow> BenchRefresh(const TestMedium& medium, int pairs, bool profile);

#pragma once
// One run tick of the launcher with many run items, none of them due.
#include "Bench.h"
#include "TestMedium.h"

#include <vector>

std::vector<BenchRow> BenchTick(const TestMedium& medium, int items, int ticks);

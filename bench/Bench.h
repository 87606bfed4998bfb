#pragma once
// The benchmark's helpers: a clock, medians, and the table it prints.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

// Milliseconds since an arbitrary start, from the performance counter.
double NowMs();

double Median(std::vector<double> values);

// One row of the printed table; empty texts print as "-".
struct BenchRow {
    std::string figure;
    std::string value;
    std::string floor;
    std::string ratio;
    std::string goal;
};

void PrintTable(std::FILE* out, const std::vector<BenchRow>& rows);

std::string Fixed(double value, const char* unit, int decimals = 1);
std::string Ratio(double value, double floor);

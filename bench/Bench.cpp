#include "Bench.h"

#include <algorithm>
#include <cstdio>

double NowMs()
{
    static const double frequency = [] {
        LARGE_INTEGER f{};
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / frequency;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

std::string Fixed(double value, const char* unit, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f %s", decimals, value, unit);
    return text;
}

std::string Ratio(double value, double floor)
{
    if (floor <= 0.0)
        return "";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value / floor);
    return text;
}

void PrintTable(std::FILE* out, const std::vector<BenchRow>& rows)
{
    auto cell = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    std::fprintf(out, "| %-44s | %-14s | %-14s | %-6s | %-28s |\n", "figure", "Vellokari", "floor", "ratio", "goal");
    std::fprintf(out, "|%s|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(16, '-').c_str(),
                std::string(16, '-').c_str(), std::string(8, '-').c_str(), std::string(30, '-').c_str());
    for (const BenchRow& row : rows)
        std::fprintf(out, "| %-44s | %-14s | %-14s | %-6s | %-28s |\n", row.figure.c_str(), cell(row.value).c_str(),
                    cell(row.floor).c_str(), cell(row.ratio).c_str(), cell(row.goal).c_str());
    std::fflush(out);
}

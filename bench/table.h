#pragma once
// The benchmark's table, shared by the Linux and the Windows measuring tools:
// one row per measure, the medians of program and floor and their ratio.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace bench {

using Samples = std::vector<double>;

inline double median(Samples v) {
    if (v.empty())
        return NAN;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A row; the target columns only where the table has them (target given).
inline void row(const char* what, const Samples& program, const Samples& floor, const char* unit,
                const char* target = nullptr, std::optional<bool> met = {}) {
    const double p = median(program), f = median(floor);
    char fl[32] = "", ratio[16] = "";
    if (!floor.empty())
        std::snprintf(fl, sizeof fl, "%9.1f", f);
    if (!floor.empty() && f > 0)
        std::snprintf(ratio, sizeof ratio, "%6.2f x", p / f);
    std::printf("%-40s %9.1f %9s %-5s %8s", what, p, fl, unit, ratio);
    if (target)
        std::printf("  %-22s %s", target, met ? (*met ? "met" : "MISSED") : "");
    std::printf("\n");
}

} // namespace bench

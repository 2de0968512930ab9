#pragma once
// What the benchmarks measure with: the process's CPU time, and the median of several rounds.
#include <algorithm>
#include <ctime>
#include <vector>

inline double processCpuMs() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

// 0 for no rounds.
inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

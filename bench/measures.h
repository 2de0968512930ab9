#pragma once
// What the benchmarks measure with: the process's CPU time, and the median of several rounds.
#include "support/process_cpu.h"

#include <algorithm>
#include <vector>

// 0 for no rounds.
inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

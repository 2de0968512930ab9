#pragma once
// The CPU time the whole process has spent, all its threads together, in milliseconds.
#include <ctime>

inline double processCpuMs() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

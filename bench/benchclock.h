#ifndef QUORVEL_BENCHCLOCK_H
#define QUORVEL_BENCHCLOCK_H

#include <time.h>

// Clocks of the benchmarks, in seconds: the wall clock, and the CPU time of
// the calling thread (the GUI thread's own cost, whatever else the machine
// runs).
inline double monotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

inline double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

#endif // QUORVEL_BENCHCLOCK_H

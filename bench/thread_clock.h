#pragma once
// The calling thread's CPU time, so that other work on a shared machine does not count.
#include <time.h>

inline double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

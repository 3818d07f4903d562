// The benchmarks' clock.
#pragma once

#include <windows.h>

// Seconds from an arbitrary start, at the performance counter's resolution.
inline double Now()
{
    LARGE_INTEGER nCount, nFrequency;
    QueryPerformanceCounter(&nCount);
    QueryPerformanceFrequency(&nFrequency);
    return (double)nCount.QuadPart / (double)nFrequency.QuadPart;
}

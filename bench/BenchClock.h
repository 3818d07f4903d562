// The benchmarks' clock, and what they share in printing their figures.
#pragma once

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

// Seconds from an arbitrary start, at the performance counter's resolution.
inline double Now()
{
    LARGE_INTEGER nCount, nFrequency;
    QueryPerformanceCounter(&nCount);
    QueryPerformanceFrequency(&nFrequency);
    return (double)nCount.QuadPart / (double)nFrequency.QuadPart;
}

// A benchmark's steps can take minutes on a loaded machine: the dialog
// driver waits for the user-interface thread that long before it gives up,
// unless told otherwise.
inline void AllowSlowSteps()
{
    if (!getenv("VARNET_UI_TIMEOUT_MS"))
        _putenv("VARNET_UI_TIMEOUT_MS=900000");
}

// One line of the summary table that scripts/bench.sh prints: a figure in
// seconds, the reference it is measured against in the same run, and the
// bound it is held to (free text).
inline void PrintFigure(const char* pszFigure, double tFigure, const char* pszReference, double tReference,
                        const char* pszBound)
{
    printf("figure|%s|%.4f|%s|%.4f|%s\n", pszFigure, tFigure, pszReference, tReference, pszBound);
    fflush(stdout);
}

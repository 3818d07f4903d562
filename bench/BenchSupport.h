// What the benchmarks share: the clock, the bare listing of a folder,
// finding a folder's node, and the lines of the summary table.
#pragma once

#include <DialogDriver.h>
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

// The platform's floor for listing a folder: one FindFirstFileA/
// FindNextFileA pass making each subfolder's path, as the dialog does.
// Seconds; the number of subfolders in *pnFolders.
inline double BareListing(const CString& strFolder, int* pnFolders = NULL)
{
    double tStart = Now();
    int nFolders = 0;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(strFolder + "\\*.*", &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..")) {
                CString strPath = strFolder + "\\" + fd.cFileName;
                nFolders++;
            }
        } while (FindNextFileA(hFind, &fd));
        FindClose(hFind);
    }
    if (pnFolders)
        *pnFolders = nFolders;
    return Now() - tStart;
}

// The node of a folder path (D:\a\b) by its labels from the top node;
// NULL when one is missing.
inline HTREEITEM NodeOf(Driver& d, const CString& strPath)
{
    HTREEITEM hNode = d.Root();
    CString strRest = strPath.Mid(3) + "\\";
    for (int n = strRest.Find('\\'); n != -1 && hNode; n = strRest.Find('\\')) {
        hNode = d.Child(hNode, strRest.Left(n));
        strRest = strRest.Mid(n + 1);
    }
    return hNode;
}

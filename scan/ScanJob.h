// One recursive scan: what the worker is given and what it hands back.
// While the worker runs it alone touches the job, but for the run flag,
// which the command writes (ScanFlag.h); the command reads the results
// once the worker has ended.
#pragma once

#include <afxtempl.h>
#include <afxwin.h>

struct CScanJob {
    CScanJob(const CString& strStart, const int& nContinue) : m_strStart(strStart), m_nContinue(nContinue) {}

    // Given: the folder to scan (with or without a trailing backslash) and
    // the run flag, read before every entry; 0 stops the scan.
    CString m_strStart;
    const int& m_nContinue;

    // Handed back: the full path of every folder below the start, a folder
    // before what it holds; beside each, where its last name starts (a name
    // may hold a backslash, or end in a byte that looks like one); and the
    // listing pattern and system's text of the last folder that could not
    // be listed (empty when none).
    CArray<CString, CString&> m_arrDirs;
    CArray<int, int> m_arrNameStarts;
    CString m_strError;
};

// Runs the scan of job on the calling thread.
void RunScanJob(CScanJob& job);

// The worker thread's entry: pParam is the CScanJob.
UINT ScanJobThread(void* pParam);

// CWinThread and AfxBeginThread: a worker thread running a function.
#pragma once

#include "object.h"

typedef UINT(__cdecl* AFX_THREADPROC)(LPVOID);

class FX_API CWinThread : public CObject {
public:
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    // Closes the thread handle.
    ~CWinThread() override;

    // Starts the thread (suspended if dwCreateFlags has CREATE_SUSPENDED).
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
    DWORD ResumeThread();                // ResumeThread
    DWORD SuspendThread();               // SuspendThread
    BOOL SetThreadPriority(int nPriority);  // SetThreadPriority
    int GetThreadPriority() const;       // GetThreadPriority
    operator HANDLE() const { return m_hThread; }

    HANDLE m_hThread;
    DWORD m_nThreadID;
    // TRUE: the object deletes itself (closing m_hThread) when the thread
    // function returns. Clear it before the thread runs to keep the object.
    BOOL m_bAutoDelete;

private:
    static unsigned __stdcall ThreadEntry(void* pParam);

    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;
    UINT m_nTextCodePage;  // the creating thread's (codepage.h), for the new one
};

// Creates a CWinThread running pfnThreadProc(pParam) with the given priority
// and creation flags; NULL when the thread cannot be created.
FX_API CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                                  int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                                  DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);

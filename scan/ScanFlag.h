// The run flag of the recursive scan, m_bScanContinue: the user-interface
// thread writes it while the worker polls it, with no lock. Every access
// goes through these helpers so that it is atomic and a stop written by one
// thread is seen by the other at its next read.
#pragma once

inline int ReadScanFlag(const int& nFlag)
{
    return __atomic_load_n(&nFlag, __ATOMIC_SEQ_CST);
}

inline void WriteScanFlag(int& nFlag, int nValue)
{
    __atomic_store_n(&nFlag, nValue, __ATOMIC_SEQ_CST);
}

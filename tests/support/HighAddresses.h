// The high-address mode of the test programs (VARNET_HIGH_ADDRESSES=1, x86-64
// builds only): the free address space below 4 GB is used up before any test
// runs, so that a pointer or handle cut to 32 bits points elsewhere.
#pragma once

// Reserves the free space below 4 GB and drains the heaps' free space there,
// then checks as CheckHighAddresses does. Does nothing unless the mode is on.
void EnterHighAddresses();

// Ends the program with exit code 96 and a message naming `pszWhen` when a
// new allocation, heap block, thread stack or tree item lies below 4 GB.
// Does nothing unless the mode is on.
void CheckHighAddresses(const char* pszWhen);

// Returns pfnRun(), run in the mode on a new thread: the main thread's stack
// stays below 4 GB, a new thread's lies above it.
int RunOnHighStack(int (*pfnRun)());

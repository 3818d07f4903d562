// The main of every test program: GoogleTest with a watchdog that ends a
// stuck test with a clear failure, and a crash filter that makes a crash a
// failing exit code. It runs only in the build's private test prefix. With
// VARNET_HIGH_ADDRESSES=1 everything the tests allocate lies above 4 GB.
#include "HighAddresses.h"
#include "TestFs.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <thread>

namespace {

std::atomic<DWORD> g_deadline{0};  // GetTickCount at which the running test fails
std::string g_testName;

class WatchdogListener : public testing::EmptyTestEventListener {
public:
    explicit WatchdogListener(DWORD dwLimitMs) : m_dwLimitMs(dwLimitMs) {}
    void OnTestStart(const testing::TestInfo& info) override
    {
        g_testName = std::string(info.test_suite_name()) + "." + info.name();
        g_deadline = GetTickCount() + m_dwLimitMs;
    }
    void OnTestEnd(const testing::TestInfo&) override
    {
        g_deadline = 0;
        CheckHighAddresses(("after " + g_testName).c_str());
    }

private:
    DWORD m_dwLimitMs;
};

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pInfo)
{
    fprintf(stderr, "\nCRASH: exception 0x%08lx at %p in %s\n", pInfo->ExceptionRecord->ExceptionCode,
            pInfo->ExceptionRecord->ExceptionAddress, g_testName.c_str());
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 98);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv)
{
    // In the high-address mode, before anything allocates what a test uses.
    EnterHighAddresses();
    // Nothing runs outside the build's test prefix; what an interrupted
    // earlier run left on the test drive goes first.
    RemoveStaleTestFolders();
    testing::InitGoogleTest(&argc, argv);
    SetUnhandledExceptionFilter(CrashFilter);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

    const char* pszLimit = getenv("VARNET_TEST_LIMIT_S");
    DWORD dwLimitMs = (pszLimit ? atoi(pszLimit) : 60) * 1000;
    testing::UnitTest::GetInstance()->listeners().Append(new WatchdogListener(dwLimitMs));
    std::thread([] {
        for (;;) {
            Sleep(250);
            DWORD dwDeadline = g_deadline;
            if (dwDeadline && (LONG)(GetTickCount() - dwDeadline) > 0) {
                fprintf(stderr, "\nWATCHDOG: %s did not finish in time; ending the test program.\n",
                        g_testName.c_str());
                fflush(stderr);
                TerminateProcess(GetCurrentProcess(), 97);
            }
        }
    }).detach();

    return RunOnHighStack([] { return RUN_ALL_TESTS(); });
}

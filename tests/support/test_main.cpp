// The main of every GoogleTest program of the project.
//
// GoogleTest starts a watcher thread the first time a thread uses one of its
// thread-local values (SCOPED_TRACE does). A test that ends a few
// milliseconds later may end the process while that thread is still being
// set up; 32-bit Wine then kills a thread that has no signal state yet and
// the process dies with a segmentation fault after every test has passed.
// So before the process ends, every thread of it is given the time to start.
#include "common/win.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Threads that have run their start-up (the main thread is not counted).
volatile LONG g_startedThreads = 0;

void NTAPI CountThread(PVOID, DWORD reason, PVOID) {
    if (reason == DLL_THREAD_ATTACH) InterlockedIncrement(&g_startedThreads);
    if (reason == DLL_THREAD_DETACH) InterlockedDecrement(&g_startedThreads);
}

// -1 when the snapshot fails.
int ThreadsOfThisProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    const DWORD self = GetCurrentProcessId();
    int count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == self) ++count;
        entry.dwSize = sizeof(entry);
    }
    CloseHandle(snapshot);
    return count;
}

// Waits, a few seconds at most, until no thread is still starting or ending.
void WaitForThreadsToSettle() {
    for (int waited = 0; waited < 5000; waited += 5) {
        const int threads = ThreadsOfThisProcess();
        if (threads < 0 || threads <= 1 + g_startedThreads) return;
        Sleep(5);
    }
}

}  // namespace

// The loader calls this on every thread once the thread is set up.
extern "C" __attribute__((section(".CRT$XLQ"), used)) const PIMAGE_TLS_CALLBACK quillon_count_threads = CountThread;

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    fflush(stdout);
    fflush(stderr);
    WaitForThreadsToSettle();
    return result;
}

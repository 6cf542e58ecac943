#include "engine/startup_mutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

std::wstring UniqueName() { return L"qln_test_startup_" + std::to_wstring(GetCurrentProcessId()); }

// A second start-up waits while the first holds the mutex and proceeds as
// soon as it is released; the long-wait hook runs once.
TEST(StartupMutexTest, SecondStartUpWaitsForTheFirst) {
    StartupMutex first(UniqueName());
    ASSERT_TRUE(first.Acquire());
    std::atomic<bool> acquired{false};
    std::atomic<int> longWaits{0};
    std::thread second([&] {
        StartupMutex mutex(UniqueName());
        bool ok = mutex.Acquire([&] { ++longWaits; });
        acquired = ok;
        mutex.Release();
    });
    // Held until the waiting start-up has reported its long wait.
    while (longWaits.load() == 0) Sleep(10);
    EXPECT_FALSE(acquired.load());
    first.Release();
    second.join();
    EXPECT_TRUE(acquired.load());
    EXPECT_EQ(longWaits.load(), 1);
}

TEST(StartupMutexTest, AnAbandonedMutexIsTakenOver) {
    std::thread dying([] {
        // Never destroyed: its thread ends while owning the mutex.
        auto* mutex = new StartupMutex(UniqueName() + L"_abandoned");
        mutex->Acquire();
    });
    dying.join();
    StartupMutex mutex(UniqueName() + L"_abandoned");
    EXPECT_TRUE(mutex.Acquire());
}

}  // namespace

#include "engine/startup_mutex.h"

#include "tests/unit/engine/foreign_mutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

std::wstring UniqueName() { return L"qln_test_startup_" + std::to_wstring(GetCurrentProcessId()); }

// A second start-up waits while the first holds the mutex and proceeds as
// soon as it is released; the long-wait hook runs once.
TEST(StartupMutexTest, SecondStartUpWaitsForTheFirst) {
    StartupMutex first(UniqueName());
    first.Acquire();
    ASSERT_TRUE(first.IsHeld());
    std::atomic<bool> acquired{false};
    std::atomic<int> longWaits{0};
    std::thread second([&] {
        StartupMutex mutex(UniqueName());
        mutex.Acquire([&] { ++longWaits; });
        acquired = mutex.IsHeld();
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
    mutex.Acquire();
    EXPECT_TRUE(mutex.IsHeld());
}

// A start-up mutex of an engine with higher integrity: ours may only wait on
// it, and waits until that engine releases it; it then serialises both.
TEST(StartupMutexTest, MutexOfAHigherEngineIsWaitedOnWithTheRightItGrants) {
    const std::wstring name = UniqueName() + L"_higher";
    ScopedHandle higher = CreateForeignMutex(name, kWaitOnlySddl, true);
    ASSERT_TRUE(higher);
    std::atomic<bool> acquired{false}, release{false};
    std::thread engine([&] {
        StartupMutex mutex(name);
        mutex.Acquire();
        acquired = mutex.IsHeld();
        while (!release.load()) Sleep(1);
    });
    Sleep(3 * StartupMutex::kPollMs);
    EXPECT_FALSE(acquired.load());
    ReleaseMutex(higher.Get());
    while (!acquired.load()) Sleep(1);
    // Held by our engine now: the higher one waits in turn.
    EXPECT_EQ(WaitForSingleObject(higher.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    release = true;
    engine.join();
    EXPECT_EQ(WaitForSingleObject(higher.Get(), 2000), static_cast<DWORD>(WAIT_OBJECT_0));
    ReleaseMutex(higher.Get());
}

// A name that cannot even be opened as a mutex (here an event holds it)
// counts as held until it is gone: the start-up never goes on unserialised.
TEST(StartupMutexTest, MutexThatCannotBeOpenedCountsAsHeldUntilItIsGone) {
    const std::wstring name = UniqueName() + L"_taken";
    ScopedHandle foreign(CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
    ASSERT_TRUE(foreign);
    std::atomic<bool> acquired{false};
    std::atomic<int> longWaits{0};
    std::thread engine([&] {
        StartupMutex mutex(name);
        mutex.Acquire([&] { ++longWaits; });
        acquired = mutex.IsHeld();
    });
    while (longWaits.load() == 0) Sleep(10);
    EXPECT_FALSE(acquired.load());
    foreign.Reset();
    engine.join();
    EXPECT_TRUE(acquired.load());
    EXPECT_EQ(longWaits.load(), 1);
}

}  // namespace

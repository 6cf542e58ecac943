#include "engine/engine_instance.h"

#include "tests/unit/engine/foreign_mutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

std::wstring UniqueName(const std::wstring& what) {
    static int counter = 0;
    return L"qln_test_" + what + L"_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++counter);
}

struct EngineOutcome {
    EngineInstance::Role role = EngineInstance::Role::kHandOver;
    int published = 0;  // the window this engine recorded, if it serves
    int handedOver = 0;  // the window it told its launchers, if it hands over
};

// Two engines started at the same moment, each as the program runs: begin
// the start-up, claim, and either publish its window ("wnd") or read the one
// published. Publishing is slow, so an engine that looked before the other
// had published would hand over nothing.
TEST(EngineInstanceTest, OfTwoEnginesStartedTogetherOneServesAndTheOtherHandsItsWindowOver) {
    for (int round = 0; round < 3; ++round) {
        const std::wstring startup = UniqueName(L"startup"), running = UniqueName(L"running");
        std::atomic<int> wnd{0};
        std::atomic<bool> go{false};
        std::atomic<int> decided{0};
        EngineOutcome outcomes[2];
        auto engine = [&](int index) {
            EngineInstance instance(startup, running);
            while (!go.load()) Sleep(0);
            instance.BeginStartup();
            const int ownWindow = 1000 + index;
            outcomes[index].role = instance.Claim([&] {
                Sleep(150);
                wnd = ownWindow;
                outcomes[index].published = ownWindow;
            });
            if (outcomes[index].role == EngineInstance::Role::kHandOver) outcomes[index].handedOver = wnd.load();
            ++decided;
            // The one that serves runs on until both have decided.
            while (decided.load() < 2) Sleep(1);
        };
        std::thread first(engine, 0), second(engine, 1);
        go = true;
        first.join();
        second.join();

        const int servers = (outcomes[0].role == EngineInstance::Role::kServe) +
                            (outcomes[1].role == EngineInstance::Role::kServe);
        ASSERT_EQ(servers, 1) << "round " << round;
        const EngineOutcome& server = outcomes[0].role == EngineInstance::Role::kServe ? outcomes[0] : outcomes[1];
        const EngineOutcome& other = &server == &outcomes[0] ? outcomes[1] : outcomes[0];
        EXPECT_EQ(other.handedOver, server.published) << "round " << round;
        EXPECT_EQ(other.published, 0);
    }
}

// True when another thread can take the mutex within the time.
bool TakenFromAnotherThread(const std::wstring& name, DWORD timeoutMs) {
    bool taken = false;
    std::thread([&] {
        HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
        if (mutex == nullptr) return;
        DWORD result = WaitForSingleObject(mutex, timeoutMs);
        taken = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
        if (taken) ReleaseMutex(mutex);
        CloseHandle(mutex);
    }).join();
    return taken;
}

// A running-engine mutex that cannot be created, because the engine that
// holds it runs with higher integrity or because something else holds the
// name, means another engine runs: hand over, never serve beside it.
TEST(EngineInstanceTest, RunningMutexThatCannotBeCreatedMeansAnotherEngineRuns) {
    struct Case {
        const char* what;
        const wchar_t* sddl;  // null: an event holds the name
    } cases[] = {
        {"waiting allowed, full access denied", kWaitOnlySddl},
        {"all access denied", kNoAccessSddl},
        {"the name is an event's", nullptr},
    };
    for (const Case& c : cases) {
        const std::wstring startup = UniqueName(L"startup"), running = UniqueName(L"running");
        ScopedHandle holder = c.sddl != nullptr ? CreateForeignMutex(running, c.sddl, true)
                                                : ScopedHandle(CreateEventW(nullptr, TRUE, FALSE, running.c_str()));
        ASSERT_TRUE(holder) << c.what;

        EngineInstance instance(startup, running);
        instance.BeginStartup();
        bool published = false;
        EXPECT_EQ(instance.Claim([&] { published = true; }), EngineInstance::Role::kHandOver) << c.what;
        EXPECT_FALSE(published) << c.what;
        // The start-up is over for the next engine.
        EXPECT_TRUE(TakenFromAnotherThread(startup, 2000)) << c.what;
    }
}

TEST(EngineInstanceTest, TheServingEngineHoldsTheRunningMutexUntilItsRunEnds) {
    const std::wstring startup = UniqueName(L"startup"), running = UniqueName(L"running");
    EngineInstance instance(startup, running);
    instance.BeginStartup();
    ASSERT_EQ(instance.Claim(nullptr), EngineInstance::Role::kServe);
    EXPECT_TRUE(TakenFromAnotherThread(startup, 2000));
    EXPECT_FALSE(TakenFromAnotherThread(running, 200));
    instance.EndRun();
    // Its last handle is closed: the next engine creates the mutex anew.
    EngineInstance next(startup, running);
    next.BeginStartup();
    EXPECT_EQ(next.Claim(nullptr), EngineInstance::Role::kServe);
}

}  // namespace

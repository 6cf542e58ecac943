// Stop while a worker is inside the done callback: such a worker is waited
// for beyond the plain limit, and terminated only once it is truly stuck.
#include "tests/unit/engine/download_test_support.h"

#include <atomic>

namespace {

class DownloadStopTest : public DownloadTest {};

TEST_F(DownloadStopTest, WorkerInsideACallbackIsWaitedForAndOnlyAStuckOneTerminated) {
    struct Case {
        const char* name;
        DWORD callbackMs;  // how long the callback takes after the stop request
        unsigned terminated;
    };
    const Case cases[] = {
        {"finishing its step", 700, 0},
        {"stuck", 60000, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DownloadManager pool;
        DownloadTimings timings = FastDownloadTimings();
        timings.stopWaitMs = 200;
        // Far beyond the finishing step's 700 ms, so that a loaded machine
        // cannot make it look stuck.
        timings.callbackStopWaitMs = 4000;
        pool.SetTimings(timings);
        std::atomic<bool> entered{false};
        std::atomic<bool> returned{false};
        pool.SetDoneCallback([&](const std::wstring&, int) {
            entered = true;
            // Ends a while after the stop request, as a long step does.
            while (!pool.StopFlag()->load()) Sleep(1);
            Sleep(c.callbackMs);
            returned = true;
            return true;
        });
        ASSERT_TRUE(server.PutFile("callback.bin", TestPattern(1000, 3)));
        pool.StartWorkers(1);
        pool.Enqueue(Wide(server.Url("callback.bin")), folder / L"callback.bin", false, 20000);
        pool.Dispatch();
        ASSERT_TRUE(WaitFor([&] { return entered.load(); }));

        DWORD start = GetTickCount();
        pool.Stop();
        DWORD elapsed = GetTickCount() - start;

        EXPECT_EQ(pool.TerminatedWorkers(), c.terminated);
        EXPECT_EQ(returned.load(), c.terminated == 0);
        EXPECT_GE(elapsed, c.terminated ? timings.callbackStopWaitMs - 50 : c.callbackMs - 50);
        EXPECT_TRUE(pool.IsIdle());
    }
}

}  // namespace

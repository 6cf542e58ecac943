#include "launcher/copy_data_queue.h"
#include "launcher/page_reload_schedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

TEST(CopyDataQueueTest, KeepsCopiesInArrivalOrderAndEmptiesOnTake) {
    CopyDataQueue queue;
    std::string first = "first";
    EXPECT_TRUE(queue.Push(first.data(), first.size()));
    first[0] = 'X';  // the sender's buffer may change after the call
    EXPECT_TRUE(queue.Push(nullptr, 0));
    EXPECT_TRUE(queue.Push("third", 5));

    std::vector<std::vector<uint8_t>> taken = queue.TakeAll();
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0], Bytes("first"));
    EXPECT_TRUE(taken[1].empty());
    EXPECT_EQ(taken[2], Bytes("third"));
    EXPECT_TRUE(queue.TakeAll().empty());
}

TEST(CopyDataQueueTest, DropsWhatNoChannelFrameCouldBe) {
    CopyDataQueue queue;
    std::vector<uint8_t> largest(CopyDataQueue::kMaxPayloadBytes, 0x41);
    EXPECT_EQ(CopyDataQueue::kMaxPayloadBytes, 6u + 81920u);
    EXPECT_TRUE(queue.Push(largest.data(), largest.size()));
    largest.push_back(0x42);
    EXPECT_FALSE(queue.Push(largest.data(), largest.size()));
    EXPECT_FALSE(queue.Push(nullptr, 4));

    std::vector<std::vector<uint8_t>> taken = queue.TakeAll();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].size(), CopyDataQueue::kMaxPayloadBytes);
}

// Ticks (seconds after set-up) at which the page is reloaded.
std::vector<int> ReloadTicks(PageReloadSchedule& schedule, int ticks, int stopAfter = -1) {
    std::vector<int> reloads;
    for (int t = 1; t <= ticks; ++t) {
        if (t == stopAfter) schedule.Stop();
        if (schedule.Tick()) reloads.push_back(t);
    }
    return reloads;
}

TEST(PageReloadScheduleTest, ReloadsAfterGrowingPausesUntilAServerIsChosen) {
    PageReloadSchedule schedule;
    schedule.Start();
    EXPECT_EQ(ReloadTicks(schedule, 40), (std::vector<int>{5, 11, 18, 26, 35}));

    PageReloadSchedule chosen;
    chosen.Start();
    EXPECT_EQ(ReloadTicks(chosen, 40, 8), (std::vector<int>{5}));

    PageReloadSchedule neverStarted;
    EXPECT_TRUE(ReloadTicks(neverStarted, 10).empty());
}

}  // namespace

#include "engine/speed_meter.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatSpeedTest, PicksTheUnit) {
    struct Case {
        double value;
        const wchar_t* text;
    } cases[] = {{1048576, L"1024.00Kb"}, {1024, L"1024b"}, {2097152, L"2.00M"}, {1536, L"1.50Kb"}, {0.4, L"0b"}};
    for (const Case& c : cases) EXPECT_EQ(FormatSpeed(c.value), c.text) << c.value;
}

TEST(SpeedMeterTest, MeansTheLastElevenSamplesOncePerSecond) {
    SpeedMeter meter;
    uint32_t now = 10000;
    uint64_t bytes = 0;
    meter.Update(now, false, bytes, L"done", L"s:");
    meter.Update(now + 500, false, bytes + 999, L"done", L"s:");  // within the second: unchanged
    EXPECT_EQ(meter.Text(), L"");
    // 1 KiB/s for 11 seconds, then 23 KiB/s: the oldest sample drops out.
    for (int n = 1; n <= 11; ++n) meter.Update(now + 1000 * n, false, bytes += 1024, L"done", L"s:");
    EXPECT_EQ(meter.Text(), L"s:1024b");
    meter.Update(now + 12000, false, bytes += 23 * 1024, L"done", L"s:");
    EXPECT_EQ(meter.SampleCount(), 11u);
    EXPECT_EQ(meter.Text(), L"s:3.00Kb");
}

TEST(SpeedMeterTest, UpToDateShowsItsTextAndDropsTheSamples) {
    SpeedMeter meter;
    meter.Update(0, false, 0, L"done", L"s:");
    meter.Update(1000, false, 4096, L"done", L"s:");
    EXPECT_EQ(meter.Text(), L"s:4.00Kb");
    meter.Update(2000, true, 8192, L"done", L"s:");
    EXPECT_EQ(meter.Text(), L"done");
    EXPECT_EQ(meter.SampleCount(), 0u);
    // Idle transfers: a mean of 0 shows nothing.
    meter.Update(3000, false, 8192, L"done", L"s:");
    meter.Update(4000, false, 8192, L"done", L"s:");
    EXPECT_EQ(meter.Text(), L"");
}

}  // namespace

#pragma once
// The download-speed text of the launchers' slot 3, refreshed once a second
// from the download manager's byte count: the mean of the last samples.
#include <cstdint>
#include <deque>
#include <string>

// "%.2fM", "%.2fKb" or "%.0fb" of a speed in bytes per second.
std::wstring FormatSpeed(double bytesPerSecond);

class SpeedMeter {
public:
    static constexpr size_t kMaxSamples = 11;

    // now: milliseconds (timeGetTime); upToDate: the core's step state is 44;
    // received: the download manager's byte count. upToDateText is shown
    // while up to date; speedPrefix goes before the formatted speed.
    void Update(uint32_t now, bool upToDate, uint64_t received, const std::wstring& upToDateText,
                const std::wstring& speedPrefix);
    const std::wstring& Text() const { return text_; }
    size_t SampleCount() const { return samples_.size(); }

private:
    std::wstring text_;
    bool started_ = false;
    uint32_t lastUpdate_ = 0;
    bool sampling_ = false;
    uint32_t lastSampleTime_ = 0;
    uint64_t lastSampleBytes_ = 0;
    std::deque<double> samples_;
};

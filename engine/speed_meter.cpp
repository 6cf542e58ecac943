#include "engine/speed_meter.h"

#include <cwchar>

std::wstring FormatSpeed(double bytesPerSecond) {
    wchar_t buffer[64];
    if (bytesPerSecond / 1048576 > 1) {
        std::swprintf(buffer, 64, L"%.2fM", bytesPerSecond / 1048576);
    } else if (bytesPerSecond / 1024 > 1) {
        std::swprintf(buffer, 64, L"%.2fKb", bytesPerSecond / 1024);
    } else {
        std::swprintf(buffer, 64, L"%.0fb", bytesPerSecond);
    }
    return buffer;
}

void SpeedMeter::Update(uint32_t now, bool upToDate, uint64_t received, const std::wstring& upToDateText,
                        const std::wstring& speedPrefix) {
    if (!started_) {
        started_ = true;
        lastUpdate_ = now;
    }
    if (!upToDate && !sampling_) {
        // The first sample of a download phase starts here.
        sampling_ = true;
        lastSampleTime_ = now;
        lastSampleBytes_ = received;
    }
    if (now - lastUpdate_ < 1000) return;
    text_.clear();
    lastUpdate_ = now;
    if (upToDate) {
        samples_.clear();
        sampling_ = false;
        text_ = upToDateText;
        return;
    }
    uint32_t elapsed = now - lastSampleTime_;
    if (elapsed == 0) return;
    double sample = static_cast<double>(received - lastSampleBytes_) * 1000.0 / elapsed;
    lastSampleBytes_ = received;
    lastSampleTime_ = now;
    if (samples_.size() >= kMaxSamples) samples_.pop_front();
    samples_.push_back(sample);
    double sum = 0;
    for (double s : samples_) sum += s;
    double mean = sum / static_cast<double>(samples_.size());
    if (mean > 0.01) text_ = speedPrefix + FormatSpeed(mean);
}

#include "common/copy_data_queue.h"

#include "common/protocol_deal.h"

CopyDataQueue::Result CopyDataQueue::Push(WPARAM sender, const COPYDATASTRUCT* data, bool& firstDropOfTick) {
    const bool oversized = data != nullptr && data->cbData > kMaxFrameBytes;
    const size_t cost = (data != nullptr && data->lpData != nullptr ? data->cbData : 0) + kQueuedFrameCost;
    ScopedCriticalSection hold(lock_);
    if (!oversized && bytes_ + cost <= kMaxQueuedBytes) {
        frames_.push_back(Frame{sender, CopyDataFrame::Copy(data)});
        bytes_ += cost;
        firstDropOfTick = false;
        return Result::kQueued;
    }
    firstDropOfTick = !dropped_;
    dropped_ = true;
    return oversized ? Result::kOversized : Result::kFull;
}

std::vector<CopyDataQueue::Frame> CopyDataQueue::Take() {
    std::vector<Frame> frames;
    ScopedCriticalSection hold(lock_);
    frames.swap(frames_);
    bytes_ = 0;
    dropped_ = false;
    return frames;
}

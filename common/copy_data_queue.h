#pragma once
#include "common/channel_types.h"
#include "common/critical_section_lock.h"
#include "common/win.h"

#include <cstdint>
#include <vector>

// WM_COPYDATA frames copied by a window procedure and taken whole by its
// owner's next tick. Any process can send them, so what waits is bounded:
// a frame larger than any of the channel's is dropped uncopied, and at most
// kMaxQueuedBytes wait, each frame charged its entry beside its bytes so that
// a flood of tiny frames is bounded too.
class CopyDataQueue {
public:
    static constexpr size_t kMaxFrameBytes = kChannelHeadSize + kChannelBodyCapacity;
    static constexpr size_t kMaxQueuedBytes = 16 * 1024 * 1024;
    static constexpr size_t kQueuedFrameCost = 64;

    struct Frame {
        WPARAM sender;
        std::vector<uint8_t> bytes;  // empty without a payload
    };
    enum class Result { kQueued, kOversized, kFull };

    CopyDataQueue() = default;
    CopyDataQueue(const CopyDataQueue&) = delete;
    CopyDataQueue& operator=(const CopyDataQueue&) = delete;

    // firstDropOfTick: set when this is the first frame dropped since the
    // last Take, so that a flood logs one line a tick.
    Result Push(WPARAM sender, const COPYDATASTRUCT* data, bool& firstDropOfTick);
    // Everything waiting, in order; the bound starts again.
    std::vector<Frame> Take();

private:
    CriticalSectionLock lock_;
    std::vector<Frame> frames_;  // under lock_
    size_t bytes_ = 0;           // under lock_
    bool dropped_ = false;       // under lock_
};

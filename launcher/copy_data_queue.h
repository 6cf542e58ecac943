#pragma once
// Received WM_COPYDATA payloads, copied at once by the window procedure and
// handled later on the main window's timer, in arrival order.
#include "common/channel_types.h"
#include "common/critical_section_lock.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CopyDataQueue {
public:
    // No channel frame is longer than its head and its largest body; a
    // larger payload from any other process is dropped, not kept.
    static constexpr size_t kMaxPayloadBytes = kChannelHeadSize + kChannelBodyCapacity;

    CopyDataQueue() = default;
    CopyDataQueue(const CopyDataQueue&) = delete;
    CopyDataQueue& operator=(const CopyDataQueue&) = delete;

    // Appends a copy of the payload; false when it was dropped (too long, or
    // a length without data). An empty payload is queued with length 0.
    bool Push(const void* data, size_t length);

    // Moves every queued payload out, oldest first, and empties the queue.
    std::vector<std::vector<uint8_t>> TakeAll();

private:
    CriticalSectionLock lock_;
    std::vector<std::vector<uint8_t>> queued_;  // under lock_
};

#include "launcher/copy_data_queue.h"

#include <new>

bool CopyDataQueue::Push(const void* data, size_t length) {
    if (length > kMaxPayloadBytes || (data == nullptr && length != 0)) return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    std::vector<uint8_t> copy;
    if (length != 0) copy.assign(bytes, bytes + length);
    ScopedCriticalSection guard(lock_);
    queued_.push_back(std::move(copy));
    return true;
}

std::vector<std::vector<uint8_t>> CopyDataQueue::TakeAll() {
    std::vector<std::vector<uint8_t>> taken;
    ScopedCriticalSection guard(lock_);
    taken.swap(queued_);
    return taken;
}

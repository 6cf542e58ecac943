#include "engine/startup_mutex.h"

bool StartupMutex::Acquire(const std::function<void()>& onLongWait) {
    if (held_) return true;
    mutex_.Reset(CreateMutexW(nullptr, FALSE, name_.c_str()));
    if (!mutex_) return false;
    for (unsigned polls = 1;; ++polls) {
        DWORD result = WaitForSingleObject(mutex_.Get(), kPollMs);
        // An engine that died during its start-up leaves the mutex abandoned;
        // the wait then hands it over all the same.
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) break;
        if (result == WAIT_FAILED) {
            mutex_.Reset();
            return false;
        }
        if (polls == kLongWaitPolls && onLongWait) onLongWait();
    }
    held_ = true;
    return true;
}

void StartupMutex::Release() {
    if (held_) ReleaseMutex(mutex_.Get());
    held_ = false;
    mutex_.Reset();
}

#include "engine/startup_mutex.h"

HANDLE StartupMutex::CreateOrOpen() const {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name_.c_str());
    // Created by a process of higher integrity: full access is denied to us,
    // waiting on it is not.
    if (mutex == nullptr && GetLastError() == ERROR_ACCESS_DENIED)
        mutex = OpenMutexW(SYNCHRONIZE, FALSE, name_.c_str());
    return mutex;
}

void StartupMutex::Acquire(const std::function<void()>& onLongWait) {
    if (held_) return;
    for (unsigned polls = 1;; ++polls) {
        if (!mutex_) mutex_.Reset(CreateOrOpen());
        DWORD result = mutex_ ? WaitForSingleObject(mutex_.Get(), kPollMs) : WAIT_FAILED;
        // An engine that died during its start-up leaves the mutex abandoned;
        // the wait then hands it over all the same.
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) break;
        if (result == WAIT_FAILED) {
            // Not ours to wait on: try again once its holder has closed it.
            mutex_.Reset();
            Sleep(kPollMs);
        }
        if (polls == kLongWaitPolls && onLongWait) onLongWait();
    }
    held_ = true;
}

void StartupMutex::Release() {
    if (held_) ReleaseMutex(mutex_.Get());
    held_ = false;
    mutex_.Reset();
}

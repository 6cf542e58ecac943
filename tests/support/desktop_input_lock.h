// Tests of one Wine prefix share one desktop: the cursor, the foreground
// window, the focus and the windows under the cursor. A test that moves the
// cursor, takes the foreground, or shows a top-level window or a box holds
// this lock, so that tests running in parallel neither steer each other's
// input nor cover each other's windows.
#pragma once
#include "common/win.h"

class DesktopInputLock {
public:
    DesktopInputLock() {
        mutex_ = CreateMutexW(nullptr, FALSE, L"quillon_test_desktop_input");
        // An abandoned lock (a test that crashed) is taken over.
        if (mutex_ != nullptr) held_ = WaitForSingleObject(mutex_, 120000) != WAIT_TIMEOUT;
    }
    ~DesktopInputLock() {
        if (held_) ReleaseMutex(mutex_);
        if (mutex_ != nullptr) CloseHandle(mutex_);
    }
    DesktopInputLock(const DesktopInputLock&) = delete;
    DesktopInputLock& operator=(const DesktopInputLock&) = delete;

private:
    HANDLE mutex_ = nullptr;
    bool held_ = false;
};

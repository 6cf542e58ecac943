// A window whose thread never takes a message: it stands for a hung program
// (or one that was suspended) that another process names in the channel.
// The thread lets go after kReleaseMs, so that a sender that waits without
// bound fails its test instead of hanging the run.
#pragma once
#include "common/win.h"

class HungWindow {
public:
    static constexpr DWORD kReleaseMs = 60000;

    HungWindow() {
        release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        created_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &HungWindow::Run, this, 0, nullptr);
        WaitForSingleObject(created_, 30000);
    }
    ~HungWindow() {
        SetEvent(release_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(created_);
        CloseHandle(release_);
    }
    HungWindow(const HungWindow&) = delete;
    HungWindow& operator=(const HungWindow&) = delete;

    HWND window() const { return window_; }

private:
    static DWORD WINAPI Run(void* self) {
        auto* hung = static_cast<HungWindow*>(self);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"qtest_hung_window";
        RegisterClassW(&wc);  // a second registration fails harmlessly
        hung->window_ = CreateWindowW(wc.lpszClassName, L"hung", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                      wc.hInstance, nullptr);
        SetEvent(hung->created_);
        WaitForSingleObject(hung->release_, kReleaseMs);  // no message is taken meanwhile
        DestroyWindow(hung->window_);
        return 0;
    }

    HANDLE release_ = nullptr;
    HANDLE created_ = nullptr;
    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
};

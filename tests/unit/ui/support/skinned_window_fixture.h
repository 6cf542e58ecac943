// A skinned window shown for a test, the message pump that drives it, and
// the way a test program shows one for a picture.
#pragma once
#include "common/win.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/window/window_impl_base.h"
#include "tests/support/desktop_input_lock.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <string>

// Dispatches the thread's messages through the framework's translation for
// MILLISECONDS; a posted quit is dropped, the pump goes on.
inline void Pump(DWORD milliseconds = 50) {
    const DWORD end = GetTickCount() + milliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            if (!QuillUI::CWindowManagerUI::TranslateMessage(&message)) {
                ::TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        // The look above comes after the last sleep: what fell due while the
        // thread was held up is still taken.
        if (static_cast<LONG>(end - GetTickCount()) <= 0) break;
        Sleep(5);
    }
}

// Shows WINDOW at 40,40 until it is closed or MILLISECONDS are up.
inline int ShowForPicture(QuillUI::WindowImplBase& window, const wchar_t* title, int width, int height,
                          DWORD milliseconds) {
    HWND hwnd = window.Create(nullptr, title, WS_OVERLAPPEDWINDOW, 0, 0, 0, width, height);
    if (hwnd == nullptr) return 2;
    SetWindowPos(hwnd, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    Pump(milliseconds);
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    return 0;
}

// Owns a skinned window of type WINDOW, created 640 by 480 at 100,100 and
// shown without activation; the skin decides the size it ends at. Shown on
// the desktop that all tests share, it holds the desktop's lock until its end.
template <class Window>
class SkinnedWindowFixture : public ::testing::Test {
protected:
    void Open(Window* window, const wchar_t* title) {
        window_ = window;
        desktopLock_ = std::make_unique<DesktopInputLock>();
        hwnd_ = window_->Create(nullptr, title, WS_OVERLAPPEDWINDOW, 0, 100, 100, 640, 480);
        ASSERT_NE(hwnd_, nullptr);
        ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        UpdateWindow(hwnd_);
        Pump();
    }
    void TearDown() override {
        if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
        delete window_;
        desktopLock_.reset();
    }

    QuillUI::CWindowManagerUI& Manager() { return window_->GetManager(); }
    QuillUI::CControlUI* Find(const wchar_t* name) {
        QuillUI::CControlUI* control = Manager().FindControl(name);
        EXPECT_NE(control, nullptr) << "no control named " << std::string(name, name + wcslen(name));
        return control;
    }

    Window* window_ = nullptr;
    HWND hwnd_ = nullptr;

private:
    std::unique_ptr<DesktopInputLock> desktopLock_;
};
